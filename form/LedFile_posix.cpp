// The LED file reader's file operations on POSIX systems.

#include "LedFile.h"
#include "LedImage.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace led {

std::filesystem::path path(const std::filesystem::path& programDirectory, std::string_view fileName)
{
    std::string name(fileName);
    if (name.starts_with('\\'))
        name[0] = '/';
    return programDirectory.string() + name;
}

namespace os {

namespace {

std::optional<Status> statusFrom(int result, const struct stat& st)
{
    if (result != 0)
        return std::nullopt;
    return Status{S_ISREG(st.st_mode), std::uint64_t(st.st_size)};
}

} // namespace

std::optional<Status> statusOf(const std::filesystem::path& filePath)
{
    struct stat st
    {
    };
    return statusFrom(::stat(filePath.c_str(), &st), st);
}

File::File(const std::filesystem::path& filePath)
    : m_handle(::open(filePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC))
{
}

File::~File()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
}

File::File(File&& other) noexcept : m_handle(std::exchange(other.m_handle, -1)) {}

File& File::operator=(File&& other) noexcept
{
    std::swap(m_handle, other.m_handle);
    return *this;
}

bool File::isOpen() const
{
    return m_handle >= 0;
}

std::optional<Status> File::status() const
{
    struct stat st
    {
    };
    return statusFrom(::fstat(int(m_handle), &st), st);
}

std::ptrdiff_t File::read(std::uint8_t* into, std::size_t count)
{
    ssize_t n = 0;
    do
        n = ::read(int(m_handle), into, count);
    while (n < 0 && errno == EINTR);
    return n;
}

std::string systemError()
{
    return std::strerror(errno);
}

std::string nameOf(const std::filesystem::path& filePath)
{
    return filePath.string();
}

} // namespace os

} // namespace led
