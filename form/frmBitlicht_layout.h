#pragma once

// The window as it is described: every control with its container, place
// and size in twips (1/1440 inch), its text, look and tab index. Converted to
// device-independent pixels in one place, toPixels().

#include <array>

namespace layout {

constexpr int TwipsPerPixel = 15; // at 96 dots per inch

constexpr int toPixels(int twips)
{
    return twips / TwipsPerPixel;
}

constexpr int ClientWidth = 7215;  // 481 px
constexpr int ClientHeight = 5610; // 374 px

enum class Kind { TextBox, CheckBox, Frame, PictureBox };

// Captions: a small sans serif, as dialogs of the program's kind use, so that
// every caption fits its box.
constexpr const char* DialogFontFamily = "Arial";
constexpr double DialogFontPoints = 8;

// Fonts and colours of the text boxes.
enum class Look {
    Default,
    DecimalField,   // Arial 48 pt bold, right-aligned
    CharacterField, // Arial 48 pt bold, centred
    PlaceValue,     // Arial 14.25 pt bold, centred, light grey
    Digit,          // Arial 36 pt bold, centred
};

struct Box
{
    int left, top, width, height;
};

struct Control
{
    const char* name;
    Kind kind;
    const char* container; // nullptr: the form itself
    Box box;
    const char* text;
    Look look;
    int tabIndex;
};

using enum Kind;
using enum Look;

// Frames come before what they contain.
constexpr std::array FormControls{
    // clang-format off
    //       name                  kind      container  left   top    width  height text                    look            tab
    Control{"txtWertausgabe",     TextBox,  nullptr, {2640,  120,   1935,  1185}, "",                     DecimalField,   17},
    Control{"txtAsc",             TextBox,  nullptr, {5520,  120,   1455,  1185}, "",                     CharacterField, 38},
    Control{"chkLoesungAnzeigen", CheckBox, nullptr, {2640,  1320,  2055,  255},  "Dezimalzahl anzeigen", Default,        37},
    Control{"chkAsc",             CheckBox, nullptr, {5520,  1320,  1455,  255},  "ASCII anzeigen",       Default,        39},
    Control{"Frame2(1)",          Frame,    nullptr, {120,   1680,  6975,  855},  "",                     Default,        27},
    Control{"Frame2(0)",          Frame,    nullptr, {120,   2520,  6975,  1215}, "Bitlicht",             Default,        18},
    Control{"Frame1",             Frame,    nullptr, {120,   3840,  6975,  1335}, "Parallelport",         Default,        0},
    // Reaches 45 twips below the client area and is clipped there.
    Control{"ChkSimulation",      CheckBox, nullptr, {5520,  5280,  1455,  375},  "Nur Simulation",       Default,        36},
    // clang-format on
};

// One column per bit, bit 7 at the left: place value above digit, LED and box.
struct BitColumn
{
    int bit;
    int placeValueLeft, digitLeft, ledLeft, boxLeft, boxWidth;
    int placeValueTab, digitTab, ledTab, boxTab;
};

constexpr std::array BitColumns{
    // clang-format off
    //        bit  place  digit  LED    box    width  tabs: place digit LED box
    BitColumn{7,   240,   240,   240,   400,   615,         28,   26,   16,  9},
    BitColumn{6,   1080,  1080,  1080,  1200,  615,         29,   25,   15,  8},
    BitColumn{5,   1920,  1920,  1920,  2000,  615,         30,   24,   14,  7},
    BitColumn{4,   2760,  2760,  2820,  2880,  615,         31,   23,   13,  6},
    BitColumn{3,   3600,  3600,  3615,  3720,  615,         32,   22,   12,  5},
    BitColumn{2,   4440,  4440,  4440,  4560,  615,         33,   21,   11,  4},
    BitColumn{1,   5280,  5280,  5280,  5400,  615,         34,   20,   10,  3},
    BitColumn{0,   6120,  6120,  6120,  6120,  600,         35,   19,   2,   1},
    // clang-format on
};

// What the members of each row share (top, width, height), inside their frames.
constexpr const char* PlaceValueFrame = "Frame2(1)";
constexpr const char* DigitFrame = "Frame2(0)";
constexpr const char* BitFrame = "Frame1";
constexpr Box PlaceValueBox{0, 240, 615, 450};
constexpr Box DigitBox{0, 240, 615, 855};
constexpr Box LedBox{0, 240, 615, 495};
constexpr Box BitBox{0, 840, 0, 375};

// Place-value field of bit b is txtDualAusgabe(15 - b); digit field, LED and
// box of bit b carry index b.
constexpr int placeValueIndex(int bit)
{
    return 15 - bit;
}

} // namespace layout
