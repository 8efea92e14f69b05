// The behaviour suite's probe for the browser window. The suite runs in the
// page itself (compiled with emscripten, waiting through ASYNCIFY), reads the
// DOM there, and asks its driver outside (tests/web/run.js, through the
// DevTools protocol) for what only the browser's outside has: real mouse and
// key input, the page's picture, the accessibility tree.

#include "Output.h"
#include "Probe.h"
#include "Program.h"
#include "WebWindow.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <fstream>

namespace {

using namespace layout;

// clang-format off
EM_JS(char*, inPage, (const char* what, const char* name), {
    const el = document.querySelector("[data-name=\"" + UTF8ToString(name) + "\"]");
    const result = {
        value: () => el.checked ? "1" : "0",
        text: () => el.tagName === "INPUT" ? el.value : el.tagName === "FIELDSET"
                    ? el.firstChild.textContent : el.parentNode.textContent,
        visible: () => el.getClientRects().length ? "1" : "0",
        focused: () => document.activeElement.dataset.name || "",
        title: () => document.title,
        dpi: () => String(96 * Math.max(1, Math.round(devicePixelRatio))),
        press: () => { el.focus(); el.click(); return ""; },
        toggle: () => { el.click(); return ""; },
        program: () => { el.checked = !el.checked; return ""; },
    }[UTF8ToString(what)]();
    return allocateUTF8(result);
});
EM_ASYNC_JS(char*, outside, (const char* what, const char* name, const char* arg), {
    what = UTF8ToString(what);
    const result = what === "input" ? await bitlichtInput(UTF8ToString(arg), UTF8ToString(name))
                 : await bitlichtAccessible(UTF8ToString(name), UTF8ToString(arg));
    return allocateUTF8(result || "");
});
EM_ASYNC_JS(std::uint8_t*, picturePng, (int* size), {
    const png = Uint8Array.from(atob(await bitlichtPicture()), c => c.charCodeAt(0));
    const at = _malloc(png.length);
    HEAPU8.set(png, at);
    HEAP32[size >> 2] = png.length;
    return at;
});
EM_JS(char*, cp1252, (int code), {
    return allocateUTF8(new TextDecoder("windows-1252").decode(new Uint8Array([code])));
});
EM_JS(void, reportVerdict, (int code), { bitlichtDone(code); });
// clang-format on

std::string taken(char* text)
{
    std::string s(text);
    std::free(text);
    return s;
}

std::string ask(const char* what, Ref ref = {})
{
    return taken(inPage(what, objectName(ref).c_str()));
}

class WebProbe final : public Probe
{
public:
    explicit WebProbe(const std::filesystem::path& programDirectory)
        : m_program(m_window, programDirectory)
    {
    }

    void change(Ref box, Via via) override
    {
        if (via == Via::Mouse)
            taken(outside("input", objectName(box).c_str(), "click"));
        else
            ask(via == Via::Press ? "press" : via == Via::Toggle ? "toggle" : "program", box);
    }

    void press(Key key) override
    {
        const char* name = key == Key::Space ? "Space" : key == Key::Tab ? "Tab" : "Shift+Tab";
        taken(outside("input", "", name));
    }

    int value(Ref box) override { return ask("value", box) == "1"; }
    std::string text(Ref ref) override { return ask("text", ref); }
    bool visible(Ref ref) override { return ask("visible", ref) == "1"; }
    std::string focused() override { return ask("focused"); }
    std::string title() override { return ask("title"); }
    int dotsPerInch() override { return std::stoi(ask("dpi")); }

    std::string accessible(Ref ref, Said what) override
    {
        return taken(outside("accessible", objectName(ref).c_str(),
                             what == Said::Name ? "name" : "description"));
    }

    led::Image picture() override
    {
        int size = 0;
        const std::unique_ptr<std::uint8_t, void (*)(void*)> png(picturePng(&size), std::free);
        return led::decodePng({png.get(), std::size_t(size)});
    }

private:
    WebWindow m_window;
    Program m_program;
};

// The suite's outputs in place of the page's: one board that records every
// byte in the port log and is unplugged while FAKE1284_MODE says so.
class StandinBoard final : public Output
{
public:
    std::string name() const override { return PortText::BrowserBoardName; }
    std::string where() const override { return "an den Pins 2 bis 9 des Arduino"; }
    int read() override { return -1; }
    void write(unsigned char byte) override
    {
        const char* mode = std::getenv("FAKE1284_MODE");
        if (mode && std::string_view(mode) == "unplugged")
            throw PortError(PortText::Unplugged("USB")).about(name());
        std::ofstream(std::getenv("FAKE1284_LOG"), std::ios::app) << "write " << int(byte) << "\n";
    }
};

} // namespace

std::vector<OutputKind> outputKinds()
{
    return {{"ein Arduino an USB", [](Search& search) -> std::unique_ptr<Output> {
                 auto board = std::make_unique<StandinBoard>();
                 board->write(search.byte());
                 return board;
             }}};
}

std::unique_ptr<Probe> startProgram(const std::filesystem::path& programDirectory)
{
    return std::make_unique<WebProbe>(programDirectory);
}

int runWithWindows(int, char**, const std::function<int()>& suite)
{
    const int result = suite();
    reportVerdict(result);
    return result;
}

const Platform& platform()
{
    static const std::string unplugged = PortText::Unplugged("USB");
    static const Platform web{
        "web", "unplugged", unplugged.c_str(), nullptr, PortText::BrowserBoardName, "Pins 2 bis 9"};
    return web;
}

std::string referenceCp1252(unsigned char code)
{
    return taken(cp1252(code));
}

void setPortMode(const char* mode)
{
    setenv("FAKE1284_MODE", mode, 1);
}

// The page's file system has neither FIFOs nor devices to link to.
bool makeSpecialFile(const std::string&, const std::filesystem::path&)
{
    return false;
}
