#pragma once

// What the tests observe of a running program, in process or in a real
// window: where its controls are drawn, the LEDs' colours, and the stand-in
// port library's record of calls, one per line, in the file named by
// FAKE1284_LOG: "load", "find", "write 5", ...

#include "frmBitlicht_layout.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>

// The discs' colours (RGB) of the lit and the dark LED.
constexpr std::uint32_t LitLed = 0x55FF00, DarkLed = 0x257300;

// The middle of a control in device pixels at `dotsPerInch`.
inline std::pair<int, int> middleOf(layout::Ref ref, int dotsPerInch)
{
    const layout::Rect b = layout::onForm(layout::Controls[layout::position(ref)]);
    return {layout::toPixels(b.left + b.width / 2, dotsPerInch),
            layout::toPixels(b.top + b.height / 2, dotsPerInch)};
}

// All calls, joined by ", " ("load, find, ..."); or only the bytes written ("0 5 ").
inline std::string portLog(bool writesOnly = false)
{
    std::string all;
    std::ifstream log(std::getenv("FAKE1284_LOG"));
    for (std::string line; std::getline(log, line);)
        if (!writesOnly)
            all += (all.empty() ? "" : ", ") + line;
        else if (line.starts_with("write "))
            all += line.substr(6) + " ";
    return all;
}

inline void clearPortLog()
{
    std::ofstream(std::getenv("FAKE1284_LOG"), std::ios::trunc);
}
