#pragma once

#include <array>
#include <chrono>
#include <span>
#include <utility>
#include <vector>

// The few messages of the Firmata protocol that put a byte on pins 2..9 of
// an Arduino running StandardFirmata; pins 0 and 1 are its serial line.
// Free of lines, threads and clocks, so that the desktop's blocking serial
// lines and a browser's Web Serial drive the same conversation.
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

// The caller's clock; the session only compares and adds.
using Time = std::chrono::steady_clock::time_point;

// One board from the moment its port is opened: whether it answers as
// StandardFirmata does, then the bytes for its pins. The caller sends what
// bytesToSend() gives, hands in what arrives with the time it is, and calls
// tick() by nextDeadline() at the latest.
//
// The board resets when its port is opened and answers about 2 s later
// (after up to 1.5 s in a real Uno's bootloader): the version is asked once
// a second for up to 6 s. A report must then be confirmed, as a device
// sending noise may give one by chance: once the line has been quiet for
// 150 ms (Firmata is silent unless asked), the answer to one more query must
// be that report. A device that fails gets nothing but the queries.
class Session
{
public:
    enum class State { Handshaking, Ready, NotFirmata };

    // The port was opened at `now`: the first query is due at once.
    explicit Session(Time now);

    // Bytes that arrived by `now`; deadlines passed by then are met first.
    void received(std::span<const unsigned char> bytes, Time now);
    // Meets the deadlines passed by `now`.
    void tick(Time now);
    // When tick() is due at the latest; Time::max() once the handshake is over.
    [[nodiscard]] Time nextDeadline() const;
    // What is to go out on the line now, taken out of the session.
    [[nodiscard]] std::vector<unsigned char> bytesToSend() { return std::exchange(m_out, {}); }
    [[nodiscard]] State state() const { return m_state; }
    // Puts the byte on pins 2..9 once Ready (which has set them to outputs);
    // nothing at all before, or for a device that is no Firmata board.
    void write(unsigned char byte);

private:
    enum class Step {
        Asking,     // the version, once a second
        Quieting,   // a report came: until the line is quiet
        Confirming, // asked once more: the whole answer must be the report
    };

    void query() { m_out.push_back(ReportVersion); }
    // Whether `byte` completes a version report (F9 and two 7-bit bytes).
    bool report(unsigned char byte);
    // Takes one byte; false when the rest of what arrived with it is not to be read.
    bool take(unsigned char byte, Time now);
    void confirmed();
    void askAgain();

    State m_state = State::Handshaking;
    Step m_step = Step::Asking;
    Time m_end;       // of the time a board has to answer
    Time m_nextQuery; // while Asking
    Time m_stepEnd;   // of the quiet wanted, of the answer awaited
    int m_have = -1;  // bytes of a report seen so far; -1: none begun
    std::array<unsigned char, 2> m_version{};
    std::vector<unsigned char> m_answer;
    std::vector<unsigned char> m_out;
};

} // namespace firmata
