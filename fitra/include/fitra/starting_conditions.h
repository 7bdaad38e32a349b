// STARTING.DAT: the starting conditions of the fitted body, in the layout
// that Set as Start writes (and the elements files STARTEL0.DAT and
// STARTEL1.DAT, whose epoch is negated):
//   1  the epoch as a Julian date (plus 90000000 for an Earth satellite)
//   2  three physical values (the first the mass, 1e24 kg), the radial
//      correction factor and the name (at most 8 characters)
//   3  X, Y, Z (Gm) or e, i, ω (degrees)
//   4  VX, VY, VZ (km/s) or Ω (degrees), a (AU), M0 (degrees)
//   5  A1, A2, A3 and AF; or -1 and the time delay τ of the asymmetric law;
//      or the impulse epoch -(t + 51544.5) and the impulse P1, P2, P3.
// The file may come from the user: it is read with free-format numbers,
// checked for size and completeness, and refused with a message naming it.
#pragma once

#include <array>
#include <filesystem>
#include <string>

namespace fitra {

struct StartingConditions {
    long double epochJd = 0;               // Julian date (TT), without the satellite offset
    bool satellite = false;                // the epoch carried the offset 90000000
    bool elements = false;                 // lines 3 and 4 hold elements (the epoch was negative)
    std::array<long double, 3> physical{}; // mass (1e24 kg) and two values carried unchanged
    long double radialFactor = 0;
    std::string name;
    std::array<long double, 6> state{};   // X Y Z (Gm) VX VY VZ (km/s), or e i ω Ω a M0
    std::array<long double, 3> nonGrav{}; // A1 A2 A3
    enum class Law { standard, asymmetric, impulse } law = Law::standard;
    long double af = 0;                   // standard: AF
    long double timeDelay = 0;            // asymmetric: τ (days)
    long double impulseTime = 0;          // impulse: days from J2000.0
    std::array<long double, 3> impulse{}; // P1 P2 P3
};

bool readStartingConditions(const std::filesystem::path& file, StartingConditions& out,
                            std::string& message);

// The text Set as Start writes (CR LF line ends).
std::string formatStartingConditions(const StartingConditions& s);

} // namespace fitra
