// Reading an LED file: what is refused, what is shown, and that nothing is cached.

#include "LedImage.h"
#include "TestSupport.h"

#include <QFile>
#include <QTest>

class LedImageLoading : public QObject
{
    Q_OBJECT

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private slots:
    void showsThe32PixelImageWithTheMostColours()
    {
        // Put the 16-colour 16x16 image first in the directory.
        QByteArray icon = generatedIcon("LEDgruenHe.ico");
        const QByteArray first = icon.mid(6, 16);
        icon.replace(6, 16, icon.mid(6 + 32, 16));
        icon.replace(6 + 32, 16, first);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("reordered.ico"));
        write(path, icon);
        const QImage image = led::load(path);
        QCOMPARE(image.size(), QSize(32, 32));
        QCOMPARE(image.pixelColor(16, 24), QColor(85, 255, 0));
    }

    void readsTheFileAtEveryCall()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LEDgruenHe.ico"));
        write(path, generatedIcon("LEDgruenHe.ico"));
        QCOMPARE(led::load(path).pixelColor(16, 24), QColor(85, 255, 0));
        write(path, generatedIcon("LEDgruenDu.ico"));
        QCOMPARE(led::load(path).pixelColor(16, 24), QColor(37, 115, 0));
    }

    void pathStandsBesideTheProgram()
    {
        QCOMPARE(led::path(QStringLiteral("/opt/bitlicht"), QStringLiteral("\\LEDgruenHe.ico")),
                 QStringLiteral("/opt/bitlicht/LEDgruenHe.ico"));
    }
};

QTEST_MAIN(LedImageLoading)
#include "tst_ledimage.moc"
