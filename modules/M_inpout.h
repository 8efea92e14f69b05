#pragma once

#include "PortError.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

class OutputSearch;

// Port access: puts the byte written to the data register of the first
// parallel port (address ParallelDataPort) on the LEDs. The first output found is used,
// in the platform's order: the parallel port through the platform's port
// library (libieee1284, inpoutx64.dll, inpout32.dll), on Linux the GPIO
// header, then an Arduino with StandardFirmata on a USB serial port.
// Nothing is loaded or opened before the first write, and no write waits
// for a board or another holder of a port (see OutputSearch).
class M_inpout
{
public:
    static constexpr int DataPort = ParallelDataPort;
    // Set by the build for each platform.
    static constexpr const char* PortLibrary = BITLICHT_PORT_LIBRARY;

    explicit M_inpout(std::string libraryName = PortLibrary);
    ~M_inpout();
    M_inpout(M_inpout&&) noexcept;
    M_inpout& operator=(M_inpout&&) noexcept;

    // Puts the low eight bits of Value on the LEDs. Throws PortError.
    void Out32(int PortAddress, std::int16_t Value);
    // Reads back what the output in use holds. Throws PortError.
    [[nodiscard]] std::int16_t Inp32(int PortAddress);

    // Called on the search's own thread when an output that a write was
    // told to wait for has answered or failed. Set before the first write.
    void onAnswer(std::function<void()> answered) { m_answered = std::move(answered); }
    // What became of it: as the last Out32 would end now, without writing.
    // Throws PortError.
    void outcome();
    // Called within the user's own action that asks for real LEDs: where the
    // user must pick the device first (a browser's serial port chooser, which
    // a page may open only then), the choice is offered now. Writes nothing.
    void askUser();

    // The output the last successful write reached ("Parallelport",
    // "Arduino an COM3"), and where the bits appear there.
    [[nodiscard]] const std::string& outputName() const { return m_outputName; }
    [[nodiscard]] const std::string& where() const { return m_where; }

private:
    OutputSearch& search();

    std::string m_libraryName;
    std::function<void()> m_answered;
    std::unique_ptr<OutputSearch> m_search;
    std::string m_outputName;
    std::string m_where;
};
