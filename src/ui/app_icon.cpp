#include "ui/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace mrw {

namespace {

// Paints the icon on a 64 x 64 design grid scaled to `size`.
QPixmap PaintIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
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
    return pixmap;
}

}  // namespace

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(PaintIcon(size));
    }
    return icon;
}

}  // namespace mrw
