#include "TestSupport.h"

#include "frmBitlicht.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <sys/stat.h>

FakePort::FakePort() : m_log(m_dir.filePath(QStringLiteral("calls.log")))
{
    qputenv("FAKE1284_LOG", QFile::encodeName(m_log));
    qputenv("FAKE1284_MODE", "ok");
}

FakePort::~FakePort()
{
    qunsetenv("FAKE1284_LOG");
    qunsetenv("FAKE1284_MODE");
}

void FakePort::setMode(const char* mode)
{
    qputenv("FAKE1284_MODE", mode);
}

QStringList FakePort::calls() const
{
    QFile f(m_log);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QList<int> FakePort::writes() const
{
    QList<int> bytes;
    for (const QString& call : calls())
        if (call.startsWith(QLatin1String("write ")))
            bytes.append(call.mid(6).toInt());
    return bytes;
}

int FakePort::count(const QString& call) const
{
    return int(calls().count(call));
}

void FakePort::clear()
{
    QFile::remove(m_log);
}

ProgramDirectory::ProgramDirectory()
{
    for (const char* name : {"LEDgruenHe.ico", "LEDgruenDu.ico"})
        QFile::copy(QStringLiteral(ICON_DIR "/") + QLatin1String(name), m_dir.filePath(name));
}

void ProgramDirectory::remove(const char* name) const
{
    QFile::remove(m_dir.filePath(name));
}

std::unique_ptr<frmBitlicht> startProgram(const QString& dir)
{
    return std::make_unique<frmBitlicht>(dir);
}

std::unique_ptr<frmBitlicht> startProgram(const ProgramDirectory& dir)
{
    return startProgram(dir.path());
}

QCheckBox* box(const frmBitlicht& w, const QString& name)
{
    auto* b = w.findChild<QCheckBox*>(name);
    if (!b)
        qFatal("no check box %s", qPrintable(name));
    return b;
}

QLineEdit* field(const frmBitlicht& w, const QString& name)
{
    auto* f = w.findChild<QLineEdit*>(name);
    if (!f)
        qFatal("no text box %s", qPrintable(name));
    return f;
}

QLabel* picture(const frmBitlicht& w, int bit)
{
    return w.findChild<QLabel*>(QStringLiteral("Picture1(%1)").arg(bit));
}

QCheckBox* bitBox(const frmBitlicht& w, int bit)
{
    return box(w, QStringLiteral("chkD(%1)").arg(bit));
}

QColor discColour(const QLabel* picture)
{
    const QImage image = picture->pixmap().toImage();
    if (image.isNull())
        return {};
    return image.pixelColor(image.width() / 2, image.height() * 3 / 4);
}

LedShows ledState(const QLabel* picture)
{
    const QColor c = discColour(picture);
    if (c == QColor(85, 255, 0))
        return LedShows::Lit;
    if (c == QColor(37, 115, 0))
        return LedShows::Dark;
    return LedShows::Nothing;
}

QByteArray generatedIcon(const char* name)
{
    QFile f(QStringLiteral(ICON_DIR "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList badFileKinds()
{
    return {"missing",
            "directory",
            "fifo",
            "link to a device",
            "dangling link",
            "empty",
            "two megabytes",
            "png under the icon's name",
            "random bytes",
            "truncated icon",
            "count beyond the file",
            "images beyond the file",
            "bitmap header claims a huge image",
            "bitmap header claims no palette room"};
}

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

void putLittle32(QByteArray& b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

void makeBadFile(const QString& kind, const QString& path)
{
    QFile::remove(path);
    const QByteArray icon = generatedIcon("LEDgruenHe.ico");
    const qsizetype firstImage = 6 + 16 * 3; // where the first bitmap header starts
    QByteArray bytes = icon;

    if (kind == "missing") {
        return;
    } else if (kind == "directory") {
        QDir().mkpath(path);
        return;
    } else if (kind == "fifo") {
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
            qFatal("mkfifo failed");
        return;
    } else if (kind == "link to a device") {
        QFile::link(QStringLiteral("/dev/zero"), path);
        return;
    } else if (kind == "dangling link") {
        QFile::link(path + QStringLiteral(".gone"), path);
        return;
    } else if (kind == "empty") {
        bytes.clear();
    } else if (kind == "two megabytes") {
        bytes += QByteArray(2 << 20, '\0');
    } else if (kind == "png under the icon's name") {
        QImage png(32, 32, QImage::Format_ARGB32);
        png.fill(Qt::green);
        png.save(path, "PNG");
        return;
    } else if (kind == "random bytes") {
        quint32 x = 12345;
        for (char& c : bytes)
            c = char((x = x * 1103515245u + 12345u) >> 24);
    } else if (kind == "truncated icon") {
        bytes = icon.left(100);
    } else if (kind == "count beyond the file") {
        bytes[4] = char(0xFF);
        bytes[5] = char(0xFF);
    } else if (kind == "images beyond the file") {
        for (int i = 0; i < 3; ++i)
            putLittle32(bytes, 6 + 16 * i + 12, 0x7FFF0000);
    } else if (kind == "bitmap header claims a huge image") {
        for (int i = 0; i < 3; ++i)
            bytes[6 + 16 * i + 8] = char(40); // bytes in the image: header only
        putLittle32(bytes, firstImage + 4, 0x7FFFFFFF);
        putLittle32(bytes, firstImage + 8, 0x7FFFFFFF);
        bytes.truncate(firstImage + 40);
    } else if (kind == "bitmap header claims no palette room") {
        putLittle32(bytes, firstImage + 32, 0xFFFFFFFF); // colours used
        bytes.truncate(firstImage + 40);
    }
    write(path, bytes);
}
