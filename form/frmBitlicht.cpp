// The window's reactions and the few operations they use on it.

#include "frmBitlicht.h"

#include "Ansi.h"
#include "BuiltInIcons.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

using layout::Name;
using layout::Ref;
using namespace layout::names;

namespace {

// A value formed in double precision and rounded back to 16 bits.
std::int16_t toInt16(double value)
{
    return static_cast<std::int16_t>(std::lround(value));
}

} // namespace

frmBitlicht::frmBitlicht(FormWindow& window, std::filesystem::path programDirectory)
    : m_window(window), m_programDirectory(std::move(programDirectory)),
      m_builtInLit(led::decode(resources::LitIcon)), m_builtInDark(led::decode(resources::DarkIcon))
{
    // Every LED starts with the built-in lit image; the window's icon is the dark one.
    for (int i = 0; i <= 7; ++i)
        m_window.setPicture(i, m_builtInLit, true);
    m_window.setIcon(m_builtInDark);
    m_port.onAnswer([&window] { window.postOutputChanged(); });
}

void frmBitlicht::load()
{
    try {
        Form_Load();
    } catch (const std::exception& e) {
        endWithRunTimeError(e);
    }
}

void frmBitlicht::boxChanged(Ref box)
{
    try {
        switch (box.name) {
        case Name::chkD:
            return chkD_Click(box.index);
        case Name::ChkSimulation:
            return ChkSimulation_Click();
        case Name::chkLoesungAnzeigen:
            return chkLoesungAnzeigen_Click();
        case Name::chkAsc:
            return chkAsc_Click();
        default:
            return;
        }
    } catch (const std::exception& e) {
        endWithRunTimeError(e);
    }
}

void frmBitlicht::endWithRunTimeError(const std::exception& e)
{
    std::fprintf(stderr, "bitlicht: Laufzeitfehler: %s\n", e.what());
    m_window.endWithRunTimeError(layout::runTimeErrorText(e.what()));
}

// --- The reactions' own operations ---

// Reads the LED file anew. Should that fail, the built-in image of the same
// state stands in, so the LED always shows its bit.
led::Image frmBitlicht::readLed(Led led)
{
    const bool lit = led == Led::Lit;
    try {
        return led::load(led::path(m_programDirectory, lit ? LitLedFile : DarkLedFile));
    } catch (const led::ImageError& e) {
        // Once per file and cause, not once per LED or toggle (both files
        // missing would otherwise alternate, a line at every toggle).
        if (std::string& last = m_lastLedWarning[std::size_t(led)]; last != e.what()) {
            last = e.what();
            std::fprintf(stderr, "bitlicht: LED-Bild: %s\n", e.what());
        }
        return lit ? m_builtInLit : m_builtInDark;
    }
}

void frmBitlicht::loadLed(int index, Led led)
{
    m_window.setPicture(index, readLed(led), led == Led::Lit);
}

// A failed write is skipped: no message box, the reaction goes on and the
// next write tries again. The port frame names the output the bits reached,
// or tells why they did not.
void frmBitlicht::writePort(std::int16_t value)
{
    showPortState([&] { m_port.Out32(M_inpout::DataPort, value); });
}

// A board that was still starting at the last write has answered, or failed:
// the frame says so now, not only at the next write.
void frmBitlicht::outputChanged()
{
    try {
        showPortState([&] { m_port.outcome(); });
    } catch (const std::exception& e) {
        endWithRunTimeError(e);
    }
}

template <typename Access> void frmBitlicht::showPortState(Access&& access)
{
    try {
        access();
        m_window.setPortState(m_port.outputName(),
                              "Die Bits D0 bis D7 liegen " + m_port.where() + " an.");
    } catch (const PortError& e) {
        const std::string output = e.output().empty() ? PortText::ParallelName : e.output();
        const bool pending = e.kind() == PortError::Kind::Pending;
        m_window.setPortState(output + (pending ? " – wird verbunden" : " – nicht erreichbar"),
                              e.what());
        // The technical rest for whoever looks, once per cause.
        const std::string warning = e.detail().empty() ? e.what() : e.what() + (" " + e.detail());
        if (warning != m_lastPortWarning)
            std::fprintf(stderr, "bitlicht: %s: %s\n", output.c_str(), warning.c_str());
        m_lastPortWarning = warning;
    }
}

// --- Reactions ---

void frmBitlicht::Form_Load()
{
    m_window.setTitle(Title);
    m_window.setValue(ChkSimulation, 1);
    m_window.setValue(chkLoesungAnzeigen, 1);
    m_window.setValue(chkAsc, 0);
    m_window.setFieldVisible(txtAsc, false);
    m_window.setText(txtWertausgabe, "0");
    // From here a failure is skipped: the port is cleared at every start,
    // whatever the switches say, and each LED goes dark (one file, read once).
    writePort(0);
    const led::Image dark = readLed(Led::Dark);
    for (int i = 0; i <= 7; ++i) {
        m_window.setPicture(i, dark, false);
        m_window.setText(txtDualAusgabe(i), "0");
    }
}

void frmBitlicht::chkD_Click(int Index)
{
    const double placeValue = std::pow(2.0, Index);
    if (m_window.value(chkD(Index)) == 1) {
        m_declare.Wert = toInt16(m_declare.Wert + placeValue);
        loadLed(Index, Led::Lit);
        m_window.setText(txtDualAusgabe(Index), "1");
    } else {
        m_declare.Wert = toInt16(m_declare.Wert - placeValue);
        loadLed(Index, Led::Dark);
        m_window.setText(txtDualAusgabe(Index), "0");
    }
    if (m_declare.Simulation == 0)
        writePort(m_declare.Wert);
    m_window.setText(txtWertausgabe, std::to_string(m_declare.Wert));
    if (m_declare.Wert > 31 && m_declare.Wert < 256)
        m_window.setText(txtAsc, ansiCharacter(static_cast<unsigned char>(m_declare.Wert)));
    else
        m_window.setText(txtAsc, "");
}

void frmBitlicht::ChkSimulation_Click()
{
    m_declare.Simulation = 0;
    if (m_window.value(ChkSimulation) == 1)
        m_declare.Simulation = 1;
    // Real LEDs asked for: the one moment a browser lets the page ask which
    // device they are on. Nothing is written before the next change of a bit.
    if (m_declare.Simulation == 0)
        m_port.askUser();
}

void frmBitlicht::chkLoesungAnzeigen_Click()
{
    m_window.setFieldVisible(txtWertausgabe, m_window.value(chkLoesungAnzeigen) == 1);
}

void frmBitlicht::chkAsc_Click()
{
    m_window.setFieldVisible(txtAsc, m_window.value(chkAsc) == 1);
}
