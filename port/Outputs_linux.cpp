// The outputs on Linux, in the order they are tried.

#include "Output.h"

std::vector<OutputKind> outputKinds()
{
    return {
        {"ein Parallelport", openParallelPort},
        {"eine GPIO-Leiste", openGpioHeader},
        {"ein Arduino mit StandardFirmata an USB", openFirmataBoard},
    };
}
