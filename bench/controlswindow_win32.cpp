// The floor for Bitlicht's start-up under Windows: the same window of the
// same controls, styles, fonts and manifest, built from the same window
// description, and nothing else: no reactions, no images, no accessibility,
// no port. What bitlicht.exe takes beyond it is its own code's. With the
// argument "empty" the same window without any control, for reference.

#include "Dpi.h"
#include "Win32Build.h"
#include "WinText.h"

#include <array>
#include <string_view>

using namespace layout;
using namespace win32::build;

namespace {

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showCommand)
{
    registerClass(instance, procedure);
    const UINT dpi = win32::dpi::ofSystem();
    const auto px = [dpi](int twips) { return toPixels(twips, int(dpi)); };
    const RECT frame =
        win32::dpi::frameAround({0, 0, px(ClientWidth), px(ClientHeight)}, MainStyle, dpi);
    HWND window = CreateWindowExW(0, ClassName, L"Bitlicht", MainStyle, CW_USEDEFAULT,
                                  CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
    const bool empty = arguments && std::wstring_view(arguments) == L"empty";
    std::array<win32::Font, Looks.size()> fonts;
    for (std::size_t i = 0; i < Looks.size() && !empty; ++i)
        fonts[i] = Look(i) == Default ? dialogFont(dpi) : textFont(Looks[i], dpi);
    for (const int i : empty ? std::vector<int>() : creationOrder()) {
        const Control& c = Controls[std::size_t(i)];
        const ControlClass kind = classOf(c);
        const Rect r = onForm(c);
        HWND control = CreateWindowExW(kind.extendedStyle, kind.name, wintext::wide(c.text).c_str(),
                                       WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style,
                                       px(r.left), px(r.top), px(r.width), px(r.height), window,
                                       reinterpret_cast<HMENU>(INT_PTR(FirstControlId + i)),
                                       instance, nullptr);
        SendMessageW(control, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts[std::size_t(c.look)].get()), FALSE);
    }
    ShowWindow(window, showCommand);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    return int(message.wParam);
}
