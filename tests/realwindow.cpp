// The real program in a real X window, as a user meets it: started, keyed
// and clicked through the X test extension (xdotool), its LEDs looked at in
// screenshots, its port writes read from the stand-in library's log.
// Runs the Qt program and the Windows program under Wine alike.
//
// Usage (under xvfb-run, FAKE1284_LOG set):
//   realwindow SCALE PROGRAM [ARGS...]         the user's session
//   realwindow error PROGRAM [ARGS...]         an unexpected error is reported

#include "frmBitlicht_layout.h"
#include "suite/Check.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include <cstdlib>
#include <fstream>

using namespace layout;

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

QString findWindow(const QString& title)
{
    return xdotool({"search", "--sync", "--onlyvisible", "--name", title}).section(u'\n', 0, 0);
}

std::string portWrites()
{
    std::string writes;
    std::ifstream log(std::getenv("FAKE1284_LOG"));
    for (std::string line; std::getline(log, line);)
        if (line.starts_with("write "))
            writes += line.substr(6) + " ";
    return writes;
}

// Polls until `done` holds or five seconds pass: the program answers in its own time.
template <typename Done> bool eventually(Done done)
{
    for (int i = 0; i < 100; ++i) {
        if (done())
            return true;
        QThread::msleep(50);
    }
    return done();
}

class Session
{
public:
    Session()
    {
        std::ofstream(std::getenv("FAKE1284_LOG"), std::ios::trunc);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(program.front(), program.mid(1));
        m_window = findWindow(QStringLiteral("^Bitlicht"));
        xdotool({"windowfocus", "--sync", m_window});
    }
    ~Session()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    [[nodiscard]] QString size() const
    {
        return xdotool({"getwindowgeometry", "--shell", m_window})
            .section(QStringLiteral("WIDTH="), 1)
            .replace(QStringLiteral("\nHEIGHT="), QStringLiteral("x"))
            .section(u'\n', 0, 0);
    }

    void click(Ref ref) const
    {
        const Box b = onForm(Controls[position(ref)]);
        xdotool({"mousemove", "--window", m_window, QString::number(px(b.left) + 8 * scale),
                 QString::number(px(b.top + b.height / 2)), "click", "1"});
    }
    void key(const char* name, int times = 1) const
    {
        for (int i = 0; i < times; ++i)
            xdotool({"key", name});
    }

    // "1" for a lit LED, "0" for a dark one, "?" for anything else, bit 7 first.
    [[nodiscard]] std::string leds() const
    {
        const QImage shot =
            QGuiApplication::primaryScreen()->grabWindow(m_window.toULongLong()).toImage();
        std::string shown;
        for (int bit = 7; bit >= 0; --bit) {
            const Box b = onForm(Controls[position({Name::Picture1, bit})]);
            const QRgb c =
                shot.pixel(px(b.left + b.width / 2), px(b.top + b.height / 2)) & 0xFFFFFF;
            shown += c == 0x55FF00 ? '1' : c == 0x257300 ? '0' : '?';
        }
        return shown;
    }

    void saveScreenshot(const QString& file) const
    {
        QGuiApplication::primaryScreen()->grabWindow(m_window.toULongLong()).save(file);
    }

private:
    static int px(int twips) { return toPixels(twips, 96 * scale); }

    QProcess m_process;
    QString m_window;
};

TEST_CASE("keyboard and mouse in the real window, LEDs and port as the user sees them")
{
    Session s;
    CHECK_EQ(s.size().toStdString(),
             QStringLiteral("%1x%2")
                 .arg(toPixels(ClientWidth, 96 * scale))
                 .arg(toPixels(ClientHeight, 96 * scale))
                 .toStdString(),
             "client area");
    // Each step: what to do, then the LEDs (bit 7 first) and every byte written so far.
    struct Step
    {
        const char* what;
        std::function<void()> act;
        const char* leds;
        const char* writes;
    };
    const Ref sim{Name::ChkSimulation};
    const Step steps[] = {
        {"start-up: port cleared once, every LED dark", [] {}, "00000000", "0 "},
        {"Space on the focus at start toggles D0", [&] { s.key("space"); }, "00000001", "0 "},
        {"Tab, Space reaches D1 … D7 in turn",
         [&] {
             for (int b = 1; b < 8; ++b) {
                 s.key("Tab");
                 s.key("space");
             }
         },
         "11111111", "0 "},
        {"Shift+Tab walks back to D0", [&] { s.key("shift+Tab", 7), s.key("space"); }, "11111110",
         "0 "},
        {"a click turns simulation off; nothing is written yet", [&] { s.click(sim); }, "11111110",
         "0 "},
        {"Tab from the switch passes two boxes and wraps to D0",
         [&] { s.key("Tab", 3), s.key("space"); }, "11111111", "0 255 "},
        {"a click on D2 writes the whole byte",
         [&] {
             s.click({Name::chkD, 2});
         },
         "11111011", "0 255 251 "},
        {"Tab after a click goes on to D3", [&] { s.key("Tab"), s.key("space"); }, "11110011",
         "0 255 251 243 "},
        {"a click clears D7",
         [&] {
             s.click({Name::chkD, 7});
         },
         "01110011", "0 255 251 243 115 "},
        {"eighteen Tabs pass the value and the 16 fields to the switch: simulation on",
         [&] { s.key("Tab", 18), s.key("space"); }, "01110011", "0 255 251 243 115 "},
        {"toggles stay in the window",
         [&] {
             s.click({Name::chkD, 7});
         },
         "11110011", "0 255 251 243 115 "},
    };
    for (const Step& step : steps) {
        step.act();
        CHECK(eventually([&] { return s.leds() == step.leds; }), step.what + (": " + s.leds()));
        CHECK_EQ(portWrites(), step.writes, step.what);
    }
    s.saveScreenshot(QStringLiteral("bitlicht-window.png"));
}

// An error nobody expected (here: the port library throws) is reported in a
// German message box and ends the program with a failure status.
TEST_CASE("an unexpected error is reported and ends the program")
{
    QProcess failing;
    failing.start(program.front(), program.mid(1));
    CHECK(failing.waitForStarted(), "starts");
    const QString box = findWindow(QStringLiteral("Laufzeitfehler"));
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
    const std::string mode = argv[1];
    for (int i = 2; i < argc; ++i)
        program << QString::fromLocal8Bit(argv[i]);
    if (mode == "error")
        return check::runAll("unexpected error");
    scale = std::atoi(argv[1]);
    return check::runAll("keyboard and mouse");
}
