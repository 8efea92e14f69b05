// The outputs in a browser page, in the order they are tried: none yet.

#include "Output.h"

std::vector<OutputKind> outputKinds()
{
    return {};
}
