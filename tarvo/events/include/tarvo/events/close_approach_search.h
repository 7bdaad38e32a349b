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
    // The Moon kinds of the angular search: 'M' the Moon against the planets
    // (occultations), 'E' against the Sun (solar eclipses); 0 for neither.
    char moonKind = 0;
    double geographicWindowDegrees = 15.0; // around the site, topocentric mode
};

// The Moon kinds widen the Max Angle by this much (radians): the Moon's
// parallax, so that no overlap seen from the ground is missed.
inline constexpr double kMoonKindWidening = 0.0018;

inline constexpr double kMaxAngle = 99.9; // degrees, the largest Max Angle

// The angular kind's search.
std::unique_ptr<EventSearch> makeAngularApproachSearch(const CloseApproachSettings& settings);

// The dialog of key Y; nullopt when cancelled.
std::optional<CloseApproachSettings> closeApproachDialog(RunContext& run);

std::unique_ptr<EventSearch> makeCloseApproachSearch(const CloseApproachSettings& settings);

// The entry of the table of searches: the dialog, then the search.
std::unique_ptr<EventSearch> openCloseApproachSearch(RunContext& run);

} // namespace tarvo
