// An Arduino running StandardFirmata, reached from a browser page through
// Web Serial (the page side: Serial_webserial.js). The page has one thread
// and every call of the browser ends in an event, so a board is a state kept
// between them: the opener opens a port the user has granted and hands the
// board over at once; each event moves it on, and what it would answer now
// is told to the search (Search::changed). The protocol is firmata::Session's,
// fed with what arrives and ticked by a timer. The browser's port chooser is
// opened by askForFirmataBoard alone, within the user's action that asks for
// real LEDs.

#include "FirmataProtocol.h"
#include "Output.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <optional>
#include <span>

using Clock = std::chrono::steady_clock;

// The page side: one function per call of the browser, ports by the number
// it gives each. What they start ends in the ws_* functions below.
extern "C" {
int ws_supported();
void ws_look();                    // getPorts(), then ws_looked()
int ws_granted(int* ids, int max); // as last looked or chosen
void ws_choose(int usualBoards);   // requestPort() while the user acts, then ws_chosen()
void ws_open(int id, int baud);    // then ws_opened(), ws_received() ..., ws_lost()
void ws_send(const unsigned char* bytes, int size);
void ws_close();
void ws_wake(int milliseconds);        // ws_tick() then; < 0: not at all
void ws_error(char* buffer, int size); // the browser's last error message
}

namespace {

constexpr int Baud = 57600;

PortError failure(std::string sentence, std::string detail = {},
                  PortError::Kind kind = PortError::Kind::Failed)
{
    return PortError(std::move(sentence), std::move(detail), kind, PortText::BrowserBoardName);
}

std::string browserError()
{
    std::array<char, 256> text{};
    ws_error(text.data(), int(text.size()));
    return text.data();
}

// What outlives a board, for the rest of the visit.
struct Page
{
    std::function<void()> tell;                     // the search's Search::changed
    PortError why = failure(PortText::NoDeviceYet); // when no port is there to open
    std::vector<int> leftAlone;                     // ports that are no Firmata board
    bool declined = false;                          // a chooser was closed without a choice

    void changed() const
    {
        if (tell)
            tell();
    }
    // The first port granted that is not left alone; 0: none.
    [[nodiscard]] int usablePort() const
    {
        std::array<int, 32> ids{};
        const int n = ws_granted(ids.data(), int(ids.size()));
        for (const int id : std::span(ids).first(std::size_t(n)))
            if (std::find(leftAlone.begin(), leftAlone.end(), id) == leftAlone.end())
                return id;
        return 0;
    }
};

Page& page()
{
    static Page thePage;
    return thePage;
}

// One board from the opening of its port; its port stays open as long as it
// lives. It takes the byte once the session is Ready, the byte asked for
// last then.
class Board final : public Output
{
public:
    Board(int port, unsigned char byte) : m_port(port), m_byte(byte)
    {
        s_current = this;
        ws_open(port, Baud);
    }
    ~Board() override
    {
        s_current = nullptr;
        ws_wake(-1);
        ws_close();
    }

    [[nodiscard]] std::string name() const override { return PortText::BrowserBoardName; }
    [[nodiscard]] std::string where() const override { return PortText::BrowserBoardWhere; }
    void write(unsigned char byte) override
    {
        m_byte = byte;
        check();
        m_session->write(byte);
        send();
    }
    // Firmata does not tell an output pin's level: what was written last.
    [[nodiscard]] int read() override
    {
        check();
        return m_byte;
    }

    [[nodiscard]] static Board* current() { return s_current; }

    // The browser's events.
    void opened(bool ok)
    {
        if (!ok)
            return fail(failure(PortText::BrowserOpenFailed, browserError()));
        m_session.emplace(Clock::now());
        advance();
    }
    void received(std::span<const unsigned char> bytes)
    {
        if (handshaking()) {
            m_session->received(bytes, Clock::now());
            advance();
        }
    }
    void tick()
    {
        if (handshaking()) {
            m_session->tick(Clock::now());
            advance();
        }
    }
    void lost()
    {
        if (m_failure)
            return;
        page().why = failure(PortText::BrowserUnplugged, browserError());
        fail(page().why);
    }

private:
    using State = firmata::Session::State;

    [[nodiscard]] bool handshaking() const
    {
        return !m_failure && m_session && m_session->state() == State::Handshaking;
    }
    void check() const
    {
        if (m_failure)
            throw *m_failure;
        if (!m_session || m_session->state() != State::Ready)
            throw failure(PortText::Waiting(PortText::BrowserBoardName), {},
                          PortError::Kind::Pending);
    }
    void send()
    {
        if (const std::vector<unsigned char> bytes = m_session->bytesToSend(); !bytes.empty())
            ws_send(bytes.data(), int(bytes.size()));
    }
    // After the session has moved on: what it sends, when it wants to be
    // ticked, and how the handshake ended.
    void advance()
    {
        send();
        switch (m_session->state()) {
        case State::Handshaking: {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                m_session->nextDeadline() - Clock::now());
            ws_wake(int(std::max<long long>(left.count(), 0)));
            return;
        }
        case State::Ready:
            ws_wake(-1);
            m_session->write(m_byte);
            send();
            page().changed();
            return;
        case State::NotFirmata:
            page().leftAlone.push_back(m_port);
            page().why = failure(PortText::BrowserNotFirmata);
            return fail(page().why);
        }
    }
    void fail(const PortError& e)
    {
        m_failure = e;
        ws_wake(-1);
        ws_close();
        page().changed();
    }

    int m_port;
    unsigned char m_byte;
    std::optional<firmata::Session> m_session; // from the port's opening
    std::optional<PortError> m_failure;
    static inline Board* s_current = nullptr;
};

} // namespace

std::unique_ptr<Output> openFirmataBoard(Search& search)
{
    Page& p = page();
    p.tell = search.changed;
    if (!ws_supported())
        throw failure(PortText::NoWebSerial);
    const int port = p.usablePort();
    if (port > 0) {
        auto board = std::make_unique<Board>(port, search.byte());
        search.busy = std::make_unique<PortError>(
            failure(PortText::Waiting(PortText::BrowserBoardName), {}, PortError::Kind::Pending));
        return board;
    }
    ws_look(); // a board granted or plugged in since is found there
    throw p.why;
}

void askForFirmataBoard(Search& search)
{
    Page& p = page();
    p.tell = search.changed;
    if (!ws_supported() || Board::current())
        return;
    const int port = p.usablePort();
    if (port > 0)
        p.changed(); // granted before: opened now, without a question
    else
        ws_choose(!p.declined); // the usual boards first, all devices after a refusal
}

// Called by the page side.
extern "C" {
EMSCRIPTEN_KEEPALIVE void ws_looked()
{
    // A port has come while no board is open.
    if (!Board::current() && page().usablePort() > 0)
        page().changed();
}
EMSCRIPTEN_KEEPALIVE void ws_chosen(int chosen)
{
    Page& p = page();
    if (!chosen) {
        p.declined = true;
        p.why = failure(PortText::NoDeviceChosen, browserError());
    }
    p.changed();
}
EMSCRIPTEN_KEEPALIVE void ws_opened(int ok)
{
    if (Board* board = Board::current())
        board->opened(ok != 0);
}
EMSCRIPTEN_KEEPALIVE void ws_received(const unsigned char* bytes, int size)
{
    if (Board* board = Board::current())
        board->received(std::span(bytes, std::size_t(size)));
}
EMSCRIPTEN_KEEPALIVE void ws_tick()
{
    if (Board* board = Board::current())
        board->tick();
}
EMSCRIPTEN_KEEPALIVE void ws_lost()
{
    if (Board* board = Board::current())
        board->lost();
}
}
