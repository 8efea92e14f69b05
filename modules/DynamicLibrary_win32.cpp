// A DLL loaded at run time. Only the program's own folder and the system
// folders are searched, never the current directory or PATH.

#include "DynamicLibrary.h"

#include "WinText.h"

#include <utility>

namespace {

// Each call into the system loader on its own, so the rest reads plainly.
HMODULE openLibrary(const std::string& name)
{
    return LoadLibraryExW(wintext::wide(name).c_str(), nullptr,
                          LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}
void closeLibrary(void* handle)
{
    FreeLibrary(static_cast<HMODULE>(handle));
}
void* findSymbol(void* handle, const char* symbolName)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), symbolName));
}

std::string loaderError()
{
    return wintext::errorText(GetLastError());
}

} // namespace

DynamicLibrary::DynamicLibrary(std::string name) : m_name(std::move(name))
{
    m_handle = reinterpret_cast<void*>(openLibrary(m_name));
    if (!m_handle) {
        const bool missing = GetLastError() == ERROR_MOD_NOT_FOUND;
        throw LibraryError(m_name + ": " + loaderError(), missing);
    }
}

DynamicLibrary::~DynamicLibrary()
{
    if (m_handle)
        closeLibrary(m_handle);
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : m_name(std::move(other.m_name)), m_handle(std::exchange(other.m_handle, nullptr))
{
}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept
{
    if (this != &other) {
        if (m_handle)
            closeLibrary(m_handle);
        m_name = std::move(other.m_name);
        m_handle = std::exchange(other.m_handle, nullptr);
    }
    return *this;
}

void* DynamicLibrary::address(const char* symbolName) const
{
    void* found = findSymbol(m_handle, symbolName);
    if (!found)
        throw LibraryError(m_name + ": " + symbolName + ": " + loaderError());
    return found;
}
