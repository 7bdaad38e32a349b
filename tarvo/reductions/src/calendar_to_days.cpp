// calendarToDays: calendar date to JD2000 day count.
//
// Given:    year   astronomical year (year 0 exists; -1 is 2 BC)
//           month  1-12 (0 is taken as 1)
//           day    day of the month with fraction (0 is taken as 1)
// Returned: days from J2000.0 (Julian date - 2451545.0), double
// Notes:    Julian calendar before 1582 October 15 (the skipped dates October
//           5-14 are read in the Julian calendar), Gregorian from then on.
//           The result is exact to the rounding of the double sum: better than
//           1e-9 day for years -4712 ... +9999.
// Reference: Meeus, Astronomical Algorithms, 2nd ed., chapter 7.

#include "tarvo/reductions/time_scales.h"

#include <cmath>

namespace tarvo {

double calendarToDays(double year, double month, double day) {
    if (month == 0.0) month = 1.0;
    if (day == 0.0) day = 1.0;
    double y = year, m = month;
    if (month < 3.0) {
        m = month + 12.0;
        y = year - 1.0;
    }
    const bool julianCalendar =
        year < 1582.0 || (year == 1582.0 && month < 10.0) ||
        (year == 1582.0 && month == 10.0 && day < 15.0);
    double b = 0.0;
    if (!julianCalendar) {
        const double a = std::floor(y / 100.0);
        b = 2.0 - a + std::floor(a / 4.0);
    }
    return std::floor(30.6001 * (m + 1.0)) + std::floor(365.25 * (y + 4716.0)) + b - 1524.5 -
           2451545.0 + day;
}

} // namespace tarvo
