// The drift in longitude of bodies of a run against the ephemeris.
#pragma once

#include <string>
#include <vector>

#include "datasets/library_writer.h"
#include "datasets/planetary_source.h"

namespace datasets {

/*
** driftsOfOneRun: how fast the run's longitude of each body leaves the
** ephemeris'.
** Given: data-set contents (in memory), the starting record and direction,
**   the span (years) and the sampling interval (days, whole steps), the
**   blocks wanted.
** Returned: per block, the slope (rad/day, in the run's sense of time) of a
**   straight-line fit of the angle from the ephemeris' position to the
**   run's, about the ephemeris' orbital pole (heliocentric; the Moon
**   geocentric).
*/
bool driftsOfOneRun(const DataSetContents& contents, std::size_t record, int direction, double years,
                    long double sampleDays, const std::vector<std::size_t>& fitted, PlanetarySource& source,
                    std::vector<long double>& drifts, std::string& message);

}  // namespace datasets
