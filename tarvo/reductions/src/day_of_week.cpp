// dayOfWeek, weekdayName: weekday of a Julian date.
//
// Given:    julianDate  Julian date of the instant shown (UT when Delta-T is on)
// Returned: 0 = Sunday ... 6 = Saturday; the three-letter name
// Notes:    INT(J + 1.5) mod 7 taken as an exact floor and floor-modulo in
//           long double, so the weekday changes exactly at midnight for every
//           epoch, negative Julian dates included (an added large constant
//           would cost the fraction of the day its precision).

#include "tarvo/reductions/time_scales.h"

#include <cmath>

namespace tarvo {

int dayOfWeek(long double julianDate) {
    if (!std::isfinite(julianDate)) return 0;
    const long double dayNumber = std::floor(julianDate + 1.5L);
    long double index = std::fmod(dayNumber, 7.0L);
    if (index < 0.0L) index += 7.0L;
    return static_cast<int>(index);
}

std::string_view weekdayName(int index) {
    static constexpr std::string_view kNames[7] = {"Sun", "Mon", "Tue", "Wed",
                                                   "Thu", "Fri", "Sat"};
    return kNames[((index % 7) + 7) % 7];
}

} // namespace tarvo
