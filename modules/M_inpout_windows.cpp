// Port access on Windows: writes the data register of the first parallel
// port through inpoutx64.dll, loaded at the first write so the program runs
// without it. The library brings its own kernel driver, which it installs the
// first time it is loaded by an administrator.

#include "M_inpout.h"

#include "LoadedPortLibrary.h"

#include <utility>

namespace {

void requireDataPort(int portAddress)
{
    if (portAddress != M_inpout::DataPort)
        throw PortError(PortText::OnlyDataPort, "verlangt: " + std::to_string(portAddress));
}

} // namespace

// The loaded library with its driver open. A failure while connecting
// unloads the library again, so the next write starts from scratch.
class M_inpout::Access
{
public:
    explicit Access(const std::string& libraryName)
        : m_library(libraryName, PortText::InpoutMissing, PortText::InpoutUnusable),
          Out32(m_library.entry<decltype(Out32)>("Out32")),
          Inp32(m_library.entry<decltype(Inp32)>("Inp32")),
          IsInpOutDriverOpen(m_library.entry<decltype(IsInpOutDriverOpen)>("IsInpOutDriverOpen"))
    {
        if (IsInpOutDriverOpen() == 0)
            throw PortError(PortText::InpoutDriverMissing);
    }

    void write(unsigned char byte) { Out32(short(DataPort), short(byte)); }
    [[nodiscard]] int read() { return static_cast<unsigned char>(Inp32(short(DataPort))); }

private:
    LoadedPortLibrary m_library; // first member: unloaded last
    // The library's exports (__stdcall, which is the one x64 convention).
    void(__stdcall* Out32)(short, short);
    short(__stdcall* Inp32)(short);
    int(__stdcall* IsInpOutDriverOpen)();
};

M_inpout::M_inpout(std::string libraryName) : m_libraryName(std::move(libraryName)) {}
M_inpout::~M_inpout() = default;
M_inpout::M_inpout(M_inpout&&) noexcept = default;
M_inpout& M_inpout::operator=(M_inpout&&) noexcept = default;

M_inpout::Access& M_inpout::access()
{
    if (!m_access)
        m_access = std::make_unique<Access>(m_libraryName);
    return *m_access;
}

void M_inpout::Out32(int PortAddress, std::int16_t Value)
{
    requireDataPort(PortAddress);
    access().write(static_cast<unsigned char>(Value & 0xFF));
}

std::int16_t M_inpout::Inp32(int PortAddress)
{
    requireDataPort(PortAddress);
    return static_cast<std::int16_t>(access().read());
}
