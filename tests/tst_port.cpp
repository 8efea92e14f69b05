// Port access through the stand-in libieee1284: which port is taken, that
// every failure leaves nothing behind and is tried again, and that a port
// held by another program never holds up the caller; and the Firmata
// handshake against devices on a fake clock.

#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "FirmataProtocol.h"
#include "M_inpout.h"
#include "suite/Observe.h"

#include <doctest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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
            // Not held up by the claim, which waits until FAKE1284_GO: a second
            // is far from both, even on a loaded machine under sanitizers.
            CHECK_MESSAGE(Clock::now() - again < std::chrono::seconds(1), (row + ": at once"));
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

// A millisecond a step; a device answers a query 1 ms later, unless it is
// still starting up, and answers the queries after its `honest` first ones
// with noise around the report.
TEST_CASE("a Firmata board is taken once it confirms its report on a quiet line")
{
    using State = firmata::Session::State;
    constexpr int Never = 1 << 30;
    struct Row
    {
        const char* device;
        int wakesAt, honest;
        bool trickles, noisy; // answers a byte a millisecond; "F9 2 5 17" every 10 ms besides
        State end;
        int at, queries;
    };
    const Row rows[] = {
        {"board after its reset", 2000, Never, false, false, State::Ready, 2152, 4},
        {"report split over reads", 2000, Never, true, false, State::Ready, 2156, 4},
        {"silent device", Never, 0, false, false, State::NotFirmata, 6000, 6},
        {"noisy device", Never, 0, false, true, State::NotFirmata, 6000, 1},
        {"answers once, then noise", 0, 1, false, false, State::NotFirmata, 6000, 12},
    };
    const std::vector<unsigned char> pinModes{0xF4, 2, 1, 0xF4, 3, 1, 0xF4, 4, 1, 0xF4, 5, 1,
                                              0xF4, 6, 1, 0xF4, 7, 1, 0xF4, 8, 1, 0xF4, 9, 1};
    const auto at = [](int ms) { return firmata::Time{} + std::chrono::milliseconds(ms); };
    for (const Row& r : rows) {
        firmata::Session session(at(0));
        std::map<int, std::vector<unsigned char>> coming; // the device's bytes by their time
        std::vector<unsigned char> sent;
        int t = 0, honest = r.honest;
        for (; session.state() == State::Handshaking && t < 10000; ++t) {
            std::vector<unsigned char> bytes = std::move(coming[t]);
            if (r.noisy && t % 10 == 0)
                bytes.insert(bytes.end(), {0xF9, 2, 5, 0x17});
            if (!bytes.empty())
                session.received(bytes, at(t));
            else if (at(t) >= session.nextDeadline())
                session.tick(at(t));
            for (const unsigned char byte : session.bytesToSend()) {
                sent.push_back(byte);
                if (byte != firmata::ReportVersion || t < r.wakesAt)
                    continue;
                const std::vector<unsigned char> answer =
                    honest-- > 0 ? std::vector<unsigned char>{0xF9, 2, 5}
                                 : std::vector<unsigned char>{0x17, 0xF9, 2, 5};
                for (std::size_t i = 0; i < answer.size(); ++i)
                    coming[t + 1 + (r.trickles ? int(i) : 0)].push_back(answer[i]);
            }
        }
        CHECK_MESSAGE((session.state() == r.end && t - 1 == r.at), r.device, " at ", t - 1);
        std::vector<unsigned char> expected(std::size_t(r.queries), firmata::ReportVersion);
        if (r.end == State::Ready)
            expected.insert(expected.end(), pinModes.begin(), pinModes.end());
        CHECK_MESSAGE(sent == expected, r.device, ": ", sent.size(), " bytes");
        session.write(0x81); // nothing but the queries for a device that failed
        CHECK_MESSAGE((session.bytesToSend().size() == (r.end == State::Ready ? 6u : 0u)),
                      r.device);
    }
}

} // namespace
