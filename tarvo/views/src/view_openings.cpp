// viewOpenings: the table of the views a run can open. Each view adds its
// entry here and nowhere else; the run loop only looks keys up.
#include "tarvo/views/run_view.h"

#include <array>

namespace tarvo {

namespace {
// Filled as the views are built.
constexpr std::array<ViewOpening, 0> kOpenings{};
} // namespace

std::span<const ViewOpening> viewOpenings() {
    return kOpenings;
}

const ViewOpening* viewOpeningFor(char key) {
    for (const ViewOpening& o : viewOpenings())
        if (o.key == key) return &o;
    return nullptr;
}

} // namespace tarvo
