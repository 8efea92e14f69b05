// Decoding an ICO file: its directory, and the image chosen from it, every
// size and offset checked against the bytes at hand. BMP-coded images are
// decoded here; PNG-coded ones, as today's icon editors write them, by the
// platform once their size is known to be in bounds.

#include "LedImage.h"

#include <algorithm>
#include <optional>
#include <tuple>

namespace led {

namespace {

using std::uint32_t;
using Size = std::ptrdiff_t;

struct Entry
{
    int width, height, bitsPerPixel;
    uint32_t offset, size;
};

uint32_t little(Bytes b, Size at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[std::size_t(at + i)];
    return v;
}

uint32_t big(Bytes b, Size at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | b[std::size_t(at + i)];
    return v;
}

constexpr std::uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool isPng(Bytes b)
{
    return b.size() >= 8 && std::equal(b.begin(), b.begin() + 8, PngSignature);
}

std::optional<Entry> entryAt(Bytes bytes, int i)
{
    const Size at = 6 + 16 * Size(i);
    const int width = bytes[std::size_t(at)];
    const int height = bytes[std::size_t(at + 1)];
    const int colours = bytes[std::size_t(at + 2)];
    int bits = static_cast<int>(little(bytes, at + 6, 2));
    const uint32_t size = little(bytes, at + 8, 4);
    const uint32_t offset = little(bytes, at + 12, 4);
    if (size == 0 || offset > bytes.size() || size > bytes.size() - offset)
        return std::nullopt;
    if (bits == 0) // older writers leave it to the colour count
        bits = colours == 0 ? 8 : colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
    return Entry{width == 0 ? 256 : width, height == 0 ? 256 : height, bits, offset, size};
}

// The image to show: 32x32 with the most colours, else the largest.
Entry chooseImage(Bytes bytes)
{
    if (bytes.size() < 6 || little(bytes, 0, 2) != 0 || little(bytes, 2, 2) != 1)
        throw ImageError("kein Symbolbild (ICO)");
    const int count = static_cast<int>(little(bytes, 4, 2));
    if (count == 0 || 6 + 16 * std::size_t(count) > bytes.size())
        throw ImageError("Symbolverzeichnis unvollständig");

    auto rank = [](const Entry& e) {
        const bool wanted = e.width == 32 && e.height == 32;
        return std::tuple(wanted, wanted ? e.bitsPerPixel : 0, e.width * e.height, e.bitsPerPixel);
    };
    std::optional<Entry> best;
    for (int i = 0; i < count; ++i) {
        const auto e = entryAt(bytes, i);
        if (e && (!best || rank(*e) > rank(*best)))
            best = e;
    }
    if (!best)
        throw ImageError("kein lesbares Bild im Symbol");
    return *best;
}

// A PNG-coded image: its size from the header, checked before decoding.
Image decodePngEntry(Bytes b)
{
    // Signature, then the IHDR chunk: length, type, width, height.
    if (b.size() < 24 || big(b, 12) != 0x49484452)
        throw ImageError("PNG-Kopf ungültig");
    const uint32_t width = big(b, 16);
    const uint32_t height = big(b, 20);
    if (width < 1 || width > MaxSide || height < 1 || height > MaxSide)
        throw ImageError("Bildgröße ungültig");
    Image image = decodePng(b);
    if (image.width != int(width) || image.height != int(height) ||
        image.argb.size() != std::size_t(width) * height)
        throw ImageError("PNG-Bild nicht lesbar");
    return image;
}

// One image: BITMAPINFOHEADER (height doubled for the mask), palette, colour
// rows bottom-up, AND mask rows bottom-up (1 = transparent).
Image decodeBitmap(Bytes b)
{
    if (b.size() < 40)
        throw ImageError("Bild ist keine Bitmap");
    const uint32_t headerSize = little(b, 0, 4);
    const auto width = std::int32_t(little(b, 4, 4));
    const auto doubledHeight = std::int32_t(little(b, 8, 4));
    const uint32_t bits = little(b, 14, 2);
    const uint32_t compression = little(b, 16, 4);
    const uint32_t coloursUsed = little(b, 32, 4);
    if (headerSize < 40 || headerSize > b.size())
        throw ImageError("Bitmap-Kopf ungültig");
    if (width < 1 || width > MaxSide || doubledHeight < 2 || doubledHeight > 2 * MaxSide ||
        doubledHeight % 2)
        throw ImageError("Bildgröße ungültig");
    if (compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        throw ImageError("Bitmap-Format nicht unterstützt");
    const int height = doubledHeight / 2;

    const uint32_t paletteSize = bits > 8 ? 0 : coloursUsed ? coloursUsed : 1u << bits;
    if (paletteSize > (1u << std::min(bits, 8u)))
        throw ImageError("Farbtabelle ungültig");
    const Size size = Size(b.size());
    const Size palette = headerSize;
    const Size colourRow = ((Size(width) * bits + 31) / 32) * 4;
    const Size maskRow = ((Size(width) + 31) / 32) * 4;
    const Size colours = palette + 4 * Size(paletteSize);
    const Size mask = colours + colourRow * height;
    // Some writers leave the mask out of images with an alpha channel.
    const bool hasMask = mask + maskRow * height <= size;
    if (mask > size || (!hasMask && bits != 32))
        throw ImageError("Bilddaten unvollständig");

    auto byteAt = [&b](Size at) { return b[std::size_t(at)]; };
    auto argb = [](uint32_t a, uint32_t r, uint32_t g, uint32_t bl) {
        return (a << 24) | (r << 16) | (g << 8) | bl;
    };
    Image image{width, height, std::vector<uint32_t>(std::size_t(width) * std::size_t(height))};
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const Size row = colours + colourRow * (height - 1 - y);
        uint32_t* out = image.argb.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x) {
            uint32_t pixel;
            if (bits <= 8) {
                const Size bit = Size(x) * bits;
                const unsigned index =
                    (byteAt(row + bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= paletteSize)
                    throw ImageError("Farbindex außerhalb der Farbtabelle");
                const Size p = palette + 4 * Size(index);
                pixel = argb(255, byteAt(p + 2), byteAt(p + 1), byteAt(p));
            } else {
                const Size p = row + Size(x) * (bits / 8);
                const uint32_t alpha = bits == 32 ? byteAt(p + 3) : 255;
                anyAlpha = anyAlpha || (bits == 32 && alpha != 0);
                pixel = argb(alpha, byteAt(p + 2), byteAt(p + 1), byteAt(p));
            }
            out[x] = pixel;
        }
    }
    // The mask decides, unless a 32-bit image brings its own alpha.
    if (hasMask && !anyAlpha)
        for (int y = 0; y < height; ++y) {
            const Size row = mask + maskRow * (height - 1 - y);
            uint32_t* out = image.argb.data() + std::size_t(y) * std::size_t(width);
            for (int x = 0; x < width; ++x) {
                const bool clear = (byteAt(row + x / 8) >> (7 - x % 8)) & 1;
                out[x] = clear ? 0 : (out[x] | 0xFF000000u);
            }
        }
    return image;
}

} // namespace

Image decode(Bytes bytes)
{
    const Entry entry = chooseImage(bytes);
    const Bytes image = bytes.subspan(entry.offset, entry.size);
    return isPng(image) ? decodePngEntry(image) : decodeBitmap(image);
}

} // namespace led
