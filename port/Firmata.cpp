// An Arduino running StandardFirmata on a USB serial port: the board is
// looked for on every serial port of the platform, and D0..D7 are put on
// its pins 2..9. The protocol is firmata::Session's; here it is driven over
// the platform's blocking serial line, on the search's thread.

#include "Firmata.h"

#include "Output.h"

#include <algorithm>
#include <optional>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

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

void sendPending(SerialLine& line, firmata::Session& session)
{
    if (const std::vector<unsigned char> bytes = session.bytesToSend(); !bytes.empty())
        line.send(bytes);
}

// Whether the board answers as StandardFirmata does. Each wait ends at the
// session's next deadline, and within 100 ms, to see whether the search is
// given up.
[[nodiscard]] bool answers(SerialLine& line, firmata::Session& session, const Search& search)
{
    using State = firmata::Session::State;
    std::array<unsigned char, 256> buffer{};
    for (;;) {
        sendPending(line, session);
        if (search.cancelled())
            return false;
        if (session.state() != State::Handshaking)
            return session.state() == State::Ready;
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(session.nextDeadline() - Clock::now());
        const std::size_t n = line.receive(buffer, std::clamp(left, 0ms, 100ms));
        session.received(std::span(buffer).first(n), Clock::now());
    }
}

class FirmataBoard final : public Output
{
public:
    FirmataBoard(std::string port, std::unique_ptr<SerialLine> line, firmata::Session session)
        : m_port(std::move(port)), m_line(std::move(line)), m_session(std::move(session))
    {
    }

    [[nodiscard]] std::string name() const override { return boardName(m_port); }
    [[nodiscard]] std::string where() const override
    {
        return "an den Pins 2 bis 9 des Arduino an " + m_port;
    }
    void write(unsigned char byte) override
    {
        m_session.write(byte);
        sendPending(*m_line, m_session);
        m_byte = byte;
    }
    // Firmata does not tell an output pin's level: what was written last.
    [[nodiscard]] int read() override { return m_byte; }

private:
    std::string m_port;
    std::unique_ptr<SerialLine> m_line;
    firmata::Session m_session;
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
            firmata::Session session(Clock::now());
            if (!answers(*line, session, search)) {
                if (!search.cancelled())
                    search.leftAlone.push_back(port);
                throw PortError(PortText::NotFirmata(port));
            }
            auto board = std::make_unique<FirmataBoard>(port, std::move(line), std::move(session));
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
