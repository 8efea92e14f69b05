// Reading an LED file, on every system alike: only a regular file of at
// most MaxFileSize bytes is read, checked again once open, and refused if it
// grows while it is read.

#include "LedFile.h"
#include "LedImage.h"

namespace led {

namespace {

[[noreturn]] void refuse(const std::filesystem::path& filePath, const std::string& why)
{
    throw ImageError(os::nameOf(filePath) + ": " + why);
}

os::Status regularAndSmall(const std::filesystem::path& filePath,
                           const std::optional<os::Status>& status)
{
    if (!status)
        refuse(filePath, os::systemError());
    if (!status->regularFile)
        refuse(filePath, "keine reguläre Datei");
    if (status->size > MaxFileSize)
        refuse(filePath, "größer als 1 MiB");
    return *status;
}

} // namespace

std::vector<std::uint8_t> readFile(const std::filesystem::path& filePath)
{
    regularAndSmall(filePath, os::statusOf(filePath));
    os::File file(filePath);
    if (!file.isOpen())
        refuse(filePath, os::systemError());
    const os::Status status = regularAndSmall(filePath, file.status());

    // One byte more than the file claims, to notice it growing past the bound.
    std::vector<std::uint8_t> bytes(std::size_t(status.size) + 1);
    std::size_t total = 0;
    while (total < bytes.size()) {
        const std::ptrdiff_t n = file.read(bytes.data() + total, bytes.size() - total);
        if (n < 0)
            refuse(filePath, os::systemError());
        if (n == 0)
            break;
        total += std::size_t(n);
    }
    if (total > status.size)
        refuse(filePath, "wächst beim Lesen");
    bytes.resize(total);
    return bytes;
}

} // namespace led
