// Bitlicht on Windows: the window and its message loop.

#include "Win32Window.h"
#include "WinText.h"

#include <objbase.h>
#include <windows.h>

#include <exception>
#include <optional>
#include <string>

namespace {

// The folder the program was started from, where its LED files lie.
std::filesystem::path programDirectory()
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (n == 0)
            return {};
        if (n < name.size()) {
            name.resize(n);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
}

// COM on the window's thread, for screen readers' requests. Entered once the
// window shows: no request is answered before the message loop runs, and the
// load of COM's libraries would only delay the window (LED decoding enters
// COM on its own).
class ComApartment
{
public:
    ComApartment() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_result;
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    std::optional<ComApartment> com; // outlives the window
    try {
        Win32Window window(instance, programDirectory());
        window.show(showCommand);
        com.emplace();
        return window.run();
    } catch (const std::exception& e) {
        // The window could not even be built: said in a box of the system's own.
        const std::wstring text = L"Bitlicht kann nicht starten:\n\n" + wintext::wide(e.what());
        MessageBoxW(nullptr, text.c_str(), L"Bitlicht – Laufzeitfehler", MB_OK | MB_ICONERROR);
        return 1;
    }
}
