#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace win32 {

// The folder the program was started from: its LED files and port library lie there.
[[nodiscard]] std::filesystem::path programFolder();

// A DLL from the program's folder, else from the system folder, each by its
// full path: the search where Windows lacks LoadLibraryEx's search flags
// (Windows 7 without update KB2533623). Never the working folder or PATH.
[[nodiscard]] HMODULE loadFromProgramOrSystemFolder(const std::wstring& name);

} // namespace win32
