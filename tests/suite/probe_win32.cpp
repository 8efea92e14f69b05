// The behaviour suite's probe for the Win32 window: the real window in this
// process, shown, driven through its own message handling.

#include "Probe.h"

#include "Dpi.h"
#include "LibrarySearch_win32.h"
#include "Program.h"
#include "Win32Window.h"
#include "WinText.h"
#include "frmBitlicht_texts.h"

#include <doctest.h>
#include <oleacc.h>

namespace {

using namespace layout;

std::string textOf(HWND window)
{
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return wintext::utf8(text);
}

class Win32Probe final : public Probe
{
public:
    explicit Win32Probe(const std::filesystem::path& programDirectory)
        : m_window(GetModuleHandleW(nullptr)), m_program(m_window, programDirectory)
    {
        m_window.show(SW_SHOWNORMAL);
        SetForegroundWindow(m_window.handle());
        pump();
    }

    void change(Ref box, Via via) override
    {
        HWND control = m_window.control(box);
        if (via == Via::Mouse) { // as the mouse's messages come, through the queue
            RECT r{};
            GetClientRect(control, &r);
            const LPARAM at = MAKELPARAM(8, r.bottom / 2);
            PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
            PostMessageW(control, WM_LBUTTONUP, 0, at);
        } else if (via == Via::Press) {
            SendMessageW(control, BM_CLICK, 0, 0);
        } else if (via == Via::Program) {
            const bool checked = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            SendMessageW(control, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
        } else if (IAccessible* object = accessibleObject(control)) {
            object->accDoDefaultAction(self());
            object->Release();
        }
        pump();
    }

    // Posted to the focused control as the keyboard would, and taken from the
    // queue by the window's own loop, which hands it to the dialog manager.
    void press(Key key) override
    {
        BYTE keys[256]{};
        GetKeyboardState(keys);
        const BYTE shift = keys[VK_SHIFT];
        keys[VK_SHIFT] = key == Key::BackTab ? 0x80 : 0;
        SetKeyboardState(keys);
        const WPARAM code = key == Key::Space ? VK_SPACE : VK_TAB;
        const UINT scan = MapVirtualKeyW(UINT(code), MAPVK_VK_TO_VSC);
        HWND target = GetFocus() ? GetFocus() : m_window.handle();
        PostMessageW(target, WM_KEYDOWN, code, LPARAM(1 | scan << 16));
        pump();
        PostMessageW(GetFocus() ? GetFocus() : target, WM_KEYUP, code,
                     LPARAM(1 | scan << 16 | 3u << 30));
        pump();
        keys[VK_SHIFT] = shift;
        SetKeyboardState(keys);
    }

    int value(Ref box) override { return m_window.value(box); }
    std::string text(Ref control) override { return textOf(m_window.control(control)); }
    bool visible(Ref control) override { return IsWindowVisible(m_window.control(control)); }
    std::string title() override { return textOf(m_window.handle()); }
    int dotsPerInch() override { return int(win32::dpi::ofWindow(m_window.handle())); }

    std::string focused() override
    {
        const int at = GetDlgCtrlID(GetFocus()) - win32::build::FirstControlId;
        return at >= 0 && at < ControlCount ? objectName(Controls[std::size_t(at)].ref) : "";
    }

    std::string accessible(Ref control, Said what) override
    {
        IAccessible* object = accessibleObject(m_window.control(control));
        if (!object)
            return "(kein Objekt)";
        BSTR name = nullptr;
        const HRESULT result = what == Said::Name ? object->get_accName(self(), &name)
                                                  : object->get_accDescription(self(), &name);
        object->Release();
        const std::string utf8 = SUCCEEDED(result) && name ? wintext::utf8(name) : "";
        SysFreeString(name);
        return utf8;
    }

    led::Image picture() override
    {
        RECT client{};
        GetClientRect(m_window.handle(), &client);
        const int width = client.right, height = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        HDC screen = GetDC(nullptr);
        void* bits = nullptr;
        const win32::Bitmap bitmap(
            CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        ReleaseDC(nullptr, screen);
        // Everything painted first, then copied from the window as it shows.
        RedrawWindow(m_window.handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const win32::MemoryDc dc(CreateCompatibleDC(nullptr));
        {
            const win32::Selection selected(dc.get(), bitmap.get());
            HDC window = GetDC(m_window.handle());
            BitBlt(dc.get(), 0, 0, width, height, window, 0, 0, SRCCOPY);
            ReleaseDC(m_window.handle(), window);
            GdiFlush();
        }
        led::Image image{width, height, {}};
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        for (int i = 0; i < width * height; ++i)
            image.argb.push_back(0xFF000000u | pixels[i]);
        return image;
    }

private:
    // What a screen reader gets for a control, or nullptr.
    static IAccessible* accessibleObject(HWND control)
    {
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(control, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                              reinterpret_cast<void**>(&object))))
            return nullptr;
        return object;
    }
    static VARIANT self()
    {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        return self;
    }

    void pump()
    {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT) // left by an earlier start's window
                m_window.dispatch(message);
    }

    Win32Window m_window;
    Program m_program;
};

} // namespace

std::unique_ptr<Probe> startProgram(const std::filesystem::path& programDirectory)
{
    return std::make_unique<Win32Probe>(programDirectory);
}

int runWithWindows(int, char**, const std::function<int()>& suite)
{
    const win32::ComScope com; // as the program's own start does
    return suite();
}

const Platform& platform()
{
    static const Platform win32{"win32",
                                "nodriver",
                                PortText::InpoutDriverMissing,
                                PortText::InpoutMissing,
                                PortText::ParallelName,
                                "888"};
    return win32;
}

void setPortMode(const char* mode)
{
    SetEnvironmentVariableA("FAKE1284_MODE", mode);
}

// Windows has no FIFOs, and links to devices need an administrator.
bool makeSpecialFile(const std::string&, const std::filesystem::path&)
{
    return false;
}

std::string referenceCp1252(unsigned char code)
{
    const char byte = char(code);
    wchar_t unit = 0;
    if (MultiByteToWideChar(1252, 0, &byte, 1, &unit, 1) != 1)
        return {};
    return wintext::utf8(std::wstring_view(&unit, 1));
}

TEST_CASE("without the search flags, a library comes from the program's folder or the system's")
{
    const auto load = [](const wchar_t* name) {
        HMODULE library = win32::loadFromProgramOrSystemFolder(name);
        if (library)
            FreeLibrary(library);
        return library != nullptr;
    };
    CHECK(load(wintext::wide(M_inpout::PortLibrary).c_str())); // the stand-in beside the program
    CHECK_MESSAGE(load(L"oleacc.dll"), "a system library");
    // Never the working folder: a copy of the stand-in there is not found.
    const std::filesystem::path work = std::filesystem::temp_directory_path() / "bitlicht-cwd";
    std::filesystem::create_directories(work);
    std::filesystem::copy_file(win32::programFolder() / M_inpout::PortLibrary,
                               work / "bitlicht-decoy.dll",
                               std::filesystem::copy_options::overwrite_existing);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(work);
    CHECK_MESSAGE(!load(L"bitlicht-decoy.dll"), "a library in the working folder");
    std::filesystem::current_path(before);
    std::filesystem::remove_all(work);
}

// Windows 7 and 8 lack the newer density functions: their fallback must
// give the density the window opens with (192 in the dense prefix), not 96.
TEST_CASE("without the newer functions, the density is still the screen's")
{
    const auto window = startProgram(std::filesystem::temp_directory_path());
    CHECK(win32::dpi::ofScreen() == UINT(window->dotsPerInch()));
}
