// The min/max/zero search (key I): for the selected bodies, seen from the
// centre of the page in the frame of the page (ecliptic or equatorial, of
// date, of J2000 or of a reference year), the extrema of the latitude (or
// declination), its zeros, or the stationary points of the longitude (or
// right ascension), found from a sign change of a function g over each step
// and refined by regula falsi on the step's quintic. MAXMILAT.DAT,
// MAXMILON.DAT or ZEROLAT.DAT in the working directory.
#pragma once

#include "tarvo/events/event_search.h"
#include "tarvo/events/search_geometry.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tarvo {

enum class ExtremumMode { minMax, zero, stationary };

struct MinMaxZeroSettings {
    ExtremumMode mode = ExtremumMode::minMax;
    int body = -1; // a body of the table, or -1 for all but the centre
};

/*
** extremumFunction: g of the mode for the position r and velocity v of a
** body relative to the centre, in the search frame.
**   minMax:     v_z |r|^2 - z (r.v), |r|^3 cos(lat) times the rate of the latitude
**   stationary: x v_y - y v_x, (x^2 + y^2) times the rate of the longitude
**   zero:       z, |r| times the sine of the latitude
*/
long double extremumFunction(ExtremumMode mode, const Vector3& r, const Vector3& v);

// True when g0, g1 at the ends of a step bracket an event of the mode:
// strictly opposite signs for minMax and stationary (a zero at a boundary
// is no event of its own), g0 g1 <= 0 for zero.
bool bracketsEvent(ExtremumMode mode, long double g0, long double g1);

struct ExtremumRoot {
    long double p = 0.0L; // fraction of the step, may lie in -0.5 .. 1.5
    int passes = 0;
    bool doubtful = false; // stopped by the pass limit
};

/*
** refineExtremum: the root of g(p) inside a step by regula falsi.
** Given: g, its values g0 at p = 0 and g1 at p = 1 (g0 g1 <= 0).
** Notes: from the third pass on it stops when p moves less than 1e-7, and
**   whenever |g(p)| <= 1e-24; a root found within 5e-6 of an end widens
**   the bracket to 1.5 (or -0.5), so that a root that the light-time shift
**   moves just outside the step is still reached. When g0 is 0 the start
**   is the root (no division); when both are 0, too. After 1024 passes the
**   root is doubtful.
*/
ExtremumRoot refineExtremum(const std::function<long double(long double)>& g, long double g0,
                            long double g1);

/*
** extremumStep: the event of `body` in the step, if any.
** Notes: a body that coincides with the centre, or lies on the pole of the
**   frame (x = y = 0) for the stationary mode, or has g identically 0
**   (a body in the reference plane for minMax and zero), gives no event.
*/
std::optional<ExtremumEvent> extremumStep(const SightGeometry& geometry, ExtremumMode mode,
                                          int body);

// The file of the mode: MAXMILAT.DAT, MAXMILON.DAT or ZEROLAT.DAT.
const char* extremumFileName(ExtremumMode mode);

// The status line and the column header of the file.
struct ExtremumHeader {
    double referenceYear = 0.0; // 0: of date
    bool precession = true;
    bool nutation = true, aberration = true, lightTime = true;
    bool topocentric = false;
    bool ecliptic = false;
    std::string timeScale = "TT"; // "UT", "LT" or "TT"
};
std::vector<std::string> extremumHeader(const ExtremumHeader& header);

// One record line (without the line end). `time` is the instant shown
// (UT in topocentric mode).
std::string extremumRecord(const ExtremumEvent& event, ExtremumMode mode, long double time,
                           const std::string& name);

// The dialog of key I; nullopt when cancelled.
std::optional<MinMaxZeroSettings> minMaxZeroDialog(RunContext& run);

std::unique_ptr<EventSearch> makeMinMaxZeroSearch(const MinMaxZeroSettings& settings);

// The entry of the table of searches.
std::unique_ptr<EventSearch> openMinMaxZeroSearch(RunContext& run);

} // namespace tarvo
