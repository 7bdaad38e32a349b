// The JPL test-point files (testpo.NNN): states the ephemeris must reproduce.
//
// Line format: "de#  yyyy.mm.dd  JED  t#  c#  x#  value". Lines before a line
// "EOT" are the header; a file without such a line has no header.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace jpl {

class Ephemeris;

struct TestPoint {
    int denum = 0;
    std::string date;     // "yyyy.mm.dd" as written
    long double jd = 0;   // TDB Julian date
    int target = 0;       // JPL body number 1..15
    int centre = 0;       // 0 for nutations and librations
    int component = 0;    // 1..6: x, y, z, vx, vy, vz
    long double value = 0;  // au, au/day, rad or rad/day
    int line = 0;         // line of the file
};

// Reads a whole test-point file. Fails on a missing, oversized or malformed
// file with a message naming it and the line.
bool readTestPoints(const std::filesystem::path& file, std::vector<TestPoint>& points, std::string& message);

// What the ephemeris gives for a test point, in the point's units.
bool evaluateTestPoint(Ephemeris& ephemeris, const TestPoint& point, long double& value, std::string& message);

}  // namespace jpl
