#pragma once

// What the Win32 window is built of, as data of the window description: the
// main window's class and style, each control's window class, their order
// and fonts. The start-up bench's floor is built of the same.

#include "Handles.h"
#include "frmBitlicht_layout.h"

#include <windows.h>

#include <vector>

namespace win32::build {

inline constexpr const wchar_t* ClassName = L"Bitlicht";
// Not WS_CLIPCHILDREN: a group box paints only its line and caption, the
// window's own background shows through it.
inline constexpr DWORD MainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The control id of the first control in the window description; the
// others follow in its order.
inline constexpr int FirstControlId = 100;

void registerClass(HINSTANCE instance, WNDPROC procedure);

struct ControlClass
{
    const wchar_t* name;
    DWORD style;
    DWORD extendedStyle;
};
[[nodiscard]] ControlClass classOf(const layout::Control& c);
// Positions in layout::Controls, in the order the controls are created.
[[nodiscard]] std::vector<int> creationOrder();
[[nodiscard]] Font textFont(const layout::LookData& look, UINT dpi);
[[nodiscard]] Font dialogFont(UINT dpi);

} // namespace win32::build
