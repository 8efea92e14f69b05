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

frmBitlicht::frmBitlicht(FormWindow& window, std::filesystem::path programDirectory, M_inpout port)
    : m_window(window), m_port(std::move(port)), m_programDirectory(std::move(programDirectory)),
      m_builtInLit(led::decode(resources::LitIcon)), m_builtInDark(led::decode(resources::DarkIcon))
{
    // Every LED starts with the built-in lit image.
    for (int i = 0; i <= 7; ++i)
        m_window.setPicture(i, m_builtInLit, true);
    m_window.setReactions([this](Ref box) { clicked(box); });
    react([this] { Form_Load(); });
}

frmBitlicht::~frmBitlicht()
{
    m_window.setReactions({});
}

void frmBitlicht::clicked(Ref box)
{
    react([this, box] {
        switch (box.name) {
        case Name::chkD:
            chkD_Click(box.index);
            break;
        case Name::ChkSimulation:
            ChkSimulation_Click();
            break;
        case Name::chkLoesungAnzeigen:
            chkLoesungAnzeigen_Click();
            break;
        case Name::chkAsc:
            chkAsc_Click();
            break;
        default:
            break;
        }
    });
}

// --- Operations on the window ---

int frmBitlicht::value(Ref box) const
{
    return m_window.value(box);
}

// A change runs the box's reaction at once, through the window, before this
// returns; setting the value it already has runs nothing.
void frmBitlicht::setValue(Ref box, int value)
{
    m_window.setChecked(box, value == 1);
}

void frmBitlicht::setText(Ref field, std::string_view text)
{
    m_window.setText(field, text);
}

void frmBitlicht::setFieldVisible(Ref field, bool visible)
{
    m_window.setVisible(field, visible);
}

// Reads the LED file anew. Should that fail, the built-in image of the same
// state stands in, so the LED always shows its bit.
void frmBitlicht::loadLed(int index, Led led)
{
    const bool lit = led == Led::Lit;
    led::Image image;
    try {
        image = led::load(led::path(m_programDirectory, lit ? LitLedFile : DarkLedFile));
    } catch (const led::ImageError& e) {
        // Once per cause, not once per LED.
        if (m_lastLedWarning != e.what()) {
            m_lastLedWarning = e.what();
            std::fprintf(stderr, "bitlicht: LED-Bild: %s\n", e.what());
        }
        image = lit ? m_builtInLit : m_builtInDark;
    }
    m_window.setPicture(index, image, lit);
}

// A failed write is skipped: no message box, the reaction goes on and the
// next write tries again. The port frame names the output the bits reached,
// or tells why they did not.
void frmBitlicht::writePort(std::int16_t value)
{
    try {
        m_port.Out32(M_inpout::DataPort, value);
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
    setValue(ChkSimulation, 1);
    setValue(chkLoesungAnzeigen, 1);
    setValue(chkAsc, 0);
    setFieldVisible(txtAsc, false);
    setText(txtWertausgabe, "0");
    // From here a failure is skipped: the port is cleared at every start,
    // whatever the switches say, and each LED goes dark.
    writePort(0);
    for (int i = 0; i <= 7; ++i) {
        loadLed(i, Led::Dark);
        setText(txtDualAusgabe(i), "0");
    }
}

void frmBitlicht::chkD_Click(int Index)
{
    const double placeValue = std::pow(2.0, Index);
    if (value(chkD(Index)) == 1) {
        m_declare.Wert = toInt16(m_declare.Wert + placeValue);
        loadLed(Index, Led::Lit);
        setText(txtDualAusgabe(Index), "1");
    } else {
        m_declare.Wert = toInt16(m_declare.Wert - placeValue);
        loadLed(Index, Led::Dark);
        setText(txtDualAusgabe(Index), "0");
    }
    if (m_declare.Simulation == 0)
        writePort(m_declare.Wert);
    setText(txtWertausgabe, std::to_string(m_declare.Wert));
    if (m_declare.Wert > 31 && m_declare.Wert < 256)
        setText(txtAsc, ansiCharacter(static_cast<unsigned char>(m_declare.Wert)));
    else
        setText(txtAsc, "");
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
