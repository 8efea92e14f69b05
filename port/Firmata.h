#pragma once

#include <array>
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

// The few messages of the Firmata protocol that put a byte on pins 2..9 of
// an Arduino running StandardFirmata; pins 0 and 1 are its serial line.
namespace firmata {

constexpr unsigned char ReportVersion = 0xF9;  // asked alone; answered F9 major minor
constexpr unsigned char SetPinMode = 0xF4;     // pin, mode
constexpr unsigned char DigitalMessage = 0x90; // | port; 7 low bits, then bit 7
constexpr unsigned char Output = 1;
constexpr int FirstPin = 2; // D0 on pin 2 ... D7 on pin 9

// Ports 0 (pins 0..7) and 1 (pins 8..15), each in its own message.
[[nodiscard]] constexpr std::array<unsigned char, 6> digitalMessages(unsigned char byte)
{
    const unsigned low = (unsigned(byte) << FirstPin) & 0xFF;
    const unsigned high = unsigned(byte) >> (8 - FirstPin);
    return {DigitalMessage | 0, (unsigned char)(low & 0x7F),  (unsigned char)(low >> 7),
            DigitalMessage | 1, (unsigned char)(high & 0x7F), (unsigned char)(high >> 7)};
}

} // namespace firmata
