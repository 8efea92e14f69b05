#include "M_inpout.h"

#include "DynamicLibrary.h"
#include "Ieee1284.h"

#include <cerrno>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace {

using ieee1284::E1284_OK;
constexpr unsigned long FirstPortBase = 0x378;

std::string sentence(std::string text, const std::string& detail = {})
{
    return detail.empty() ? text + "." : text + " (" + detail + ").";
}

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

} // namespace

// The loaded library with one port open and claimed. Built in one go; a
// failure anywhere undoes what was done and leaves nothing behind.
class M_inpout::Connection
{
public:
    explicit Connection(const std::string& libraryName)
        : m_library(load(libraryName)),
          find_ports(entry<decltype(find_ports)>("ieee1284_find_ports")),
          free_ports(entry<decltype(free_ports)>("ieee1284_free_ports")),
          open(entry<decltype(open)>("ieee1284_open")),
          close(entry<decltype(close)>("ieee1284_close")),
          claim(entry<decltype(claim)>("ieee1284_claim")),
          release(entry<decltype(release)>("ieee1284_release")),
          write_data(entry<decltype(write_data)>("ieee1284_write_data")),
          read_data(entry<decltype(read_data)>("ieee1284_read_data"))
    {
        try {
            findPorts();
            m_port = firstParallelPort();
            openPort();
            claimPort();
        } catch (...) {
            shutDown();
            throw;
        }
    }

    ~Connection() { shutDown(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void write(unsigned char byte) { write_data(m_port, byte); }
    [[nodiscard]] int read() { return read_data(m_port); }

private:
    static DynamicLibrary load(const std::string& libraryName)
    {
        try {
            return DynamicLibrary(libraryName);
        } catch (const DynamicLibrary::LibraryError& e) {
            throw PortError(sentence(
                "Die Portbibliothek libieee1284 ist nicht installiert: sie kommt mit dem Paket "
                "libieee1284-3",
                e.what()));
        }
    }

    template <typename Function> Function entry(const char* symbolName)
    {
        try {
            return m_library.symbol<Function>(symbolName);
        } catch (const DynamicLibrary::LibraryError& e) {
            throw PortError(sentence("Die Portbibliothek libieee1284 ist unvollständig", e.what()));
        }
    }

    void findPorts()
    {
        const int result = find_ports(&m_list, 0);
        if (result != E1284_OK)
            throw PortError(sentence("Die Suche nach Parallelports ist fehlgeschlagen",
                                     "Fehler " + std::to_string(result)));
        m_listed = true;
    }

    // The port at the classic address if there is one, else the first listed
    // (a plug-in card elsewhere).
    [[nodiscard]] parport* firstParallelPort() const
    {
        if (m_list.portc <= 0 || !m_list.portv)
            throw PortError(sentence("Es wurde kein Parallelport gefunden"));
        for (int i = 0; i < m_list.portc; ++i)
            if (m_list.portv[i] && m_list.portv[i]->base_addr == FirstPortBase)
                return m_list.portv[i];
        if (!m_list.portv[0])
            throw PortError(sentence("Es wurde kein Parallelport gefunden"));
        return m_list.portv[0];
    }

    void openPort()
    {
        errno = 0;
        int capabilities = 0;
        const int result = open(m_port, 0, &capabilities);
        const int error = errno;
        if (result == E1284_OK) {
            m_opened = true;
            return;
        }
        if (isAccessRefused(error, *m_port))
            throw PortError(sentence("Zugriff auf den Parallelport verweigert: der Benutzer muss "
                                     "zur Gruppe lp gehören und sich danach neu anmelden",
                                     portName()));
        // The kernel knows the port, but without ppdev a normal user has no way in.
        if (isPpdevMissing(*m_port))
            throw PortError(
                sentence("Das Kernelmodul ppdev ist nicht geladen: sudo modprobe ppdev lädt es",
                         portName()));
        // Without the kernel's parport driver libieee1284 still lists the
        // legacy addresses; failing to open one means there is no port.
        if (!isParportDevice(*m_port))
            throw PortError(sentence("Es wurde kein Parallelport gefunden"));
        throw PortError(sentence("Der Parallelport ließ sich nicht öffnen",
                                 portName() + ", Fehler " + std::to_string(result)));
    }

    void claimPort()
    {
        if (claim(m_port) != E1284_OK)
            throw PortError(sentence(
                "Der Parallelport ist belegt: ein anderes Programm oder ein Treiber benutzt ihn",
                portName()));
        m_claimed = true;
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
    int (*claim)(parport*);
    void (*release)(parport*);
    void (*write_data)(parport*, unsigned char);
    int (*read_data)(parport*);

    parport_list m_list{0, nullptr};
    parport* m_port = nullptr;
    bool m_listed = false;
    bool m_opened = false;
    bool m_claimed = false;
};

M_inpout::M_inpout(std::string libraryName) : m_libraryName(std::move(libraryName)) {}
M_inpout::~M_inpout() = default;
M_inpout::M_inpout(M_inpout&&) noexcept = default;
M_inpout& M_inpout::operator=(M_inpout&&) noexcept = default;

namespace {

void requireDataPort(int portAddress)
{
    if (portAddress != M_inpout::DataPort)
        throw PortError(sentence("Nur die Adresse 888 des ersten Parallelports wird beschrieben",
                                 "verlangt: " + std::to_string(portAddress)));
}

} // namespace

M_inpout::Connection& M_inpout::connection()
{
    if (!m_connection)
        m_connection = std::make_unique<Connection>(m_libraryName);
    return *m_connection;
}

void M_inpout::Out32(int PortAddress, std::int16_t Value)
{
    requireDataPort(PortAddress);
    connection().write(static_cast<unsigned char>(Value & 0xFF));
}

std::int16_t M_inpout::Inp32(int PortAddress)
{
    requireDataPort(PortAddress);
    const int value = connection().read();
    if (value < 0)
        throw PortError(
            sentence("Das Datenregister ließ sich nicht lesen", "Fehler " + std::to_string(value)));
    return static_cast<std::int16_t>(value);
}
