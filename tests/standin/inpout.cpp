// A stand-in for inpoutx64.dll and inpout32.dll, built as a real DLL of the
// program's width with the same exports (undecorated __stdcall names in the
// 32-bit one) so that the program's own loading code runs against it under Wine.
//
// Load, unload and every write are logged ("load", "write 5", "unload"), as
// the Linux stand-in does. FAKE1284_MODE: ok (default) | nodriver (the
// library's driver is not open, as before its first run as administrator) |
// throw (Out32 throws, as nothing real would).

#include "Record.h"

#include <stdexcept>

using standin::mode, standin::record;

namespace {

unsigned char dataRegister = 0;

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
