#pragma once

// A fresh program start and a small model of what its window must show,
// kept independently of the program; and the check of one against the
// other after every step a user takes.

#include "Observe.h"
#include "Probe.h"

#include <doctest.h>

#include <algorithm>
#include <array>
#include <random>
#include <variant>

namespace suite {

namespace fs = std::filesystem;
using layout::Ref;
using namespace layout::names;
using Key = Probe::Key;
using Via = Probe::Via;

// Where the build leaves the LED files, and the tests' own data.
inline fs::path iconDir, dataDir;

// A program directory with both LED files, as the build leaves them.
struct ProgramDirectory
{
    fs::path path;
    ProgramDirectory()
    {
        // Unique also across suites that run side by side.
        static const auto run = std::random_device()();
        static int n = 0;
        path = fs::temp_directory_path() /
               ("bitlicht-suite-" + std::to_string(run) + "-" + std::to_string(++n));
        fs::remove_all(path);
        fs::create_directories(path);
        for (const char* name : {"LEDgruenHe.ico", "LEDgruenDu.ico"})
            fs::copy_file(iconDir / name, path / name);
    }
    ~ProgramDirectory() { fs::remove_all(path); }
    ProgramDirectory(const ProgramDirectory&) = delete;
    ProgramDirectory& operator=(const ProgramDirectory&) = delete;
};

// Focus walks these in this order, skipping hidden fields, and wraps.
inline const std::vector<std::string> TabCycle = [] {
    std::vector<std::string> cycle;
    for (int b = 0; b < 8; ++b)
        cycle.push_back("chkD(" + std::to_string(b) + ")");
    cycle.push_back("txtWertausgabe");
    for (int i = 0; i < 16; ++i)
        cycle.push_back("txtDualAusgabe(" + std::to_string(i) + ")");
    for (const char* name : {"ChkSimulation", "chkLoesungAnzeigen", "txtAsc", "chkAsc"})
        cycle.push_back(name);
    return cycle;
}();

// What the window must show, kept independently of the program.
struct Model
{
    std::array<bool, 8> bits{};
    bool simulation = true, showDecimal = true, showAsc = false;
    std::string focus = "chkD(0)";
    std::string writes = "0 "; // start-up clears the port

    [[nodiscard]] int value() const
    {
        int v = 0;
        for (int b = 0; b < 8; ++b)
            v += bits[b] ? 1 << b : 0;
        return v;
    }
    [[nodiscard]] bool shown(const std::string& name) const
    {
        return name == "txtWertausgabe" ? showDecimal : name != "txtAsc" || showAsc;
    }
    void toggle(const std::string& box)
    {
        if (box.starts_with("chkD(")) {
            bits[box[5] - '0'] ^= true;
            if (!simulation)
                writes += std::to_string(value()) + " ";
        }
        simulation ^= box == "ChkSimulation";
        showDecimal ^= box == "chkLoesungAnzeigen";
        showAsc ^= box == "chkAsc";
        if (!shown(focus)) // a field hidden under the focus hands it on
            tab(1);
    }
    void tab(int direction)
    {
        const auto n = int(TabCycle.size());
        int i = int(std::find(TabCycle.begin(), TabCycle.end(), focus) - TabCycle.begin());
        do
            i = (i + direction + n) % n;
        while (!shown(TabCycle[std::size_t(i)]));
        focus = TabCycle[std::size_t(i)];
    }
};

// A box changed some other way than by a click.
struct Change
{
    Ref box;
    Via via;
};
using Action = std::variant<Ref, Key, Change>; // a click on a box, a key, or a change

constexpr std::uint32_t Lit = 0xFF000000 | LitLed, Dark = 0xFF000000 | DarkLed;

// The colour at the middle of a control, as drawn.
inline std::uint32_t colourAt(const led::Image& shot, Ref ref, int dpi)
{
    const auto [x, y] = middleOf(ref, dpi);
    return shot.pixel(x, y);
}

// A fresh program start, its model, and the check of one against the other.
struct Run
{
    ProgramDirectory dir;
    std::unique_ptr<Probe> window;
    Model model;

    Run()
    {
        clearPortLog();
        window = startProgram(dir.path);
    }

    // Whether the window shows what the model says, each difference reported.
    bool compare(const std::string& step, bool portReached = true)
    {
        Probe& w = *window;
        const int v = model.value();
        const led::Image shot = w.picture();
        bool same = true;
        const auto shows = [&](const auto& got, const auto& want, const std::string& what) {
            CHECK_MESSAGE(got == want, step << ": " << what);
            same = same && got == want;
        };
        for (int b = 0; b < 8; ++b) {
            const std::string bit = std::to_string(b);
            shows(w.value(chkD(b)), int(model.bits[b]), "box " + bit);
            shows(w.text(txtDualAusgabe(b)), model.bits[b] ? "1" : "0", "digit " + bit);
            shows(colourAt(shot, Picture1(b), w.dotsPerInch()), model.bits[b] ? Lit : Dark,
                  "LED " + bit);
            shows(w.text(txtDualAusgabe(15 - b)), std::to_string(1 << b), "place value " + bit);
        }
        shows(w.text(txtWertausgabe), std::to_string(v), "decimal");
        shows(w.text(txtAsc), v > 31 ? referenceCp1252(static_cast<unsigned char>(v)) : "",
              "character");
        shows(w.visible(txtWertausgabe), model.showDecimal, "decimal shown");
        shows(w.visible(txtAsc), model.showAsc, "character shown");
        shows(w.value(ChkSimulation), int(model.simulation), "simulation");
        shows(w.value(chkLoesungAnzeigen), int(model.showDecimal), "decimal switch");
        shows(w.value(chkAsc), int(model.showAsc), "character switch");
        shows(w.focused(), model.focus, "focus");
        shows(portLog(true), model.writes, "port writes");
        const std::string output = platform().output;
        shows(w.text(Frame1), portReached ? output : output + " – nicht erreichbar", "port frame");
        return same;
    }

    void act(const Action& action)
    {
        if (const Ref* box = std::get_if<Ref>(&action))
            return act(Change{*box, Via::Mouse});
        if (const Change* change = std::get_if<Change>(&action)) {
            window->change(change->box, change->via);
            const std::string name = layout::objectName(change->box);
            if (change->via == Via::Mouse || change->via == Via::Press)
                model.focus = name; // pressed as by the mouse
            model.toggle(name);
            return;
        }
        const Key key = std::get<Key>(action);
        window->press(key);
        if (key == Key::Space)
            model.toggle(model.focus);
        else
            model.tab(key == Key::Tab ? 1 : -1);
    }

    void play(const std::vector<Action>& actions, const std::string& name)
    {
        compare(name + ": start-up");
        for (std::size_t i = 0; i < actions.size(); ++i) {
            act(actions[i]);
            compare(name + ": step " + std::to_string(i + 1));
        }
    }
};

inline std::vector<Action> repeat(Action a, int n)
{
    return std::vector<Action>(std::size_t(n), a);
}
inline std::vector<Action> operator+(std::vector<Action> a, const std::vector<Action>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace suite
