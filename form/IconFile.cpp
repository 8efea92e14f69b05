// Decoding an ICO file: its directory, and the BMP-coded image chosen from
// it, every size and offset checked against the bytes at hand. Done here
// rather than by Qt's image plugins, which would be loaded (all of them)
// at the first LED only to read a few kilobytes.

#include "LedImage.h"

#include <optional>
#include <tuple>

namespace led {

namespace {

struct Entry
{
    int width, height, bitsPerPixel;
    quint32 offset, size;
};

quint32 little(const QByteArray& b, qsizetype at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

std::optional<Entry> entryAt(const QByteArray& bytes, int i)
{
    const qsizetype at = 6 + 16 * qsizetype(i);
    const int width = static_cast<unsigned char>(bytes[at]);
    const int height = static_cast<unsigned char>(bytes[at + 1]);
    const int colours = static_cast<unsigned char>(bytes[at + 2]);
    int bits = static_cast<int>(little(bytes, at + 6, 2));
    const quint32 size = little(bytes, at + 8, 4);
    const quint32 offset = little(bytes, at + 12, 4);
    if (size == 0 || offset > quint32(bytes.size()) || size > quint32(bytes.size()) - offset)
        return std::nullopt;
    if (bits == 0) // older writers leave it to the colour count
        bits = colours == 0 ? 8 : colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
    return Entry{width == 0 ? 256 : width, height == 0 ? 256 : height, bits, offset, size};
}

// The image to show: 32x32 with the most colours, else the largest.
Entry chooseImage(const QByteArray& bytes)
{
    if (bytes.size() < 6 || little(bytes, 0, 2) != 0 || little(bytes, 2, 2) != 1)
        throw ImageError("kein Symbolbild (ICO)");
    const int count = static_cast<int>(little(bytes, 4, 2));
    if (count == 0 || 6 + 16 * qsizetype(count) > bytes.size())
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

// One image: BITMAPINFOHEADER (height doubled for the mask), palette, colour
// rows bottom-up, AND mask rows bottom-up (1 = transparent).
QImage decodeBitmap(const QByteArray& file, const Entry& entry)
{
    const QByteArray b = QByteArray::fromRawData(file.constData() + entry.offset, entry.size);
    if (b.size() < 40 || b.startsWith("\x89PNG"))
        throw ImageError("Bild ist keine Bitmap");
    const quint32 headerSize = little(b, 0, 4);
    const auto width = qint32(little(b, 4, 4));
    const auto doubledHeight = qint32(little(b, 8, 4));
    const quint32 bits = little(b, 14, 2);
    const quint32 compression = little(b, 16, 4);
    const quint32 coloursUsed = little(b, 32, 4);
    if (headerSize < 40 || headerSize > quint32(b.size()))
        throw ImageError("Bitmap-Kopf ungültig");
    if (width < 1 || width > 256 || doubledHeight < 2 || doubledHeight > 512 || doubledHeight % 2)
        throw ImageError("Bildgröße ungültig");
    if (compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        throw ImageError("Bitmap-Format nicht unterstützt");
    const int height = doubledHeight / 2;

    const quint32 paletteSize = bits > 8 ? 0 : coloursUsed ? coloursUsed : 1u << bits;
    if (paletteSize > (1u << std::min(bits, 8u)))
        throw ImageError("Farbtabelle ungültig");
    const qsizetype palette = headerSize;
    const qsizetype colourRow = ((qsizetype(width) * bits + 31) / 32) * 4;
    const qsizetype maskRow = ((qsizetype(width) + 31) / 32) * 4;
    const qsizetype colours = palette + 4 * qsizetype(paletteSize);
    const qsizetype mask = colours + colourRow * height;
    // Some writers leave the mask out of images with an alpha channel.
    const bool hasMask = mask + maskRow * height <= b.size();
    if (mask > b.size() || (!hasMask && bits != 32))
        throw ImageError("Bilddaten unvollständig");

    auto byteAt = [&b](qsizetype at) { return static_cast<unsigned char>(b[at]); };
    QImage image(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        throw ImageError("kein Speicher für das Bild");
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const qsizetype row = colours + colourRow * (height - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb pixel;
            if (bits <= 8) {
                const qsizetype bit = qsizetype(x) * bits;
                const unsigned index =
                    (byteAt(row + bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= paletteSize)
                    throw ImageError("Farbindex außerhalb der Farbtabelle");
                const qsizetype p = palette + 4 * qsizetype(index);
                pixel = qRgb(byteAt(p + 2), byteAt(p + 1), byteAt(p));
            } else {
                const qsizetype p = row + qsizetype(x) * (bits / 8);
                const int alpha = bits == 32 ? byteAt(p + 3) : 255;
                anyAlpha = anyAlpha || (bits == 32 && alpha != 0);
                pixel = qRgba(byteAt(p + 2), byteAt(p + 1), byteAt(p), alpha);
            }
            out[x] = pixel;
        }
    }
    // The mask decides, unless a 32-bit image brings its own alpha.
    if (hasMask && !anyAlpha)
        for (int y = 0; y < height; ++y) {
            const qsizetype row = mask + maskRow * (height - 1 - y);
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const bool clear = (byteAt(row + x / 8) >> (7 - x % 8)) & 1;
                out[x] = clear ? 0 : (out[x] | 0xFF000000u);
            }
        }
    return image;
}

} // namespace

QImage decode(const QByteArray& bytes)
{
    return decodeBitmap(bytes, chooseImage(bytes));
}

} // namespace led
