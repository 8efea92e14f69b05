#pragma once

#include <chrono>
#include <ctime>

// While it lives, a system call of the creating thread that waits longer
// than `limit` is cut short (it fails with EINTR). Made for the parallel
// port's claim: ppdev waits for the port's holder with its own lock taken,
// which stalls every other program using ppdev, the holder too, so that it
// could never let go.
class WaitLimit
{
public:
    explicit WaitLimit(std::chrono::milliseconds limit);
    ~WaitLimit();
    WaitLimit(const WaitLimit&) = delete;
    WaitLimit& operator=(const WaitLimit&) = delete;

    // Whether the limit has passed: a call failing now was most likely cut short.
    [[nodiscard]] bool passed() const { return std::chrono::steady_clock::now() >= m_end; }

private:
    std::chrono::steady_clock::time_point m_end;
    timer_t m_timer{};
    bool m_armed = false;
};
