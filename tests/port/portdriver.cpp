// Drives the port module as the window does, for the emulated PC:
//   portdriver (write N | read | wait FILE)...
// write: Out32(888, N); read: Inp32(888); wait: until FILE exists (30 s at most).
// Prints one line per step and exits 1 if any write or read failed.

#include "M_inpout.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

int main(int argc, char** argv)
{
    M_inpout port;
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view step = argv[i];
        try {
            if (step == "write" && i + 1 < argc) {
                const int value = std::atoi(argv[++i]);
                std::printf("write %d: ", value);
                port.Out32(M_inpout::DataPort, static_cast<std::int16_t>(value));
                std::printf("ok\n");
            } else if (step == "read") {
                std::printf("read: ");
                std::printf("%d\n", port.Inp32(M_inpout::DataPort));
            } else if (step == "wait" && i + 1 < argc) {
                const char* file = argv[++i];
                for (int tenth = 0; tenth < 300 && ::access(file, F_OK) != 0; ++tenth)
                    ::usleep(100000);
            } else {
                std::fprintf(stderr, "usage: portdriver (write N | read | wait FILE)...\n");
                return 2;
            }
        } catch (const PortError& e) {
            std::printf("failed: %s\n", e.what());
            ++failures;
        }
        std::fflush(stdout);
    }
    return failures ? 1 : 0;
}
