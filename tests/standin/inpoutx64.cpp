// A stand-in for inpoutx64.dll, built as a real DLL with the same exports so
// that the program's own loading code runs against it under Wine.
//
// Load, unload and every write are appended as one line to the file named by
// FAKE1284_LOG ("load", "write 5", "unload"), as the Linux stand-in does.
// FAKE1284_MODE, read at every call: ok (default) | nodriver (the library's
// driver is not open, as before its first run as administrator).

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

unsigned char dataRegister = 0;

void record(const std::string& line)
{
    const char* log = std::getenv("FAKE1284_LOG");
    if (!log || !*log)
        return;
    if (FILE* f = std::fopen(log, "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

bool mode(const char* name)
{
    const char* m = std::getenv("FAKE1284_MODE");
    return std::strcmp(m && *m ? m : "ok", name) == 0;
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
