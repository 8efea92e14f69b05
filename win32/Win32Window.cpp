// The Win32 window: its messages, and the operations the reactions use on it.

#include "Win32Window.h"

#include "WinText.h"
#include "frmBitlicht_texts.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

using namespace layout;
using win32::build::FirstControlId;

namespace {

constexpr UINT OutputChanged = WM_APP; // posted from the port's search

bool isBox(int position)
{
    return position >= 0 && position < ControlCount &&
           Controls[std::size_t(position)].kind == CheckBox;
}

// Premultiplied, each image pixel `scale` device pixels wide and high.
std::vector<std::uint32_t> premultiplied(const led::Image& image, int scale)
{
    const int width = image.width * scale;
    std::vector<std::uint32_t> out(std::size_t(width) * std::size_t(image.height * scale));
    for (int y = 0; y < image.height * scale; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = image.pixel(x / scale, y / scale);
            const std::uint32_t a = p >> 24;
            const auto times = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            out[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
                a << 24 | times((p >> 16) & 0xFF) << 16 | times((p >> 8) & 0xFF) << 8 |
                times(p & 0xFF);
        }
    return out;
}

win32::Bitmap topDownBitmap(HDC dc, int width, int height, void*& bits)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return win32::Bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

} // namespace

Win32Window::Win32Window(HINSTANCE instance)
{
    createMainWindow(instance);
    createControls(instance);
}

Win32Window::~Win32Window()
{
    // The tip first: it belongs to the main window.
    m_toolTip.reset();
    m_window.reset();
}

void Win32Window::show(int showCommand)
{
    ShowWindow(m_window.get(), showCommand);
    UpdateWindow(m_window.get());
    SetFocus(m_lastFocus);
    showIcon();
    // The tip is wanted only once the pointer rests on the port frame: made
    // after the window shows, with the text the port state gave it meanwhile.
    if (!m_toolTip)
        createToolTip(
            reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_window.get(), GWLP_HINSTANCE)));
}

int Win32Window::run()
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        dispatch(message);
    return int(message.wParam);
}

void Win32Window::dispatch(MSG& message)
{
    if (m_window && IsDialogMessageW(m_window.get(), &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

HWND Win32Window::control(Ref ref) const
{
    return m_controls[std::size_t(position(ref))];
}

LRESULT CALLBACK Win32Window::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window.reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        (void)self->m_window.release(); // already gone
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->onMessage(message, wParam, lParam);
}

LRESULT Win32Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = m_window.get();
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam)
            noticeChange(LOWORD(wParam));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) - FirstControlId;
        if (id < 0 || id >= ControlCount)
            break;
        const Look look = Controls[std::size_t(id)].look;
        const LookData& colours = lookOf(look);
        if (colours.backColour == NoColour)
            break;
        const auto dc = reinterpret_cast<HDC>(wParam);
        if (colours.foreColour != NoColour)
            SetTextColor(dc, win32::colorRef(colours.foreColour));
        SetBkColor(dc, win32::colorRef(colours.backColour));
        return reinterpret_cast<LRESULT>(m_brushes[std::size_t(look)].get());
    }
    case WM_DRAWITEM:
        drawLed(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DPICHANGED: {
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        m_dpi = HIWORD(wParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        layOut();
        return 0;
    }
    case WM_ACTIVATE:
        // As a dialog does: the focus leaves with the window and comes back
        // to the same control.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && GetParent(focus) == window)
                m_lastFocus = focus;
        } else if (m_lastFocus) {
            SetFocus(m_lastFocus);
        }
        return 0;
    case OutputChanged:
        if (m_reactions)
            m_reactions->outputChanged();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A click, Space or BM_CLICK ends in BN_CLICKED; BM_SETCHECK, from this
// program, another one or a screen reader, notifies nobody: both are
// watched, and whichever comes first for a change runs the reaction.
void Win32Window::noticeChange(int controlId)
{
    const int at = controlId - FirstControlId;
    if (!isBox(at))
        return;
    const Ref box = Controls[std::size_t(at)].ref;
    const int now = value(box);
    if (std::exchange(m_seenValue[std::size_t(at)], now) != now && m_reactions)
        m_reactions->boxChanged(box);
}

// Plain subclassing through the window procedure: comctl32's subclass chain
// costs a noticeable part of the start-up under Wine.
LRESULT CALLBACK Win32Window::controlProcedure(HWND control, UINT message, WPARAM wParam,
                                               LPARAM lParam)
{
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(control, GWLP_USERDATA));
    const int id = GetDlgCtrlID(control);
    const auto at = std::size_t(id - FirstControlId);
    LRESULT result = 0;
    if (message == WM_GETOBJECT &&
        win32::answerAccessibilityRequest(control, wParam, lParam, self->m_accessible[at], result))
        return result;
    result = CallWindowProcW(self->m_procedures[at], control, message, wParam, lParam);
    if (message == BM_SETCHECK)
        self->noticeChange(id);
    return result;
}

// The LED centred in its box; on a dense screen each image pixel becomes a
// square of whole device pixels, so it stays sharp.
void Win32Window::drawLed(const DRAWITEMSTRUCT& item) const
{
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    const int at = int(item.CtlID) - FirstControlId;
    if (at < 0 || at >= ControlCount || Controls[std::size_t(at)].kind != PictureBox)
        return;
    const led::Image& image = m_leds[std::size_t(Controls[std::size_t(at)].ref.index)];
    if (image.isNull())
        return;
    const int scale = std::max(1, int(m_dpi) / 96);
    const int width = image.width * scale, height = image.height * scale;
    void* bits = nullptr;
    const win32::Bitmap bitmap = topDownBitmap(item.hDC, width, height, bits);
    if (!bitmap)
        return;
    const std::vector<std::uint32_t> pixels = premultiplied(image, scale);
    std::copy(pixels.begin(), pixels.end(), static_cast<std::uint32_t*>(bits));
    const win32::MemoryDc source(CreateCompatibleDC(item.hDC));
    const win32::Selection selected(source.get(), bitmap.get());
    const int x = (item.rcItem.left + item.rcItem.right - width) / 2;
    const int y = (item.rcItem.top + item.rcItem.bottom - height) / 2;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(item.hDC, x, y, width, height, source.get(), 0, 0, width, height, blend);
}

int Win32Window::value(Ref box) const
{
    return SendMessageW(control(box), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32Window::setValue(Ref box, int value)
{
    SendMessageW(control(box), BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Window::setText(Ref field, std::string_view text)
{
    SetWindowTextW(control(field), wintext::wide(text).c_str());
}

void Win32Window::setFieldVisible(Ref field, bool visible)
{
    HWND window = control(field);
    // A field hidden under the focus hands it on, as a dialog does, so the
    // keyboard never types into nothing.
    if (!visible && GetFocus() == window)
        SetFocus(GetNextDlgTabItem(m_window.get(), window, FALSE));
    ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Window::setPicture(int index, const led::Image& image, bool lit)
{
    const Ref led{Picture1, index};
    m_leds[std::size_t(index)] = image;
    m_accessible[std::size_t(position(led))].description = wintext::wide(ledState(lit));
    HWND picture = control(led);
    InvalidateRect(picture, nullptr, TRUE);
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, picture, OBJID_CLIENT, CHILDID_SELF);
}

void Win32Window::setTitle(std::string_view title)
{
    SetWindowTextW(m_window.get(), wintext::wide(title).c_str());
}

// One image for the title bar and the task bar alike: Windows scales it.
void Win32Window::setIcon(const led::Image& image)
{
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    const win32::Bitmap colour = topDownBitmap(screen, image.width, image.height, bits);
    ReleaseDC(nullptr, screen);
    const win32::Bitmap mask(CreateBitmap(image.width, image.height, 1, 1, nullptr));
    if (!colour || !mask)
        return;
    std::copy(image.argb.begin(), image.argb.end(), static_cast<std::uint32_t*>(bits));
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
    m_icon.reset(CreateIconIndirect(&info));
    if (IsWindowVisible(m_window.get()))
        showIcon();
}

// Handed to the window once it shows: the desktop's copy of it costs a
// noticeable part of the start-up under Wine.
void Win32Window::showIcon()
{
    for (const WPARAM size : {ICON_BIG, ICON_SMALL})
        SendMessageW(m_window.get(), WM_SETICON, size, reinterpret_cast<LPARAM>(m_icon.get()));
}

void Win32Window::setPortState(std::string_view caption, std::string_view toolTip)
{
    SetWindowTextW(control({Frame1}), wintext::wide(caption).c_str());
    m_toolTipText = wintext::wide(toolTip);
    m_accessible[std::size_t(position({Frame1}))].description = m_toolTipText;
    forEachTool([this](TOOLINFOW& tool) {
        SendMessageW(m_toolTip.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    });
}

void Win32Window::postOutputChanged()
{
    PostMessageW(m_window.get(), OutputChanged, 0, 0);
}

void Win32Window::endWithRunTimeError(std::string_view message)
{
    MessageBoxW(m_window.get(), wintext::wide(message).c_str(),
                wintext::wide(RunTimeErrorTitle).c_str(), MB_OK | MB_ICONERROR);
    std::exit(EXIT_FAILURE);
}
