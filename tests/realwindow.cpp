// The real program in a real X window, as a user meets it: started, keyed
// and clicked through the X test extension (xdotool), its LEDs looked at in
// screenshots, its port writes read from the stand-in library's log
// (FAKE1284_LOG). Runs the Qt program and the Windows program under Wine
// alike, and leaves the README's picture, bitlicht-window.png.
//
// Usage (under xvfb-run): realwindow PROGRAM [ARGS...]

#define DOCTEST_CONFIG_IMPLEMENT
#include "frmBitlicht_layout.h"
#include "suite/Observe.h"

#include <doctest.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>

using layout::Controls, layout::onForm, layout::position, layout::Ref;
using namespace layout::names;

namespace {

QStringList program;

QString xdotool(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QPoint centre(Ref ref)
{
    const auto [x, y] = middleOf(ref, 96);
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
    clearPortLog();
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program.front(), program.mid(1));
    // Its window, once it shows: a program that cannot start fails at once.
    QString window;
    for (int i = 0; i < 300 && window.isEmpty(); ++i) {
        REQUIRE_MESSAGE(process.state() != QProcess::NotRunning,
                        "the program ended before its window showed: " << process.exitCode() << " "
                                                                     << process.errorString().toStdString());
        process.waitForFinished(100);
        window = xdotool({"search", "--onlyvisible", "--name", "^Bitlicht"}).section(u'\n', 0, 0);
    }
    REQUIRE_MESSAGE(!window.isEmpty(), "no window within 30 s");
    xdotool({"windowfocus", "--sync", window});
    const QString size = xdotool({"getwindowgeometry", "--shell", window});
    CHECK_MESSAGE(size.contains(QStringLiteral("WIDTH=%1\nHEIGHT=%2")
                                    .arg(layout::toPixels(layout::ClientWidth))
                                    .arg(layout::toPixels(layout::ClientHeight))),
                  size.toStdString());

    const auto key = [](const char* name) { xdotool({"key", name}); };
    const auto click = [&](Ref box) {
        const QPoint at(layout::toPixels(onForm(Controls[position(box)]).left) + 8,
                        centre(box).y());
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
    const Step steps[] = {
        {"start-up: port cleared once, every LED dark", [] {}, "00000000", "0 "},
        {"Space on the focus at start toggles D0", [&] { key("space"); }, "00000001", "0 "},
        {"Tab, Space reaches D1", [&] { key("Tab"), key("space"); }, "00000011", "0 "},
        {"a click turns simulation off; nothing is written yet", [&] { click(ChkSimulation); },
         "00000011", "0 "},
        {"a click on D2 writes the whole byte", [&] { click(chkD(2)); }, "00000111", "0 7 "},
    };
    for (const Step& step : steps) {
        step.act();
        bool shown = false;
        for (int i = 0; i < 100 && !shown; ++i, QThread::msleep(50))
            shown = leds(window) == step.leds;
        CHECK_MESSAGE(shown, step.what << ": " << leds(window));
        CHECK_MESSAGE(portLog(true) == step.writes, step.what);
    }
    QGuiApplication::primaryScreen()
        ->grabWindow(window.toULongLong())
        .save(QStringLiteral("bitlicht-window.png"));
    process.kill();
    process.waitForFinished();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: realwindow PROGRAM [ARGS...]\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i)
        program << QString::fromLocal8Bit(argv[i]);
    return doctest::Context().run();
}
