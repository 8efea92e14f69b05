// Writes the program's two LED icons, lit and dark, as ICO files.
//
// Each icon holds three images: 32x32 and 16x16 in 256 colours and 16x16 in
// the 16 standard colours, each a BMP-coded colour image plus an AND mask
// (1 = transparent). The drawing is a round LED with a small highlight
// towards its upper left.
//
// Usage: makeicons OUTDIR   (writes OUTDIR/LEDgruenHe.ico and OUTDIR/LEDgruenDu.ico)
//        makeicons --app-icon SIDE OUT.png   (the dark LED as the browser app's icon,
//                                             SIDE a multiple of 32)

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Rgb
{
    std::uint8_t r, g, b;
};

constexpr Rgb Highlight{255, 251, 240};
constexpr Rgb DarkDisc{37, 115, 0};

// Which of three things a pixel of the drawing is.
enum Pixel : std::uint8_t { Clear = 0, Disc = 1, Shine = 2 };

struct Drawing
{
    int size;
    int centre;
    int radiusSquared; // the disc: all pixels with dx*dx + dy*dy <= radiusSquared
    int shineLeft, shineTop, shineSide;
};

// 657 opaque pixels in the large image: 642 disc, 15 highlight (a 4x4 patch
// missing its lower right corner).
constexpr Drawing Large{32, 15, 205, 8, 7, 4};
constexpr Drawing Small{16, 7, 45, 4, 4, 2};

Pixel pixelAt(const Drawing& d, int x, int y)
{
    const int dx = x - d.centre;
    const int dy = y - d.centre;
    if (dx * dx + dy * dy > d.radiusSquared)
        return Clear;
    const int sx = x - d.shineLeft;
    const int sy = y - d.shineTop;
    const bool inShine = sx >= 0 && sy >= 0 && sx < d.shineSide && sy < d.shineSide;
    const bool cutCorner = d.shineSide > 2 && sx == d.shineSide - 1 && sy == d.shineSide - 1;
    return inShine && !cutCorner ? Shine : Disc;
}

// The 16 standard colours, in their usual order.
constexpr std::array<Rgb, 16> StandardColours{{{0, 0, 0},
                                               {128, 0, 0},
                                               {0, 128, 0},
                                               {128, 128, 0},
                                               {0, 0, 128},
                                               {128, 0, 128},
                                               {0, 128, 128},
                                               {192, 192, 192},
                                               {128, 128, 128},
                                               {255, 0, 0},
                                               {0, 255, 0},
                                               {255, 255, 0},
                                               {0, 0, 255},
                                               {255, 0, 255},
                                               {0, 255, 255},
                                               {255, 255, 255}}};
constexpr std::uint8_t StandardGreen = 10;
constexpr std::uint8_t StandardWhite = 15;

struct Image
{
    Drawing drawing;
    int bitsPerPixel; // 8 or 4
    std::vector<Rgb> palette;
    std::array<std::uint8_t, 3> index; // palette index of Clear, Disc, Shine
};

Image palettedImage(const Drawing& d, Rgb disc)
{
    std::vector<Rgb> palette(256, Rgb{0, 0, 0});
    palette[1] = disc;
    palette[2] = Highlight;
    return {d, 8, palette, {0, 1, 2}};
}

Image standardColourImage(const Drawing& d)
{
    return {
        d, 4, {StandardColours.begin(), StandardColours.end()}, {0, StandardGreen, StandardWhite}};
}

class Writer
{
public:
    void u8(std::uint8_t v) { m_bytes.push_back(v); }
    void u16(std::uint16_t v)
    {
        u8(v & 0xFF);
        u8(v >> 8);
    }
    void u32(std::uint32_t v)
    {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void pad4(std::size_t rowStart)
    {
        while ((m_bytes.size() - rowStart) % 4 != 0)
            u8(0);
    }
    [[nodiscard]] std::size_t size() const { return m_bytes.size(); }
    [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    void append(const Writer& other)
    {
        m_bytes.insert(m_bytes.end(), other.m_bytes.begin(), other.m_bytes.end());
    }

private:
    std::vector<std::uint8_t> m_bytes;
};

// One image as stored in an icon: BITMAPINFOHEADER (height doubled for the
// mask), palette, colour rows bottom-up, then the AND mask rows bottom-up.
Writer bitmap(const Image& im)
{
    const int n = im.drawing.size;
    const auto colours = static_cast<std::uint32_t>(im.palette.size());
    const std::uint32_t colourRow = ((n * im.bitsPerPixel + 31) / 32) * 4;
    const std::uint32_t maskRow = ((n + 31) / 32) * 4;

    Writer w;
    w.u32(40);
    w.u32(n);
    w.u32(2 * n);
    w.u16(1);
    w.u16(im.bitsPerPixel);
    w.u32(0);
    w.u32((colourRow + maskRow) * n);
    w.u32(0);
    w.u32(0);
    w.u32(colours);
    w.u32(0);
    for (const Rgb& c : im.palette) {
        w.u8(c.b);
        w.u8(c.g);
        w.u8(c.r);
        w.u8(0);
    }
    for (int y = n - 1; y >= 0; --y) {
        const std::size_t start = w.size();
        for (int x = 0; x < n; x += 8 / im.bitsPerPixel) {
            std::uint8_t byte = 0;
            for (int k = 0; k < 8 / im.bitsPerPixel; ++k) {
                const std::uint8_t idx = im.index[pixelAt(im.drawing, x + k, y)];
                byte = static_cast<std::uint8_t>((byte << im.bitsPerPixel) | idx);
            }
            w.u8(byte);
        }
        w.pad4(start);
    }
    for (int y = n - 1; y >= 0; --y) {
        const std::size_t start = w.size();
        for (int x = 0; x < n; x += 8) {
            std::uint8_t byte = 0;
            for (int k = 0; k < 8; ++k)
                byte = static_cast<std::uint8_t>((byte << 1) |
                                                 (pixelAt(im.drawing, x + k, y) == Clear ? 1 : 0));
            w.u8(byte);
        }
        w.pad4(start);
    }
    return w;
}

std::vector<std::uint8_t> icon(const std::vector<Image>& images)
{
    std::vector<Writer> bitmaps;
    for (const Image& im : images)
        bitmaps.push_back(bitmap(im));

    Writer file;
    file.u16(0);
    file.u16(1);
    file.u16(static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Image& im = images[i];
        file.u8(static_cast<std::uint8_t>(im.drawing.size));
        file.u8(static_cast<std::uint8_t>(im.drawing.size));
        file.u8(im.palette.size() >= 256 ? 0 : static_cast<std::uint8_t>(im.palette.size()));
        file.u8(0);
        file.u16(1);
        file.u16(static_cast<std::uint16_t>(im.bitsPerPixel));
        file.u32(static_cast<std::uint32_t>(bitmaps[i].size()));
        file.u32(offset);
        offset += static_cast<std::uint32_t>(bitmaps[i].size());
    }
    for (const Writer& b : bitmaps)
        file.append(b);
    return file.bytes();
}

void bigEndian32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// A PNG chunk: length, type, data, and the CRC-32 of type and data.
void chunk(std::vector<std::uint8_t>& out, const char (&type)[5],
           const std::vector<std::uint8_t>& data)
{
    bigEndian32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = start; i < out.size(); ++i) {
        crc ^= out[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    bigEndian32(out, ~crc);
}

// The large drawing as a PNG, each of its pixels `scale` pixels wide and high
// (the LED as the window shows it on a dense screen): two bits a pixel into a
// palette of clear, disc and highlight, stored without compression (deflate's
// stored blocks), which needs no library and is still small.
std::vector<std::uint8_t> png(const Drawing& d, Rgb disc, int scale)
{
    const int n = d.size * scale;
    std::vector<std::uint8_t> rows; // each: filter 0, then four pixels a byte
    for (int y = 0; y < n; ++y) {
        rows.push_back(0);
        for (int x = 0; x < n; x += 4) {
            std::uint8_t byte = 0;
            for (int k = 0; k < 4; ++k)
                byte =
                    static_cast<std::uint8_t>(byte << 2 | pixelAt(d, (x + k) / scale, y / scale));
            rows.push_back(byte);
        }
    }
    std::vector<std::uint8_t> zlib{0x78, 0x01};
    for (std::size_t at = 0; at < rows.size(); at += 0xFFFF) {
        const auto length =
            static_cast<std::uint16_t>(std::min<std::size_t>(0xFFFF, rows.size() - at));
        const auto inverse = static_cast<std::uint16_t>(~length);
        zlib.insert(zlib.end(), {std::uint8_t(at + length == rows.size()),
                                 std::uint8_t(length & 0xFF), std::uint8_t(length >> 8),
                                 std::uint8_t(inverse & 0xFF), std::uint8_t(inverse >> 8)});
        zlib.insert(zlib.end(), rows.begin() + std::ptrdiff_t(at),
                    rows.begin() + std::ptrdiff_t(at + length));
    }
    std::uint32_t a = 1, b = 0; // Adler-32
    for (const std::uint8_t v : rows) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    bigEndian32(zlib, b << 16 | a);

    std::vector<std::uint8_t> header;
    bigEndian32(header, std::uint32_t(n));
    bigEndian32(header, std::uint32_t(n));
    header.insert(header.end(), {2, 3, 0, 0, 0}); // 2 bits, palette
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    chunk(out, "IHDR", header);
    chunk(out, "PLTE", {0, 0, 0, disc.r, disc.g, disc.b, Highlight.r, Highlight.g, Highlight.b});
    chunk(out, "tRNS", {0}); // clear: transparent
    chunk(out, "IDAT", zlib);
    chunk(out, "IEND", {});
    return out;
}

bool save(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv)
{
    const int appIconSide =
        argc == 4 && std::string(argv[1]) == "--app-icon" ? std::atoi(argv[2]) : 0;
    if (argc != 2 && (appIconSide <= 0 || appIconSide % Large.size != 0)) {
        std::cerr << "usage: makeicons OUTDIR | makeicons --app-icon SIDE OUT.png\n";
        return 2;
    }
    if (appIconSide) {
        if (save(argv[3], png(Large, DarkDisc, appIconSide / Large.size)))
            return 0;
        std::cerr << "makeicons: cannot write " << argv[3] << '\n';
        return 1;
    }
    const std::string dir = argv[1];
    constexpr Rgb LitLarge{85, 255, 0};
    constexpr Rgb LitSmall{0, 255, 85};

    const auto lit = icon({palettedImage(Large, LitLarge), palettedImage(Small, LitSmall),
                           standardColourImage(Small)});
    // The 16-colour image has no dark green to offer: the dark icon shares the lit one.
    const auto dark = icon({palettedImage(Large, DarkDisc), palettedImage(Small, DarkDisc),
                            standardColourImage(Small)});

    if (!save(dir + "/LEDgruenHe.ico", lit) || !save(dir + "/LEDgruenDu.ico", dark)) {
        std::cerr << "makeicons: cannot write into " << dir << '\n';
        return 1;
    }
    return 0;
}
