// The application icon as a Windows icon file (mrw.ico of the Windows build), read back by
// Qt's own ICO reader.
#include <QBuffer>
#include <QImageReader>
#include <QtTest>

#include "ui/app_icon.h"

namespace mrw {

class AppIconTest : public QObject {
    Q_OBJECT
private slots:
    void iconFileHoldsEachSizeOfTheDrawing();
};

void AppIconTest::iconFileHoldsEachSizeOfTheDrawing() {
    QByteArray file = ApplicationIconFile();
    // ICONDIR: reserved, type 1 (icon), seven images; the first entry 16 x 16 at 32 bits, the
    // last 256 x 256 (written as 0) and PNG.
    QCOMPARE(file.left(6), QByteArray("\0\0\1\0\7\0", 6));
    QCOMPARE(file.mid(6, 8), QByteArray("\x10\x10\0\0\1\0\x20\0", 8));
    QCOMPARE(file.mid(6 + 6 * 16, 2), QByteArray("\0\0", 2));
    const qsizetype pngAt = qFromLittleEndian<quint32>(file.constData() + 6 + 6 * 16 + 12);
    QCOMPARE(file.mid(pngAt, 8), QByteArray("\x89PNG\r\n\x1a\n"));

    QBuffer buffer(&file);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QImageReader reader(&buffer, "ico");
    QCOMPARE(reader.imageCount(), 7);
    int index = 0;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QVERIFY(reader.jumpToImage(index++));
        const QImage read = reader.read();
        QCOMPARE(read.size(), QSize(size, size));
        QCOMPARE(read.convertToFormat(QImage::Format_ARGB32),
                 ApplicationIconImage(size).convertToFormat(QImage::Format_ARGB32));
    }
}

}  // namespace mrw

QTEST_MAIN(mrw::AppIconTest)
#include "app_icon_test.moc"
