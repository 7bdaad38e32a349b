// The planetary sources of the data sets as the builder's options give them
// (--jpl, --de405, --asteroids, --record-days, --first-day, --last-day,
// --extend-years, --extend-record-days); the data sets and the title line
// read them alike.
#pragma once

#include "builder_output.h"
#include "datasets/data_set_factory.h"

namespace builder {

// Throws std::runtime_error for a spacing or extension out of range.
datasets::SourceOptions planetarySourceOptions(const BuildContext& ctx);

} // namespace builder
