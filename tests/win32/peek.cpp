// Prints what Bitlicht's window shows, read from outside as a screen reader
// or test tool would: its client size and focus, then one line per control:
//   NAME VISIBLE CHECKED LEFT TOP WIDTH HEIGHT TEXT
// Waits up to 20 s for the window. Usage (under Wine): peek.exe

#include "WinText.h"
#include "frmBitlicht_names.h"

#include <cstdio>

namespace {

std::string nameOf(HWND control)
{
    const int at = GetDlgCtrlID(control) - 100;
    return at >= 0 && at < layout::ControlCount
               ? layout::objectName(layout::Controls[std::size_t(at)].ref)
               : "?";
}

BOOL CALLBACK print(HWND control, LPARAM main)
{
    wchar_t text[256]{};
    // WM_GETTEXT: GetWindowText does not read another process's edits.
    SendMessageW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, HWND(main), reinterpret_cast<POINT*>(&r), 2);
    std::printf("%s %d %d %ld %ld %ld %ld %s\n", nameOf(control).c_str(),
                IsWindowVisible(control) ? 1 : 0,
                SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0, r.left, r.top,
                r.right - r.left, r.bottom - r.top, wintext::utf8(text).c_str());
    return TRUE;
}

} // namespace

int main()
{
    HWND main = nullptr;
    for (int i = 0; i < 200 && !main; ++i, Sleep(100))
        main = FindWindowW(L"Bitlicht", nullptr);
    if (!main)
        return 1;
    RECT client{};
    GetClientRect(main, &client);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui);
    std::printf("client %ld %ld\nfocus %s\n", client.right, client.bottom,
                gui.hwndFocus ? nameOf(gui.hwndFocus).c_str() : "-");
    EnumChildWindows(main, print, LPARAM(main));
    return 0;
}
