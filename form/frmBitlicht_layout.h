#pragma once

// The window as it is described: every control with its container, place
// and size in twips (1/1440 inch), its text, look and tab index. Each window
// toolkit builds its controls from the one list `Controls` and converts twips
// to pixels in one place, toPixels().

#include <algorithm>
#include <array>
#include <cstdint>

namespace layout {

constexpr int TwipsPerInch = 1440;
constexpr int TwipsPerPixel = 15; // at 96 dots per inch

// Pixels at `dotsPerInch` (device-independent pixels at the default 96),
// rounded to the nearest as Windows' MulDiv does. The one conversion:
// places, sizes and font heights alike.
constexpr int toPixels(int twips, int dotsPerInch = 96)
{
    const int scaled = twips * dotsPerInch;
    return (scaled + (scaled < 0 ? -TwipsPerInch : TwipsPerInch) / 2) / TwipsPerInch;
}

constexpr int ClientWidth = 7215;  // 481 px at 96 dpi
constexpr int ClientHeight = 5610; // 374 px at 96 dpi

enum class Kind : std::uint8_t { TextBox, CheckBox, Frame, PictureBox };

// The looks of the controls: fonts and colours of the text boxes, and the
// captions' dialog font (Default).
enum class Look : std::uint8_t { Default, DecimalField, CharacterField, PlaceValue, Digit };
enum class Align : std::uint8_t { Left, Centre, Right };

constexpr std::uint32_t NoColour = 0xFFFFFFFF; // the platform's own
constexpr const char* TextFont = "Arial";      // 700 is bold

struct LookData
{
    int twips;  // font height
    int weight; // 400 normal, 700 bold
    Align align;
    std::uint32_t foreColour, backColour; // RGB, or NoColour
};

constexpr std::array<LookData, 5> Looks{{
    // clang-format off
    //  height          weight  align          text      background
    {8 * 20,            400,    Align::Left,   NoColour, NoColour},  // Default: 8 pt, see below
    {48 * 20,           700,    Align::Right,  NoColour, NoColour},  // DecimalField: 48 pt
    {48 * 20,           700,    Align::Centre, NoColour, NoColour},  // CharacterField: 48 pt
    {1425 * 20 / 100,   700,    Align::Centre, 0x000000, 0xE0E0E0},  // PlaceValue: 14.25 pt
    {36 * 20,           700,    Align::Centre, NoColour, NoColour},  // Digit: 36 pt
    // clang-format on
}};
// A field with a background of its own has its own text colour too, so it
// stays readable under any desktop theme. Captions take the platform's
// dialog font where it names one (Windows' message font); elsewhere this
// small sans serif in TextFont, in which every caption fits its box.

constexpr const LookData& lookOf(Look look)
{
    return Looks[std::size_t(look)];
}

// The controls' names. An array member is a name with an index: chkD(3).
enum class Name : std::uint8_t {
    txtWertausgabe,
    txtAsc,
    chkLoesungAnzeigen,
    chkAsc,
    Frame2,
    Frame1,
    ChkSimulation,
    txtDualAusgabe,
    Picture1,
    chkD,
};
constexpr std::array<const char*, 10> NameText{
    "txtWertausgabe", "txtAsc",        "chkLoesungAnzeigen", "chkAsc",   "Frame2",
    "Frame1",         "ChkSimulation", "txtDualAusgabe",     "Picture1", "chkD"};

struct Ref
{
    Name name;
    int index = -1; // -1: not an array member
    friend constexpr bool operator==(Ref, Ref) = default;
};

// The controls by their names, as the reactions use them: chkD(3), txtAsc.
namespace names {
constexpr Ref chkD(int index)
{
    return {Name::chkD, index};
}
constexpr Ref txtDualAusgabe(int index)
{
    return {Name::txtDualAusgabe, index};
}
constexpr Ref Picture1(int index)
{
    return {Name::Picture1, index};
}
constexpr Ref txtWertausgabe{Name::txtWertausgabe}, txtAsc{Name::txtAsc}, Frame1{Name::Frame1},
    ChkSimulation{Name::ChkSimulation}, chkLoesungAnzeigen{Name::chkLoesungAnzeigen},
    chkAsc{Name::chkAsc};
} // namespace names

// A place and size in twips.
struct Rect
{
    int left, top, width, height;
};

struct Control
{
    Ref ref;
    Kind kind;
    Ref container; // Form: the form itself
    Rect place;    // relative to the container
    const char* text;
    Look look;
    int tabIndex;
};

using enum Kind;
using enum Look;
using enum Name;

constexpr Ref Form{Name(0xFF)};

// Frames come before what they contain.
constexpr std::array FormControls{
    // clang-format off
    //       name                   kind      in    left   top    width  height text                    look            tab
    Control{{txtWertausgabe},     TextBox,  Form, {2640,  120,   1935,  1185}, "",                     DecimalField,   17},
    Control{{txtAsc},             TextBox,  Form, {5520,  120,   1455,  1185}, "",                     CharacterField, 38},
    Control{{chkLoesungAnzeigen}, CheckBox, Form, {2640,  1320,  2055,  255},  "Dezimalzahl anzeigen", Default,        37},
    Control{{chkAsc},             CheckBox, Form, {5520,  1320,  1455,  255},  "ASCII anzeigen",       Default,        39},
    Control{{Frame2, 1},          Frame,    Form, {120,   1680,  6975,  855},  "",                     Default,        27},
    Control{{Frame2, 0},          Frame,    Form, {120,   2520,  6975,  1215}, "Bitlicht",             Default,        18},
    Control{{Frame1},             Frame,    Form, {120,   3840,  6975,  1335}, "Parallelport",         Default,        0},
    // Reaches 45 twips below the client area and is clipped there.
    Control{{ChkSimulation},      CheckBox, Form, {5520,  5280,  1455,  375},  "Nur Simulation",       Default,        36},
    // clang-format on
};

// One column per bit, bit 7 at the left: place value above digit, LED and
// check box.
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
constexpr Rect PlaceValueRect{0, 240, 615, 450};
constexpr Rect DigitRect{0, 240, 615, 855};
constexpr Rect LedRect{0, 240, 615, 495};
constexpr Rect BoxRect{0, 840, 0, 375};

// The place-value field of bit b is txtDualAusgabe(15 - b); digit field, LED
// and check box of bit b carry index b.
constexpr int placeValueIndex(int bit)
{
    return 15 - bit;
}

constexpr std::array<const char*, 8> PlaceValueText{"1", "2", "4", "8", "16", "32", "64", "128"};
constexpr std::array<const char*, 8> BitCaption{"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7"};

constexpr int ControlCount = int(FormControls.size() + 4 * BitColumns.size());

constexpr Rect at(Rect place, int left, int width = 0)
{
    place.left = left;
    if (width)
        place.width = width;
    return place;
}

// Every control of the window, frames first, then the bit columns.
constexpr std::array<Control, ControlCount> makeControls()
{
    std::array<Control, ControlCount> all{};
    int n = 0;
    for (const Control& c : FormControls)
        all[n++] = c;
    for (const BitColumn& col : BitColumns) {
        const int b = col.bit;
        all[n++] = {{txtDualAusgabe, placeValueIndex(b)},
                    TextBox,
                    {Frame2, 1},
                    at(PlaceValueRect, col.placeValueLeft),
                    PlaceValueText[b],
                    PlaceValue,
                    col.placeValueTab};
        all[n++] = {
            {txtDualAusgabe, b}, TextBox, {Frame2, 0}, at(DigitRect, col.digitLeft), "", Digit,
            col.digitTab};
        all[n++] = {{Picture1, b}, PictureBox, {Frame1}, at(LedRect, col.ledLeft), "",
                    Default,       col.ledTab};
        all[n++] = {{chkD, b},     CheckBox, {Frame1},  at(BoxRect, col.boxLeft, col.boxWidth),
                    BitCaption[b], Default,  col.boxTab};
    }
    return all;
}
constexpr std::array<Control, ControlCount> Controls = makeControls();

// Where a control stands in `Controls`.
constexpr int position(Ref ref)
{
    for (int i = 0; i < ControlCount; ++i)
        if (Controls[i].ref == ref)
            return i;
    return -1;
}

// The keyboard's order: the controls that take the focus (text and check
// boxes) by tab index. The first has the focus when the window opens.
constexpr bool takesFocus(Kind kind)
{
    return kind == TextBox || kind == CheckBox;
}
constexpr int FocusCount = [] {
    int n = 0;
    for (const Control& c : Controls)
        n += takesFocus(c.kind);
    return n;
}();
constexpr std::array<Ref, FocusCount> TabOrder = [] {
    std::array<const Control*, FocusCount> byTab{};
    int n = 0;
    for (const Control& c : Controls)
        if (takesFocus(c.kind))
            byTab[std::size_t(n++)] = &c;
    std::sort(byTab.begin(), byTab.end(),
              [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });
    std::array<Ref, FocusCount> order{};
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = byTab[i]->ref;
    return order;
}();
constexpr Ref FirstFocus = TabOrder.front();

// The control's place relative to the client area.
constexpr Rect onForm(const Control& c)
{
    Rect b = c.place;
    if (!(c.container == Form)) {
        const Rect frame = Controls[position(c.container)].place;
        b.left += frame.left;
        b.top += frame.top;
    }
    return b;
}

} // namespace layout
