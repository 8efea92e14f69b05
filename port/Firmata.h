#pragma once

#include "FirmataProtocol.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

// A serial line to a board, open at 57600 baud, 8N1, raw. One per platform
// (Serial_posix.cpp, Serial_win32.cpp). Every failure is a PortError naming
// the port; a device that is gone throws PortText::Unplugged.
class SerialLine
{
public:
    SerialLine() = default;
    virtual ~SerialLine() = default;
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // Hands all bytes to the system; waits for room a fraction of a second at most.
    virtual void send(std::span<const unsigned char> bytes) = 0;
    // What arrived within `wait`, perhaps nothing.
    [[nodiscard]] virtual std::size_t receive(std::span<unsigned char> buffer,
                                              std::chrono::milliseconds wait) = 0;
};

// The serial ports a USB board may appear as: "/dev/ttyACM0", "COM3".
[[nodiscard]] std::vector<std::string> serialPorts();
// Opens one; nullptr when it is gone. Throws PortError when it may not be used.
[[nodiscard]] std::unique_ptr<SerialLine> openSerialLine(const std::string& port);
