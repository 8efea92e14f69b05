#pragma once

#include "PortError.h"

#include <cstdint>
#include <memory>
#include <string>

// Port access: writes the data register of the first parallel port through
// the platform's port library (libieee1284, inpoutx64.dll), loaded at the
// first write so the program runs without it.
//
// On Linux the library's work runs on a worker thread (PortWorker), so no
// call waits on another program holding the port: such a call throws "busy"
// within a few milliseconds, and the worker writes the last byte asked for
// when the port comes free.
// After a failure everything found so far is freed and the library unloaded,
// so the next call starts from scratch (libieee1284 probes its access methods
// only once per load). After the first success the port stays open and
// claimed until the object goes.
class M_inpout
{
public:
    // The data register of the first parallel port, the only address served.
    static constexpr int DataPort = 888;
    // Set by the build for each platform.
    static constexpr const char* PortLibrary = BITLICHT_PORT_LIBRARY;

    explicit M_inpout(std::string libraryName = PortLibrary);
    ~M_inpout();
    M_inpout(M_inpout&&) noexcept;
    M_inpout& operator=(M_inpout&&) noexcept;

    // Puts the low eight bits of Value on the data lines. Throws PortError.
    void Out32(int PortAddress, std::int16_t Value);
    // Reads the data register back. Throws PortError.
    [[nodiscard]] std::int16_t Inp32(int PortAddress);

    // The way to the port, made at the first call: a worker thread on Linux,
    // the loaded library on Windows. Both throw PortError.
    class Access
    {
    public:
        virtual ~Access() = default;
        virtual void write(unsigned char byte) = 0;
        [[nodiscard]] virtual int read() = 0;
    };

private:
    // Provided by each platform.
    [[nodiscard]] static std::unique_ptr<Access> connect(const std::string& libraryName);
    Access& access();

    std::string m_libraryName;
    std::unique_ptr<Access> m_access;
};
