#include "LedImage.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <tuple>
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

// --- The icon directory, read only to pick the image to show. ---

struct Entry
{
    int width, height, bitsPerPixel;
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
    return Entry{width == 0 ? 256 : width, height == 0 ? 256 : height, bits};
}

// The image to show: 32x32 with the most colours, else the largest.
int chooseImage(const QByteArray& bytes)
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
    int best = -1;
    std::optional<Entry> bestEntry;
    for (int i = 0; i < count; ++i) {
        const auto e = entryAt(bytes, i);
        if (e && (!bestEntry || rank(*e) > rank(*bestEntry))) {
            best = i;
            bestEntry = e;
        }
    }
    if (best < 0)
        throw ImageError("kein lesbares Bild im Symbol");
    return best;
}

} // namespace

QString path(const QString& programDirectory, const QString& fileName)
{
    QString name = fileName;
    if (name.startsWith(u'\\'))
        name[0] = u'/';
    return programDirectory + name;
}

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

QImage decode(const QByteArray& bytes)
{
    const int index = chooseImage(bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    reader.setDecideFormatFromContent(false);
    if (index > 0 && !reader.jumpToImage(index))
        throw ImageError("Bild " + std::to_string(index) + " nicht erreichbar");
    QImage image = reader.read();
    if (image.isNull())
        throw ImageError("nicht lesbar: " + utf8(reader.errorString()));
    return image;
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
