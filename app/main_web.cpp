// Bitlicht in a browser page: the window built into the page and wired to
// the reactions, which then answer the page's events. The LED files were
// fetched into /bitlicht before this runs (page.js); the page outlives main.

#include "Program.h"
#include "WebWindow.h"

#include <optional>

int main()
{
    static WebWindow window;
    static std::optional<Program> program;
    try {
        program.emplace(window, "/bitlicht");
    } catch (const WebWindow::Ended&) {
        // The window shows why.
    }
    return 0;
}
