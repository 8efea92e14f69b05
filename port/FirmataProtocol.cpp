#include "FirmataProtocol.h"

#include <algorithm>

namespace firmata {

namespace {

using namespace std::chrono_literals;

constexpr auto AnswerTime = 6s;
constexpr auto QueryEvery = 1s;
// Firmata is silent unless asked; a device that talks on is something else.
constexpr auto Quiet = 150ms;
constexpr auto EchoTime = 500ms;

} // namespace

Session::Session(Time now) : m_end(now + AnswerTime), m_nextQuery(now)
{
    tick(now);
}

void Session::received(std::span<const unsigned char> bytes, Time now)
{
    tick(now);
    for (const unsigned char byte : bytes)
        if (m_state != State::Handshaking || !take(byte, now))
            break;
    tick(now); // a report that failed its confirmation: the next query may be due
}

void Session::tick(Time now)
{
    if (m_state != State::Handshaking)
        return;
    switch (m_step) {
    case Step::Quieting:
        if (now >= m_stepEnd) {
            query();
            m_step = Step::Confirming;
            m_stepEnd = now + EchoTime;
            m_answer.clear();
        }
        return;
    case Step::Confirming:
        if (now < m_stepEnd)
            return;
        askAgain(); // too short an answer
        [[fallthrough]];
    case Step::Asking:
        if (now >= m_end) {
            m_state = State::NotFirmata;
        } else if (now >= m_nextQuery) {
            query();
            m_nextQuery = now + QueryEvery;
        }
    }
}

Time Session::nextDeadline() const
{
    if (m_state != State::Handshaking)
        return Time::max();
    return m_step == Step::Asking ? std::min(m_nextQuery, m_end) : m_stepEnd;
}

void Session::write(unsigned char byte)
{
    if (m_state != State::Ready)
        return;
    const auto messages = digitalMessages(byte);
    m_out.insert(m_out.end(), messages.begin(), messages.end());
}

bool Session::report(unsigned char byte)
{
    if (byte == ReportVersion) {
        m_have = 0;
    } else if (m_have >= 0 && byte < 0x80) {
        m_version[m_have++] = byte;
        if (m_have == 2) {
            m_have = -1;
            return true;
        }
    } else {
        m_have = -1;
    }
    return false;
}

bool Session::take(unsigned char byte, Time now)
{
    switch (m_step) {
    case Step::Asking:
        if (!report(byte))
            return true;
        // What came along with the report came before the quiet is awaited.
        m_step = Step::Quieting;
        m_stepEnd = now + Quiet;
        return false;
    case Step::Quieting:
        if (now >= m_end)
            m_state = State::NotFirmata; // talking on past its time
        else
            m_stepEnd = now + Quiet;
        return false;
    case Step::Confirming:
        m_answer.push_back(byte);
        if (m_answer.size() < 3)
            return true;
        if (m_answer == std::vector<unsigned char>{ReportVersion, m_version[0], m_version[1]})
            confirmed();
        else
            askAgain();
        return false;
    }
    return false;
}

void Session::confirmed()
{
    m_state = State::Ready;
    for (int pin = FirstPin; pin < FirstPin + 8; ++pin)
        m_out.insert(m_out.end(), {SetPinMode, (unsigned char)pin, Output});
}

void Session::askAgain()
{
    m_step = Step::Asking;
    m_have = -1;
}

} // namespace firmata
