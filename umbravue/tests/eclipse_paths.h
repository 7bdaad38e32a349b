// Shadow-path files of two real total solar eclipses, made here in the
// format the eclipse search writes: the central lines of 2017 August 21 and
// 2024 April 8 computed from NASA's published Besselian elements (Espenak,
// NASA eclipse predictions; t0 = 18h TDT) with the standard reduction of
// the fundamental plane to the ellipsoid (Explanatory Supplement to the
// Astronomical Almanac, ch. 11). A model independent of the suite's own
// eclipse search, good to a few kilometres on the ground.
#pragma once

#include "fileio/format_mask.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace umbravue_test {

struct Besselian {
    int year, month, day;
    double deltaT; // TT - UT, seconds
    double x[4], y[4], d[3], mu[2], l2[3], tanF2;
};

// NASA's elements (x, y, l2 in Earth radii; d, mu in degrees; t in hours
// from 18:00 TDT).
inline const Besselian k2017{2017,
                             8,
                             21,
                             68.9,
                             {-0.129571, 0.5406426, -0.0000294, -0.0000081},
                             {0.485416, -0.1416400, -0.0000905, 0.0000020},
                             {11.86696, -0.013622, -0.000002},
                             {89.24544, 15.003940},
                             {-0.004025, 0.0001234, -0.0000117},
                             0.0045992};
inline const Besselian k2024{2024,
                             4,
                             8,
                             69.2,
                             {-0.318244, 0.5117116, 0.0000326, -0.0000084},
                             {0.219764, 0.2709589, -0.0000595, -0.0000047},
                             {7.58620, 0.014844, -0.000002},
                             {89.59122, 15.004080},
                             {-0.010272, 0.0000615, -0.0000127},
                             0.0046450};

struct CentralPoint {
    double utHours;        // from 0h UT of the day
    double lonDeg, latDeg; // east and north positive, geodetic
    double azimuthDeg;     // of the Sun, from the south through the west
    double altitudeDeg;    // of the Sun
    double widthKm;        // Wmin: the umbra's diameter across the axis
};

inline double poly(const double* c, int n, double t) {
    double v = 0;
    for (int k = n - 1; k >= 0; --k) v = v * t + c[k];
    return v;
}

// The central line at `t` hours from 18h TDT; nullopt off the Earth.
inline std::optional<CentralPoint> centralPoint(const Besselian& b, double t) {
    constexpr double kDeg = M_PI / 180, e2 = 0.00669438, kEarthKm = 6378.137;
    const double x = poly(b.x, 4, t), y = poly(b.y, 4, t);
    const double d = poly(b.d, 3, t) * kDeg, mu = poly(b.mu, 2, t);
    const double rho1 = std::sqrt(1 - e2 * std::cos(d) * std::cos(d));
    const double sinD1 = std::sin(d) / rho1, cosD1 = std::sqrt(1 - e2) * std::cos(d) / rho1;
    const double y1 = y / rho1, B = 1 - x * x - y1 * y1;
    if (B < 0) return std::nullopt;
    const double zeta1 = std::sqrt(B);
    const double phi1 = std::asin(y1 * cosD1 + zeta1 * sinD1);
    const double phi = std::atan(std::tan(phi1) / std::sqrt(1 - e2));
    const double hourAngle = std::atan2(x, zeta1 * cosD1 - y1 * sinD1); // radians
    double lonWest = mu - hourAngle / kDeg - 0.00417807 * b.deltaT;
    double lon = std::remainder(-lonWest, 360.0);
    CentralPoint p;
    p.utHours = 18 + t - b.deltaT / 3600;
    p.lonDeg = lon;
    p.latDeg = phi / kDeg;
    const double sinH =
        std::sin(d) * std::sin(phi) + std::cos(d) * std::cos(phi) * std::cos(hourAngle);
    p.altitudeDeg = std::asin(sinH) / kDeg;
    p.azimuthDeg = std::atan2(std::sin(hourAngle),
                              std::cos(hourAngle) * std::sin(phi) - std::tan(d) * std::cos(phi)) /
                   kDeg;
    if (p.azimuthDeg < 0) p.azimuthDeg += 360;
    const double l2 = poly(b.l2, 3, t) - zeta1 * b.tanF2; // negative: total
    p.widthKm = -2 * l2 * kEarthKm;
    return p;
}

inline std::string twoDigits(int v) {
    char s[8];
    std::snprintf(s, sizeof s, "%02d", v);
    return s;
}

// One path line: date, time, longitude, latitude, azimuth, altitude, Wmin,
// HWmin, HWmax, HWerr in the search's masks.
inline std::string pathLine(const Besselian& b, const CentralPoint& p) {
    using tarvo::formatMask;
    const long seconds = std::lround(p.utHours * 3600);
    char year[8];
    std::snprintf(year, sizeof year, "%6d", b.year);
    const std::string date = std::string(year) + "/" + twoDigits(b.month) + "/" + twoDigits(b.day);
    const std::string time = twoDigits(int(seconds / 3600)) + ":" +
                             twoDigits(int(seconds / 60 % 60)) + ":" + twoDigits(int(seconds % 60));
    const double R = 6378.137, h = p.altitudeDeg * M_PI / 180, r = p.widthKm / 2;
    const double u1 = std::clamp(std::cos(h) - r / R, -1.0, 1.0);
    const double u2 = std::clamp(std::cos(h) + r / R, -1.0, 1.0);
    const double hwMin = (std::acos(u1) - h) * R, hwMax = (h - std::acos(u2)) * R;
    return date + " " + time + formatMask(" ####.####", p.lonDeg) +
           formatMask(" ###.####", p.latDeg) + formatMask(" ###.#", p.azimuthDeg) +
           formatMask(" ##.#", p.altitudeDeg) + formatMask(" #####.#", p.widthKm) +
           formatMask(" #####.#", hwMin) + formatMask(" #####.#", hwMax) +
           formatMask(" #####.#", 0.0);
}

inline const std::string kPathHeading =
    "     Date       UT       long     lat    azim   alt    Wmin   HWmin   HWmax   HWerr";

// The header line of an event: heading, blank, the event's line from column
// 85, blanks to column 146, Delta-T.
inline std::string headerLine(const std::string& eventLine, double deltaT) {
    std::string line = kPathHeading + " " + eventLine;
    if (eventLine.size() < 55) line.resize(145, ' ');
    return line + tarvo::formatMask(" ######.#", deltaT);
}

// The whole file text (CR LF lines): the central line every `stepMinutes`
// while the Sun is above the horizon there.
inline std::string pathFileText(const Besselian& b, const std::string& eventLine, int stepMinutes) {
    std::string text = headerLine(eventLine, b.deltaT) + "\r\n";
    // Whole minutes of UT, as the search aligns its points.
    for (int minute = 14 * 60; minute <= 22 * 60; minute += stepMinutes) {
        const auto p = centralPoint(b, minute / 60.0 - 18 + b.deltaT / 3600);
        if (p && p->altitudeDeg > 0) text += pathLine(b, *p) + "\r\n";
    }
    return text;
}

inline std::string eclipse2017() {
    return pathFileText(k2017, " Total solar eclipse 2017 August 21: Oregon to South Carolina", 2);
}
inline std::string eclipse2024() {
    return pathFileText(k2024, " Total solar eclipse 2024 April 8: Mexico, Texas to Maine", 2);
}

} // namespace umbravue_test
