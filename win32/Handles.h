#pragma once

// Owners for the Windows handles the window uses: each one is released
// exactly once, when its owner goes.

#include <objbase.h>
#include <windows.h>

#include <memory>
#include <type_traits>

namespace win32 {

struct GdiObjectRelease
{
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename H> using GdiObject = std::unique_ptr<std::remove_pointer_t<H>, GdiObjectRelease>;
using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

struct WindowRelease
{
    void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<HWND__, WindowRelease>;

struct IconRelease
{
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Icon = std::unique_ptr<HICON__, IconRelease>;

struct MemoryDcRelease
{
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<HDC__, MemoryDcRelease>;

// An object selected into a device context until this goes.
class Selection
{
public:
    Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~Selection() { SelectObject(m_dc, m_previous); }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// COM on this thread while the owner lives (screen readers' requests, image
// decoding); left as it was found afterwards.
class ComScope
{
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        // RPC_E_CHANGED_MODE: COM was already up in another mode, not ours to end.
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

} // namespace win32
