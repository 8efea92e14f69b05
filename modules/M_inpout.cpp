#include "M_inpout.h"

#include "OutputSearch.h"

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

OutputSearch& M_inpout::search()
{
    if (!m_search)
        m_search = std::make_unique<OutputSearch>(outputKinds(), m_libraryName, m_answered);
    return *m_search;
}

void M_inpout::Out32(int PortAddress, std::int16_t Value)
{
    requireDataPort(PortAddress);
    const Output& output = search().write(static_cast<unsigned char>(Value & 0xFF));
    m_outputName = output.name();
    m_where = output.where();
}

void M_inpout::outcome()
{
    const Output& output = search().outcome();
    m_outputName = output.name();
    m_where = output.where();
}

void M_inpout::askUser()
{
    search().askUser();
}

std::int16_t M_inpout::Inp32(int PortAddress)
{
    requireDataPort(PortAddress);
    const int value = search().read();
    if (value < 0)
        throw PortError(PortText::ReadFailed, "Fehler " + std::to_string(value));
    return static_cast<std::int16_t>(value);
}
