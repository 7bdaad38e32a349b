// viewOpenings: the table of the views a run can open. Each view adds its
// entry here and nowhere else; the run loop only looks keys up.
#include "tarvo/views/run_view.h"

#include "graphics_view.h"

#include <array>

namespace tarvo {

namespace {
constexpr std::array<ViewOpening, 1> kOpenings{{
    {'W', "The graphics window", openGraphicsView},
}};
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
