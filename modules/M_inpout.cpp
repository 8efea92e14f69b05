#include "M_inpout.h"

#include <utility>

namespace {

void requireDataPort(int portAddress)
{
    if (portAddress != M_inpout::DataPort)
        throw PortError(PortText::OnlyDataPort, "verlangt: " + std::to_string(portAddress));
}

} // namespace

M_inpout::M_inpout(std::string libraryName) : m_libraryName(std::move(libraryName)) {}
M_inpout::~M_inpout() = default;
M_inpout::M_inpout(M_inpout&&) noexcept = default;
M_inpout& M_inpout::operator=(M_inpout&&) noexcept = default;

M_inpout::Access& M_inpout::access()
{
    if (!m_access)
        m_access = connect(m_libraryName);
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
    const int value = access().read();
    if (value < 0)
        throw PortError(PortText::ReadFailed, "Fehler " + std::to_string(value));
    return static_cast<std::int16_t>(value);
}
