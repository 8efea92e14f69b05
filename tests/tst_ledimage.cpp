// Reading an LED file: what is refused, what is shown, and that nothing is cached.

#include "LedImage.h"
#include "TestSupport.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

class LedImageLoading : public QObject
{
    Q_OBJECT

    static QByteArray iconBytes(const char* name)
    {
        QFile f(QStringLiteral(ICON_DIR "/") + QLatin1String(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

private slots:
    void refuses_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind :
             {"missing", "directory", "fifo", "device link", "dangling link", "empty",
              "two megabytes", "png under the icon's name", "random bytes", "truncated icon",
              "count beyond the file", "image beyond the file"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void refuses()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("LEDgruenHe.ico"));
        const QByteArray icon = iconBytes("LEDgruenHe.ico");

        if (kind == "directory") {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("LEDgruenHe.ico")));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == "device link") {
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        } else if (kind == "dangling link") {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), path));
        } else if (kind == "empty") {
            write(path, {});
        } else if (kind == "two megabytes") {
            write(path, icon + QByteArray(2 << 20, '\0'));
        } else if (kind == "png under the icon's name") {
            QImage png(32, 32, QImage::Format_ARGB32);
            png.fill(Qt::green);
            QVERIFY(png.save(path, "PNG"));
        } else if (kind == "random bytes") {
            QByteArray noise(3950, Qt::Uninitialized);
            quint32 x = 12345;
            for (char& c : noise)
                c = char((x = x * 1103515245u + 12345u) >> 24);
            write(path, noise);
        } else if (kind == "truncated icon") {
            write(path, icon.left(100));
        } else if (kind == "count beyond the file") {
            QByteArray lying = icon;
            lying[4] = char(0xFF);
            lying[5] = char(0xFF);
            write(path, lying);
        } else if (kind == "image beyond the file") {
            QByteArray lying = icon;
            for (int i = 0; i < 3; ++i)
                lying[6 + 16 * i + 15] = char(0x7F); // offset far past the end
            write(path, lying);
        }
        QVERIFY_THROWS_EXCEPTION(led::ImageError, std::ignore = led::load(path));
    }

    void showsThe32PixelImageWithTheMostColours()
    {
        // Put the 16-colour 16x16 image first in the directory.
        QByteArray icon = iconBytes("LEDgruenHe.ico");
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
        write(path, iconBytes("LEDgruenHe.ico"));
        QCOMPARE(led::load(path).pixelColor(16, 24), QColor(85, 255, 0));
        write(path, iconBytes("LEDgruenDu.ico"));
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
