#include "LedImage.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace led {

namespace {

std::string utf8(const QString& s)
{
    return s.toStdString();
}

[[noreturn]] void refuse(const QString& filePath, const std::string& why)
{
    throw ImageError(utf8(filePath) + ": " + why);
}

std::string systemError(int error)
{
    return std::strerror(error);
}

// Each system call on its own.
int statusOf(const QByteArray& name, struct stat& st)
{
    return ::stat(name.constData(), &st);
}
int openForReading(const QByteArray& name)
{
    // O_NONBLOCK: should the file be swapped for a FIFO after the check, open
    // and read still return at once.
    return ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
int statusOf(int fd, struct stat& st)
{
    return ::fstat(fd, &st);
}
ssize_t readSome(int fd, char* into, size_t count)
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

void requireRegularAndSmall(const QString& filePath, const struct stat& st)
{
    if (!S_ISREG(st.st_mode))
        refuse(filePath, "keine gewöhnliche Datei");
    if (st.st_size > MaxFileSize)
        refuse(filePath, "größer als 1 MiB");
}

// The whole file, refused unless it is a regular file of at most MaxFileSize bytes.
QByteArray readFile(const QString& filePath)
{
    const QByteArray name = QFile::encodeName(filePath);
    struct stat st
    {
    };
    if (statusOf(name, st) != 0)
        refuse(filePath, systemError(errno));
    requireRegularAndSmall(filePath, st);

    const OpenFile file(openForReading(name));
    if (file.fd() < 0)
        refuse(filePath, systemError(errno));
    // Check again what was really opened: the name may have changed meanwhile.
    if (statusOf(file.fd(), st) != 0)
        refuse(filePath, systemError(errno));
    requireRegularAndSmall(filePath, st);

    // One byte more than the file claims, to notice it growing past the bound.
    QByteArray bytes(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype total = 0;
    while (total < bytes.size()) {
        const ssize_t n = readSome(file.fd(), bytes.data() + total, size_t(bytes.size() - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            refuse(filePath, systemError(errno));
        if (n == 0)
            break;
        total += n;
    }
    if (total > st.st_size)
        refuse(filePath, "wächst beim Lesen");
    bytes.truncate(total);
    return bytes;
}

} // namespace

QString path(const QString& programDirectory, const QString& fileName)
{
    QString name = fileName;
    if (name.startsWith(u'\\'))
        name[0] = u'/';
    return programDirectory + name;
}

QImage load(const QString& filePath)
{
    const QByteArray bytes = readFile(filePath);
    try {
        return decode(bytes);
    } catch (const ImageError& e) {
        refuse(filePath, e.what());
    }
}

} // namespace led
