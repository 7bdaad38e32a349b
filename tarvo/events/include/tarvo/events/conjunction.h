// The conjunction family of the angular close-approach search (key Y, A,
// with a suffix after the Max Angle): conjunctions (/C), oppositions (/O)
// and quadratures (/Q) in longitude or right ascension, greatest
// elongations (/E, maxima of the angle between two bodies), and multiple
// conjunctions (/M), seen from the page's centre in the page's frame with
// light time; MINDIST.DAT, WARNING.DAT and, for /M, MULTCNJ.DAT.
#pragma once

#include "tarvo/events/event_search.h"
#include "tarvo/events/search_geometry.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {

struct CloseApproachSettings;

enum class ConjunctionKind {
    none,        // the plain angular kind
    minimum,     // minima of the angle (with /M alone)
    conjunction, // equal longitudes (or right ascensions)
    opposition,  // longitudes 180 degrees apart
    quadrature,  // longitudes 90 degrees apart
    elongation,  // maxima of the angle
};

struct ConjunctionOptions {
    ConjunctionKind kind = ConjunctionKind::none;
    bool multiple = false; // /M: groups of bodies into MULTCNJ.DAT
    int groupExtra = 1;    // /M/n: the members a group needs beyond the pair
};

// What the answer to "Max Angle  ?" says.
struct AngleAnswer {
    double maxAngleDegrees = 1.0;
    ConjunctionOptions options;
};

/*
** readAngleAnswer: the angle and the suffixes /C /O /Q /E /M[/n] (either
** case, in any order after the number).
** Returned: nullopt when the answer cancels (no angle of at least 0.001
**   and no suffix that sets one); `problem` says why a suffix was refused
**   (/O, /Q and /E need one selected first body), the answer then cancels.
** Notes: /O and /E set the angle to 180, /Q to 90; otherwise the angle is
**   at most 99.9; /O and /Q imply conjunction mode, /E switches it off.
*/
std::optional<AngleAnswer> readAngleAnswer(const std::string& text, bool singleBody,
                                           std::string& problem);

/*
** conjunctionFunction: for conjunctions and oppositions the sine, for
** quadratures the cosine, of the difference of the longitudes of a and b
** (their projections on the x, y plane of the search frame); 0 when either
** lies on the pole.
*/
long double conjunctionFunction(ConjunctionKind kind, const Vector3& a, const Vector3& b);

/*
** longitudeCandidates: the pairs of bodies whose longitudes may meet inside
** a step. Each body taken (take[i]) sweeps from its longitude from[i] at the
** start to to[i] at the end (radians, the shorter way round), widened by a
** tenth of the sweep and 1e-9; the pairs whose sweeps overlap, each once as
** (lower, higher index), by a sort of the sweeps and one pass over them.
*/
std::vector<std::pair<int, int>> longitudeCandidates(const std::vector<long double>& from,
                                                     const std::vector<long double>& to,
                                                     const std::vector<char>& take);

// An event of the family between bodies a and b inside a step.
struct ConjunctionEvent {
    int a = 0, b = 0;
    long double p = 0.0L, time = 0.0L;
    long double separation = 0.0L;    // radians, 0 .. pi
    InterpolatedState stateA, stateB; // relative to the centre, search frame
    bool doubtful = false;
};

// g of the kind for two bodies seen from the centre: conjunctionFunction,
// or for minima and elongations the rate of the angle (angularRate).
long double conjunctionValue(ConjunctionKind kind, const InterpolatedState& a,
                             const InterpolatedState& b);

// True when g0, g1 at the ends of a step bracket an event of the kind
// (g0 g1 <= 0; for minima and elongations the turn of the angle's rate);
// a zero at the start never does (it ended the step before).
bool bracketsConjunction(ConjunctionKind kind, long double g0, long double g1);

/*
** refineConjunction: the event of the pair a, b in the step from g0, g1
** (bracketing), refined, if it is one the kind records with `maxAngle`
** (radians): conjunctions and minima below the angle on the same side,
** oppositions on opposite sides, every quadrature and elongation.
*/
std::optional<ConjunctionEvent> refineConjunction(const SightGeometry& geometry,
                                                  ConjunctionKind kind, int a, int b,
                                                  long double g0, long double g1, double maxAngle);

// Detection and refinement of the pair in one step.
std::optional<ConjunctionEvent> conjunctionStep(const SightGeometry& geometry, ConjunctionKind kind,
                                                int a, int b, double maxAngle);

// The title lines of MINDIST.DAT for the kind.
struct ConjunctionTitle {
    ConjunctionKind kind = ConjunctionKind::conjunction;
    std::string centrePrefix = "geo"; // "geo", "helio", "topo" or a body's name
    bool ecliptic = false;
    bool lightTime = true;
    double maxAngleDegrees = 1.0;
    bool topocentric = false;
    double siteLatitude = 0.0, siteLongitude = 0.0; // degrees
    std::string timeScale = "TT";
};
std::vector<std::string> conjunctionTitle(const ConjunctionTitle& title);

std::unique_ptr<EventSearch> makeConjunctionSearch(const CloseApproachSettings& settings);

} // namespace tarvo
