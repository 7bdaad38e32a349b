// searchOpenings: the table of the searches a run can open. Each search
// adds its entry here and nowhere else; the run loop only looks keys up.
#include "tarvo/events/event_search.h"

#include <array>

namespace tarvo {

namespace {
// Filled as the searches are built.
constexpr std::array<SearchOpening, 0> kOpenings{};
} // namespace

std::span<const SearchOpening> searchOpenings() {
    return kOpenings;
}

const SearchOpening* searchOpeningFor(char key) {
    for (const SearchOpening& o : searchOpenings())
        if (o.key == key) return &o;
    return nullptr;
}

} // namespace tarvo
