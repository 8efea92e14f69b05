#pragma once

#include "LedImage.h"
#include "frmBitlicht_texts.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

// One fresh program start in a real window of one toolkit, as the behaviour
// suite drives and reads it: what a user does, and what the window shows.
// Each window toolkit provides it once (probe_qt.cpp, probe_win32.cpp,
// probe_web.cpp).
class Probe
{
public:
    using Ref = layout::Ref;
    enum class Key { Tab, BackTab, Space };
    enum class Said { Name, Description };
    // The ways a check box changes: a mouse click; a screen reader's or
    // switch access's press (Win32: BM_CLICK) and toggle (Win32: the MSAA
    // default action); another program or code setting it (Win32: BM_SETCHECK).
    enum class Via { Mouse, Press, Toggle, Program };

    virtual ~Probe() = default;

    // Changes a check box's value that way, and waits until it has changed.
    virtual void change(Ref box, Via via) = 0;
    // A key pressed in the shown, active window, reaching the focused control.
    virtual void press(Key key) = 0;

    [[nodiscard]] virtual int value(Ref box) = 0;
    [[nodiscard]] virtual std::string text(Ref control) = 0; // UTF-8; frames: caption
    [[nodiscard]] virtual bool visible(Ref control) = 0;
    [[nodiscard]] virtual std::string focused() = 0; // the focused control's name, "chkD(3)"
    [[nodiscard]] virtual std::string title() = 0;
    // What a screen reader is told of a control.
    [[nodiscard]] virtual std::string accessible(Ref control, Said what) = 0;
    // The window's client area as drawn on screen, in device pixels.
    [[nodiscard]] virtual led::Image picture() = 0;
    // Device pixels per twip times 1440: 96 on an ordinary screen.
    [[nodiscard]] virtual int dotsPerInch() = 0;
};

// Starts the program afresh with its LED files read from `programDirectory`
// and its port library found as the platform finds it.
[[nodiscard]] std::unique_ptr<Probe> startProgram(const std::filesystem::path& programDirectory);

// Sets the platform up for windows, runs the suite and returns its result.
int runWithWindows(int argc, char** argv, const std::function<int()>& suite);

// The character of a byte in Windows-1252 as UTF-8, from the platform's own
// code page tables.
[[nodiscard]] std::string referenceCp1252(unsigned char code);

// The stand-in port library's fault for the next calls ("ok", or the
// platform's failing mode), read by it at every call.
void setPortMode(const char* mode);

// What differs between the platforms.
struct Platform
{
    const char* toolkit; // names the golden pictures: "qt", "win32", "web"
    // A stand-in mode in which every write fails, and the sentence the user
    // then reads; and what the user reads when the library is missing (none
    // where no library is loaded).
    const char *failingMode, *failureSentence, *missingLibrary;
    // The port frame's caption when the stand-in is reached, and a part of
    // its tool tip that tells where the bits are.
    const char *output, *where;
};
[[nodiscard]] const Platform& platform();

// Makes a FIFO or a link to a device at `at`, where the platform has them.
bool makeSpecialFile(const std::string& kind, const std::filesystem::path& at);
