// Building the Win32 window from the window description: its controls in
// tab order, and their places and fonts at the window's dots per inch.

#include "Win32Window.h"

#include "Dpi.h"
#include "WinText.h"
#include "frmBitlicht_names.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <tuple>
#include <vector>

using namespace layout;

namespace {

constexpr const wchar_t* ClassName = L"Bitlicht";
// Not WS_CLIPCHILDREN: a group box paints only its line and caption, the
// window's own background shows through it.
constexpr DWORD MainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int ToolTipWidth = 300; // pixels at 96 dpi: a few words a line

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

// Controls the keyboard reaches come first, in tab-index order, so that the
// dialog manager's order is theirs; then the LEDs, and last the frames,
// which thus lie beneath what they contain.
std::vector<int> creationOrder()
{
    std::vector<int> order(ControlCount);
    std::iota(order.begin(), order.end(), 0);
    const auto rank = [](Kind kind) { return kind == PictureBox ? 1 : kind == Frame ? 2 : 0; };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const Control &x = Controls[std::size_t(a)], &y = Controls[std::size_t(b)];
        return std::pair(rank(x.kind), x.tabIndex) < std::pair(rank(y.kind), y.tabIndex);
    });
    return order;
}

struct ControlClass
{
    const wchar_t* name;
    DWORD style;
    DWORD extendedStyle;
};

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

win32::Font dialogFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics{};
    if (!win32::dpi::nonClientMetrics(metrics, dpi))
        return win32::Font(CreateFontW(
            -MulDiv(9, int(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Segoe UI"));
    return win32::Font(CreateFontIndirectW(&metrics.lfMessageFont));
}

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
    const int big = win32::dpi::systemMetric(SM_CXICON, m_dpi);
    const int small = win32::dpi::systemMetric(SM_CXSMICON, m_dpi);
    m_bigIcon.reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, big, big, LR_DEFAULTCOLOR)));
    m_smallIcon.reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, small, small, LR_DEFAULTCOLOR)));
    SendMessageW(m_window.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.get()));
    SendMessageW(m_window.get(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(m_smallIcon.get()));
}

void Win32Window::createControls(HINSTANCE instance)
{
    for (const int i : creationOrder()) {
        const Control& c = Controls[std::size_t(i)];
        const ControlClass kind = classOf(c);
        const Box b = onForm(c);
        HWND control = CreateWindowExW(
            kind.extendedStyle, kind.name, wintext::wide(c.text).c_str(),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, pixels(b.left), pixels(b.top),
            pixels(b.width), pixels(b.height), m_window.get(),
            reinterpret_cast<HMENU>(INT_PTR(FirstControlId + i)), instance, nullptr);
        m_controls[std::size_t(i)] = control;
        setFont(control, c.look, false);
        win32::AccessibleText& text = m_accessible[std::size_t(i)];
        text.name = wintext::wide(accessibleName(c.ref));
        text.description = wintext::wide(accessibleDescription(c.ref));
        text.toggles = c.kind == CheckBox;
        win32::giveAccessibleText(control, text);
        if (c.kind == CheckBox)
            SetWindowSubclass(control, boxProcedure, 2, reinterpret_cast<DWORD_PTR>(this));
    }
    m_lastFocus = control({chkD, 0});
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
    const Box b = onForm(Controls[std::size_t(position({Frame1}))]);
    return {pixels(b.left), pixels(b.top), pixels(b.left + b.width), pixels(b.top + b.height)};
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
        const Box b = onForm(Controls[std::size_t(i)]);
        HWND control = m_controls[std::size_t(i)];
        SetWindowPos(control, nullptr, pixels(b.left), pixels(b.top), pixels(b.width),
                     pixels(b.height), SWP_NOZORDER | SWP_NOACTIVATE);
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

// New fonts for the current dots per inch; returns the old ones.
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

std::array<win32::Font, Looks.size()> Win32Window::makeFonts()
{
    std::array<win32::Font, Looks.size()> old = std::move(m_fonts);
    for (std::size_t i = 0; i < Looks.size(); ++i)
        if (fontOwner(i) == i)
            m_fonts[i] = Looks[i].twips > 0 ? textFont(Looks[i], m_dpi) : dialogFont(m_dpi);
    return old;
}

HFONT Win32Window::fontFor(Look look) const
{
    return m_fonts[fontOwner(std::size_t(look))].get();
}
