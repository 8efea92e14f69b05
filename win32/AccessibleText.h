#pragma once

// What a screen reader is told of a control whose own text does not say it:
// an edit is named after what it shows, not its content, and an LED says
// whether it is on. Controls whose caption is their name keep the system's.

#include <windows.h>

#include <string>

namespace win32 {

struct AccessibleText
{
    std::wstring name;        // empty: the system's
    std::wstring description; // empty: the system's
    // A check box: its default action toggles it, as Qt's does, on every
    // Windows alike (Wine's standard object has no default action).
    bool toggles = false;
};

// Answers a control's accessibility request (WM_GETOBJECT) with `text`,
// which must live as long as the control: true, and the message's result in
// `result`; false if the control's own answer is wanted.
[[nodiscard]] bool answerAccessibilityRequest(HWND control, WPARAM wParam, LPARAM lParam,
                                              const AccessibleText& text, LRESULT& result);

} // namespace win32
