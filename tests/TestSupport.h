#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class frmBitlicht;
class QCheckBox;
class QLabel;
class QLineEdit;

// The stand-in port library's record of calls, and the fault it plays.
class FakePort
{
public:
    FakePort();
    ~FakePort();
    FakePort(const FakePort&) = delete;
    FakePort& operator=(const FakePort&) = delete;

    void setMode(const char* mode);
    [[nodiscard]] QStringList calls() const;
    [[nodiscard]] QList<int> writes() const; // the bytes written, in order
    [[nodiscard]] int count(const QString& call) const;
    void clear();

private:
    QTemporaryDir m_dir;
    QString m_log;
};

// A program directory holding the two LED files, as the build leaves them.
class ProgramDirectory
{
public:
    ProgramDirectory();
    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] QString file(const char* name) const { return m_dir.filePath(name); }
    void remove(const char* name) const;

private:
    QTemporaryDir m_dir;
};

// A fresh program start: a new window on `dir`, not yet shown.
std::unique_ptr<frmBitlicht> startProgram(const ProgramDirectory& dir);
std::unique_ptr<frmBitlicht> startProgram(const QString& dir);

QCheckBox* box(const frmBitlicht& w, const QString& name);
QLineEdit* field(const frmBitlicht& w, const QString& name);
QLabel* picture(const frmBitlicht& w, int bit);
QCheckBox* bitBox(const frmBitlicht& w, int bit);

enum class LedShows { Lit, Dark, Nothing };
LedShows ledState(const QLabel* picture);

// Things that may stand where an LED file should: each must be refused.
QStringList badFileKinds();
void makeBadFile(const QString& kind, const QString& path);
QByteArray generatedIcon(const char* name);

// The colour at the middle of an LED's disc, in its 32x32 image.
QColor discColour(const QLabel* picture);
