// Fuzz target for decoding an LED file: whatever the bytes, decoding
// returns an image or throws led::ImageError, and never crashes.

#include "LedImage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        const led::Image image = led::decode({data, size});
        if (image.isNull() || image.argb.size() != std::size_t(image.width) * image.height)
            __builtin_trap(); // decode() promised an image
    } catch (const led::ImageError&) {
    }
    return 0;
}
