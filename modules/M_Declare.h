#pragma once

#include <cstdint>

// The program's state: one instance per program start, owned by its reactions.
struct M_Declare
{
    // The byte shown and written: always 0..255, changed only by a bit toggle.
    std::int16_t Wert = 0;
    // 1: toggles stay in the window; 0: every toggle is written to the port.
    std::int16_t Simulation = 0;
};
