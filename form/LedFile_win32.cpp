// The LED file reader's file operations on Windows.

#include "LedFile.h"
#include "LedImage.h"

#include "WinText.h"

#include <utility>

namespace led {

std::filesystem::path path(const std::filesystem::path& programDirectory, std::string_view fileName)
{
    // The leading backslash is this system's own separator.
    return programDirectory.native() + wintext::wide(fileName);
}

namespace os {

namespace {

constexpr DWORD NotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE;

HANDLE handleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

std::uint64_t sizeOf(DWORD high, DWORD low)
{
    return (std::uint64_t(high) << 32) | low;
}

} // namespace

std::optional<Status> statusOf(const std::filesystem::path& filePath)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(filePath.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return Status{!(data.dwFileAttributes & NotAFile),
                  sizeOf(data.nFileSizeHigh, data.nFileSizeLow)};
}

// Shared for writing and deleting: a teacher may replace the file meanwhile.
File::File(const std::filesystem::path& filePath)
    : m_handle(reinterpret_cast<std::intptr_t>(CreateFileW(
          filePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)))
{
}

File::~File()
{
    if (isOpen())
        CloseHandle(handleOf(m_handle));
}

File::File(File&& other) noexcept
    : m_handle(std::exchange(other.m_handle, reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE)))
{
}

File& File::operator=(File&& other) noexcept
{
    std::swap(m_handle, other.m_handle);
    return *this;
}

bool File::isOpen() const
{
    return handleOf(m_handle) != INVALID_HANDLE_VALUE;
}

// A pipe or device must not be read from.
std::optional<Status> File::status() const
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handleOf(m_handle)) != FILE_TYPE_DISK)
        return Status{false, 0};
    if (!GetFileInformationByHandle(handleOf(m_handle), &info))
        return std::nullopt;
    return Status{!(info.dwFileAttributes & NotAFile),
                  sizeOf(info.nFileSizeHigh, info.nFileSizeLow)};
}

std::ptrdiff_t File::read(std::uint8_t* into, std::size_t count)
{
    DWORD got = 0;
    return ReadFile(handleOf(m_handle), into, DWORD(count), &got, nullptr) ? std::ptrdiff_t(got)
                                                                           : -1;
}

std::string systemError()
{
    return wintext::errorText(GetLastError());
}

std::string nameOf(const std::filesystem::path& filePath)
{
    const std::u8string name = filePath.u8string();
    return std::string(name.begin(), name.end());
}

} // namespace os

} // namespace led
