// A stand-in for libieee1284, built as a real shared library so that the
// program's own loading code runs against it.
//
// Every call is logged ("load", "find", "open parport0", "claim parport0",
// "write 5", ...). FAKE1284_MODE picks a fault:
//   ok (default) | findfail | noports | otherport | openrefused | nodevice |
//   openfails | claimrefused | throw (write_data throws, as nothing real would)
//   | claimwaits (the claim waits, as while another program holds the port,
//   until the file named by FAKE1284_GO exists, 30 s at most; a signal ends
//   the wait with E1284_SYS ("claim cut short"), as with ppdev, and a claim
//   through the same opening after that is logged as "claim while queued")
//   | claimstuck (the same, deaf to signals)

#include "Ieee1284.h"
#include "standin/Record.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <unistd.h>

using namespace ieee1284;
using standin::mode, standin::record;

namespace {

parport LegacyLow{"parport1", 0x278, 0, nullptr, "/dev/port"};
parport First{"parport0", 0x378, 0, nullptr, "/dev/parport0"};
parport Legacy{"0x378", 0x378, 0, nullptr, "/dev/port"};
parport Card{"parport0", 0xd010, 0, nullptr, "/dev/parport0"};

unsigned char dataRegister = 0;
bool queued = false; // a claim was cut short and the port not closed since

struct Lifetime
{
    Lifetime() { record("load"); }
    ~Lifetime() { record("unload"); }
} lifetime;

} // namespace

extern "C" {

int ieee1284_find_ports(parport_list* list, int)
{
    record("find");
    static parport *ok[] = {&LegacyLow, &First}, *other[] = {&Card, &LegacyLow},
                   *legacy[] = {&Legacy};
    if (mode("findfail"))
        return E1284_NOMEM;
    *list = mode("noports")     ? parport_list{0, nullptr}
            : mode("otherport") ? parport_list{2, other}
            : mode("nodevice")  ? parport_list{1, legacy}
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
        const std::string go = std::getenv("FAKE1284_GO") ? std::getenv("FAKE1284_GO") : "";
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
    if (mode("throw"))
        throw std::runtime_error("Testfehler beim Schreiben");
    record("write " + std::to_string(value));
    dataRegister = value;
}

int ieee1284_read_data(parport*)
{
    record("read");
    return dataRegister;
}
}
