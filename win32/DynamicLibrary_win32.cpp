// A DLL loaded at run time. Only the program's own folder and the system
// folders are searched, never the current directory or PATH.

#include "DynamicLibrary.h"

#include "WinText.h"

void* DynamicLibrary::open(const std::string& name)
{
    return reinterpret_cast<void*>(
        LoadLibraryExW(wintext::wide(name).c_str(), nullptr,
                       LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32));
}

DynamicLibrary::LibraryError DynamicLibrary::openFailure(const std::string& name)
{
    const bool missing = GetLastError() == ERROR_MOD_NOT_FOUND;
    return LibraryError(name + ": " + lastError(), missing);
}

void DynamicLibrary::close(void* handle)
{
    FreeLibrary(static_cast<HMODULE>(handle));
}

void* DynamicLibrary::find(void* handle, const char* symbolName)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), symbolName));
}

std::string DynamicLibrary::lastError()
{
    return wintext::errorText(GetLastError());
}
