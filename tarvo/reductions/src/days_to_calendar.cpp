// daysToCalendar, jdToDate: JD2000 day count to calendar date and clock.
//
// daysToCalendar
// Given:    x          UT day count from J2000.0 plus 0.5 (callers pass t - ΔT + 0.5)
//           localTime  shift the clock by the observer's longitude in whole hours
//           eastLongitudeRadians  observer's east longitude
// Returned: year, month, day, hour, minute, second, millisecond and the texts
//           "YYYYYYY/MM/DD", "hh:mm:ss", "hh:mm"
// Notes:    a bias of 2^-16 s keeps exact instants from falling just below a
//           boundary.  A clock within 5 ms of the next second is shown as that
//           second; a carry through midnight moves to the next calendar day
//           (across month and year ends and the 1582 reform).  The short text
//           rounds to the nearest minute and shows "24:00" rather than moving
//           the date.  Julian calendar up to JD 2299160, Gregorian after; any
//           epoch the program reaches (the 4-year Julian cycle is used to keep
//           the arithmetic on non-negative day numbers).
// Reference: Meeus, Astronomical Algorithms, 2nd ed., chapter 7.

#include "tarvo/reductions/time_scales.h"

#include <cmath>
#include <cstdio>

namespace tarvo {

namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;

// Calendar date of the day number Z (Julian date of its noon) plus fraction F.
CalendarDate dateOfDayNumber(long long z, long double fraction) {
    long long cycleShift = 0; // whole 4-year Julian cycles added to bring Z above 0
    if (z < 0) {
        cycleShift = (-z) / 1461 + 1;
        z += cycleShift * 1461;
    }
    long long a = z;
    if (z > 2299160) {
        const long long alpha =
            static_cast<long long>(std::floor((static_cast<long double>(z) - 1867216.25L) / 36524.25L));
        a = z + 1 + alpha - alpha / 4; // alpha >= 0 here
    }
    const long long b = a + 1524;
    const long long c =
        static_cast<long long>(std::floor((static_cast<long double>(b) - 122.1L) / 365.25L));
    const long long d = static_cast<long long>(std::floor(365.25L * static_cast<long double>(c)));
    const long long e = static_cast<long long>(std::floor(static_cast<long double>(b - d) / 30.6001L));
    CalendarDate date;
    date.day = static_cast<long double>(b - d - static_cast<long long>(std::floor(30.6001L * e))) +
               fraction;
    date.month = static_cast<int>(e < 14 ? e - 1 : e - 13);
    date.year = (date.month > 2 ? c - 4716 : c - 4715) - 4 * cycleShift;
    return date;
}

std::string twoDigits(long long v) {
    char text[24];
    std::snprintf(text, sizeof text, "%02lld", v);
    return text;
}

std::string yearField(long long year) {
    char text[32];
    std::snprintf(text, sizeof text, "%7lld", year);
    std::string s = text;
    if (s.size() > 7) s = "%" + s; // does not fit the mask "#######"
    return s;
}

// Julian dates beyond ±1e18 days (2.7e15 years) are held at that limit so that the
// day number stays a 64-bit integer; a NaN is taken as J2000.
long double boundedJulianDate(long double jd) {
    constexpr long double kLimit = 1.0e18L; // days
    if (std::isnan(jd)) return kJulianDateJ2000;
    return std::fmin(std::fmax(jd, -kLimit), kLimit);
}

} // namespace

long double localTimeOffsetDays(long double eastLongitudeRadians) {
    return std::floor(12.0L * eastLongitudeRadians / kPi + 0.5L) / 24.0L;
}

CalendarDate jdToDate(long double julianDate) {
    julianDate = boundedJulianDate(julianDate);
    const long double z = std::floor(julianDate + 0.5L);
    return dateOfDayNumber(static_cast<long long>(z), julianDate + 0.5L - z);
}

CalendarTime daysToCalendar(long double x, bool localTime, long double eastLongitudeRadians) {
    const long double j = boundedJulianDate(x + kJulianDateJ2000 + 1.0L / (86400.0L * 65536.0L));
    const long double offset =
        localTime && std::isfinite(eastLongitudeRadians) ? localTimeOffsetDays(eastLongitudeRadians) : 0.0L;
    const long double zFloor = std::floor(j + offset);
    const long long z = static_cast<long long>(zFloor);
    const long double fraction = j - zFloor + offset;
    CalendarDate date = dateOfDayNumber(z, fraction);

    CalendarTime out;
    const long double dayFloor = std::floor(date.day);
    int day = static_cast<int>(dayFloor);
    const long double fh = 24.0L * (date.day - dayFloor);
    int hour = static_cast<int>(std::floor(fh));
    const long double fm = 60.0L * (fh - hour);
    int minute = static_cast<int>(std::floor(fm));
    const long double fs = 60.0L * (fm - minute);
    int second = static_cast<int>(std::floor(fs));
    int millisecond = static_cast<int>(std::floor(1000.0L * (fs - second)));

    // Short clock: hour and the minute rounded to the nearest whole minute.
    int shortHour = hour;
    int shortMinute = static_cast<int>(std::floor(fm + 0.5L));
    if (shortMinute >= 60) {
        shortMinute -= 60;
        ++shortHour;
    }

    if (millisecond >= 995) {
        millisecond = 0;
        if (++second == 60) {
            second = 0;
            if (++minute == 60) {
                minute = 0;
                if (++hour == 24) {
                    hour = 0;
                    const CalendarDate next = dateOfDayNumber(z + 1, 0.0L);
                    date.year = next.year;
                    date.month = next.month;
                    day = static_cast<int>(std::floor(next.day));
                }
            }
        }
    }
    out.year = date.year;
    out.month = date.month;
    out.day = day;
    out.hour = hour;
    out.minute = minute;
    out.second = second;
    out.millisecond = millisecond;
    out.dateText = yearField(date.year) + "/" + twoDigits(date.month) + "/" + twoDigits(day);
    out.timeText = twoDigits(hour) + ":" + twoDigits(minute) + ":" + twoDigits(second);
    out.shortTimeText = twoDigits(shortHour) + ":" + twoDigits(shortMinute);
    return out;
}

} // namespace tarvo
