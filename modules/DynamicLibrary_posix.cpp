#include "DynamicLibrary.h"

#include <cerrno>
#include <dlfcn.h>
#include <unistd.h>
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

bool fileIsAbsent(const std::string& path)
{
    return ::access(path.c_str(), F_OK) != 0 && errno == ENOENT;
}

// The loader's wording is translated, so only its form is relied on: it
// names the requested name when it could not find that very file, but the
// full path of a file it found and could not use, and the dependency's name
// when one of those is missing.
bool isMissing(const std::string& name, const std::string& error)
{
    if (!error.starts_with(name + ": "))
        return false;
    return name.find('/') == std::string::npos || fileIsAbsent(name);
}

} // namespace

DynamicLibrary::DynamicLibrary(std::string name) : m_name(std::move(name))
{
    m_handle = openLibrary(m_name);
    if (!m_handle) {
        const std::string error = loaderError();
        throw LibraryError(error, isMissing(m_name, error));
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
    // Drop a stale error so the message below belongs to this lookup.
    clearLoaderError();
    void* found = findSymbol(m_handle, symbolName);
    if (!found)
        throw LibraryError(m_name + ": " + symbolName + ": " + loaderError());
    return found;
}
