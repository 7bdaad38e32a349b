// The planetary sources of the data sets as the builder's options give them
// (--jpl, --de405, --asteroids, --record-days, --first-day, --last-day,
// --extend-years, --extend-record-days, --span, --span-1-6); the data sets and the title line
// read them alike.
#pragma once

#include "builder_output.h"
#include "datasets/data_set_factory.h"

namespace builder {

// The years the records of every data set reach by default, beyond the ephemeris.
inline const char* const defaultIntegratedSpan = "-3000,3000";

// Throws std::runtime_error for a spacing or extension out of range.
datasets::SourceOptions planetarySourceOptions(const BuildContext& ctx);

} // namespace builder
