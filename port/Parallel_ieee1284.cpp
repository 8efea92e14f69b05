// The parallel port on Linux, through libieee1284 on a thread of its own
// (PortWorker), with the defences a ppdev claim needs.

#include "Output.h"

#include "DynamicLibrary.h"
#include "Ieee1284.h"
#include "PortWorker.h"
#include "WaitLimit.h"

#include <cerrno>
#include <fstream>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace {

using ieee1284::E1284_OK;
constexpr unsigned long FirstPortBase = 0x378;

bool isParportDevice(const parport& port)
{
    return port.filename && std::string_view(port.filename).starts_with("/dev/parport");
}

// The ppdev device behind a port: named in the list, or, when libieee1284
// fell back to another way in because the device was closed to this user,
// after the port's kernel name.
std::string deviceOf(const parport& port)
{
    if (isParportDevice(port))
        return port.filename;
    if (port.name && std::string_view(port.name).starts_with("parport"))
        return std::string("/dev/") + port.name;
    return {};
}

int accessError(const std::string& deviceFile)
{
    return ::access(deviceFile.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
}

bool isRefusal(int error)
{
    return error == EACCES || error == EPERM;
}

// libieee1284 does not always leave errno as the failed open set it, so a
// port device this user may not use counts as refused too.
bool isAccessRefused(int error, const parport& port)
{
    const std::string device = deviceOf(port);
    return isRefusal(error) || (!device.empty() && isRefusal(accessError(device)));
}

bool isPpdevMissing(const parport& port)
{
    const std::string device = deviceOf(port);
    return !isParportDevice(port) && !device.empty() && accessError(device) == ENOENT;
}

std::string firstLine(const std::string& file)
{
    std::string line;
    std::ifstream in(file);
    std::getline(in, line);
    return line;
}

// Whether the kernel gives the port (parport0, ...) to another program or
// driver right now. Claiming a port held elsewhere is to be avoided: ppdev
// then waits with its own lock taken, stalling the holder too, and a waiter
// that gives up can race the holder's release in the kernel's wait list.
bool isHeldElsewhere(const std::string& kernelName)
{
    const std::string holder = firstLine("/proc/sys/dev/parport/" + kernelName + "/devices/active");
    return !holder.empty() && holder != "none";
}

// Looking for ports, libieee1284 claims the first ppdev port this user may use.
bool isFirstDeviceHeldElsewhere()
{
    for (int n = 0; n < 8; ++n)
        if (accessError("/dev/parport" + std::to_string(n)) == 0)
            return isHeldElsewhere("parport" + std::to_string(n));
    return false;
}

// The loaded library; prepare() finds and opens the port, claim() claims it,
// both stopping while it is held elsewhere. Whatever was done is undone when
// the object goes.
class Connection : public PortLink
{
public:
    explicit Connection(const std::string& libraryName)
        : m_library(libraryName, PortText::LibraryMissing, PortText::LibraryUnusable),
          find_ports(m_library.entry<decltype(find_ports)>("ieee1284_find_ports")),
          free_ports(m_library.entry<decltype(free_ports)>("ieee1284_free_ports")),
          open(m_library.entry<decltype(open)>("ieee1284_open")),
          close(m_library.entry<decltype(close)>("ieee1284_close")),
          claim_port(m_library.entry<decltype(claim_port)>("ieee1284_claim")),
          release(m_library.entry<decltype(release)>("ieee1284_release")),
          write_data(m_library.entry<decltype(write_data)>("ieee1284_write_data")),
          read_data(m_library.entry<decltype(read_data)>("ieee1284_read_data"))
    {
    }

    ~Connection() override { shutDown(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    [[nodiscard]] bool prepare() override
    {
        if (!m_listed) {
            if (isFirstDeviceHeldElsewhere())
                return false;
            findPorts();
            m_port = firstParallelPort();
        }
        if (!m_opened)
            openPort();
        return !isHeldElsewhere(portName());
    }

    [[nodiscard]] bool claim() override
    {
        const WaitLimit limit(PortWorker::ClaimWait); // should it be taken meanwhile
        const int result = claim_port(m_port);
        if (result == E1284_OK) {
            m_claimed = true;
            return true;
        }
        if (!limit.passed())
            throw PortError(PortText::Busy, portName() + ", Fehler " + std::to_string(result),
                            PortError::Kind::Busy);
        // Cut short while the holder kept the port. The kernel still lists
        // this opening as waiting, and a second claim through it would list
        // it twice and break that list: the next try opens the port anew.
        close(m_port);
        m_opened = false;
        return false;
    }
    void write(unsigned char byte) override { write_data(m_port, byte); }
    [[nodiscard]] int read() override { return read_data(m_port); }

private:
    // libieee1284 tries a claim on the first ppdev port: should that be taken
    // meanwhile, it is cut short, which the library takes as "port present".
    void findPorts()
    {
        const WaitLimit limit(PortWorker::ClaimWait);
        const int result = find_ports(&m_list, 0);
        if (result != E1284_OK)
            throw PortError(PortText::SearchFailed, "Fehler " + std::to_string(result));
        m_listed = true;
    }

    // The port at the classic address if there is one, else the first listed
    // (a plug-in card elsewhere).
    [[nodiscard]] parport* firstParallelPort() const
    {
        if (m_list.portc <= 0 || !m_list.portv)
            throw PortError(PortText::NoPort);
        for (int i = 0; i < m_list.portc; ++i)
            if (m_list.portv[i] && m_list.portv[i]->base_addr == FirstPortBase)
                return m_list.portv[i];
        if (!m_list.portv[0])
            throw PortError(PortText::NoPort);
        return m_list.portv[0];
    }

    void openPort()
    {
        errno = 0;
        // Asking for the port's capabilities would make the library claim it
        // here, and a claim may wait.
        const int result = open(m_port, 0, nullptr);
        const int error = errno;
        if (result == E1284_OK) {
            m_opened = true;
            return;
        }
        if (isAccessRefused(error, *m_port))
            throw PortError(PortText::AccessRefused, portName());
        // The kernel knows the port, but without ppdev a normal user has no way in.
        if (isPpdevMissing(*m_port))
            throw PortError(PortText::PpdevMissing, portName());
        // Without the kernel's parport driver libieee1284 still lists the
        // legacy addresses; failing to open one means there is no port.
        if (!isParportDevice(*m_port))
            throw PortError(PortText::NoPort);
        throw PortError(PortText::OpenFailed, portName() + ", Fehler " + std::to_string(result));
    }

    [[nodiscard]] std::string portName() const
    {
        return m_port && m_port->name ? m_port->name : "?";
    }

    void shutDown()
    {
        if (m_claimed)
            release(m_port);
        if (m_opened)
            close(m_port);
        if (m_listed)
            free_ports(&m_list);
        m_claimed = m_opened = m_listed = false;
    }

    DynamicLibrary m_library; // first member: unloaded last
    int (*find_ports)(parport_list*, int);
    void (*free_ports)(parport_list*);
    int (*open)(parport*, int, int*);
    int (*close)(parport*);
    int (*claim_port)(parport*);
    void (*release)(parport*);
    void (*write_data)(parport*, unsigned char);
    int (*read_data)(parport*);

    parport_list m_list{0, nullptr};
    parport* m_port = nullptr;
    bool m_listed = false;
    bool m_opened = false;
    bool m_claimed = false;
};

// The parallel port in use.
class ParallelPort final : public Output
{
public:
    explicit ParallelPort(const std::string& libraryName)
        : m_worker([libraryName] { return std::make_unique<Connection>(libraryName); })
    {
    }
    [[nodiscard]] std::string name() const override { return PortText::ParallelName; }
    [[nodiscard]] std::string where() const override { return PortText::ParallelWhere; }
    void write(unsigned char byte) override { m_worker.write(byte); }
    [[nodiscard]] int read() override { return m_worker.read(); }

private:
    PortWorker m_worker;
};

} // namespace

std::unique_ptr<Output> openParallelPort(Search& search)
{
    return openByWriting(search, std::make_unique<ParallelPort>(search.portLibrary),
                         PortText::LibraryMissing, PortText::NoPort);
}
