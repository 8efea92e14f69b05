#pragma once

// Dots per inch on every Windows from 7 on. Windows 10 (1607 on) has a
// density per monitor and functions that take it; earlier ones have one
// density for the whole system, and the older functions give it. The newer
// functions are looked up at run time: imported, they would stop the program
// from starting on the older systems at all.

#include <windows.h>

namespace win32::dpi {

// The density the program's windows open with.
[[nodiscard]] UINT ofSystem();
[[nodiscard]] UINT ofWindow(HWND window);
// The window rectangle around a client rectangle.
[[nodiscard]] RECT frameAround(RECT client, DWORD style, UINT dpi);
[[nodiscard]] int systemMetric(int index, UINT dpi);
// The message box font and the others, at `dpi`; false if unknown.
[[nodiscard]] bool nonClientMetrics(NONCLIENTMETRICSW& metrics, UINT dpi);

// For the tests: while one lives, the newer functions count as missing, so
// that the path of Windows 7 to 8.1 runs where they are there (Wine has them).
class WithoutNewerFunctions
{
public:
    WithoutNewerFunctions();
    ~WithoutNewerFunctions();
    WithoutNewerFunctions(const WithoutNewerFunctions&) = delete;
    WithoutNewerFunctions& operator=(const WithoutNewerFunctions&) = delete;
};

} // namespace win32::dpi
