#include "WaitLimit.h"

#include <csignal>
#include <pthread.h>
#include <unistd.h>

// glibc names the field only from 2.35 on.
#ifndef sigev_notify_thread_id
#define sigev_notify_thread_id _sigev_un._tid
#endif

namespace {

using std::chrono::milliseconds;

// After the first signal, more follow at this pace until the limit goes, in
// case one lands just before the call starts waiting.
constexpr milliseconds Repeat{1};

// A real-time signal nothing else in the program uses.
int wakeSignal()
{
    return SIGRTMIN + 5;
}

void doNothing(int) {}

// Without SA_RESTART, so the waiting call returns instead of going on.
void installWakeHandler()
{
    struct sigaction action
    {
    };
    action.sa_handler = doNothing;
    sigemptyset(&action.sa_mask);
    ::sigaction(wakeSignal(), &action, nullptr);
}

void unblockWakeSignal()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, wakeSignal());
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool createThreadTimer(timer_t& timer)
{
    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = wakeSignal();
    event.sigev_notify_thread_id = ::gettid();
    return ::timer_create(CLOCK_MONOTONIC, &event, &timer) == 0;
}

timespec span(milliseconds time)
{
    return {static_cast<time_t>(time.count() / 1000),
            static_cast<long>(time.count() % 1000) * 1000000L};
}

void startTimer(timer_t timer, milliseconds first, milliseconds every)
{
    const itimerspec timing{span(every), span(first)};
    ::timer_settime(timer, 0, &timing, nullptr);
}

void deleteTimer(timer_t timer)
{
    ::timer_delete(timer);
}

} // namespace

WaitLimit::WaitLimit(milliseconds limit) : m_end(std::chrono::steady_clock::now() + limit)
{
    static const bool installed = (installWakeHandler(), true); // once per process
    static_cast<void>(installed);
    unblockWakeSignal();
    m_armed = createThreadTimer(m_timer);
    if (m_armed)
        startTimer(m_timer, limit, Repeat);
}

WaitLimit::~WaitLimit()
{
    // A signal still on its way only ends some later wait early, which every
    // wait of the worker takes in its stride.
    if (m_armed)
        deleteTimer(m_timer);
}
