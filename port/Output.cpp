// The search's one rule for every platform: which output is taken, and the
// reason given when none is.

#include "Output.h"

#include <optional>

std::unique_ptr<Output> findOutput(const std::vector<OutputKind>& kinds, Search& search)
{
    std::optional<PortError> unusable;
    std::string nouns;
    search.unseen.reset();
    for (const OutputKind& kind : kinds) {
        nouns += (nouns.empty() ? "weder " : " noch ") + std::string(kind.noun);
        if (search.cancelled())
            return nullptr;
        try {
            if (std::unique_ptr<Output> output = kind.open(search))
                return output;
        } catch (const PortError& e) {
            if (!unusable)
                unusable = e;
        }
    }
    if (unusable)
        throw *unusable;
    const std::string none = PortText::NothingFound(nouns);
    if (search.unseen)
        throw PortError(none + " " + search.unseen->what(), search.unseen->detail());
    throw PortError(none);
}
