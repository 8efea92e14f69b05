#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

// Reading and decoding the LED icon files, read anew at every call.
namespace led {

// An image as 0xAARRGGBB pixels, row by row from the top, not premultiplied.
struct Image
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;

    [[nodiscard]] bool isNull() const { return argb.empty(); }
    [[nodiscard]] std::uint32_t pixel(int x, int y) const
    {
        return argb[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

using Bytes = std::span<const std::uint8_t>;

// Why an image could not be had: German, fit for a warning line.
class ImageError : public std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// No LED icon comes near this; anything larger is not read.
constexpr std::size_t MaxFileSize = 1 << 20;
// Images larger than this on either side are refused.
constexpr int MaxSide = 256;

// The program directory followed by the file name, whose leading backslash
// stands for the directory separator.
[[nodiscard]] std::filesystem::path path(const std::filesystem::path& programDirectory,
                                         std::string_view fileName);

// The 32x32 image with the most colours (else the largest) of an ICO file
// whose images are BMP- or PNG-coded; anything else is refused.
[[nodiscard]] Image decode(Bytes bytes);

// Reads the whole file and decodes it. Refuses anything but a regular file of
// at most MaxFileSize bytes: never opens a directory, FIFO or device and never
// blocks. Every failure names the file.
[[nodiscard]] Image load(const std::filesystem::path& filePath);

// The bytes of a regular file of at most MaxFileSize bytes, else ImageError
// (LedFile.cpp, on every system).
[[nodiscard]] std::vector<std::uint8_t> readFile(const std::filesystem::path& filePath);
// Provided by each window toolkit: a PNG image, already known to be at most
// MaxSide on either side.
[[nodiscard]] Image decodePng(Bytes png);

} // namespace led
