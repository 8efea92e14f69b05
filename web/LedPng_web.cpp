// PNG-coded icon images in the browser build, decoded by stb_image (Debian's
// libstb-dev, one header): the page decodes images only asynchronously,
// while the reactions need the image at once.

#include "LedImage.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#include <stb_image.h>

#include <climits>
#include <memory>

namespace led {

Image decodePng(Bytes png)
{
    if (png.size() > std::size_t(INT_MAX))
        throw ImageError("PNG-Bild nicht lesbar");
    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<stbi_uc, void (*)(void*)> rgba(
        stbi_load_from_memory(png.data(), int(png.size()), &width, &height, &channels, 4),
        stbi_image_free);
    if (!rgba)
        throw ImageError("PNG-Bild nicht lesbar");
    Image image{width, height, {}};
    image.argb.reserve(std::size_t(width) * std::size_t(height));
    for (std::size_t i = 0; i < std::size_t(width) * std::size_t(height); ++i) {
        const stbi_uc* p = rgba.get() + 4 * i;
        image.argb.push_back(std::uint32_t(p[3]) << 24 | std::uint32_t(p[0]) << 16 |
                             std::uint32_t(p[1]) << 8 | p[2]);
    }
    return image;
}

} // namespace led
