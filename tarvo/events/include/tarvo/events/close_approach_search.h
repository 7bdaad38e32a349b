// The close-approach search as the run loop opens it (key Y).
#pragma once

#include "tarvo/events/close_approach.h"
#include "tarvo/events/conjunction.h"
#include "tarvo/events/event_search.h"

#include <memory>
#include <optional>

namespace tarvo {

struct CloseApproachSettings {
    PairSelection selection;        // the pairs searched
    long double dmaxGm = 1.0L;      // largest distance recorded, Gm
    bool angular = false;           // the angular kind, seen from the centre of the Earth
    double maxAngleDegrees = 1.0;   // the angular kind's largest angle recorded
    bool farthest = false;          // maxima of distance instead of minima
    ConjunctionOptions conjunction; // the angular kind's suffixes /C /O /Q /E /M
};

inline constexpr double kMaxAngle = 99.9; // degrees, the largest Max Angle

// The angular kind's search.
std::unique_ptr<EventSearch> makeAngularApproachSearch(const CloseApproachSettings& settings);

// The dialog of key Y; nullopt when cancelled.
std::optional<CloseApproachSettings> closeApproachDialog(RunContext& run);

std::unique_ptr<EventSearch> makeCloseApproachSearch(const CloseApproachSettings& settings);

// The entry of the table of searches: the dialog, then the search.
std::unique_ptr<EventSearch> openCloseApproachSearch(RunContext& run);

} // namespace tarvo
