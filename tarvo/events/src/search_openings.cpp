// searchOpenings: the table of the searches a run can open. Each search
// adds its entry here and nowhere else; the run loop only looks keys up.
#include "tarvo/events/event_search.h"

#include "tarvo/events/close_approach_search.h"
#include "tarvo/events/min_max_zero.h"

#include <array>

namespace tarvo {

namespace {
constexpr std::array<SearchOpening, 2> kOpenings{{
    {'Y', "Close approaches", &openCloseApproachSearch},
    {'I', "Minima, maxima and zeros", &openMinMaxZeroSearch},
}};
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
