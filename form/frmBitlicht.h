#pragma once

#include "FormWindow.h"
#include "LedImage.h"
#include "M_Declare.h"
#include "M_inpout.h"
#include "Version.h"
#include "frmBitlicht_names.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

// The window's reactions, free of any toolkit. A window builds its controls,
// then creates this, which runs the start-up reaction; from then on every
// change of a check box's value reaches its reaction through the window.
// Each instance is a program start of its own: state and port connection
// begin afresh.
class frmBitlicht
{
public:
    using Ref = layout::Ref;

    static constexpr const char* DarkLedFile = "\\LEDgruenDu.ico";
    static constexpr const char* LitLedFile = "\\LEDgruenHe.ico";
    static constexpr const char* Title = "Bitlicht " BITLICHT_VERSION " – vom Bitlicht-Team";

    // `programDirectory` is where the LED image files are read from.
    frmBitlicht(FormWindow& window, std::filesystem::path programDirectory,
                M_inpout port = M_inpout());
    ~frmBitlicht();
    frmBitlicht(const frmBitlicht&) = delete;
    frmBitlicht& operator=(const frmBitlicht&) = delete;

    [[nodiscard]] const M_Declare& declare() const { return m_declare; }
    // The window icon: the built-in dark LED.
    [[nodiscard]] const led::Image& windowIcon() const { return m_builtInDark; }

private:
    enum class Led { Dark, Lit };

    // The value of this box changed: runs its reaction.
    void clicked(Ref box);

    // The few operations the reactions use on the window.
    [[nodiscard]] int value(Ref box) const;
    void setValue(Ref box, int value);
    void setText(Ref field, std::string_view text);
    void setFieldVisible(Ref field, bool visible);
    void loadLed(int index, Led led);
    void writePort(std::int16_t value);

    // Runs a reaction. An error nobody expected ends the program with a
    // message, never silently and never by unwinding through the toolkit.
    template <typename Reaction> void react(Reaction&& reaction)
    {
        try {
            reaction();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bitlicht: Laufzeitfehler: %s\n", e.what());
            m_window.endWithRunTimeError(layout::runTimeErrorText(e.what()));
        }
    }

    // Reactions.
    void Form_Load();
    void chkD_Click(int Index);
    void ChkSimulation_Click();
    void chkLoesungAnzeigen_Click();
    void chkAsc_Click();

    FormWindow& m_window;
    M_Declare m_declare;
    M_inpout m_port;
    std::filesystem::path m_programDirectory;
    led::Image m_builtInLit;
    led::Image m_builtInDark;
    std::string m_lastLedWarning;
    std::string m_lastPortWarning;
};
