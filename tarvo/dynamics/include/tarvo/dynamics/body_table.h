// Body table: everything the main program knows about the bodies it
// integrates, as parallel arrays indexed by body number (Sun at 0).
//
// Every per-body array has the same index range 0 .. maxBodies + 2, so a loop
// over any contiguous range of bodies reads each array within its bounds.
// State and masses are 80-bit extended; data that only the double path of the
// force model or the displays read are doubles. Booleans follow the suite's
// convention (32-bit, -1 true, 0 false).
//
// The table is sized once at start-up. It stops being useful above
// maxBodiesLimit bodies (memory), and every data set needs at least
// minimumMaxBodies slots.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Capacity rules of the table.
inline constexpr int defaultMaxBodies = 16100;
inline constexpr int commandLineMaxBodiesThreshold = 15;  // smaller values are ignored
inline constexpr int largestDataSetBodyCount = 45;        // data set 1: K = 45 bodies after the Sun
inline constexpr int minimumMaxBodies = largestDataSetBodyCount + 3;
inline constexpr int maxBodiesLimit = 10'000'000;
inline constexpr int satelliteModeMaxBodies = 500;
inline constexpr int hiddenPlanetSlots = 32;  // indices 0..31 may be hidden
inline constexpr int bodyNameLength = 9;

// Suite booleans.
inline constexpr std::int32_t suiteTrue = -1;
inline constexpr std::int32_t suiteFalse = 0;

// Impulse of the "^" option: epoch (JD2000, TT) and three velocity
// components (km/s: along the velocity, in-plane normal, out of plane).
struct Impulse {
  double epoch = 0.0;             // days from J2000
  double deltaV[3] = {0, 0, 0};   // km/s
};

// Which indices play which part (fixed per data set, Part of the table's
// contract with the force model).
struct BodyLayout {
  int bodyCount = 0;    // N: last index in use
  int earthIndex = 3;
  int moonIndex = 10;   // == maxBodies when the Moon is not integrated
  int lastMajor = 0;
  int lastMassive = 0;
  bool noMoon = false;
};

struct BodyTable {
  int maxBodies = 0;
  BodyLayout layout;

  // Extended-precision state.
  std::vector<long double> mass;      // 10^24 kg; 0 for massless bodies
  std::vector<long double> stepMass;  // mass * G * H^2 for the (sub)step H in force, Gm^3
  std::vector<long double> posX, posY, posZ;  // Gm; Moon geocentric; satellites geocentric in satellite mode
  std::vector<long double> velX, velY, velZ;  // step velocity: direction * v * h, Gm per step

  // Identity and display.
  std::vector<std::array<char, bodyNameLength>> name;  // fixed length, blank padded
  std::vector<std::uint32_t> color;                    // 24-bit RGB, red in bits 0-7

  // Physical and record data (double).
  std::vector<double> massField;     // first number of the record (mass or comet slope K)
  std::vector<double> radius;        // Gm
  std::vector<std::int32_t> isComet;
  std::vector<double> absMag;        // absolute magnitude H
  std::vector<double> relFactor;     // addition to the Sun's attraction factor
  std::vector<double> relFactorBase; // relFactor at load time
  std::vector<double> objectNumber;  // catalogue number, coefficient scale in (0,1), or -i
  std::vector<double> A1, A2, A3;    // non-gravitational coefficients, Gm/day^2 (satellites: drag, J2, J3)
  std::vector<double> tau;           // time shift of the asymmetric model, days
  std::vector<Impulse> impulse;
  std::vector<std::int32_t> nonGravFlag;
  std::vector<std::int32_t> earthFigureFlag;
  std::vector<std::int32_t> collisionFlag;  // 0, -1 collided, 1 ejected

  std::array<std::int32_t, hiddenPlanetSlots> hiddenPlanet{};

  // Number of entries of every per-body array (maxBodies + 3).
  int slots() const { return maxBodies + 3; }
  bool moonIntegrated() const {
    return !layout.noMoon && layout.moonIndex <= layout.bodyCount;
  }
  bool isHidden(int i) const {
    return i > 0 && i < hiddenPlanetSlots && hiddenPlanet[i] != suiteFalse;
  }
};

// Outcome of sizing or creating the table.
struct CapacityResult {
  bool ok = false;
  int maxBodies = 0;
  std::string message;  // why a request was refused or adjusted; empty otherwise
};

/*
** maxBodiesFromCommandLine: body-table size from the command-line string.
** Given: text, the command line (blanks around it ignored).
** Returned: the longest leading number when it is at least 15 (raised to
**   minimumMaxBodies when below it), otherwise defaultMaxBodies; values above
**   maxBodiesLimit are refused (ok false, message says why).
*/
CapacityResult maxBodiesFromCommandLine(std::string_view text);

/*
** createBodyTable: allocate every per-body array with indices
** 0 .. maxBodies + 2, zero contents.
** Given: maxBodies, minimumMaxBodies .. maxBodiesLimit.
** Returned: table (replaced), and the result; a request beyond the memory of
**   the machine is refused with a message instead of failing later.
*/
CapacityResult createBodyTable(int maxBodies, BodyTable& table);

/*
** Estimated bytes of a table of maxBodies bodies (arrays only).
*/
std::size_t bodyTableBytes(int maxBodies);

/*
** dataSetLayout: fixed index layout of planetary data set 1..10.
** Given: dataSet (1..10), maxBodies (the Moon index of Moon-less sets).
** Returned: earthIndex, moonIndex, lastMajor, lastMassive, noMoon and
**   bodyCount (= K, the number of bodies after the Sun). ok false for an
**   unknown data set.
*/
struct DataSetLayoutResult {
  bool ok = false;
  BodyLayout layout;
};
DataSetLayoutResult dataSetLayout(int dataSet, int maxBodies);

/*
** removeBody: delete body k, keeping the blocks of the table whole: a body
** of the major block (0..lastMajor) is replaced by the last major, whose
** slot takes the last massive body (..lastMassive), whose slot takes the
** last body N; a massive minor body by the last massive one and then N;
** any other body by N. lastMajor and lastMassive shrink with the block that
** lost a body, N = N - 1 (removing the last body only shortens the table).
** earthIndex and moonIndex follow the moved bodies; removing the Moon
** itself marks the table as Moon-less, removing the Earth resets
** earthIndex to 0.
*/
void removeBody(BodyTable& table, int k);

// Body name as fixed-length text (9 characters, blank padded).
void setBodyName(BodyTable& table, int i, std::string_view text);
std::string bodyName(const BodyTable& table, int i);

// Copy every per-body field of body from into slot to.
void copyBody(BodyTable& table, int from, int to);

/*
** heliocentricPosition: position of body i relative to the Sun, Gm, in the
** frame of the table. The Moon (and, in satellite mode, the bodies above
** lastMajor) are stored geocentric and get the Earth added first.
*/
std::array<long double, 3> heliocentricPosition(const BodyTable& table, int i,
                                                bool satelliteMode);

// True when body i is stored relative to the Earth.
bool isStoredGeocentric(const BodyTable& table, int i, bool satelliteMode);

}  // namespace tarvo
