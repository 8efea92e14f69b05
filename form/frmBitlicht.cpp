// The window's reactions and the few operations they use on it.

#include "frmBitlicht.h"

#include "Ansi.h"
#include "LedImage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

QImage builtInImage(const QString& resource)
{
    QFile file(resource);
    file.open(QIODevice::ReadOnly);
    return led::decode(file.readAll());
}

// A value formed in double precision and rounded back to 16 bits.
std::int16_t toInt16(double value)
{
    return static_cast<std::int16_t>(std::lround(value));
}

} // namespace

frmBitlicht::frmBitlicht(QString programDirectory, M_inpout port, QWidget* parent)
    : QWidget(parent), m_port(std::move(port)), m_programDirectory(std::move(programDirectory)),
      m_builtInLit(builtInImage(QStringLiteral(":/icons/LEDgruenHe.ico"))),
      m_builtInDark(builtInImage(QStringLiteral(":/icons/LEDgruenDu.ico")))
{
    setObjectName(QStringLiteral("frmBitlicht"));
    buildWindow();
    connectReactions();
    react([this] { Form_Load(); });
}

frmBitlicht::~frmBitlicht() = default;

// --- Operations on the window ---

int frmBitlicht::value(const QAbstractButton* box)
{
    return box->isChecked() ? 1 : 0;
}

// A change runs the box's reaction at once, before this returns; setting the
// value it already has runs nothing.
void frmBitlicht::setValue(QAbstractButton* box, int value)
{
    box->setChecked(value == 1);
}

void frmBitlicht::setText(QLineEdit* field, const QString& text)
{
    field->setText(text);
}

void frmBitlicht::setFieldVisible(QWidget* field, bool visible)
{
    field->setVisible(visible);
}

// Reads the LED file anew. Should that fail, the built-in image of the same
// state stands in, so the LED always shows its bit.
void frmBitlicht::loadLed(int index, Led led)
{
    const bool lit = led == Led::Lit;
    QImage image;
    try {
        image = led::load(
            led::path(m_programDirectory, QString::fromLatin1(lit ? LitLedFile : DarkLedFile)));
    } catch (const led::ImageError& e) {
        // Once per cause, not once per LED.
        if (m_lastLedWarning != QString::fromUtf8(e.what())) {
            m_lastLedWarning = QString::fromUtf8(e.what());
            std::fprintf(stderr, "bitlicht: LED-Bild: %s\n", e.what());
        }
        image = lit ? m_builtInLit : m_builtInDark;
    }
    Picture1[index]->setPixmap(QPixmap::fromImage(image));
    Picture1[index]->setAccessibleDescription(lit ? QStringLiteral("an") : QStringLiteral("aus"));
}

// A failed write is skipped: no message, the reaction goes on and the next
// write tries again. The port frame tells whether the last write arrived.
void frmBitlicht::writePort(std::int16_t value)
{
    try {
        m_port.Out32(M_inpout::DataPort, value);
        showPortState({});
    } catch (const PortError& e) {
        showPortState(QString::fromUtf8(e.what()));
    }
}

void frmBitlicht::showPortState(const QString& problem)
{
    if (problem.isEmpty()) {
        Frame1->setTitle(QStringLiteral("Parallelport"));
        Frame1->setToolTip(QStringLiteral(
            "Die Bits D0 bis D7 liegen an den Datenleitungen des Parallelports (Adresse 888)."));
    } else {
        Frame1->setTitle(QStringLiteral("Parallelport – nicht erreichbar"));
        Frame1->setToolTip(problem);
    }
}

void frmBitlicht::endWithRunTimeError(const char* what)
{
    std::fprintf(stderr, "bitlicht: Laufzeitfehler: %s\n", what);
    QMessageBox::critical(this, QStringLiteral("Bitlicht – Laufzeitfehler"),
                          QStringLiteral("Ein unerwarteter Fehler ist aufgetreten:\n\n%1\n\n"
                                         "Bitlicht wird beendet.")
                              .arg(QString::fromUtf8(what)));
    std::exit(EXIT_FAILURE);
}

// --- Reactions ---

void frmBitlicht::Form_Load()
{
    setWindowTitle(QString::fromUtf8(Title));
    setValue(ChkSimulation, 1);
    setValue(chkLoesungAnzeigen, 1);
    setValue(chkAsc, 0);
    setFieldVisible(txtAsc, false);
    setText(txtWertausgabe, QStringLiteral("0"));
    // From here a failure is skipped: the port is cleared at every start,
    // whatever the switches say, and each LED goes dark.
    writePort(0);
    for (int i = 0; i <= 7; ++i) {
        loadLed(i, Led::Dark);
        setText(txtDualAusgabe[i], QStringLiteral("0"));
    }
}

void frmBitlicht::chkD_Click(int Index)
{
    const double placeValue = std::pow(2.0, Index);
    if (value(chkD[Index]) == 1) {
        m_declare.Wert = toInt16(m_declare.Wert + placeValue);
        loadLed(Index, Led::Lit);
        setText(txtDualAusgabe[Index], QStringLiteral("1"));
    } else {
        m_declare.Wert = toInt16(m_declare.Wert - placeValue);
        loadLed(Index, Led::Dark);
        setText(txtDualAusgabe[Index], QStringLiteral("0"));
    }
    if (m_declare.Simulation == 0)
        writePort(m_declare.Wert);
    setText(txtWertausgabe, QString::number(m_declare.Wert));
    if (m_declare.Wert > 31 && m_declare.Wert < 256)
        setText(txtAsc, ansiCharacter(static_cast<unsigned char>(m_declare.Wert)));
    else
        setText(txtAsc, QString());
}

void frmBitlicht::ChkSimulation_Click()
{
    m_declare.Simulation = 0;
    if (value(ChkSimulation) == 1)
        m_declare.Simulation = 1;
}

void frmBitlicht::chkLoesungAnzeigen_Click()
{
    setFieldVisible(txtWertausgabe, value(chkLoesungAnzeigen) == 1);
}

void frmBitlicht::chkAsc_Click()
{
    setFieldVisible(txtAsc, value(chkAsc) == 1);
}
