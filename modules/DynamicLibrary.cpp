#include "DynamicLibrary.h"

#include <utility>

DynamicLibrary::DynamicLibrary(std::string name, const char* missing, const char* unusable)
    : m_name(std::move(name)), m_unusable(unusable), m_handle(open(m_name))
{
    if (!m_handle) {
        const Failure failure = openFailure(m_name);
        throw PortError(failure.missing ? missing : unusable, failure.error);
    }
}

DynamicLibrary::~DynamicLibrary()
{
    if (m_handle)
        close(m_handle);
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : m_name(std::move(other.m_name)), m_unusable(other.m_unusable),
      m_handle(std::exchange(other.m_handle, nullptr))
{
}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept
{
    if (this != &other) {
        if (m_handle)
            close(m_handle);
        m_name = std::move(other.m_name);
        m_unusable = other.m_unusable;
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

void* DynamicLibrary::address(const char* symbolName) const
{
    void* found = find(m_handle, symbolName);
    if (!found)
        throw PortError(m_unusable, m_name + ": " + symbolName + ": " + lastError());
    return found;
}
