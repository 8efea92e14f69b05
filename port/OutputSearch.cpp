#include "OutputSearch.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <utility>

// What the callers and the searching thread share, guarded by `mutex`.
struct OutputSearch::Shared final : Search
{
    enum class State {
        Idle,      // no output, no search
        Searching, // looking, opening
        Awaiting,  // a board's answer is awaited, which takes seconds
        InUse,     // `output` takes the writes
    };

    Shared(std::vector<OutputKind> kinds_, std::function<void()> answered_)
        : kinds(std::move(kinds_)), answered(std::move(answered_))
    {
    }

    [[nodiscard]] unsigned char byte() const override
    {
        const std::lock_guard lock(mutex);
        handedOut = wanted;
        return wanted;
    }
    [[nodiscard]] bool cancelled() const override
    {
        const std::lock_guard lock(mutex);
        return ownerGone;
    }
    void awaiting(const std::string& name) override
    {
        const std::lock_guard lock(mutex);
        state = State::Awaiting;
        awaited = name;
        changed.notify_all();
    }

    [[nodiscard]] std::unique_ptr<Output> find() { return findOutput(kinds, *this); }

    const std::vector<OutputKind> kinds;
    const std::function<void()> answered;
    mutable std::mutex mutex;
    std::condition_variable wake;    // the searching thread waits on it
    std::condition_variable changed; // callers wait on it
    State state = State::Idle;
    std::unique_ptr<Output> output; // while InUse
    unsigned char wanted = 0;       // the byte asked for last
    mutable unsigned char handedOut = 0;
    std::string awaited;
    std::optional<PortError> failure; // of the last search
    std::exception_ptr unexpected;    // anything else it met: the caller's to report
    bool toldToWait = false;          // a write was told the search goes on
    bool ownerGone = false;
};

std::unique_ptr<Output> openByWriting(Search& search, std::unique_ptr<Output> output,
                                      const char* missingLibrary, const char* none)
{
    try {
        output->write(search.byte());
    } catch (const PortError& e) {
        const std::string_view reason = e.what();
        if (reason == missingLibrary)
            search.unseen = std::make_unique<PortError>(e);
        if (reason == missingLibrary || reason == none)
            return nullptr;
        if (e.kind() != PortError::Kind::Busy)
            throw e.about(output->name());
        search.busy = std::make_unique<PortError>(e);
    }
    return output;
}

OutputSearch::OutputSearch(std::vector<OutputKind> kinds, std::string portLibrary,
                           std::function<void()> answered)
    : m_shared(std::make_shared<Shared>(std::move(kinds), std::move(answered)))
{
    m_shared->portLibrary = std::move(portLibrary);
    m_thread = std::thread(run, m_shared);
}

OutputSearch::~OutputSearch()
{
    {
        const std::lock_guard lock(m_shared->mutex);
        m_shared->ownerGone = true;
    }
    m_shared->wake.notify_one();
    m_thread.join(); // every opener heeds cancelled() within a fraction of a second
}

const Output& OutputSearch::write(unsigned char byte)
{
    using enum Shared::State;
    Shared& s = *m_shared;
    std::unique_lock lock(s.mutex);
    s.wanted = byte;
    if (s.state == InUse) {
        try {
            s.output->write(byte);
            return *s.output;
        } catch (const PortError& e) {
            const PortError named = e.output().empty() ? e.about(s.output->name()) : e;
            if (e.kind() != PortError::Kind::Busy) { // else it stays ours, writing once free
                s.output.reset();
                s.state = Idle;
            }
            throw named;
        }
    }
    if (s.state == Idle) {
        s.state = Searching;
        s.failure.reset();
        s.wake.notify_one();
    }
    s.changed.wait_for(lock, AnswerWait, [&] { return s.state != Searching; });
    return result(s, lock);
}

const Output& OutputSearch::outcome()
{
    std::unique_lock lock(m_shared->mutex);
    return result(*m_shared, lock);
}

const Output& OutputSearch::result(Shared& s, std::unique_lock<std::mutex>&)
{
    using enum Shared::State;
    if (std::exception_ptr unexpected = std::exchange(s.unexpected, nullptr))
        std::rethrow_exception(unexpected);
    switch (s.state) {
    case InUse:
        if (s.failure)
            throw *s.failure;
        return *s.output;
    case Awaiting:
        s.toldToWait = true;
        throw PortError(PortText::Waiting(s.awaited), {}, PortError::Kind::Pending, s.awaited);
    case Searching:
        s.toldToWait = true;
        throw PortError(PortText::Searching, {}, PortError::Kind::Pending);
    case Idle:
        break;
    }
    throw s.failure.value_or(PortError(PortText::Searching, {}, PortError::Kind::Pending));
}

int OutputSearch::read()
{
    Shared& s = *m_shared;
    const std::lock_guard lock(s.mutex);
    if (s.state != Shared::State::InUse)
        throw PortError(PortText::ReadFailed, "no output in use");
    return s.output->read();
}

// The desktop's outputs are found without the user's help.
void OutputSearch::askUser() {}

void OutputSearch::run(const std::shared_ptr<Shared>& shared)
{
    using enum Shared::State;
    Shared& s = *shared;
    std::unique_lock lock(s.mutex);
    for (;;) {
        s.wake.wait(lock, [&] { return s.ownerGone || s.state == Searching; });
        if (s.ownerGone)
            break;
        lock.unlock();
        std::unique_ptr<Output> found;
        std::optional<PortError> failure;
        std::exception_ptr unexpected;
        try {
            found = s.find();
        } catch (const PortError& e) {
            failure = e;
        } catch (...) {
            unexpected = std::current_exception();
        }
        lock.lock();
        if (s.ownerGone) {
            lock.unlock();
            found.reset();
            return;
        }
        if (found && s.busy) {
            failure = s.busy->about(found->name());
            s.busy.reset();
        } else if (found && s.wanted != s.handedOut) {
            // Opened with the byte wanted then; a newer one was asked for meanwhile.
            try {
                found->write(s.wanted);
            } catch (const PortError& e) {
                failure = e.output().empty() ? e.about(found->name()) : e;
                found.reset();
            } catch (...) {
                unexpected = std::current_exception();
                found.reset();
            }
        }
        s.output = std::move(found);
        s.state = s.output ? InUse : Idle;
        s.failure = std::move(failure);
        s.unexpected = unexpected;
        s.changed.notify_all();
        if (std::exchange(s.toldToWait, false) && s.answered) {
            lock.unlock(); // it may ask for the outcome at once
            s.answered();
            lock.lock();
        }
    }
}
