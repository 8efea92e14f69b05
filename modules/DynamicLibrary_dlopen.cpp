#include "DynamicLibrary.h"

#include <cerrno>
#include <dlfcn.h>
#include <unistd.h>
#include <utility>

namespace {

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

void* DynamicLibrary::open(const std::string& name)
{
    return ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

DynamicLibrary::Failure DynamicLibrary::openFailure(const std::string& name)
{
    std::string error = lastError();
    const bool missing = isMissing(name, error);
    return {std::move(error), missing};
}

void DynamicLibrary::close(void* handle)
{
    ::dlclose(handle);
}

void* DynamicLibrary::find(void* handle, const char* symbolName)
{
    ::dlerror(); // drop a stale error, so the next one belongs to this lookup
    return ::dlsym(handle, symbolName);
}

std::string DynamicLibrary::lastError()
{
    const char* text = ::dlerror();
    return text ? text : "unknown error";
}
