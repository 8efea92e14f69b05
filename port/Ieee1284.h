#pragma once

// libieee1284's interface, as far as Bitlicht uses it (and its test stand-in
// provides it). Declared here rather than taken from the library's headers
// so the program builds and runs without the library's packages.

extern "C" {
struct parport
{
    const char* name;
    unsigned long base_addr;
    unsigned long hibase_addr;
    void* priv;
    const char* filename;
};
struct parport_list
{
    int portc;
    parport** portv;
};
}

namespace ieee1284 {
constexpr int E1284_OK = 0;
constexpr int E1284_NOMEM = -6;
constexpr int E1284_INIT = -7;
constexpr int E1284_SYS = -8;
} // namespace ieee1284
