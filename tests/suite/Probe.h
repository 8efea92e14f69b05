#pragma once

#include "LedImage.h"
#include "frmBitlicht_layout.h"

#include <filesystem>
#include <memory>
#include <string>

// One fresh program start in a real window of one toolkit, as the behaviour
// suite drives and reads it: what a user does, and what the window shows.
// Each window toolkit provides it once (probe_qt.cpp, probe_win32.cpp).
class Probe
{
public:
    using Ref = layout::Ref;
    enum class Key { Tab, BackTab, Space };

    virtual ~Probe() = default;

    // A mouse click on a check box.
    virtual void click(Ref box) = 0;
    // A key pressed in the shown, active window, reaching the focused control.
    virtual void press(Key key) = 0;

    [[nodiscard]] virtual int value(Ref box) = 0;
    [[nodiscard]] virtual std::string text(Ref control) = 0; // UTF-8; frames: caption
    [[nodiscard]] virtual bool visible(Ref control) = 0;
    [[nodiscard]] virtual std::string focused() = 0; // the focused control's name, "chkD(3)"
    [[nodiscard]] virtual std::string title() = 0;
    // What a screen reader is told of a control.
    [[nodiscard]] virtual std::string accessibleName(Ref control) = 0;
    // The window's client area as drawn on screen, in device pixels.
    [[nodiscard]] virtual led::Image picture() = 0;
    // Device pixels per twip times 1440: 96 on an ordinary screen.
    [[nodiscard]] virtual int dotsPerInch() = 0;
};

// Starts the program afresh with its LED files read from `programDirectory`
// and its port library found as the platform finds it.
[[nodiscard]] std::unique_ptr<Probe> startProgram(const std::filesystem::path& programDirectory);

// The character of a byte in Windows-1252 as UTF-8, from the platform's own
// code page tables.
[[nodiscard]] std::string referenceCp1252(unsigned char code);
