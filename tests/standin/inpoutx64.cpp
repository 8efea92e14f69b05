// A stand-in for inpoutx64.dll, built as a real DLL with the same exports so
// that the program's own loading code runs against it under Wine.
//
// Load, unload and every write are appended as one line to the file named by
// FAKE1284_LOG ("load", "write 5", "unload"), as the Linux stand-in does.
// FAKE1284_MODE, read at every call: ok (default) | nodriver (the library's
// driver is not open, as before its first run as administrator) | throw
// (Out32 throws, as nothing real would). Both are read from the process's
// environment, so a change by the program under test is seen at once.

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

unsigned char dataRegister = 0;

std::string variable(const char* name)
{
    char value[1024]{};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? value : "";
}

void record(const std::string& line)
{
    const std::string log = variable("FAKE1284_LOG");
    if (log.empty())
        return;
    // Binary: lines end in \n as on Linux.
    if (FILE* f = std::fopen(log.c_str(), "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

bool mode(const char* name)
{
    const std::string m = variable("FAKE1284_MODE");
    return (m.empty() ? "ok" : m) == name;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        record("load");
    else if (reason == DLL_PROCESS_DETACH)
        record("unload");
    return TRUE;
}

__declspec(dllexport) void __stdcall Out32(short, short data)
{
    if (mode("throw"))
        throw std::runtime_error("Testfehler beim Schreiben");
    dataRegister = static_cast<unsigned char>(data);
    record("write " + std::to_string(dataRegister));
}

__declspec(dllexport) short __stdcall Inp32(short)
{
    record("read");
    return dataRegister;
}

__declspec(dllexport) BOOL __stdcall IsInpOutDriverOpen()
{
    return mode("nodriver") ? FALSE : TRUE;
}
}
