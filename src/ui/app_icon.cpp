#include "ui/app_icon.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtEndian>

namespace mrw {

namespace {

/// The sizes the application icon is drawn at, in the window system and in mrw.ico.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Paints the icon on a 64 x 64 design grid scaled to `size`.
QImage PaintIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // Antenna and waves.
    p.setPen(QPen(QColor("#37474f"), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(40, 20), QPointF(40, 5));
    p.setPen(QPen(QColor("#0288d1"), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(44, 1, 10, 12), -60 * 16, 120 * 16);
    p.drawArc(QRectF(46, -3, 16, 20), -60 * 16, 120 * 16);

    // Body.
    p.setPen(QPen(QColor("#0d2a4a"), 2));
    p.setBrush(QColor("#1565c0"));
    p.drawRoundedRect(QRectF(18, 18, 28, 44), 5, 5);

    // Display.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#c5e1a5"));
    p.drawRoundedRect(QRectF(22, 23, 20, 11), 2, 2);
    p.setPen(QPen(QColor("#33691e"), 1.5));
    p.drawLine(QPointF(25, 28.5), QPointF(34, 28.5));

    // Keys.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#e3f2fd"));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            p.drawRoundedRect(QRectF(23 + col * 7, 39 + row * 6.5, 5, 4), 1, 1);
        }
    }
    // Distress key.
    p.setBrush(QColor("#e53935"));
    p.drawEllipse(QRectF(29, 56, 6, 4));
    p.end();
    return image;
}

// Paints `draw` on a 24 x 24 design grid scaled to `size`.
template <typename Draw>
QPixmap PaintToolIcon(int size, Draw draw) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p);
    return pixmap;
}

void DrawNewDocument(QPainter& p) {
    QPainterPath sheet;
    sheet.moveTo(5, 2.5);
    sheet.lineTo(14, 2.5);
    sheet.lineTo(19, 7.5);
    sheet.lineTo(19, 21.5);
    sheet.lineTo(5, 21.5);
    sheet.closeSubpath();
    p.setPen(QPen(QColor("#546e7a"), 1.2));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    // Folded corner.
    p.setBrush(QColor("#cfd8dc"));
    p.drawPolygon(QPolygonF({QPointF(14, 2.5), QPointF(14, 7.5), QPointF(19, 7.5)}));
    // Plus.
    p.setPen(QPen(QColor("#2e7d32"), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 11), QPointF(12, 18));
    p.drawLine(QPointF(8.5, 14.5), QPointF(15.5, 14.5));
}

void DrawPrinter(QPainter& p) {
    // Sheet waiting at the top.
    p.setPen(QPen(QColor("#78909c"), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 2.5, 10, 7));
    // Body.
    p.setPen(QPen(QColor("#263238"), 1.2));
    p.setBrush(QColor("#607d8b"));
    p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
    // Status light.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#66bb6a"));
    p.drawEllipse(QRectF(17, 10.5, 2.5, 2.5));
    // Printed sheet coming out, with lines of text.
    p.setPen(QPen(QColor("#78909c"), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 14.5, 12, 7));
    p.setPen(QPen(QColor("#37474f"), 1));
    p.drawLine(QPointF(8, 17), QPointF(16, 17));
    p.drawLine(QPointF(8, 19.2), QPointF(14, 19.2));
}

void DrawUndo(QPainter& p) {
    // A curved arrow turning back to the left.
    QPainterPath curve;
    curve.moveTo(19.5, 19);
    curve.cubicTo(20.5, 12, 16, 8.5, 7.5, 8.5);
    p.setPen(QPen(QColor("#1565c0"), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor("#1565c0"));
    p.drawPolygon(QPolygonF({QPointF(2.5, 8.5), QPointF(9, 3.5), QPointF(9, 13.5)}));
}

void DrawRedo(QPainter& p) {
    p.translate(24, 0);
    p.scale(-1, 1);
    DrawUndo(p);
}

template <typename Draw>
QIcon ToolIcon(Draw draw) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48}) {
        icon.addPixmap(PaintToolIcon(size, draw));
    }
    return icon;
}

}  // namespace

QIcon NewDocumentIcon() {
    return ToolIcon(DrawNewDocument);
}

QIcon PrinterIcon() {
    return ToolIcon(DrawPrinter);
}

QIcon UndoIcon(bool redo) {
    return redo ? ToolIcon(DrawRedo) : ToolIcon(DrawUndo);
}

QIcon ApplicationIcon() {
    // Drawn once: the application, the main window and its General page all show it. Kept for
    // the life of the process (never destroyed after the application object).
    static const QIcon* const icon = [] {
        auto* drawn = new QIcon;
        for (int size : kIconSizes) {
            drawn->addPixmap(QPixmap::fromImage(PaintIcon(size)));
        }
        return drawn;
    }();
    return *icon;
}

QImage ApplicationIconImage(int size) {
    return PaintIcon(size);
}

namespace {

void AppendLittleEndian16(QByteArray& out, int value) {
    char bytes[2];
    qToLittleEndian(static_cast<quint16>(value), bytes);
    out.append(bytes, 2);
}

void AppendLittleEndian32(QByteArray& out, qint64 value) {
    char bytes[4];
    qToLittleEndian(static_cast<quint32>(value), bytes);
    out.append(bytes, 4);
}

// One image of an icon file as Windows reads it before Vista: a BITMAPINFOHEADER (its height
// counts the colour rows and the mask rows), 32-bit BGRA rows from the bottom up, and the
// 1-bit transparency mask, each of its rows padded to 4 bytes.
QByteArray IconBitmap(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskStride = (size + 31) / 32 * 4;
    QByteArray out;
    AppendLittleEndian32(out, 40);
    AppendLittleEndian32(out, size);
    AppendLittleEndian32(out, 2 * size);
    AppendLittleEndian16(out, 1);   // planes
    AppendLittleEndian16(out, 32);  // bits per pixel
    for (int field = 0; field < 6; ++field) {
        AppendLittleEndian32(out, 0);  // no compression, sizes and colours left to the reader
    }
    for (int y = size - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            out.append(static_cast<char>(qBlue(row[x])));
            out.append(static_cast<char>(qGreen(row[x])));
            out.append(static_cast<char>(qRed(row[x])));
            out.append(static_cast<char>(qAlpha(row[x])));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray mask(maskStride, '\0');
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            if (qAlpha(row[x]) == 0) {
                mask[x / 8] = static_cast<char>(mask[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.append(mask);
    }
    return out;
}

}  // namespace

QByteArray ApplicationIconFile() {
    QList<QByteArray> images;
    for (int size : kIconSizes) {
        const QImage image = PaintIcon(size);
        if (size < 256) {
            images.append(IconBitmap(image));
        } else {
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            images.append(png);
        }
    }
    // ICONDIR, then one ICONDIRENTRY per image (a size of 256 is written as 0), then the images.
    QByteArray out;
    AppendLittleEndian16(out, 0);
    AppendLittleEndian16(out, 1);
    AppendLittleEndian16(out, static_cast<int>(images.size()));
    qint64 offset = 6 + 16 * images.size();
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int size = kIconSizes[i];
        out.append(static_cast<char>(size % 256));
        out.append(static_cast<char>(size % 256));
        out.append('\0');  // no palette
        out.append('\0');
        AppendLittleEndian16(out, 1);
        AppendLittleEndian16(out, 32);
        AppendLittleEndian32(out, images[i].size());
        AppendLittleEndian32(out, offset);
        offset += images[i].size();
    }
    for (const QByteArray& image : images) {
        out.append(image);
    }
    return out;
}

}  // namespace mrw
