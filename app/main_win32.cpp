// Bitlicht on Windows: the window and its message loop.

#include "LibrarySearch_win32.h"
#include "Program.h"
#include "Win32Window.h"
#include "WinText.h"

#include <objbase.h>
#include <windows.h>

#include <exception>
#include <optional>
#include <string>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // COM for screen readers' requests, entered once the window shows: none
    // is answered before the message loop runs, and loading COM's libraries
    // would only delay the window (LED decoding enters COM on its own).
    std::optional<win32::ComScope> com; // outlives the window
    try {
        Win32Window window(instance);
        const Program program(window, win32::programFolder());
        window.show(showCommand);
        com.emplace();
        return window.run();
    } catch (const std::exception& e) {
        // The window could not even be built: said in a box of the system's own.
        const std::wstring text = L"Bitlicht kann nicht starten:\n\n" + wintext::wide(e.what());
        MessageBoxW(nullptr, text.c_str(), wintext::wide(layout::RunTimeErrorTitle).c_str(),
                    MB_OK | MB_ICONERROR);
        return 1;
    }
}
