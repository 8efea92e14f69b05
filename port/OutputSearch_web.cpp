// The search in a browser page: it has one thread, so finding and opening
// run on the writer's, and an opener never waits. An output there answers
// in the browser's events: it may be used before it can take the byte (a
// board still starting, Search::busy), and it says through Search::changed
// when it has answered or failed; the search then looks again and tells its
// caller, as the desktop's does when a board has answered.

#include "OutputSearch.h"

#include <optional>
#include <utility>

struct OutputSearch::Shared final : Search
{
    Shared(std::vector<OutputKind> kinds_, std::function<void()> answered_)
        : kinds(std::move(kinds_)), answered(std::move(answered_))
    {
    }

    [[nodiscard]] unsigned char byte() const override { return wanted; }
    [[nodiscard]] bool cancelled() const override { return false; }
    void awaiting(const std::string&) override {}

    [[nodiscard]] std::unique_ptr<Output> find() { return findOutput(kinds, *this); }

    // Runs `step` on the output in use or on finding one, and keeps what it
    // came to. An output that cannot take the byte yet stays in use; a
    // failing one is dropped, and the next write looks again.
    template <typename Step> const Output& use(Step step)
    {
        try {
            step();
            if (busy)
                throw PortError(*std::exchange(busy, nullptr));
            failure.reset();
            return *output;
        } catch (const PortError& e) {
            failure = e.output().empty() && output ? e.about(output->name()) : e;
            if (e.kind() == PortError::Kind::Failed)
                output.reset();
            throw *failure;
        }
    }

    const std::vector<OutputKind> kinds;
    const std::function<void()> answered;
    std::unique_ptr<Output> output;
    std::optional<PortError> failure; // of the last write or look
    unsigned char wanted = 0;
    bool again = false; // an output or opener has told of a change since
};

OutputSearch::OutputSearch(std::vector<OutputKind> kinds, std::string portLibrary,
                           std::function<void()> answered)
    : m_shared(std::make_shared<Shared>(std::move(kinds), std::move(answered)))
{
    m_shared->portLibrary = std::move(portLibrary);
    m_shared->changed = [weak = std::weak_ptr(m_shared)] {
        if (const std::shared_ptr<Shared> s = weak.lock()) {
            s->again = true;
            if (s->answered)
                s->answered();
        }
    };
}

OutputSearch::~OutputSearch() = default;

const Output& OutputSearch::write(unsigned char byte)
{
    Shared& s = *m_shared;
    s.wanted = byte;
    return s.use([&] {
        if (!s.output)
            s.output = s.find();
        else
            s.output->write(byte);
    });
}

const Output& OutputSearch::outcome()
{
    Shared& s = *m_shared;
    if (std::exchange(s.again, false)) {
        try {
            s.use([&] {
                if (!s.output)
                    s.output = s.find(); // with the byte asked for last
                else
                    (void)s.output->read(); // still there, answering?
            });
        } catch (const PortError&) {
            // kept as the failure
        }
    }
    if (s.output && !s.failure)
        return *s.output;
    throw s.failure.value_or(PortError(PortText::Searching, {}, PortError::Kind::Pending));
}

int OutputSearch::read()
{
    if (!m_shared->output)
        throw PortError(PortText::ReadFailed, "no output in use");
    return m_shared->output->read();
}

void OutputSearch::askUser()
{
    Shared& s = *m_shared;
    if (s.output)
        return;
    for (const OutputKind& kind : s.kinds)
        if (kind.ask)
            kind.ask(s);
}
