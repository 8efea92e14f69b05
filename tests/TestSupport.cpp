#include "TestSupport.h"

#include "frmBitlicht.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

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
