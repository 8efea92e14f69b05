// A DLL loaded at run time. Only the program's own folder and the system
// folder are searched, never the current directory or PATH.

#include "DynamicLibrary.h"

#include "LibrarySearch_win32.h"
#include "WinText.h"

#include <filesystem>

namespace {

// The search flags came with AddDllDirectory (Windows 8, and Windows 7 with
// update KB2533623); without it LoadLibraryExW refuses them as an invalid
// parameter.
bool searchFlagsKnown()
{
    return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
}

HMODULE loadSearching(const std::wstring& name)
{
    return LoadLibraryExW(name.c_str(), nullptr,
                          LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Only ever a full path: a bare name would be searched for, working folder and all.
HMODULE loadFile(const std::filesystem::path& file)
{
    if (!file.is_absolute()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::filesystem::path systemFolder()
{
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::filesystem::path(folder) : std::filesystem::path();
}

} // namespace

std::filesystem::path win32::programFolder()
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (n == 0)
            return {};
        if (n < name.size())
            return std::filesystem::path(name.substr(0, n)).parent_path();
        name.resize(name.size() * 2);
    }
}

// The same two places by full path, one after the other. A library found in
// the program's folder that fails to load is not replaced by another one.
HMODULE win32::loadFromProgramOrSystemFolder(const std::wstring& name)
{
    if (std::filesystem::path(name).is_absolute())
        return loadFile(name);
    HMODULE library = loadFile(win32::programFolder() / name);
    if (!library && GetLastError() == ERROR_MOD_NOT_FOUND)
        library = loadFile(systemFolder() / name);
    return library;
}

void* DynamicLibrary::open(const std::string& name)
{
    const std::wstring wide = wintext::wide(name);
    return reinterpret_cast<void*>(searchFlagsKnown() ? loadSearching(wide)
                                                      : win32::loadFromProgramOrSystemFolder(wide));
}

DynamicLibrary::Failure DynamicLibrary::openFailure(const std::string& name)
{
    const bool missing = GetLastError() == ERROR_MOD_NOT_FOUND;
    return {name + ": " + lastError(), missing};
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
