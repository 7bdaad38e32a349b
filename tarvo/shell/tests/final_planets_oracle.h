// The oracle of the runs' final files: where JPL's DE405 has Mercury to
// Jupiter at the epoch of a FINAL.TVF (heliocentric, ICRF axes).
#pragma once

#include "tarvo/libraries/state_file.h"

#include <jpl/ephemeris.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

namespace tarvo::testing {

inline const char* const kDe405 = "/usr/share/casacore/data/ephemerides/DE405";

// Expects bodies 1 .. 5 of the full state file `finalTvf` within `km` of
// DE405; false (with `skipped` saying why) when DE405 is not installed.
inline bool expectPlanetsOnTheEphemeris(const std::filesystem::path& finalTvf, double km,
                                        std::string& skipped) {
    tarvo::StateFileContents final;
    std::string message;
    EXPECT_TRUE(tarvo::readStateFile(finalTvf, tarvo::StateFileKind::Full, 100, final, message))
        << message;
    EXPECT_GE(final.records.size(), 11u);
    if (final.records.size() < 6) return true;
    auto de405 = jpl::Ephemeris::open(kDe405, message);
    if (!de405) {
        skipped = "DE405 not installed: " + message;
        return false;
    }
    for (int body : {1, 2, 3, 4, 5}) {
        jpl::StateVector state;
        EXPECT_TRUE(de405->state(static_cast<jpl::Body>(body), jpl::Body::Sun, final.julianDate,
                                 state, message, jpl::LengthUnit::Kilometre))
            << message;
        const auto& p = final.records[static_cast<std::size_t>(body)].position; // Gm
        const double dx = static_cast<double>(p[0] * 1e6L - state.position[0]);
        const double dy = static_cast<double>(p[1] * 1e6L - state.position[1]);
        const double dz = static_cast<double>(p[2] * 1e6L - state.position[2]);
        EXPECT_LT(std::sqrt(dx * dx + dy * dy + dz * dz), km) << "body " << body;
    }
    return true;
}

} // namespace tarvo::testing
