// The real program in a real X window, as a user meets it: started, keyed
// and clicked through the X test extension (xdotool), its LEDs looked at in
// screenshots, its port writes read from the stand-in library's log (when
// FAKE1284_LOG is set). Runs the Qt program and the Windows program under
// Wine alike.
//
// Usage (under xvfb-run):
//   realwindow SCALE PROGRAM [ARGS...]         the user's session
//   realwindow error PROGRAM [ARGS...]         an unexpected error is reported

#include "frmBitlicht_layout.h"
#include "suite/Check.h"
#include "suite/Observe.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include <cstdlib>
#include <fstream>

using layout::Rect, layout::Controls, layout::onForm, layout::position, layout::Ref;
using namespace layout::names;

namespace {

QStringList program;
int scale = 1;

QString xdotool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString findWindow(const char* title)
{
    return xdotool({"search", "--sync", "--onlyvisible", "--name", title}).section(u'\n', 0, 0);
}

int px(int twips)
{
    return layout::toPixels(twips, 96 * scale);
}

QPoint centre(Ref ref)
{
    const auto [x, y] = middleOf(ref, 96 * scale);
    return {x, y};
}

// "1" for a lit LED, "0" for a dark one, "?" for anything else, bit 7 first.
std::string leds(const QString& window)
{
    const QImage shot =
        QGuiApplication::primaryScreen()->grabWindow(window.toULongLong()).toImage();
    std::string shown;
    for (int bit = 7; bit >= 0; --bit) {
        const QRgb c = shot.pixel(centre(Picture1(bit))) & 0xFFFFFF;
        shown += c == LitLed ? '1' : c == DarkLed ? '0' : '?';
    }
    return shown;
}

TEST_CASE("keyboard and mouse in the real window, LEDs and port as the user sees them")
{
    const bool logged = std::getenv("FAKE1284_LOG");
    if (logged)
        clearPortLog();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program.front(), program.mid(1));
    const QString window = findWindow("^Bitlicht");
    xdotool({"windowfocus", "--sync", window});
    const QString size = xdotool({"getwindowgeometry", "--shell", window});
    CHECK(size.contains(QStringLiteral("WIDTH=%1\nHEIGHT=%2")
                            .arg(px(layout::ClientWidth))
                            .arg(px(layout::ClientHeight))),
          "client area: " + size.toStdString());

    auto key = [](const char* name, int times = 1) {
        for (int i = 0; i < times; ++i)
            xdotool({"key", name});
    };
    auto click = [&](Ref box) {
        const QPoint at(px(onForm(Controls[position(box)]).left) + 8 * scale, centre(box).y());
        xdotool({"mousemove", "--window", window, QString::number(at.x()), QString::number(at.y()),
                 "click", "1"});
    };
    // Each step: what is done, then the LEDs (bit 7 first) and every byte written so far.
    struct Step
    {
        const char* what;
        std::function<void()> act;
        const char *leds, *writes;
    };
    // One step per way in: start-up, Space, Tab, Shift+Tab, a click on a switch, on a bit.
    const Step steps[] = {
        {"start-up: port cleared once, every LED dark", [] {}, "00000000", "0 "},
        {"Space on the focus at start toggles D0", [&] { key("space"); }, "00000001", "0 "},
        {"Tab, Space reaches D1 … D7 in turn",
         [&] {
             for (int b = 1; b < 8; ++b)
                 key("Tab"), key("space");
         },
         "11111111", "0 "},
        {"Shift+Tab walks back to D0", [&] { key("shift+Tab", 7), key("space"); }, "11111110",
         "0 "},
        {"a click turns simulation off; nothing is written yet", [&] { click(ChkSimulation); },
         "11111110", "0 "},
        {"a click on D2 writes the whole byte", [&] { click(chkD(2)); }, "11111010", "0 250 "},
    };
    for (const Step& step : steps) {
        step.act();
        bool shown = false;
        for (int i = 0; i < 100 && !shown; ++i, QThread::msleep(50))
            shown = leds(window) == step.leds;
        CHECK(shown, step.what + (": " + leds(window)));
        if (logged)
            CHECK_EQ(portWrites(), step.writes, step.what);
    }
    QGuiApplication::primaryScreen()
        ->grabWindow(window.toULongLong())
        .save(QStringLiteral("bitlicht-window.png"));
    process.kill();
    process.waitForFinished();
}

// An error nobody expected (here: the port library throws) is reported in a
// German message box and ends the program with a failure status.
TEST_CASE("an unexpected error is reported and ends the program")
{
    QProcess failing;
    failing.start(program.front(), program.mid(1));
    CHECK(failing.waitForStarted(), "starts");
    const QString box = findWindow("Laufzeitfehler");
    CHECK(!box.isEmpty(), "message box");
    CHECK(failing.state() == QProcess::Running, "waits for the user");
    xdotool({"windowfocus", "--sync", box});
    xdotool({"key", "Return"});
    CHECK(failing.waitForFinished(10000), "ends");
    CHECK_EQ(failing.exitCode(), 1, "exit status");
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: realwindow SCALE|error PROGRAM [ARGS...]\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i)
        program << QString::fromLocal8Bit(argv[i]);
    const bool error = std::string(argv[1]) == "error";
    scale = error ? 1 : std::atoi(argv[1]);
    return check::runAll(error ? "unexpected error" : "keyboard and mouse");
}
