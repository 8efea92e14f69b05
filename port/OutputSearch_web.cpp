// The search in a browser page: it has one thread, so finding and opening
// run on the writer's, and an opener never waits (the browser's own calls
// answer later, through its events).

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

    // The first kind that opens; else the first reason found, else that the
    // page reaches none.
    [[nodiscard]] std::unique_ptr<Output> find()
    {
        std::optional<PortError> unusable;
        std::string nouns;
        for (const OutputKind& kind : kinds) {
            nouns += (nouns.empty() ? "weder " : " noch ") + std::string(kind.noun);
            try {
                if (std::unique_ptr<Output> output = kind.open(*this))
                    return output;
            } catch (const PortError& e) {
                if (!unusable)
                    unusable = e;
            }
        }
        if (unusable)
            throw *unusable;
        if (kinds.empty())
            throw PortError(PortText::BrowserNoOutput, {}, PortError::Kind::Failed,
                            PortText::BrowserBoardName);
        throw PortError(PortText::NothingFound(nouns));
    }

    const std::vector<OutputKind> kinds;
    const std::function<void()> answered;
    std::unique_ptr<Output> output;
    std::optional<PortError> failure; // of the last search
    unsigned char wanted = 0;
};

OutputSearch::OutputSearch(std::vector<OutputKind> kinds, std::string portLibrary,
                           std::function<void()> answered)
    : m_shared(std::make_shared<Shared>(std::move(kinds), std::move(answered)))
{
    m_shared->portLibrary = std::move(portLibrary);
}

OutputSearch::~OutputSearch() = default;

const Output& OutputSearch::write(unsigned char byte)
{
    Shared& s = *m_shared;
    s.wanted = byte;
    try {
        if (!s.output)
            s.output = s.find();
        else
            s.output->write(byte);
        s.failure.reset();
        return *s.output;
    } catch (const PortError& e) {
        const PortError named = e.output().empty() && s.output ? e.about(s.output->name()) : e;
        if (e.kind() != PortError::Kind::Busy) // else it stays ours, writing once free
            s.output.reset();                  // and the next write looks again
        s.failure = named;
        throw named;
    }
}

const Output& OutputSearch::outcome()
{
    Shared& s = *m_shared;
    if (s.output)
        return *s.output;
    throw s.failure.value_or(PortError(PortText::Searching, {}, PortError::Kind::Pending));
}

int OutputSearch::read()
{
    if (!m_shared->output)
        throw PortError(PortText::ReadFailed, "no output in use");
    return m_shared->output->read();
}
