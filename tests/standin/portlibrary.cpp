// A stand-in for the port library, built as a real shared library so that
// the program's own loading code runs against it: libieee1284 on Linux,
// inpoutx64.dll or inpout32.dll under Wine (undecorated __stdcall names).
//
// Every call is appended as one line to the file named by FAKE1284_LOG
// ("load", "find", "open parport0", "claim parport0", "write 5", ...,
// "unload"). FAKE1284_MODE picks a fault; both are read at every call, from
// the process's own environment, so that a change by the program under test
// counts at once.
//   both: ok (default) | throw (the write throws, as nothing real would)
//   libieee1284: findfail | noports | otherport | openrefused | nodevice |
//     openfails | claimrefused | claimwaits (the claim waits, as while another
//     program holds the port, until the file named by FAKE1284_GO exists, 30 s
//     at most; a signal ends the wait with E1284_SYS ("claim cut short"), as
//     with ppdev, and a claim through the same opening after that is logged
//     as "claim while queued") | claimstuck (the same, deaf to signals)
//   inpout: nodriver (the library's driver is not open, as before its first
//     run as administrator)

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include "Ieee1284.h"

#include <cerrno>
#include <unistd.h>
#endif

namespace {

std::string variable(const char* name)
{
#ifdef _WIN32
    // The C library's copy of the environment lags behind SetEnvironmentVariable.
    char value[1024]{};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? value : "";
#else
    const char* value = std::getenv(name);
    return value ? value : "";
#endif
}

void record(const std::string& line)
{
    const std::string log = variable("FAKE1284_LOG");
    if (FILE* f = log.empty() ? nullptr : std::fopen(log.c_str(), "ab")) { // \n on every platform
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

bool mode(const char* name)
{
    const std::string m = variable("FAKE1284_MODE");
    return (m.empty() ? "ok" : m) == name;
}

struct Lifetime
{
    Lifetime() { record("load"); }
    ~Lifetime() { record("unload"); }
} lifetime;

unsigned char dataRegister = 0;

void writeData(unsigned char value)
{
    if (mode("throw"))
        throw std::runtime_error("Testfehler beim Schreiben");
    record("write " + std::to_string(value));
    dataRegister = value;
}

unsigned char readData()
{
    record("read");
    return dataRegister;
}

#ifndef _WIN32
using namespace ieee1284;

parport LegacyLow{"parport1", 0x278, 0, nullptr, "/dev/port"};
parport First{"parport0", 0x378, 0, nullptr, "/dev/parport0"};
parport Legacy{"0x378", 0x378, 0, nullptr, "/dev/port"};
parport Card{"parport0", 0xd010, 0, nullptr, "/dev/parport0"};
bool queued = false; // a claim was cut short and the port not closed since
#endif

} // namespace

extern "C" {

#ifdef _WIN32

__declspec(dllexport) void __stdcall Out32(short, short data)
{
    writeData(static_cast<unsigned char>(data));
}

__declspec(dllexport) short __stdcall Inp32(short)
{
    return readData();
}

__declspec(dllexport) BOOL __stdcall IsInpOutDriverOpen()
{
    return mode("nodriver") ? FALSE : TRUE;
}

#else

int ieee1284_find_ports(parport_list* list, int)
{
    record("find");
    static parport *ok[] = {&LegacyLow, &First}, *other[] = {&Card, &LegacyLow},
                   *legacy[] = {&Legacy};
    if (mode("findfail"))
        return E1284_NOMEM;
    *list = mode("noports") ? parport_list{0, nullptr}
            : mode("otherport") ? parport_list{2, other}
            : mode("nodevice") ? parport_list{1, legacy}
                               : parport_list{2, ok};
    return E1284_OK;
}

void ieee1284_free_ports(parport_list* list)
{
    record("free");
    *list = {0, nullptr};
}

int ieee1284_open(parport* port, int, int* caps)
{
    record(std::string("open ") + port->name);
    if (caps)
        *caps = 0;
    errno = mode("openrefused") ? EACCES : 0;
    return mode("openrefused") || mode("nodevice") || mode("openfails") ? E1284_INIT : E1284_OK;
}

int ieee1284_close(parport*)
{
    record("close");
    queued = false;
    return E1284_OK;
}

#ifndef FAKE1284_WITHOUT_CLAIM
int ieee1284_claim(parport* port)
{
    record(queued ? "claim while queued" : std::string("claim ") + port->name);
    const bool interruptible = mode("claimwaits");
    if (interruptible || mode("claimstuck")) {
        const std::string go = variable("FAKE1284_GO");
        for (int ms = 0; ms < 30000 && ::access(go.c_str(), F_OK) != 0; ms += 5)
            if (::usleep(5000) != 0 && interruptible) {
                record("claim cut short");
                queued = true;
                return E1284_SYS;
            }
    }
    return mode("claimrefused") ? E1284_SYS : E1284_OK;
}
#endif

void ieee1284_release(parport*)
{
    record("release");
}

void ieee1284_write_data(parport*, unsigned char value)
{
    writeData(value);
}

int ieee1284_read_data(parport*)
{
    return readData();
}

#endif
}
