// What the user does and what the window must show after each step, checked
// against a small model of the program for every window toolkit: scripted
// runs, a seeded random run, every byte value, port faults, LED files, names
// for screen readers and the window's picture.
//
// Usage: behaviour ICON_DIR TESTS_DIR [CASE]   (FAKE1284_LOG names the port log)

#define DOCTEST_CONFIG_IMPLEMENT
#include "M_inpout.h"
#include "Run.h"

#include <bit>
#include <cstdlib>
#include <fstream>
#include <map>
#include <numeric>

using namespace suite;

namespace {

TEST_CASE("scripted runs: start-up, bits, switches and keys against the model")
{
    const Action tab = Key::Tab, back = Key::BackTab, space = Key::Space;
    const std::vector<std::pair<std::string, std::vector<Action>>> rows = {
        {"ASCII shown right after start is empty", {chkAsc, chkD(6)}},
        {"Space toggles the focused box", {ChkSimulation, chkD(0), space, tab, space, back, space}},
        {"Tab walks the whole cycle and wraps, Shift+Tab walks it back",
         repeat(tab, 29) + repeat(back, 29)},
        {"a field hidden under the focus hands it on",
         repeat(tab, 8) + std::vector<Action>{Change{chkLoesungAnzeigen, Via::Program}, tab}},
    };
    for (const auto& [name, actions] : rows) {
        Run run;
        run.play(actions, name);
    }
}

// First every way a box changes, box by box, each box set and cleared each
// way (simulation off first: the bits reach the port); then random steps.
TEST_CASE("every way a box changes, then a seeded random run of them and of keys")
{
    const char* env = std::getenv("BITLICHT_RANDOM_STEPS");
    const int steps = env ? std::atoi(env) : 3000;
    std::mt19937 random(20261207);
    const std::array<Ref, 11> boxes{ChkSimulation, chkD(0), chkD(1), chkD(2), chkD(3),
                                    chkD(4),       chkD(5), chkD(6), chkD(7), chkLoesungAnzeigen,
                                    chkAsc};
    const std::pair<Via, const char*> ways[] = {{Via::Mouse, "mouse"},
                                                {Via::Press, "press"},
                                                {Via::Toggle, "screen reader's toggle"},
                                                {Via::Program, "another program"}};
    Run run;
    for (const auto& [via, name] : ways)
        for (int twice = 0; twice < 2; ++twice)
            for (const Ref box : boxes) {
                run.act(Change{box, via});
                if (!run.compare(std::string(name) + ": " + layout::objectName(box)))
                    return;
            }
    for (int i = 1; i <= steps; ++i) {
        const auto pick = random() % 16;
        Action action = pick < 11   ? Action(Change{boxes[pick], Via(random() % 4)})
                        : pick < 13 ? Action(Key::Tab)
                        : pick < 14 ? Action(Key::BackTab)
                                    : Action(Key::Space);
        // Space in a text field would type into it; the program never reads that.
        if (std::holds_alternative<Key>(action) && std::get<Key>(action) == Key::Space &&
            run.model.focus.starts_with("txt"))
            action = Key::Tab;
        run.act(action);
        if (!run.compare("random step " + std::to_string(i)))
            break;
    }
}

TEST_CASE("every byte value shows its digits, decimal and Windows-1252 character")
{
    Run run;
    run.act(ChkSimulation);
    run.act(chkAsc);
    // Gray code: one bit changes per step, and every value comes once.
    for (int i = 1; i < 256; ++i) {
        const int changed = std::countr_zero(unsigned(i));
        run.act(chkD(changed));
        run.compare("value " + std::to_string(run.model.value()));
    }
}

TEST_CASE("a failed port write is shown in the frame and tried again at the next one")
{
    const Platform& fault = platform();
    setPortMode(fault.failingMode);
    Run run;
    run.model.writes = "";
    run.compare("start-up without the port", false);
    // The German sentence alone: what the loader said goes to stderr.
    CHECK(run.window->accessible(Frame1, Probe::Said::Description) == fault.failureSentence);
    run.act(ChkSimulation);
    run.act(chkD(1));
    run.model.writes = "";
    run.compare("toggle without the port", false);
    setPortMode("ok");
    run.act(chkD(2));
    run.compare("port back");
    CHECK_MESSAGE(run.window->accessible(Frame1, Probe::Said::Description).find(fault.where) !=
                      std::string::npos,
                  "the frame tells where the bits are");

    // Without the library: one German sentence; the loader's words go to stderr.
    if (!fault.missingLibrary)
        return;
    std::string missing;
    try {
        M_inpout("bitlicht-no-such-library").Out32(M_inpout::DataPort, 1);
    } catch (const PortError& e) {
        missing = e.what();
    }
    CHECK_MESSAGE(missing.find(fault.missingLibrary) != std::string::npos, missing);
}

// Whatever stands where an LED file should is refused, with its reason; and
// every input of the fuzz corpus, replayed in every build, decodes or is refused.
TEST_CASE("LED files: every bad file is refused with its reason, every corpus input decodes")
{
    std::map<std::string, std::string> reasons = {
        {"directory", "keine reguläre Datei"},
        {"fifo", "keine reguläre Datei"},
        {"link to a device", "keine reguläre Datei"},
        {"two megabytes", "größer als 1 MiB"},
        {"empty.ico", "kein Symbolbild"},
        {"truncated.ico", "kein lesbares Bild"},
        {"count-lies.ico", "Symbolverzeichnis unvollständig"},
        {"bitmap-width-lies.ico", "Bildgröße ungültig"},
        {"png-too-large.ico", "Bildgröße ungültig"},
    };
    for (const auto& input : fs::directory_iterator(dataDir / "fuzz" / "corpus"))
        reasons.try_emplace(input.path().filename().string(), ""); // decodes
    ProgramDirectory dir;
    for (const auto& entry : reasons) {
        const std::string &kind = entry.first, &reason = entry.second; // clang 14 (emscripten)
        const fs::path file = dir.path / kind;
        if (kind == "directory")
            fs::create_directory(file);
        else if (kind == "two megabytes")
            std::ofstream(file, std::ios::binary) << std::string(2 << 20, '\0');
        else if (kind.ends_with(".ico"))
            fs::copy_file(dataDir / "fuzz" / "corpus" / kind, file);
        else if (!makeSpecialFile(kind, file))
            continue;
        std::string error;
        try {
            const led::Image image = led::load(file);
            CHECK_MESSAGE(
                image.argb.size() == (std::size_t(image.width) * std::size_t(image.height)), kind);
        } catch (const led::ImageError& e) {
            error = e.what();
        }
        CHECK_MESSAGE((reason.empty() ? error.empty() : error.find(reason) != std::string::npos),
                      (kind + ": " + error));
    }
}

TEST_CASE("LED files: read anew at every change, PNG images too, built-in ones stand in")
{
    Run run;
    const fs::path lit = run.dir.path / "LEDgruenHe.ico";
    const int dpi = run.window->dotsPerInch();
    fs::remove(lit);
    run.act(chkD(5)); // the built-in lit LED stands in
    run.compare("lit file missing");
    fs::copy_file(dataDir / "fuzz" / "corpus" / "png-entry.ico", lit);
    run.act(chkD(6)); // a blue PNG-coded image now
    const led::Image shot = run.window->picture();
    CHECK_MESSAGE(colourAt(shot, Picture1(6), dpi) == 0xFF0000FFu, "D6 shows the PNG image");
    CHECK_MESSAGE(colourAt(shot, Picture1(5), dpi) == Lit, "D5 keeps its image");
    fs::remove(lit);
    fs::create_directory(lit);
    fs::remove(run.dir.path / "LEDgruenDu.ico");
    run.act(chkD(6));
    run.act(chkD(7));
    run.act(chkD(5));
    run.compare("both files unusable");
}

TEST_CASE("title, and a name for screen readers on every control")
{
    const std::vector<std::pair<Ref, std::string>> rows = {
        {chkD(3), "Bit D3, Stellenwert 8"},       {Picture1(3), "LED D3"},
        {txtDualAusgabe(3), "Ziffer von Bit D3"}, {txtDualAusgabe(12), "Stellenwert von Bit D3"},
        {txtWertausgabe, "Dezimalzahl"},          {txtAsc, "Zeichen"},
        {ChkSimulation, "Nur Simulation"},        {chkLoesungAnzeigen, "Dezimalzahl anzeigen"},
    };
    Run run;
    CHECK_MESSAGE(run.window->title() == "Bitlicht 1.00 – vom Bitlicht-Team", "title");
    for (const auto& row : rows)
        CHECK_MESSAGE(run.window->accessible(row.first, Probe::Said::Name) == row.second,
                      layout::objectName(row.first));
    for (const layout::Control& c : layout::Controls)
        if (c.kind != layout::Kind::Frame)
            CHECK_MESSAGE(!run.window->accessible(c.ref, Probe::Said::Name).empty(),
                          layout::objectName(c.ref));
    run.act(chkD(2)); // and what each LED shows
    for (int b = 0; b < 8; ++b)
        CHECK_MESSAGE(run.window->accessible(Picture1(b), Probe::Said::Description) ==
                          (b == 2 ? "an" : "aus"),
                      ("LED " + std::to_string(b)));
}

// Places, sizes, fonts and colours as the user sees them. After a wanted
// change of the look, replace the golden image by the picture written here.
TEST_CASE("the window's picture matches its golden image")
{
    Run run;
    for (const Ref box : {chkD(6), chkD(0), chkAsc})
        run.act(box);
    const led::Image shot = run.window->picture();
    const std::string name =
        platform().toolkit + ("-" + std::to_string(run.window->dotsPerInch())) + "dpi";
    std::ifstream file(dataDir / "suite" / "golden" / (name + ".png"), std::ios::binary);
    led::Image golden;
    try {
        golden =
            led::decodePng(std::vector<std::uint8_t>{std::istreambuf_iterator<char>(file), {}});
    } catch (const led::ImageError&) {
    }
    // Text smoothing may touch a few pixels; a control one pixel off touches hundreds.
    const std::size_t differing =
        golden.argb.size() != shot.argb.size()
            ? shot.argb.size()
            : std::inner_product(shot.argb.begin(), shot.argb.end(), golden.argb.begin(),
                                 std::size_t(0), std::plus<>(), std::not_equal_to<>());
    CHECK_MESSAGE(differing <= 8, name << ": " << differing << " pixels differ");
    if (differing > 8) {
        std::ofstream out("actual-" + name + ".ppm", std::ios::binary);
        out << "P6 " << shot.width << " " << shot.height << " 255\n";
        for (const std::uint32_t p : shot.argb)
            out << char(p >> 16) << char(p >> 8) << char(p);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: behaviour ICON_DIR TESTS_DIR [CASE]\n");
        return 2;
    }
    iconDir = argv[1];
    dataDir = argv[2];
    doctest::Context context;
    const std::string filter = argc > 3 ? "*" + std::string(argv[3]) + "*" : "*";
    context.setOption("test-case", filter.c_str());
    return runWithWindows(argc, argv, [&] { return context.run(); });
}
