// Pairs measured in the same run, so their ratio holds on a noisy machine:
//   Toggle      one bit box change through the whole reaction
//   DecodeOnly  reading and decoding the LED file alone (the floor: every
//               toggle must read its file anew)
//   StartUp     building the window and running its start-up
//   EmptyWindow an empty QWidget of the same size

#include "LedImage.h"
#include "QtWindow.h"

#include <QApplication>
#include <QCheckBox>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

const std::filesystem::path ProgramDirectory = PROGRAM_DIR;

void Toggle(benchmark::State& state)
{
    QtWindow window(ProgramDirectory);
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
        QtWindow window(ProgramDirectory);
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

BENCHMARK(Toggle);
BENCHMARK(DecodeOnly);
BENCHMARK(StartUp);
BENCHMARK(EmptyWindow);

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
    benchmark::Shutdown();
    return 0;
}
