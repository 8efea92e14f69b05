// Drives the port module as the window does, for the emulated machines and
// boards:
//   portdriver (write N | await N | answered | read | wait FILE)...
// write: Out32(888, N); await: the same, again every 100 ms while a board is
// still awaited (15 s at most); answered: waits for the port's word that an
// awaited board has answered or failed (15 s at most), then its outcome;
// read: Inp32(888); wait: until FILE exists (30 s at most), keeping the
// output if a write got it. Prints one line per
// step: "write 5: ok <output> [3 ms]", "... pending: <why> [..]" or
// "... failed: <why> [..]", a failure's detail on stderr, and exits 1 if any
// step failed.

#include "M_inpout.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

int main(int argc, char** argv)
{
    M_inpout port;
    std::atomic<bool> answered = false;
    port.onAnswer([&answered] { answered = true; });
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view step = argv[i];
        const auto start = std::chrono::steady_clock::now();
        const auto took = [&] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now() - start)
                .count();
        };
        try {
            if ((step == "write" || step == "await") && i + 1 < argc) {
                const int value = std::atoi(argv[++i]);
                std::printf("write %d: ", value);
                for (int tries = step == "await" ? 150 : 1;; --tries)
                    try {
                        port.Out32(M_inpout::DataPort, static_cast<std::int16_t>(value));
                        break;
                    } catch (const PortError& e) {
                        if (e.kind() != PortError::Kind::Pending || tries <= 1)
                            throw;
                        ::usleep(100000);
                    }
                std::printf("ok %s [%lld ms]\n", port.outputName().c_str(),
                            static_cast<long long>(took()));
            } else if (step == "answered") {
                std::printf("answered: ");
                for (int tenth = 0; tenth < 150 && !answered; ++tenth)
                    ::usleep(100000);
                answered = false;
                port.outcome();
                std::printf("ok %s [%lld ms]\n", port.outputName().c_str(),
                            static_cast<long long>(took()));
            } else if (step == "read") {
                std::printf("read: ");
                std::printf("%d\n", port.Inp32(M_inpout::DataPort));
            } else if (step == "wait" && i + 1 < argc) {
                const char* file = argv[++i];
                for (int tenth = 0; tenth < 300 && ::access(file, F_OK) != 0; ++tenth)
                    ::usleep(100000);
            } else {
                std::fprintf(
                    stderr,
                    "usage: portdriver (write N | await N | answered | read | wait FILE)...\n");
                return 2;
            }
        } catch (const PortError& e) {
            const bool pending = e.kind() == PortError::Kind::Pending;
            std::printf("%s: %s [%lld ms]\n", pending ? "pending" : "failed", e.what(),
                        static_cast<long long>(took()));
            std::fprintf(stderr, "portdriver: %s\n", e.detail().c_str());
            failures += pending ? 0 : 1;
        }
        std::fflush(stdout);
    }
    return failures ? 1 : 0;
}
