// Pairs measured in the same run, so their ratio holds on a noisy machine:
//   Toggle      one bit box change through the whole reaction
//   DecodeOnly  reading and decoding the LED file alone (the floor: every
//               toggle must read its file anew)
//   StartUp     building the window and running its start-up
//   EmptyWindow an empty QWidget of the same size
// and alone, against its goal of 1 ms:
//   BoardWrite  what a write to an Arduino costs the window's thread: one
//               byte's Firmata messages handed to a serial line (a pty,
//               drained on the other side as a board does)

#include "Firmata.h"
#include "LedImage.h"
#include "Program.h"
#include "QtWindow.h"

#include <QApplication>
#include <QCheckBox>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

const std::filesystem::path ProgramDirectory = PROGRAM_DIR;

void Toggle(benchmark::State& state)
{
    QtWindow window;
    const Program program(window, ProgramDirectory);
    window.findChild<QCheckBox*>(QStringLiteral("ChkSimulation"))->click(); // write the port
    auto* bit = window.findChild<QCheckBox*>(QStringLiteral("chkD(3)"));
    for (auto _ : state)
        bit->click();
}

void DecodeOnly(benchmark::State& state)
{
    const std::filesystem::path path = led::path(ProgramDirectory, frmBitlicht::LitLedFile);
    for (auto _ : state)
        benchmark::DoNotOptimize(led::load(path));
}

void StartUp(benchmark::State& state)
{
    for (auto _ : state) {
        QtWindow window;
        const Program program(window, ProgramDirectory);
        window.ensurePolished();
    }
}

void EmptyWindow(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget window;
        window.resize(481, 374);
        window.ensurePolished();
    }
}

void BoardWrite(benchmark::State& state)
{
    const int board = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (board < 0 || ::grantpt(board) != 0 || ::unlockpt(board) != 0)
        return state.SkipWithError("no pty");
    std::unique_ptr<SerialLine> line = openSerialLine(::ptsname(board));
    // The board's side reads all; it ends when the line closes (EIO).
    std::thread drain([board] {
        char buffer[256];
        while (::read(board, buffer, sizeof buffer) > 0) {
        }
    });
    unsigned char byte = 0;
    for (auto _ : state)
        line->send(firmata::digitalMessages(byte++));
    line.reset();
    drain.join();
    ::close(board);
}

BENCHMARK(Toggle);
BENCHMARK(DecodeOnly);
BENCHMARK(StartUp);
BENCHMARK(EmptyWindow);
BENCHMARK(BoardWrite);

// Keeps each benchmark's time per iteration for the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            m_nanoseconds[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void ratio(const char* what, const char* floor, double goal) const
    {
        const auto a = m_nanoseconds.find(what);
        const auto b = m_nanoseconds.find(floor);
        if (a == m_nanoseconds.end() || b == m_nanoseconds.end())
            return;
        const double r = a->second / b->second;
        std::printf("%-12s / %-12s = %6.2f%s\n", what, floor, r,
                    goal > 0 ? (r <= goal ? "   (goal met)" : "   (goal missed)") : "");
    }

    void below(const char* what, double goalNanoseconds) const
    {
        if (const auto a = m_nanoseconds.find(what); a != m_nanoseconds.end())
            std::printf("%-12s = %8.1f us%s\n", what, a->second / 1000,
                        a->second <= goalNanoseconds ? "   (goal met: <= 1 ms)"
                                                     : "   (goal missed: <= 1 ms)");
    }

private:
    std::map<std::string, double> m_nanoseconds;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    reporter.ratio("Toggle", "DecodeOnly", 2.0);
    reporter.ratio("StartUp", "EmptyWindow", 0);
    reporter.below("BoardWrite", 1e6);
    benchmark::Shutdown();
    return 0;
}
