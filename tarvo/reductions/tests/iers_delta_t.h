// Observed ΔT = 32.184 s + (TAI - UTC) - (UT1 - UTC) from the IERS files of
// the reference data (iers/tai-utc.dat, iers/finals2000A.all): the oracle of
// the Delta-T tests.
#pragma once

#include "tarvo/reductions/time_scales.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace tarvo::testing {

// ΔT in seconds by MJD (UT) for every day the finals file has UT1 - UTC;
// empty when the files are not there.
inline std::map<long, double> iersDeltaTByDay() {
    namespace fs = std::filesystem;
    std::map<long, double> out;
    const fs::path dir = fs::path(TARVO_SHARED_DATA_DIR) / "iers";
    std::ifstream tai(dir / "tai-utc.dat"), finals(dir / "finals2000A.all");
    if (!tai || !finals) return out;
    std::map<double, double> taiMinusUtc; // from JD; integer steps after 1972
    for (std::string line; std::getline(tai, line);)
        if (line.size() > 48)
            taiMinusUtc[std::stod(line.substr(17, 9))] = std::stod(line.substr(36, 12));
    for (std::string line; std::getline(finals, line);) {
        if (line.size() < 68 || line.substr(58, 10).find_first_not_of(' ') == std::string::npos)
            continue;
        const long mjd = std::lround(std::stod(line.substr(7, 8)));
        const auto leap = taiMinusUtc.upper_bound(mjd + 2400000.5);
        if (leap == taiMinusUtc.begin()) continue;
        out[mjd] = 32.184 + std::prev(leap)->second - std::stod(line.substr(58, 10));
    }
    return out;
}

// The same on January 1 of each year 1974-2020, keyed by the year.
inline std::map<int, double> iersDeltaTByYear() {
    std::map<int, double> out;
    const auto daily = iersDeltaTByDay();
    for (int year = 1974; year <= 2020; ++year) {
        const long mjd = std::lround(calendarToDays(year, 1, 1) + 2451545.0 - 2400000.5);
        if (const auto it = daily.find(mjd); it != daily.end()) out[year] = it->second;
    }
    return out;
}

} // namespace tarvo::testing
