#include "DynamicLibrary.h"

#include <dlfcn.h>
#include <utility>

namespace {

// Each call into the system loader on its own, so the rest reads plainly.
void* openLibrary(const std::string& name)
{
    return ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void closeLibrary(void* handle)
{
    ::dlclose(handle);
}
void* findSymbol(void* handle, const char* symbolName)
{
    return ::dlsym(handle, symbolName);
}
void clearLoaderError()
{
    ::dlerror();
}

std::string loaderError()
{
    const char* text = ::dlerror();
    return text ? text : "unknown error";
}

} // namespace

DynamicLibrary::DynamicLibrary(std::string name) : m_name(std::move(name))
{
    m_handle = openLibrary(m_name);
    if (!m_handle)
        throw LibraryError(m_name + ": " + loaderError());
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
    // Drop a stale error so the message below belongs to this lookup.
    clearLoaderError();
    void* found = findSymbol(m_handle, symbolName);
    if (!found)
        throw LibraryError(m_name + ": " + symbolName + ": " + loaderError());
    return found;
}
