#include "PortWorker.h"

#include "PortError.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <utility>

namespace {

// A worker left to finish alone shares the loaded library with the next
// one. The port library does not promise to be thread-safe, so its calls go
// one at a time; only the claim stays outside, so that one which does not
// end holds up nobody else.
std::mutex libraryCalls;

void drop(std::unique_ptr<PortLink>& link)
{
    const std::lock_guard calls(libraryCalls);
    link.reset();
}

} // namespace

// What the caller and the worker share, kept alive by both, so a worker left
// alone in a claim outlives its PortWorker safely. Guarded by `mutex`.
struct PortWorker::Shared
{
    enum class Job { None, Write, Read };
    // Where the worker stands with the port.
    enum class Port {
        Unclaimed,     // not yet, or given back after a failure
        Claiming,      // inside a claim, which may not end by itself
        HeldElsewhere, // another program or driver has it: tried again in a while
        Held,          // ours, through `link`
    };

    std::mutex mutex;
    std::condition_variable asked;    // the worker waits on it
    std::condition_variable answered; // the caller waits on it
    Job job = Job::None;
    Port port = Port::Unclaimed;
    PortLink* link = nullptr; // while the port is Held
    unsigned char byte = 0;   // the last byte asked to be written
    bool done = false;        // the last job asked for was carried out or failed
    bool ownerGone = false;
    std::exception_ptr failure;
    int readValue = 0;
};

PortWorker::PortWorker(Opener open)
    : m_shared(std::make_shared<Shared>()), m_thread(run, m_shared, std::move(open))
{
}

PortWorker::~PortWorker()
{
    bool claiming = false;
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->ownerGone = true;
        claiming = m_shared->port == Shared::Port::Claiming;
    }
    m_shared->asked.notify_one();
    // Outside a claim the worker sees ownerGone at once and ends; a claim
    // that does not end by itself is not waited for.
    if (claiming)
        m_thread.detach();
    else
        m_thread.join();
}

void PortWorker::write(unsigned char byte)
{
    ask(true, byte);
}

int PortWorker::read()
{
    return ask(false, 0);
}

int PortWorker::ask(bool write, unsigned char byte)
{
    using enum Shared::Port;
    Shared& s = *m_shared;
    std::unique_lock lock(s.mutex);
    // Writing to a port held already does not wait: done here, without the
    // round trip to the worker, which meanwhile only waits for its next job.
    if (write && s.port == Held && s.job == Shared::Job::None) {
        const std::lock_guard calls(libraryCalls);
        s.byte = byte;
        s.link->write(byte);
        return 0;
    }
    const bool waiting = s.port == Claiming || s.port == HeldElsewhere;
    if (write) {
        s.byte = byte;
        s.job = Shared::Job::Write;
    } else if (!waiting) {
        s.job = Shared::Job::Read;
    }
    // Still waiting from an earlier call: the new byte is written once the
    // port comes free.
    if (waiting)
        throw PortError(PortText::Busy, "the port is still held elsewhere", PortError::Kind::Busy);
    s.done = false;
    s.failure = nullptr;
    s.asked.notify_one();
    s.answered.wait(lock, [&] { return s.done || s.port == Claiming; });
    if (!s.answered.wait_for(lock, AnswerWait, [&] { return s.done; }))
        throw PortError(PortText::Busy, "the claim did not end", PortError::Kind::Busy);
    if (std::exception_ptr failure = std::exchange(s.failure, nullptr)) {
        lock.unlock();
        std::rethrow_exception(failure);
    }
    return s.readValue;
}

void PortWorker::run(const std::shared_ptr<Shared>& shared, const Opener& open)
{
    using enum Shared::Port;
    Shared& s = *shared;
    std::unique_ptr<PortLink> link;
    std::unique_lock lock(s.mutex);
    for (;;) {
        if (s.port == HeldElsewhere)
            s.asked.wait_for(lock, RetryInterval, [&] { return s.ownerGone; });
        else
            s.asked.wait(lock, [&] { return s.ownerGone || s.job != Shared::Job::None; });
        if (s.ownerGone)
            break;
        std::exception_ptr failure;
        if (s.port != Held) {
            // Finding and opening the port; both stop short while it is held elsewhere.
            bool prepared = false;
            lock.unlock();
            try {
                const std::lock_guard calls(libraryCalls);
                if (!link)
                    link = open();
                prepared = link->prepare();
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            s.port = Unclaimed;
            if (prepared && !s.ownerGone) {
                s.port = Claiming;
                s.answered.notify_all();
                lock.unlock();
                bool claimed = false;
                try {
                    claimed = link->claim();
                } catch (...) {
                    failure = std::current_exception();
                }
                lock.lock();
                s.port = claimed && !failure ? Held : Unclaimed;
                s.link = s.port == Held ? link.get() : nullptr;
            }
            if (s.ownerGone)
                break;
        }
        // Under the lock, so the job cannot change midway; writing to a
        // held port does not wait.
        if (s.port == Held && !failure) {
            try {
                const std::lock_guard calls(libraryCalls);
                if (s.job == Shared::Job::Write)
                    s.link->write(s.byte);
                else
                    s.readValue = s.link->read();
            } catch (...) {
                failure = std::current_exception();
            }
        }
        if (failure) {
            s.port = Unclaimed;
            s.link = nullptr;
            drop(link);
        } else if (s.port != Held) {
            s.port = HeldElsewhere; // the job waits for the port to come free
            failure = std::make_exception_ptr(
                PortError(PortText::Busy, "the port is held by another program or driver",
                          PortError::Kind::Busy));
        }
        if (s.port != HeldElsewhere)
            s.job = Shared::Job::None;
        s.failure = failure;
        s.done = true;
        s.answered.notify_all();
    }
    lock.unlock();
    drop(link);
}
