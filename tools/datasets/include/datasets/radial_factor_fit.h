// Fitting the radial factors of the inner planets to the ephemeris.
//
// The suite's relativistic term keeps the secular perihelion advance but not
// the post-Newtonian period of an eccentric orbit, and a data set's model
// lacks what its ephemeris has besides (hundreds of asteroids, the figure
// terms of the planets). What remains shows as a steady drift in longitude,
// which a change of the body's constant radial factor removes on average:
// a run from each of nine records spread over 16 years (and over the phases
// of Mercury's orbit) is integrated with the data
// set's own model, the drift in longitude against the ephemeris is measured
// by a straight-line fit, and the factor is corrected by -mean(drift) /
// mean(k n), n the mean motion and k = 3GM/(r X) - 1 (X = 2GM/r - v^2) the
// sensitivity of the mean motion to the factor.
//
// The geocentric Moon drifts as well, because the fitted Earth-Moon
// constants of the force model were made for another ephemeris; it keeps
// the Earth's radial factor, so its speed at every record is scaled instead
// (by parts in 10^9), with the same measurement.
//
// For Mercury the drift of a single run depends on the phase at which it
// starts (from about -50 to +160 km per year): the post-Newtonian period
// through a state varies along an eccentric orbit in a way no constant
// factor follows. The fit makes the mean over the phases zero.
#pragma once

#include <string>
#include <vector>

#include "datasets/library_writer.h"
#include "datasets/planetary_source.h"

namespace datasets {

struct RadialFitSettings {
    double years = 6;         // span of each fitting run (0: no fit)
    int iterations = 1;
    // Days from J2000: 743 days apart, so the starts fall on nine evenly
    // spread phases of Mercury's orbit and cover the Moon's perigee and node
    // cycles (8.85 and 18.6 years).
    std::vector<long double> startOffsets = {-2972, -2229, -1486, -743, 0, 743, 1486, 2229, 2972};
};

struct RadialFitReport {
    std::vector<std::string> bodies;
    std::vector<double> initialDriftKmPerYear;  // along-track drift before the fit (mean over the runs)
    std::vector<double> finalDriftKmPerYear;    // after it
    std::vector<double> factors;                // radial factors; the Moon's speed factor
};

bool fitRadialFactors(DataSetContents& contents, PlanetarySource& source, const RadialFitSettings& settings,
                      RadialFitReport& report, std::string& message);

}  // namespace datasets
