// Port access through the stand-in libieee1284: which port is taken, that
// every failure leaves nothing behind and is tried again, and that a port
// held by another program never holds up the caller.

#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "M_inpout.h"
#include "suite/Observe.h"

#include <doctest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

void startLog(const char* mode)
{
    clearPortLog();
    ::setenv("FAKE1284_MODE", mode, 1);
}

// What a PortError tells the user and stderr; empty if none was thrown.
std::pair<std::string, std::string> failureOf(M_inpout& port, int value, int address = 888)
{
    try {
        port.Out32(address, std::int16_t(value));
    } catch (const PortError& e) {
        return {e.what(), e.detail()};
    }
    return {};
}

TEST_CASE("the first parallel port is taken and kept claimed")
{
    for (const char* mode : {"ok", "otherport"}) { // at 0x378 though listed second; else the first
        startLog(mode);
        {
            M_inpout port;
            port.Out32(888, 1);
            port.Out32(888, 0x1FF); // only the low eight bits reach the lines
            CHECK_MESSAGE(port.Inp32(888) == 255, mode);
        }
        CHECK_MESSAGE(
            portLog() ==
                "load, find, open parport0, claim parport0, write 1, write 255, read, release, "
                "close, free, unload",
            mode);
    }
    // Any other address is refused before the library is even loaded.
    startLog("ok");
    M_inpout port;
    for (const int address : {889, 0x278, 0, -888})
        CHECK_MESSAGE(!failureOf(port, 1, address).first.empty(), std::to_string(address));
    CHECK_MESSAGE(portLog() == "", "no library call for other addresses");
}

TEST_CASE("a failure says why in German, leaves nothing behind and is tried again")
{
    struct Row
    {
        std::string library;
        const char *mode, *why, *detail, *calls;
    };
    const std::string lib = M_inpout::PortLibrary;
    const Row rows[] = {
        {"libieee1284-missing.so.3", "ok", PortText::LibraryMissing, "cannot open shared", ""},
        {"/", "ok", PortText::LibraryUnusable, "directory", ""},
        {"libieee1284-noclaim.so.3", "ok", PortText::LibraryUnusable, "ieee1284_claim",
         "load, unload"},
        {lib, "findfail", PortText::SearchFailed, "-6", "load, find, unload"},
        {lib, "noports", "Es wurde weder ein Parallelport noch", "", "load, find, free, unload"},
        {lib, "nodevice", "Es wurde weder ein Parallelport noch", "",
         "load, find, open 0x378, free, unload"},
        {lib, "openrefused", PortText::AccessRefused, "parport0",
         "load, find, open parport0, free, unload"},
        {lib, "openfails", PortText::OpenFailed, "parport0",
         "load, find, open parport0, free, unload"},
        {lib, "claimrefused", PortText::Busy, "parport0",
         "load, find, open parport0, claim parport0, close, free, unload"},
    };
    for (const Row& r : rows) {
        startLog(r.mode);
        M_inpout port(r.library);
        for (int attempt = 1; attempt <= 2; ++attempt) {
            const auto [why, detail] = failureOf(port, 7);
            CHECK_MESSAGE(why.find(r.why) != std::string::npos,
                          (why + ": " + r.mode + " " + r.library));
            CHECK_MESSAGE(detail.find(r.detail) != std::string::npos, detail);
            CHECK_MESSAGE(portLog() == r.calls, r.mode);
            clearPortLog();
        }
        if (r.library == lib) {
            ::setenv("FAKE1284_MODE", "ok", 1);
            port.Out32(888, 7);
            CHECK_MESSAGE(portLog().ends_with("write 7"), portLog());
        }
    }
}

// An error nobody expected, met where the port is worked, reaches the
// caller, which reports it: it must not end the program unannounced.
TEST_CASE("an unexpected error in the port library reaches the caller")
{
    startLog("throw");
    M_inpout port;
    CHECK_THROWS_WITH(port.Out32(888, 1), "Testfehler beim Schreiben");
}

// Another program holds the port: the stand-in's claim waits until the file
// FAKE1284_GO exists; "claimstuck" is deaf to signals too.
TEST_CASE("a port held by another program never holds up the caller")
{
    const auto go = std::filesystem::temp_directory_path() / "bitlicht-port-go";
    ::setenv("FAKE1284_GO", go.c_str(), 1);
    for (const char* mode : {"claimwaits", "claimstuck"})
        for (const bool endsFirst : {false, true}) {
            const std::string row = mode + std::string(endsFirst ? ", program ends first" : "");
            std::filesystem::remove(go);
            startLog(mode);
            std::optional<M_inpout> port(std::in_place);
            const auto start = Clock::now();
            CHECK_MESSAGE(failureOf(*port, 1).first == PortText::Busy, row);
            CHECK_MESSAGE(Clock::now() - start < std::chrono::seconds(1), row);
            const auto again = Clock::now();
            CHECK_MESSAGE(failureOf(*port, 2).first == PortText::Busy, row); // still waiting
            if (endsFirst)
                port.reset();
            CHECK_MESSAGE(Clock::now() - again < std::chrono::milliseconds(50),
                          (row + ": at once"));
            // A claim that heeds signals is cut short rather than left waiting.
            CHECK_MESSAGE((portLog().find("claim cut short") != std::string::npos) ==
                              (std::string(mode) == "claimwaits"),
                          row);

            std::ofstream{go};
            const std::string wanted = endsFirst ? "unload" : "write 2"; // else the last byte asked
            for (int i = 0; i < 100 && !portLog().ends_with(wanted); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            CHECK_MESSAGE(portLog().ends_with(wanted), (row + ": " + portLog()));
            CHECK_MESSAGE((portLog().find("write") != std::string::npos) == (!endsFirst),
                          (row + ": written"));
            if (!endsFirst) { // the port is kept
                port->Out32(888, 3);
                CHECK_MESSAGE(portLog().ends_with("write 2, write 3"), (row + ": " + portLog()));
            }
            CHECK_MESSAGE(portLog().find("claim while queued") == std::string::npos, row);
        }
    std::filesystem::remove(go);
}

} // namespace
