#include "LedImage.h"

namespace led {

Image load(const std::filesystem::path& filePath)
{
    const std::vector<std::uint8_t> bytes = readFile(filePath);
    try {
        return decode(bytes);
    } catch (const ImageError& e) {
        const std::u8string name = filePath.u8string();
        throw ImageError(std::string(name.begin(), name.end()) + ": " + e.what());
    }
}

} // namespace led
