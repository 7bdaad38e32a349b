// Bodies and series of a JPL development ephemeris.
//
// `Body` uses the JPL numbering of the test-point files (1 Mercury ... 13
// Earth-Moon barycentre, 14 nutations, 15 librations). `Series` names the
// Chebyshev series of one data record in the order of the file's pointer
// table; the Earth and the barycentric Moon are not series of their own but
// are derived from the Earth-Moon barycentre and the geocentric Moon.
#pragma once

namespace jpl {

enum class Body : int {
    Mercury = 1,
    Venus = 2,
    Earth = 3,
    Mars = 4,
    Jupiter = 5,
    Saturn = 6,
    Uranus = 7,
    Neptune = 8,
    Pluto = 9,
    Moon = 10,
    Sun = 11,
    SolarSystemBarycentre = 12,
    EarthMoonBarycentre = 13,
    Nutations = 14,
    Librations = 15,
};

enum class Series : int {
    Mercury = 0,
    Venus,
    EarthMoonBarycentre,
    Mars,
    Jupiter,
    Saturn,
    Uranus,
    Neptune,
    Pluto,
    GeocentricMoon,
    Sun,
    Nutations,            // longitude and obliquity (rad)
    Librations,           // lunar mantle Euler angles (rad)
    LunarMantleVelocity,  // lunar mantle angular velocity (rad/day), newer files
    TtMinusTdb,           // TT - TDB at the geocentre (s), files that carry it
};

constexpr int seriesCount = 15;

// Number of components of a series: 2 for nutations, 1 for TT-TDB, else 3.
int componentsOf(Series series);

// Name of a body, "" for a number outside 1..15.
const char* bodyName(int jplNumber);

// Name of a series ("Mercury", "Nutations", ...).
const char* seriesName(Series series);

}  // namespace jpl
