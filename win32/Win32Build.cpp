// Building the Win32 window from the window description: its controls in
// tab order, and their places and fonts at the window's dots per inch.

#include "Win32Build.h"
#include "Win32Window.h"

#include "Dpi.h"
#include "WinText.h"
#include "frmBitlicht_texts.h"

#include <commctrl.h>

#include <algorithm>
#include <tuple>

using namespace layout;
using namespace win32::build;

namespace win32::build {

// Controls the keyboard reaches come first, in tab order, so that the dialog
// manager's order is theirs; then the LEDs, and last the frames, which thus
// lie beneath what they contain (where two frames' edges meet, the one of
// the higher tab index is drawn last).
std::vector<int> creationOrder()
{
    std::vector<int> order;
    for (const Ref ref : TabOrder)
        order.push_back(position(ref));
    for (const Kind kind : {PictureBox, Frame}) {
        const auto first = std::ptrdiff_t(order.size());
        for (int i = 0; i < ControlCount; ++i)
            if (Controls[std::size_t(i)].kind == kind)
                order.push_back(i);
        std::sort(order.begin() + first, order.end(), [](int a, int b) {
            return Controls[std::size_t(a)].tabIndex < Controls[std::size_t(b)].tabIndex;
        });
    }
    return order;
}

ControlClass classOf(const Control& c)
{
    constexpr DWORD Reachable = WS_TABSTOP | WS_GROUP;
    switch (c.kind) {
    case TextBox: {
        const Align align = lookOf(c.look).align;
        const DWORD style = align == Align::Right    ? ES_RIGHT
                            : align == Align::Centre ? ES_CENTER
                                                     : ES_LEFT;
        return {L"EDIT", Reachable | ES_AUTOHSCROLL | style, WS_EX_CLIENTEDGE};
    }
    case CheckBox:
        return {L"BUTTON", Reachable | BS_AUTOCHECKBOX, 0};
    case Frame:
        return {L"BUTTON", BS_GROUPBOX, 0};
    case PictureBox:
        return {L"STATIC", SS_OWNERDRAW, 0};
    }
    return {};
}

win32::Font textFont(const LookData& look, UINT dpi)
{
    return win32::Font(CreateFontW(-toPixels(look.twips, int(dpi)), 0, 0, 0, look.weight, FALSE,
                                   FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                                   wintext::wide(TextFont).c_str()));
}

// Windows' message font, as dialogs use it.
win32::Font dialogFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    if (!win32::dpi::nonClientMetrics(metrics, dpi))
        return textFont(lookOf(Default), dpi);
    return win32::Font(CreateFontIndirectW(&metrics.lfMessageFont));
}

// The main window's class, once per process.
void registerClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, ClassName, &windowClass))
        return;
    windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ClassName;
    RegisterClassExW(&windowClass);
}

} // namespace win32::build

namespace {

constexpr int ToolTipWidth = 300; // pixels at 96 dpi: a few words a line

} // namespace

void Win32Window::createMainWindow(HINSTANCE instance)
{
    registerClass(instance, windowProcedure);
    // Built at its final size for the screen it most likely opens on; the
    // few controls at once in place and with their fonts: each later move
    // costs a start-up time of its own.
    m_dpi = win32::dpi::ofSystem();
    const SIZE size = frameSize();
    // The procedure takes ownership of the handle at WM_NCCREATE.
    CreateWindowExW(0, ClassName, L"Bitlicht", MainStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                    size.cy, nullptr, nullptr, instance, this);
    if (!m_window)
        throw std::runtime_error("Das Fenster ließ sich nicht anlegen: " +
                                 wintext::errorText(GetLastError()));
    m_dpi = win32::dpi::ofWindow(m_window.get());
    if (frameSize().cx != size.cx)
        SetWindowPos(m_window.get(), nullptr, 0, 0, frameSize().cx, frameSize().cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    std::ignore = makeFonts();
    for (std::size_t i = 0; i < Looks.size(); ++i)
        if (Looks[i].backColour != NoColour)
            m_brushes[i].reset(CreateSolidBrush(win32::colorRef(Looks[i].backColour)));
}

void Win32Window::createControls(HINSTANCE instance)
{
    for (const int i : creationOrder()) {
        const Control& c = Controls[std::size_t(i)];
        const ControlClass kind = classOf(c);
        const Rect r = onForm(c);
        HWND control = CreateWindowExW(
            kind.extendedStyle, kind.name, wintext::wide(c.text).c_str(),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, pixels(r.left), pixels(r.top),
            pixels(r.width), pixels(r.height), m_window.get(),
            reinterpret_cast<HMENU>(INT_PTR(FirstControlId + i)), instance, nullptr);
        m_controls[std::size_t(i)] = control;
        setFont(control, c.look, false);
        win32::AccessibleText& text = m_accessible[std::size_t(i)];
        text.name = wintext::wide(accessibleName(c.ref));
        text.description = wintext::wide(accessibleDescription(c.ref));
        text.toggles = c.kind == CheckBox;
        SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_procedures[std::size_t(i)] = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure)));
    }
    m_lastFocus = control(FirstFocus);
}

void Win32Window::createToolTip(HINSTANCE instance)
{
    m_toolTip.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window.get(),
                                    nullptr, instance, nullptr));
    SendMessageW(m_toolTip.get(), TTM_SETMAXTIPWIDTH, 0, pixels(ToolTipWidth * TwipsPerPixel));
    forEachTool([this](TOOLINFOW& tool) {
        SendMessageW(m_toolTip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    });
}

// The port frame's tip shows over the frame and over the boxes in it.
void Win32Window::forEachTool(const std::function<void(TOOLINFOW&)>& action)
{
    TOOLINFOW frame{};
    frame.cbSize = sizeof frame;
    frame.uFlags = TTF_SUBCLASS;
    frame.hwnd = m_window.get();
    frame.uId = 0;
    frame.rect = toolRect();
    frame.lpszText = m_toolTipText.data();
    action(frame);
    for (const Control& c : Controls) {
        if (c.kind != CheckBox || !(c.container == Ref{Frame1}))
            continue;
        TOOLINFOW box = frame;
        box.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
        box.uId = reinterpret_cast<UINT_PTR>(control(c.ref));
        action(box);
    }
}

RECT Win32Window::toolRect() const
{
    const Rect r = onForm(Controls[std::size_t(position({Frame1}))]);
    return {pixels(r.left), pixels(r.top), pixels(r.left + r.width), pixels(r.top + r.height)};
}

int Win32Window::pixels(int twips) const
{
    return toPixels(twips, int(m_dpi));
}

SIZE Win32Window::frameSize() const
{
    const RECT frame = win32::dpi::frameAround({0, 0, pixels(ClientWidth), pixels(ClientHeight)},
                                               MainStyle, m_dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void Win32Window::setFont(HWND control, Look look, bool redraw) const
{
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(look)), redraw);
    // Large digits fill their fields edge to edge ("128", "255").
    if (look != Default)
        SendMessageW(control, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

// Again for new dots per inch.
void Win32Window::layOut()
{
    const SIZE size = frameSize();
    SetWindowPos(m_window.get(), nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The old fonts go once every control has its new one.
    const auto oldFonts = makeFonts();
    for (int i = 0; i < ControlCount; ++i) {
        const Rect r = onForm(Controls[std::size_t(i)]);
        HWND control = m_controls[std::size_t(i)];
        SetWindowPos(control, nullptr, pixels(r.left), pixels(r.top), pixels(r.width),
                     pixels(r.height), SWP_NOZORDER | SWP_NOACTIVATE);
        setFont(control, Controls[std::size_t(i)].look, true);
    }
    if (m_toolTip) {
        SendMessageW(m_toolTip.get(), TTM_SETMAXTIPWIDTH, 0, pixels(ToolTipWidth * TwipsPerPixel));
        forEachTool([this](TOOLINFOW& tool) {
            SendMessageW(m_toolTip.get(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        });
    }
    InvalidateRect(m_window.get(), nullptr, TRUE);
}

namespace {

// The first look with the same font as look `i`: looks that share a font
// share one, made once.
constexpr std::size_t fontOwner(std::size_t i)
{
    std::size_t first = 0;
    while (Looks[first].twips != Looks[i].twips || Looks[first].weight != Looks[i].weight)
        ++first;
    return first;
}

} // namespace

// New fonts for the current dots per inch; returns the old ones.
std::array<win32::Font, Looks.size()> Win32Window::makeFonts()
{
    std::array<win32::Font, Looks.size()> old = std::move(m_fonts);
    for (std::size_t i = 0; i < Looks.size(); ++i)
        if (fontOwner(i) == i)
            m_fonts[i] = Look(i) == Default ? dialogFont(m_dpi) : textFont(Looks[i], m_dpi);
    return old;
}

HFONT Win32Window::fontFor(Look look) const
{
    return m_fonts[fontOwner(std::size_t(look))].get();
}
