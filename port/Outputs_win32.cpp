// The outputs on Windows, in the order they are tried.

#include "Output.h"

std::vector<OutputKind> outputKinds()
{
    return {
        {"ein Parallelport", openParallelPort},
        {"ein Arduino mit StandardFirmata an USB", openFirmataBoard},
    };
}
