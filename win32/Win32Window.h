#pragma once

#include "AccessibleText.h"
#include "FormWindow.h"
#include "Handles.h"
#include "Win32Build.h"

#include <array>
#include <commctrl.h>

#include <functional>
#include <string>

namespace win32 {
// An RGB value of the window description as Windows orders it.
constexpr COLORREF colorRef(std::uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
} // namespace win32

// The window in plain Win32 controls: built from the window description, it
// provides the operations the reactions use and reports every change of a
// check box. Its controls are children of the main window at absolute places, in
// the order the dialog manager tabs through them.
class Win32Window final : public FormWindow
{
public:
    explicit Win32Window(HINSTANCE instance);
    ~Win32Window() override;

    void show(int showCommand);
    // Runs the message loop until the window is closed; the exit code.
    int run();
    // One message through the dialog manager (Tab, Shift+Tab, Space), else
    // translated and dispatched.
    void dispatch(MSG& message);

    [[nodiscard]] HWND handle() const { return m_window.get(); }
    [[nodiscard]] HWND control(Ref ref) const;

    [[nodiscard]] int value(Ref box) const override;
    void setValue(Ref box, int value) override;
    void setText(Ref field, std::string_view text) override;
    void setFieldVisible(Ref field, bool visible) override;
    void setPicture(int index, const led::Image& image, bool lit) override;
    void setTitle(std::string_view title) override;
    void setIcon(const led::Image& image) override;
    void setPortState(std::string_view caption, std::string_view toolTip) override;
    [[noreturn]] void endWithRunTimeError(std::string_view message) override;
    void postOutputChanged() override;

private:
    static LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Building (Win32Build.cpp).
    void createMainWindow(HINSTANCE instance);
    void createControls(HINSTANCE instance);
    void createToolTip(HINSTANCE instance);
    // Places, sizes and fonts for the window's current dots per inch.
    void layOut();
    [[nodiscard]] std::array<win32::Font, layout::Looks.size()> makeFonts();
    void forEachTool(const std::function<void(TOOLINFOW&)>& action);
    [[nodiscard]] int pixels(int twips) const;
    [[nodiscard]] SIZE frameSize() const;
    void setFont(HWND control, layout::Look look, bool redraw) const;
    [[nodiscard]] HFONT fontFor(layout::Look look) const;
    [[nodiscard]] RECT toolRect() const;

    void drawLed(const DRAWITEMSTRUCT& item) const;
    void showIcon();
    // A check box may have changed (clicked, or sent BM_SETCHECK by anyone):
    // its reaction runs once for each real change.
    void noticeChange(int controlId);
    // Every control's messages pass here first: screen readers' requests,
    // and check boxes set by anyone.
    static LRESULT CALLBACK controlProcedure(HWND, UINT, WPARAM, LPARAM);

    win32::Window m_window;
    std::array<HWND, layout::ControlCount> m_controls{}; // owned by m_window
    std::array<int, layout::ControlCount> m_seenValue{}; // each box's, as its reaction last saw it
    std::array<WNDPROC, layout::ControlCount> m_procedures{}; // each control's class's own
    std::array<win32::AccessibleText, layout::ControlCount> m_accessible;
    win32::Window m_toolTip;
    std::wstring m_toolTipText;
    win32::Icon m_icon;

    UINT m_dpi = 96;
    std::array<win32::Font, layout::Looks.size()> m_fonts;    // by look
    std::array<win32::Brush, layout::Looks.size()> m_brushes; // backgrounds of their own
    std::array<led::Image, 8> m_leds;
    HWND m_lastFocus = nullptr; // where the focus returns when the window is activated
};
