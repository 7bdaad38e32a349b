// Where the tests find the reference ephemerides, and how they compare an
// ephemeris with JPL's own test points.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "jpl/ephemeris.h"
#include "jpl/test_points.h"

namespace jpl::testing {

inline std::filesystem::path jplDataDir() { return std::filesystem::path(TARVO_SHARED_DATA_DIR) / "jpl"; }
inline std::filesystem::path casacoreDe405Dir() { return "/usr/share/casacore/data/ephemerides/DE405"; }

#define SKIP_UNLESS_PRESENT(path)                                                                \
    do {                                                                                         \
        if (!std::filesystem::exists(path))                                                      \
            GTEST_SKIP() << (path).string() << " is absent; the reference data is not installed"; \
    } while (0)

// Largest differences between the ephemeris and the test points it covers.
struct Agreement {
    int compared = 0;
    long double worstPosition = 0;  // au
    long double worstVelocity = 0;  // au/day
    int worstPositionLine = 0;
    int worstVelocityLine = 0;
    // Nutations and librations, relative to max(1, |value|): the libration
    // angle grows to thousands of radians, where a double holds 1e-13 rad.
    // The test-point files give 13 decimals, so 5e-14 is their own rounding.
    long double worstAngle = 0;
    int worstAngleLine = 0;
};

inline Agreement compareWithTestPoints(Ephemeris& ephemeris, const std::vector<TestPoint>& points)
{
    Agreement agreement;
    for (const TestPoint& point : points) {
        if (!ephemeris.covers(point.jd)) continue;
        long double value = 0;
        std::string message;
        if (!evaluateTestPoint(ephemeris, point, value, message)) {
            ADD_FAILURE() << "line " << point.line << ": " << message;
            continue;
        }
        long double difference = std::fabs(value - point.value);
        const bool isAngle = point.target >= 14;
        if (isAngle) difference /= std::max(1.0L, std::fabs(point.value));
        const bool isRate = point.component > 3;
        long double& worst = isAngle  ? agreement.worstAngle
                             : isRate ? agreement.worstVelocity
                                      : agreement.worstPosition;
        int& worstLine = isAngle  ? agreement.worstAngleLine
                         : isRate ? agreement.worstVelocityLine
                                  : agreement.worstPositionLine;
        if (difference > worst) {
            worst = difference;
            worstLine = point.line;
        }
        ++agreement.compared;
    }
    return agreement;
}

inline void report(const char* what, const Agreement& a)
{
    std::cout << what << ": " << a.compared << " test points, largest difference "
              << static_cast<double>(a.worstPosition) << " (line " << a.worstPositionLine << ") in positions, "
              << static_cast<double>(a.worstVelocity) << " (line " << a.worstVelocityLine << ") in velocities, "
              << static_cast<double>(a.worstAngle) << " (line " << a.worstAngleLine
              << ") relative in nutations and librations\n";
}

}  // namespace jpl::testing
