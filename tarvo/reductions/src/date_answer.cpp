// parseDateAnswer, dateAnswerMessage, dateAnswerDays, readComputerClock: the
// answer of the date prompt.
//
// Given:    answer  the typed line; now  the computer's clock (for an empty answer)
// Returned: year, month, day (fraction allowed), or a Julian date when the
//           answer starts with J (Julian date), D (days from J2000.0),
//           C (Julian centuries) or M (Julian millennia); the "/L" flag
// Notes:    "YYYY,MM,DD": year and month rounded (halves to even), day after a
//           second comma (1 when absent).  "YYYY.MMDD": year = FIX(v),
//           MMDD from the fraction rounded to 9 decimals; further digits are
//           decimals of the day.  Month or day <= 0 becomes 1.  A month above 12
//           or a day past the end of its month is refused.  Dates in the 1582
//           reform gap (October 5-14) are accepted and read in the Julian
//           calendar.  Text that is no number reads as 0.

#include "tarvo/reductions/date_input.h"
#include "fileio/text_util.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ctime>

namespace tarvo {

namespace {

double roundHalfEven(double v) { return std::nearbyint(v); } // default mode: to nearest even

// Years are held within ±1e15 so that every later integer conversion is defined.
long long boundedYear(double year) {
    constexpr double kLimit = 1.0e15;
    return static_cast<long long>(std::fmin(std::fmax(year, -kLimit), kLimit));
}

double roundToDecimals(double v, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return roundHalfEven(v * scale) / scale;
}

std::string upperTrimmed(std::string_view text) {
    std::string s(text);
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto notBlank = [](char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notBlank));
    s.erase(std::find_if(s.rbegin(), s.rend(), notBlank).base(), s.end());
    return s;
}

// Days in the month: Julian leap rule before 1582, Gregorian after.
int daysInMonth(long long year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month != 2) return kDays[month - 1];
    const long long y = year;
    const bool leap = y < 1582 ? (((y % 4) + 4) % 4 == 0)
                               : ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0);
    return leap ? 29 : 28;
}

void validate(DateAnswer& a, bool clockTime) {
    if (a.month > 12) {
        a.status = DateAnswerStatus::MonthOutOfRange;
        return;
    }
    if (!clockTime && a.day >= daysInMonth(a.year, a.month) + 1.0)
        a.status = DateAnswerStatus::DayOutOfRange;
}

} // namespace

DateAnswer parseDateAnswer(std::string_view answer, const ClockReading& now) {
    DateAnswer result;
    std::string text = upperTrimmed(answer);
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "/L") == 0) {
        result.lFlag = true;
        text.erase(text.size() - 2);
        text = upperTrimmed(text);
    }

    if (!text.empty() && (text[0] == 'J' || text[0] == 'D' || text[0] == 'C' || text[0] == 'M')) {
        const long double v = readFreeNumber(std::string_view(text).substr(1));
        long double jd = v;
        switch (text[0]) {
        case 'D': jd = kJulianDateJ2000 + v; break;
        case 'C': jd = kJulianDateJ2000 + kDaysPerJulianCentury * v; break;
        case 'M': jd = kJulianDateJ2000 + kDaysPerJulianMillennium * v; break;
        default: break;
        }
        const CalendarDate date = jdToDate(jd);
        result.jdGiven = true;
        result.julianDate = static_cast<double>(jd);
        result.year = date.year;
        result.month = date.month;
        result.day = static_cast<double>(date.day);
        return result;
    }

    double timeOfDay = 0.0;
    bool clockTime = false;
    if (text.empty()) {
        clockTime = true;
        timeOfDay = std::floor(now.secondsSinceMidnight) / 86400.0 - now.zoneOffsetHours / 24.0;
        result.year = now.year;
        result.month = now.month;
        result.day = now.day + timeOfDay;
        return result;
    }

    if (text.find(',') != std::string::npos) {
        const std::size_t first = text.find(',');
        const std::size_t second = text.find(',', first + 1);
        result.year = boundedYear(roundHalfEven(readFreeNumber(text.substr(0, first))));
        const std::string monthField = text.substr(first + 1, second == std::string::npos
                                                                  ? std::string::npos
                                                                  : second - first - 1);
        const double month = roundHalfEven(readFreeNumber(monthField));
        result.month = month <= 0.0 ? 1 : static_cast<int>(std::min(month, 1000.0));
        result.day = second == std::string::npos ? 1.0 : readFreeNumber(text.substr(second + 1));
    } else {
        const double v = readFreeNumber(text);
        const double whole = std::trunc(v);
        result.year = boundedYear(whole);
        const double w = roundToDecimals(std::fabs(v - whole) * 100.0, 9);
        const double month = std::trunc(w);
        result.month = month <= 0.0 ? 1 : static_cast<int>(month);
        // Seven decimals of the day are all that the nine of w can carry.
        result.day = roundToDecimals((w - month) * 100.0, 7) + timeOfDay;
    }
    if (result.day <= 0.0) result.day = 1.0;
    validate(result, clockTime);
    return result;
}

std::string dateAnswerMessage(DateAnswerStatus status) {
    switch (status) {
    case DateAnswerStatus::MonthOutOfRange: return "Month must be 1 to 12";
    case DateAnswerStatus::DayOutOfRange: return "No such day in that month";
    default: return "";
    }
}

double dateAnswerDays(const DateAnswer& answer) {
    if (answer.jdGiven) return answer.julianDate - 2451545.0;
    return calendarToDays(static_cast<double>(answer.year), answer.month, answer.day);
}

long double dateAnswerTerrestrial(const DateAnswer& answer, const DeltaTSettings& settings) {
    return universalToTerrestrial(dateAnswerDays(answer), settings);
}

ClockReading readComputerClock() {
    ClockReading clock;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return clock;
    clock.year = local.tm_year + 1900;
    clock.month = local.tm_mon + 1;
    clock.day = local.tm_mday;
    clock.secondsSinceMidnight = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    clock.zoneOffsetHours = static_cast<double>(local.tm_gmtoff) / 3600.0;
    return clock;
}

} // namespace tarvo
