// The window in a browser page: its controls built from the window
// description through the page side (window.js), and the operations the
// reactions use on them.

#include "WebWindow.h"

#include "frmBitlicht_texts.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

using namespace layout;

// The page side, window.js: one function per DOM operation, controls by their
// position in `Controls`.
extern "C" {
void bl_begin(int width, int height, int fontPx, const char* fonts);
void bl_add(int position, int kind, int left, int top, int width, int height, const char* text,
            const char* name, const char* label, const char* description, int fontPx, int weight,
            int align, int fore, int back);
void bl_finish(int firstFocus);
int bl_checked(int position);
void bl_setChecked(int position, int checked);
void bl_setText(int position, const char* text);
void bl_setVisible(int position, int visible);
void bl_setPicture(int position, const std::uint32_t* argb, int width, int height,
                   const char* state);
void bl_setTitle(const char* title);
void bl_setIcon(const std::uint32_t* argb, int width, int height);
void bl_setPortState(int position, const char* caption, const char* toolTip);
void bl_fail(const char* title, const char* message);
void bl_post();
void bl_end();

// Called by the page: where an error that ended the window stops.
EMSCRIPTEN_KEEPALIVE void bl_noticeChange(int position)
{
    try {
        if (WebWindow* window = WebWindow::current())
            window->noticeChange(position);
    } catch (const WebWindow::Ended&) {
    }
}
EMSCRIPTEN_KEEPALIVE void bl_outputChanged()
{
    try {
        if (WebWindow* window = WebWindow::current())
            window->runOutputChanged();
    } catch (const WebWindow::Ended&) {
    }
}
}

namespace {

// Arial where it is installed, else its metric twins.
constexpr const char* Fonts = "\"Liberation Sans\", Arimo, sans-serif";

std::string fontsOf()
{
    return std::string(TextFont) + ", " + Fonts;
}

int at(Ref ref)
{
    return position(ref);
}

} // namespace

WebWindow::WebWindow()
{
    s_current = this;
    build();
}

WebWindow::~WebWindow()
{
    s_current = nullptr;
    bl_end();
}

// Every control at its place on the client area (frames drawn beneath what
// they hold), in the order of the tab indices: the keyboard's and a screen
// reader's order are the description's.
void WebWindow::build()
{
    bl_begin(toPixels(ClientWidth), toPixels(ClientHeight), toPixels(lookOf(Default).twips),
             fontsOf().c_str());
    std::array<int, ControlCount> byTab{};
    for (int i = 0; i < ControlCount; ++i)
        byTab[std::size_t(i)] = i;
    std::sort(byTab.begin(), byTab.end(),
              [](int a, int b) { return Controls[a].tabIndex < Controls[b].tabIndex; });
    for (const int i : byTab) {
        const Control& c = Controls[std::size_t(i)];
        const Rect r = onForm(c);
        const LookData& look = lookOf(c.look);
        bl_add(i, int(c.kind), toPixels(r.left), toPixels(r.top), toPixels(r.width),
               toPixels(r.height), c.text, objectName(c.ref).c_str(), accessibleName(c.ref).c_str(),
               accessibleDescription(c.ref).c_str(), toPixels(look.twips), look.weight,
               int(look.align), int(look.foreColour), int(look.backColour));
    }
    bl_finish(at(FirstFocus));
}

int WebWindow::value(Ref box) const
{
    return bl_checked(at(box));
}

void WebWindow::setValue(Ref box, int value)
{
    if (m_ended)
        return;
    bl_setChecked(at(box), value == 1);
    noticeChange(at(box));
}

void WebWindow::noticeChange(int position)
{
    if (m_ended || Controls[std::size_t(position)].kind != CheckBox)
        return;
    const int now = bl_checked(position);
    if (now != std::exchange(m_seenValue[std::size_t(position)], now) && m_reactions)
        m_reactions->boxChanged(Controls[std::size_t(position)].ref);
}

void WebWindow::setText(Ref field, std::string_view text)
{
    bl_setText(at(field), std::string(text).c_str());
}

void WebWindow::setFieldVisible(Ref field, bool visible)
{
    bl_setVisible(at(field), visible);
}

void WebWindow::setPicture(int index, const led::Image& image, bool lit)
{
    bl_setPicture(at({Picture1, index}), image.argb.data(), image.width, image.height,
                  ledState(lit));
}

void WebWindow::setTitle(std::string_view title)
{
    bl_setTitle(std::string(title).c_str());
}

void WebWindow::setIcon(const led::Image& image)
{
    bl_setIcon(image.argb.data(), image.width, image.height);
}

void WebWindow::setPortState(std::string_view caption, std::string_view toolTip)
{
    bl_setPortState(at({Frame1}), std::string(caption).c_str(), std::string(toolTip).c_str());
}

// The page stays, showing the error in place of the window; nothing reaches
// the reactions any more.
void WebWindow::endWithRunTimeError(std::string_view message)
{
    m_ended = true;
    m_reactions = nullptr;
    bl_fail(RunTimeErrorTitle, std::string(message).c_str());
    throw Ended{};
}

void WebWindow::postOutputChanged()
{
    bl_post();
}

void WebWindow::runOutputChanged()
{
    if (!m_ended && m_reactions)
        m_reactions->outputChanged();
}
