// The angular table: right ascension and declination (or ecliptic longitude
// and latitude), true distance and the rates of the two angles.
#include "tarvo/reductions/ephemeris_tables.h"
#include "fileio/format_mask.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

// Whole units, minutes and seconds of a non-negative value, the seconds
// rounded to `decimals` first so that 59.99995 carries into the minute.
struct Sexagesimal {
    double units, minutes, seconds;
};
Sexagesimal split(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const double totalSeconds = std::round(value * 3600.0 * scale) / scale;
    const double units = std::floor(totalSeconds / 3600.0 + 1e-12);
    const double rest = totalSeconds - units * 3600.0;
    const double minutes = std::floor(rest / 60.0 + 1e-12);
    return {units, minutes, std::max(0.0, rest - minutes * 60.0)};
}

std::string secondsMask(int decimals) {
    return decimals > 0 ? "00." + std::string(static_cast<std::size_t>(decimals), '0') : std::string("00");
}

} // namespace

std::string sexagesimalHours(double radians, int secondDecimals) {
    double hours = std::fmod(radians * 12.0 / std::numbers::pi, 24.0);
    if (hours < 0) hours += 24.0;
    Sexagesimal s = split(hours, secondDecimals);
    if (s.units >= 24.0) s.units -= 24.0;
    return formatMask("## 00 " + secondsMask(secondDecimals), {s.units, s.minutes, s.seconds});
}

std::string sexagesimalDegrees(double radians, int secondDecimals, bool explicitSign) {
    const double degrees = radians * kDegrees;
    const Sexagesimal s = split(std::fabs(degrees), secondDecimals);
    const bool negative = degrees < 0 && (s.units + s.minutes + s.seconds) > 0;
    const std::string sign = negative ? "-" : explicitSign ? "+" : "";
    return sign + formatMask((explicitSign ? "00 00 " : "### 00 ") + secondsMask(secondDecimals),
                             {s.units, s.minutes, s.seconds});
}

std::string angularHeader(const PageSettings& s) {
    // Columns: name 10, first angle 13, blank, second angle 13, two blanks,
    // distance 13, then the rates.
    const auto padded = [](std::string text, std::size_t width) {
        text.resize(std::max(width, text.size()), ' ');
        return text;
    };
    const bool ecliptic = s.frame == CoordinateFrame::Ecliptic;
    std::string h = "Body      ";
    h += padded(std::string(ecliptic ? "  long " : "   RA ") + (s.decimalUnits ? "(deg)" : ecliptic ? "(dms)" : "(h m s)"), 13);
    h += " " + padded(ecliptic ? "    lat " : "    Decl ", 13) + "  ";
    h += padded(std::string("  True D ") + (s.distancesInAu ? "(AU)" : "(Gm)"), 13);
    if (s.showVelocity) h += ecliptic ? "  Vlon (\"/h) Vlat   Ang (°)" : "   Vra (\"/h) Vdec   Ang (°)";
    return h;
}

std::string angularRow(const PageSettings& s, const AngularRow& row, double astronomicalUnitGm) {
    const bool ecliptic = s.frame == CoordinateFrame::Ecliptic;
    std::string line = row.name + " ";
    if (s.decimalUnits) {
        line += formatMask(" ###.######## ", row.angles.longitude * kDegrees);
        line += formatMask("  ###.#######", row.angles.latitude * kDegrees);
    } else {
        line += (ecliptic ? sexagesimalDegrees(row.angles.longitude, 3, false) : sexagesimalHours(row.angles.longitude, 4)) + " ";
        line += sexagesimalDegrees(row.angles.latitude, 3, true);
    }
    line += "  ";
    line += s.distancesInAu ? formatMask("####.####### ", row.trueDistanceGm / astronomicalUnitGm)
                            : formatMask("#####.#####  ", row.trueDistanceGm);
    if (s.showVelocity) {
        line += formatMask(" #####.####", row.rates.first) + formatMask(" #####.####", row.rates.second);
        line += row.rates.degrees ? "°" : " ";
        line += formatMask(" ###.##", row.rates.positionAngle);
    }
    return line;
}

} // namespace tarvo
