// The outputs in a browser page: an Arduino on USB, through Web Serial.

#include "Output.h"

std::vector<OutputKind> outputKinds()
{
    return {{"ein Arduino mit StandardFirmata an USB", openFirmataBoard, askForFirmataBoard}};
}
