// Time scales and calendar of the main program.
//
// Every instant is a JD2000 day count in TT (Julian date minus 2451545.0),
// long double.  This header relates it to calendar dates (Julian calendar
// before 1582 October 15, Gregorian after), Universal Time through Delta-T,
// sidereal time, weekdays and the computer's time zone.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarvo {

inline constexpr long double kJulianDateJ2000 = 2451545.0L;
inline constexpr long double kDaysPerJulianYear = 365.25L;
inline constexpr long double kDaysPerJulianCentury = 36525.0L;
inline constexpr long double kDaysPerJulianMillennium = 365250.0L;
inline constexpr long double kSecondsPerDay = 86400.0L;

// ---- calendar ---------------------------------------------------------------

// Calendar date (astronomical year, month 1-12, day with fraction) -> JD2000
// day count.  A month or day of 0 is taken as 1.  Dates before 1582 October 15
// (including the skipped October 5-14) are read in the Julian calendar.
double calendarToDays(double year, double month, double day);

// A calendar date and clock time with its display texts.
struct CalendarTime {
    long long year = 0;
    int month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
    std::string dateText;      // "   2000/01/01": year in 7 characters, month, day
    std::string timeText;      // "12:00:00"
    std::string shortTimeText; // "12:00"
};

// x = UT day count + 0.5 (callers pass t - ΔT + 0.5).  With `localTime` the
// clock is shifted by the observer's east longitude rounded to whole hours.
CalendarTime daysToCalendar(long double x, bool localTime = false,
                            long double eastLongitudeRadians = 0.0L);

// Julian date -> year, month and fractional day (no bias, no local offset).
struct CalendarDate {
    long long year = 0;
    int month = 1;
    long double day = 1.0L;
};
CalendarDate jdToDate(long double julianDate);

// Local offset (days) of the local-time display: east longitude rounded to whole hours.
long double localTimeOffsetDays(long double eastLongitudeRadians);

// Weekday index, 0 = Sunday, of the Julian date J; exact for any J.
int dayOfWeek(long double julianDate);
// "Sun" ... "Sat".
std::string_view weekdayName(int index);

// ---- Delta-T ------------------------------------------------------------------

enum class DeltaTMode { Off = 0, Auto = 1, Fixed = 2, Custom = 3 };

struct DeltaTTable; // observed values, delta_t_table.h

struct DeltaTSettings {
    DeltaTMode mode = DeltaTMode::Auto;
    double a = 0.0; // A, seconds (Fixed and Custom)
    double b = 0.0; // B, seconds per year (Custom)
    double c = 0.0; // C, seconds per year squared (Custom)
    // Auto: the observed values of the data tree (DELTAT.TAB) inside their
    // years, joined to the polynomials; nullptr: the polynomials alone.
    const DeltaTTable* observed = nullptr;
};

// ΔT = TT - UT in days for the TT day count t, in the mode of `settings`.
// Callers test mode Off themselves (ΔT is then 0); Off evaluates as Auto here.
long double deltaT(long double t, const DeltaTSettings& settings);
// The Auto polynomials, seconds, for the year y counted from J2000.0 (y = 2000 + t/365.25).
double deltaTAutoSeconds(double year);
// A typed UT instant -> TT (two fixed-point passes); identity in mode Off.
long double universalToTerrestrial(long double tUT, const DeltaTSettings& settings);
// TT -> UT for display (ΔT evaluated at the TT instant); identity in mode Off.
long double terrestrialToUniversal(long double tTT, const DeltaTSettings& settings);
// "TT" in mode Off, "UT" otherwise.
std::string_view timeScaleLabel(const DeltaTSettings& settings);

// Coefficients the data tree ships in DELTAT.COF: the quadratic through the
// IERS values of ΔT = 32.184 s + (TAI - UTC) - (UT1 - UTC) at 2000.0, 2010.0
// and 2020.0 (63.8285, 66.0699, 69.3612 s).
inline constexpr double kPublishedDeltaTA = 63.8285;    // s
inline constexpr double kPublishedDeltaTB = 0.171645;   // s/yr
inline constexpr double kPublishedDeltaTC = 0.0052495;  // s/yr²

// DELTAT.COF: three numbers A, B, C, one per line.  Reading returns false with
// a message naming the file when it is missing, too short, too long or not
// numeric; the settings are then unchanged.
bool readDeltaTCoefficients(const std::filesystem::path& file, DeltaTSettings& settings,
                            std::string& message);
// Text of DELTAT.COF for the coefficients (CR LF line ends, exact round trip).
std::string formatDeltaTCoefficients(double a, double b, double c);
// Writes DELTAT.COF through a temporary file renamed into place.
bool writeDeltaTCoefficients(const std::filesystem::path& file, const DeltaTSettings& settings,
                             std::string& message);

// ---- sidereal time and clock --------------------------------------------------

// Mean sidereal time (radians, [0, 2π)) for the UT day count d and the east
// longitude lambda (radians).
long double siderealTime(long double d, long double eastLongitudeRadians);
// Apparent sidereal time: mean sidereal time plus the equation of the
// equinoxes (radians), without a second reduction.
long double apparentSiderealTime(long double d, long double eastLongitudeRadians,
                                 double equationOfEquinoxes);
// "hh:mm:ss.s" of a sidereal time in radians.
std::string formatSiderealTime(long double theta);

// Hours east of Greenwich of the computer's clock now, daylight saving included.
double computerZoneOffsetHours();

} // namespace tarvo
