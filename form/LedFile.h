#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// The few file operations the LED file reader needs, one tiny function each,
// per system (LedFile_posix.cpp, LedFile_win32.cpp). A failure leaves its
// reason for systemError().
namespace led::os {

struct Status
{
    bool regularFile; // neither a directory nor a FIFO, pipe or device
    std::uint64_t size;
};

[[nodiscard]] std::optional<Status> statusOf(const std::filesystem::path& filePath);

// A file opened for reading, never waiting (a FIFO swapped in after the
// check opens at once), closed when the object goes. Move-only.
class File
{
public:
    explicit File(const std::filesystem::path& filePath);
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    [[nodiscard]] bool isOpen() const;
    // What was really opened: the name may have changed since statusOf().
    [[nodiscard]] std::optional<Status> status() const;
    // Bytes read, 0 at the end, -1 on failure.
    [[nodiscard]] std::ptrdiff_t read(std::uint8_t* into, std::size_t count);

private:
    std::intptr_t m_handle;
};

[[nodiscard]] std::string systemError();
// The path in UTF-8, for messages.
[[nodiscard]] std::string nameOf(const std::filesystem::path& filePath);

} // namespace led::os
