// An Arduino running StandardFirmata on a USB serial port: the board is
// looked for on every serial port of the platform, and D0..D7 are put on
// its pins 2..9.

#include "Firmata.h"

#include "Output.h"

#include <algorithm>
#include <optional>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// Picks the version report out of what a board sends.
class VersionReport
{
public:
    // The version, once F9 and two 7-bit bytes have passed by.
    std::optional<std::array<unsigned char, 2>> feed(unsigned char byte)
    {
        if (byte == firmata::ReportVersion) {
            m_have = 0;
        } else if (m_have >= 0 && byte < 0x80) {
            m_version[m_have++] = byte;
            if (m_have == 2) {
                m_have = -1;
                return m_version;
            }
        } else {
            m_have = -1;
        }
        return std::nullopt;
    }

private:
    int m_have = -1; // bytes of a report seen so far; -1: none begun
    std::array<unsigned char, 2> m_version{};
};

// The board resets when its port is opened: StandardFirmata answers about
// 2 s later, after up to 1.5 s in a real Uno's bootloader.
constexpr auto AnswerTime = 6s;
constexpr auto QueryEvery = 1s;
// Firmata is silent unless asked; a device that talks on is something else.
constexpr auto Quiet = 150ms;
constexpr auto EchoTime = 500ms;

// In a steady order: COM3 before COM10, ttyACM* before ttyUSB*.
std::vector<std::string> byNumber(std::vector<std::string> ports)
{
    std::ranges::sort(ports, [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return ports;
}

std::string boardName(const std::string& port)
{
    return "Arduino an " + port;
}

class Handshake
{
public:
    Handshake(SerialLine& line, const Search& search) : m_line(line), m_search(search) {}

    // Whether the board answers the version query as Firmata does: a report,
    // then, once the line is quiet, the same report as the whole answer to a
    // second query, which a device sending noise does not give by chance.
    [[nodiscard]] bool answers()
    {
        auto nextQuery = Clock::now();
        VersionReport reports;
        while (!timeUp()) {
            if (Clock::now() >= nextQuery) {
                query();
                nextQuery = Clock::now() + QueryEvery;
            }
            for (const unsigned char byte : receive(100ms))
                if (const auto version = reports.feed(byte); version && confirms(*version))
                    return true;
        }
        return false;
    }

private:
    [[nodiscard]] bool timeUp() const { return Clock::now() >= m_end || m_search.cancelled(); }

    void query()
    {
        const unsigned char ask[] = {firmata::ReportVersion};
        m_line.send(ask);
    }

    [[nodiscard]] std::vector<unsigned char> receive(std::chrono::milliseconds wait)
    {
        std::array<unsigned char, 256> buffer{};
        const std::size_t n = m_line.receive(buffer, wait);
        return {buffer.begin(), buffer.begin() + long(n)};
    }

    [[nodiscard]] bool confirms(std::array<unsigned char, 2> version)
    {
        while (!receive(Quiet).empty())
            if (timeUp())
                return false;
        query();
        std::vector<unsigned char> answer;
        const auto end = Clock::now() + EchoTime;
        while (answer.size() < 3 && Clock::now() < end) {
            const std::vector<unsigned char> more = receive(50ms);
            answer.insert(answer.end(), more.begin(), more.end());
        }
        const std::vector<unsigned char> expected{firmata::ReportVersion, version[0], version[1]};
        return answer.size() >= 3 && std::equal(expected.begin(), expected.end(), answer.begin());
    }

    SerialLine& m_line;
    const Search& m_search;
    const Clock::time_point m_end = Clock::now() + AnswerTime;
};

class FirmataBoard final : public Output
{
public:
    FirmataBoard(std::string port, std::unique_ptr<SerialLine> line)
        : m_port(std::move(port)), m_line(std::move(line))
    {
        for (int pin = firmata::FirstPin; pin < firmata::FirstPin + 8; ++pin) {
            const unsigned char mode[] = {firmata::SetPinMode, (unsigned char)pin, firmata::Output};
            m_line->send(mode);
        }
    }

    [[nodiscard]] std::string name() const override { return boardName(m_port); }
    [[nodiscard]] std::string where() const override
    {
        return "an den Pins 2 bis 9 des Arduino an " + m_port;
    }
    void write(unsigned char byte) override
    {
        m_line->send(firmata::digitalMessages(byte));
        m_byte = byte;
    }
    // Firmata does not tell an output pin's level: what was written last.
    [[nodiscard]] int read() override { return m_byte; }

private:
    std::string m_port;
    std::unique_ptr<SerialLine> m_line;
    unsigned char m_byte = 0;
};

} // namespace

std::unique_ptr<Output> openFirmataBoard(Search& search)
{
    std::optional<PortError> unusable;
    const auto remember = [&](const PortError& e, const std::string& port) {
        if (!unusable)
            unusable = e.about(boardName(port));
    };
    for (const std::string& port : byNumber(serialPorts())) {
        if (search.cancelled())
            return nullptr;
        if (std::ranges::find(search.leftAlone, port) != search.leftAlone.end()) {
            remember(PortError(PortText::NotFirmata(port)), port);
            continue;
        }
        try {
            std::unique_ptr<SerialLine> line = openSerialLine(port);
            if (!line)
                continue;
            search.awaiting(boardName(port));
            if (!Handshake(*line, search).answers()) {
                if (!search.cancelled())
                    search.leftAlone.push_back(port);
                throw PortError(PortText::NotFirmata(port));
            }
            auto board = std::make_unique<FirmataBoard>(port, std::move(line));
            board->write(search.byte());
            return board;
        } catch (const PortError& e) {
            remember(e, port);
        }
    }
    if (unusable)
        throw *unusable;
    return nullptr;
}
