// Serial lines through POSIX terminals: the USB serial ports a board appears
// as on Linux (/dev/ttyACM* for an Uno's own USB chip, /dev/ttyUSB* for
// CH340 and FTDI clones).

#include "FileDescriptor.h"
#include "Firmata.h"
#include "PortError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace {

std::string why(int error)
{
    return std::strerror(error);
}

bool isGone(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE;
}

class PosixSerialLine final : public SerialLine
{
public:
    PosixSerialLine(std::string port, FileDescriptor fd)
        : m_port(std::move(port)), m_fd(std::move(fd))
    {
    }

    void send(std::span<const unsigned char> bytes) override
    {
        std::size_t sent = 0;
        for (int stalls = 0; sent < bytes.size();) {
            const ssize_t n = ::write(m_fd.get(), bytes.data() + sent, bytes.size() - sent);
            if (n > 0) {
                sent += std::size_t(n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                fail(errno);
            } else if (++stalls > 2 || !ready(POLLOUT, 100)) {
                // Not taking any: its USB side has stopped listening.
                throw PortError(PortText::Unplugged(m_port), "write blocked");
            }
        }
    }

    std::size_t receive(std::span<unsigned char> buffer, std::chrono::milliseconds wait) override
    {
        if (!ready(POLLIN, int(wait.count())))
            return 0;
        const ssize_t n = ::read(m_fd.get(), buffer.data(), buffer.size());
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            fail(errno);
        return n > 0 ? std::size_t(n) : 0;
    }

private:
    bool ready(short event, int milliseconds)
    {
        pollfd p{m_fd.get(), event, 0};
        const int n = ::poll(&p, 1, milliseconds);
        if (n > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & event))
            throw PortError(PortText::Unplugged(m_port), "hang-up");
        return n > 0;
    }

    [[noreturn]] void fail(int error)
    {
        if (isGone(error))
            throw PortError(PortText::Unplugged(m_port), why(error));
        throw PortError(PortText::SerialFailed(m_port), why(error));
    }

    std::string m_port;
    FileDescriptor m_fd;
};

// Raw bytes at 57600 baud, 8N1, no flow control, reads that never wait.
bool makeRaw(int fd)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD | HUPCL;
    t.c_cflag &= ~tcflag_t(CRTSCTS | CSTOPB);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return ::cfsetspeed(&t, B57600) == 0 && ::tcsetattr(fd, TCSANOW, &t) == 0 &&
           ::tcflush(fd, TCIOFLUSH) == 0;
}

} // namespace

std::vector<std::string> serialPorts()
{
    std::vector<std::string> ports;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", error))
        if (const std::string name = entry.path().filename();
            name.starts_with("ttyACM") || name.starts_with("ttyUSB"))
            ports.push_back("/dev/" + name);
    return ports;
}

std::unique_ptr<SerialLine> openSerialLine(const std::string& port)
{
    FileDescriptor fd(::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            throw PortError(PortText::SerialRefused(port), why(error));
        if (error == EBUSY)
            throw PortError(PortText::SerialInUse(port), why(error));
        if (error == ENOENT || isGone(error))
            return nullptr;
        throw PortError(PortText::SerialFailed(port), why(error));
    }
    // Another program that locks the port (a serial monitor) has it.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        throw PortError(PortText::SerialInUse(port), "locked");
    if (!::isatty(fd.get()) || !makeRaw(fd.get()))
        throw PortError(PortText::SerialFailed(port), why(errno));
    ::ioctl(fd.get(), TIOCEXCL); // and nobody else opens it while it is ours
    return std::make_unique<PosixSerialLine>(port, std::move(fd));
}
