// Difference between local time and UT, from the operating system.
#pragma once

#include <ctime>

namespace tarvo {

// Local time minus UT in hours at the instant `when`, daylight saving
// included, as the operating system's zone rules give it.
double zoneOffsetHours(std::time_t when);

} // namespace tarvo
