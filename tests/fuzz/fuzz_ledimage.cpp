// Fuzz target for decoding an LED file: whatever the bytes, decoding
// returns an image or throws led::ImageError, and never crashes.

#include "LedImage.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Image format plugins are found through the application object.
    static int argc = 1;
    static char name[] = "fuzz_ledimage";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const QImage image = led::decode(bytes);
        if (image.isNull())
            __builtin_trap(); // decode() promised an image
    } catch (const led::ImageError&) {
    }
    return 0;
}
