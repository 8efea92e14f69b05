// Reading an LED file on POSIX systems.

#include "LedImage.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace led {

namespace {

[[noreturn]] void refuse(const std::filesystem::path& filePath, const std::string& why)
{
    throw ImageError(filePath.string() + ": " + why);
}

// Each system call on its own.
int statusOf(const char* name, struct stat& st)
{
    return ::stat(name, &st);
}
int openForReading(const char* name)
{
    // O_NONBLOCK: should the file be swapped for a FIFO after the check, open
    // and read still return at once.
    return ::open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
int statusOf(int fd, struct stat& st)
{
    return ::fstat(fd, &st);
}
ssize_t readSome(int fd, std::uint8_t* into, size_t count)
{
    return ::read(fd, into, count);
}
void closeFile(int fd)
{
    ::close(fd);
}

class OpenFile
{
public:
    explicit OpenFile(int fd) : m_fd(fd) {}
    ~OpenFile()
    {
        if (m_fd >= 0)
            closeFile(m_fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    [[nodiscard]] int fd() const { return m_fd; }

private:
    int m_fd;
};

void requireRegularAndSmall(const std::filesystem::path& filePath, const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        refuse(filePath, "keine reguläre Datei");
    if (std::size_t(st.st_size) > MaxFileSize)
        refuse(filePath, "größer als 1 MiB");
}

} // namespace

std::filesystem::path path(const std::filesystem::path& programDirectory, std::string_view fileName)
{
    std::string name(fileName);
    if (name.starts_with('\\'))
        name[0] = '/';
    return programDirectory.string() + name;
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& filePath)
{
    const char* name = filePath.c_str();
    struct stat st
    {
    };
    if (statusOf(name, st) != 0)
        refuse(filePath, std::strerror(errno));
    requireRegularAndSmall(filePath, st);

    const OpenFile file(openForReading(name));
    if (file.fd() < 0)
        refuse(filePath, std::strerror(errno));
    // Check again what was really opened: the name may have changed meanwhile.
    if (statusOf(file.fd(), st) != 0)
        refuse(filePath, std::strerror(errno));
    requireRegularAndSmall(filePath, st);

    // One byte more than the file claims, to notice it growing past the bound.
    std::vector<std::uint8_t> bytes(std::size_t(st.st_size) + 1);
    std::size_t total = 0;
    while (total < bytes.size()) {
        const ssize_t n = readSome(file.fd(), bytes.data() + total, bytes.size() - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            refuse(filePath, std::strerror(errno));
        if (n == 0)
            break;
        total += std::size_t(n);
    }
    if (total > std::size_t(st.st_size))
        refuse(filePath, "wächst beim Lesen");
    bytes.resize(total);
    return bytes;
}

} // namespace led
