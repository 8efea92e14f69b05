// The generated LED icons: what the window shows and what lies beside it.

#include "TestSupport.h"
#include "frmBitlicht.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTest>

class LedIcons : public QObject
{
    Q_OBJECT

private slots:
    void images_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("bitsPerPixel");
        QTest::addColumn<QColor>("disc");
        QTest::addColumn<QColor>("highlight");
        QTest::addColumn<int>("opaque");
        QTest::addColumn<int>("highlighted");

        const QString lit = QStringLiteral("LEDgruenHe.ico");
        const QString dark = QStringLiteral("LEDgruenDu.ico");
        const QColor shine(255, 251, 240);
        const QColor white(255, 255, 255);
        QTest::newRow("lit 32x32, 256 colours")
            << lit << 0 << 32 << 8 << QColor(85, 255, 0) << shine << 657 << 15;
        QTest::newRow("lit 16x16, 256 colours")
            << lit << 1 << 16 << 8 << QColor(0, 255, 85) << shine << -1 << -1;
        QTest::newRow("lit 16x16, 16 colours")
            << lit << 2 << 16 << 4 << QColor(0, 255, 0) << white << -1 << -1;
        QTest::newRow("dark 32x32, 256 colours")
            << dark << 0 << 32 << 8 << QColor(37, 115, 0) << shine << 657 << 15;
        QTest::newRow("dark 16x16, 256 colours")
            << dark << 1 << 16 << 8 << QColor(37, 115, 0) << shine << -1 << -1;
        QTest::newRow("dark 16x16, 16 colours is the lit one")
            << dark << 2 << 16 << 4 << QColor(0, 255, 0) << white << -1 << -1;
    }

    void images()
    {
        QFETCH(QString, file);
        QFETCH(int, index);
        QFETCH(int, size);
        QFETCH(int, bitsPerPixel);
        QFETCH(QColor, disc);
        QFETCH(QColor, highlight);
        QFETCH(int, opaque);
        QFETCH(int, highlighted);

        QByteArray bytes = generatedIcon(qPrintable(file));
        QCOMPARE(bytes.size(), 3950);
        const auto entry = [&](int at) {
            return static_cast<unsigned char>(bytes[6 + 16 * index + at]);
        };
        QCOMPARE(int(entry(0)), size);
        QCOMPARE(int(entry(6)), bitsPerPixel);

        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "ico");
        QCOMPARE(reader.imageCount(), 3);
        QVERIFY(reader.jumpToImage(index));
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(size, size));

        int opaqueCount = 0, discCount = 0, shineCount = 0, shineLeft = size, shineTop = size;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() == 0)
                    continue;
                ++opaqueCount;
                if (c == disc)
                    ++discCount;
                if (c == highlight) {
                    ++shineCount;
                    shineLeft = std::min(shineLeft, x);
                    shineTop = std::min(shineTop, y);
                }
            }
        QCOMPARE(discCount + shineCount, opaqueCount);
        QVERIFY(shineCount > 0);
        QVERIFY2(shineLeft < size / 2 && shineTop < size / 2, "highlight towards the upper left");
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        if (opaque >= 0) {
            QCOMPARE(opaqueCount, opaque);
            QCOMPARE(shineCount, highlighted);
        }
    }

    void windowIconIsTheDarkLed()
    {
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        const QImage icon = w->windowIcon().pixmap(32, 32).toImage();
        QCOMPARE(icon.pixelColor(16, 24), QColor(37, 115, 0));
    }
};

QTEST_MAIN(LedIcons)
#include "tst_icons.moc"
