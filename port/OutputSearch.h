#pragma once

#include "Output.h"

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Finds the first output that can be reached, in the platform's order, and
// writes to it. Finding and opening run on a thread of their own, since a
// board answers only seconds after its port is opened: no caller waits for
// that. A write to an output in use goes straight to it.
//
// A write that finds no output in use starts a search and waits for it up
// to AnswerWait; while a board's answer is still awaited it throws Pending,
// and the byte asked for last is written as soon as the board answers. A
// failing output is dropped with its reason, and the next write looks again.
class OutputSearch
{
public:
    static constexpr std::chrono::milliseconds AnswerWait{1000};

    // `answered` is called on the search's thread when a search that a write
    // was told to wait for has ended, found or failed.
    OutputSearch(std::vector<OutputKind> kinds, std::string portLibrary,
                 std::function<void()> answered = {});
    ~OutputSearch();
    OutputSearch(const OutputSearch&) = delete;
    OutputSearch& operator=(const OutputSearch&) = delete;

    // Puts the byte on the LEDs; returns the output in use. Throws PortError.
    const Output& write(unsigned char byte);
    // What the last search came to, without writing: the output in use, or
    // the PortError a write would throw now.
    const Output& outcome();
    // Reads back what the output in use holds. Throws PortError.
    [[nodiscard]] int read();
    // Within the user's own action that asks for real LEDs: a kind whose
    // device the user must pick first asks for it now (OutputKind::ask).
    void askUser();

private:
    struct Shared;
    static void run(const std::shared_ptr<Shared>& shared);
    // After a write: the output in use, or why none. `lock` holds the mutex.
    static const Output& result(Shared& s, std::unique_lock<std::mutex>& lock);

    std::shared_ptr<Shared> m_shared;
    std::thread m_thread;
};
