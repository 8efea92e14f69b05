#pragma once

#include "FormWindow.h"
#include "LedImage.h"
#include "M_Declare.h"
#include "M_inpout.h"
#include "Version.h"
#include "frmBitlicht_texts.h"

#include <array>
#include <exception>
#include <filesystem>
#include <string>

// The window's reactions, free of any toolkit. Each instance is a program
// start of its own: state and port connection begin afresh. The window is
// built first; once it reports its check boxes' changes here, load() runs the
// start-up reaction, and from then on every change reaches its reaction.
class frmBitlicht final : public Reactions
{
public:
    using Ref = layout::Ref;

    static constexpr const char* DarkLedFile = "\\LEDgruenDu.ico";
    static constexpr const char* LitLedFile = "\\LEDgruenHe.ico";
    static constexpr const char* Title = "Bitlicht " BITLICHT_VERSION " – vom Bitlicht-Team";

    // `programDirectory` is where the LED image files are read from.
    frmBitlicht(FormWindow& window, std::filesystem::path programDirectory);
    frmBitlicht(const frmBitlicht&) = delete;
    frmBitlicht& operator=(const frmBitlicht&) = delete;

    // The start-up reaction.
    void load();
    void boxChanged(Ref box) override;
    void outputChanged() override;

private:
    enum class Led { Dark, Lit };

    // The reactions' own operations; the others are the window's.
    [[nodiscard]] led::Image readLed(Led led);
    void loadLed(int index, Led led);
    void writePort(std::int16_t value);
    // Shows in the port frame where the bits are after `access`, or why not.
    template <typename Access> void showPortState(Access&& access);

    // An error nobody expected ends the program with a message, never
    // silently and never by unwinding through the toolkit.
    void endWithRunTimeError(const std::exception& e);

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
    std::array<std::string, 2> m_lastLedWarning; // each file's, by Led
    std::string m_lastPortWarning;
};
