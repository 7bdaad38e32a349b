// Osculating elements of the elements page: the reference planes (equator,
// ecliptic, orbit plane of the centre body, mean plane of the system), the
// conversion of a display state into elements in any of them, the derived
// quantities (perihelion time, period, Tisserand parameter) and the minimum
// orbit intersection distance.
//
// The conversion itself is the one the state files use (tarvo/libraries,
// stateToElements); this file adds the plane rotations in front of it.
#pragma once

#include "tarvo/libraries/orbital_elements.h"
#include "tarvo/reductions/ephemeris_tables.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvo {

// A plane given by its inclination and node on the ecliptic of the frame epoch.
struct PlaneRecord {
    double cosInclination = 1.0, sinInclination = 0.0;
    double cosNode = 1.0, sinNode = 0.0;
};

enum class ReferencePlane { Equator = -1, Ecliptic = 0, CentreOrbit = 1, MeanPlane = 2 };

/*
** toPlaneFrame: ecliptic components -> components in a plane frame, in place.
**
** Given:   x, y, z (any unit), plane record (i_p, Ω_p on the ecliptic)
** Returned: x', y', z' with z' along the plane's pole and x' toward the point
**          of the plane whose ecliptic longitude is 0
** Notes: N = x cos Ω + y sin Ω, P = y cos Ω - x sin Ω, R = P cos i + z sin i,
**   W = z cos i - P sin i, θ = atan2(sin Ω, cos Ω cos i), x' = N cos θ - R sin θ,
**   y' = N sin θ + R cos θ, z' = W.  A rotation: lengths are kept exactly up to rounding.
*/
void toPlaneFrame(double& x, double& y, double& z, const PlaneRecord& plane);
void toPlaneFrame(long double& x, long double& y, long double& z, const PlaneRecord& plane);

/*
** planeOfAngularMomentum: the plane record of an angular-momentum vector.
**
** Given:   h (equatorial axes, any unit), cos ε, sin ε of the ecliptic,
**          direction (+1 forward, -1 when integrating backward)
** Returned: cos i_p = h_z'/|h|, sin i_p = sqrt(h_x² + h_y'²)/|h|, node from
**          (-h_y', h_x); a plane on the ecliptic (sin i_p = 0) gets node 0
**          rather than a division by zero.
*/
PlaneRecord planeOfAngularMomentum(const std::array<long double, 3>& h, double cosObliquity,
                                   double sinObliquity, int direction);

// orbitPlane: the plane of one body's orbit (position and velocity in
// equatorial axes, any units).
PlaneRecord orbitPlane(const std::array<long double, 3>& position, const std::array<long double, 3>& velocity,
                       double cosObliquity, double sinObliquity, int direction = 1);

/*
** invariablePlane: the mean plane of bodies 0 .. lastMajor.
**
** Given:   positions (Gm) and velocities (any unit per day) in one inertial
**          equatorial frame, masses (10^24 kg), the Earth's and Moon's index
**          (the Moon stored geocentric: its state is taken as Earth + Moon;
**          moonIndex < 0 when there is none), cos ε, sin ε, direction
** Returned: plane record of L = Σ m (r x v)
*/
struct BodyStates {
    std::span<const long double> x, y, z, vx, vy, vz, mass;
};
PlaneRecord invariablePlane(const BodyStates& bodies, int lastMajor, int earthIndex, int moonIndex,
                            double cosObliquity, double sinObliquity, int direction = 1);

// How the page refers elements: the plane and the records it may need.
struct ElementFrame {
    ReferencePlane plane = ReferencePlane::Ecliptic;
    double cosObliquity = 0.0, sinObliquity = 0.0; // 84381.448" or ε_A of the frame epoch
    PlaneRecord centreOrbit;                        // plane 1
    PlaneRecord meanPlane;                          // plane 2
};

// An ElementFrame on the J2000 ecliptic of the elements (84381.448").
ElementFrame eclipticElementFrame();

// The state in the page's reference plane: unchanged for the equator, turned
// to the ecliptic by ε, then into the orbit or mean plane (display 3 shows it).
CartesianState toElementPlane(const ElementFrame& frame, const CartesianState& state);

/*
** pageElements: osculating elements of a display state in the page's plane.
**
** Given:
**   gravityConstant  k' (AU^(3/2)/day): k √(m_0/1989095.3240106), or
**                    0.001733057908 k for geocentric rows (elementGravityConstant)
**   massRatio        m_body / m_central
**   astronomicalUnit Gm
**   frame            plane and its records
**   state            position (Gm), velocity (km/s), equatorial axes
** Returned: the element set of stateToElements (tarvo/libraries), referred
**   to the plane: equator (no rotation), ecliptic (rotation by ε), or the
**   orbit/mean plane (ecliptic, then toPlaneFrame).
*/
OsculatingElements pageElements(long double gravityConstant, long double massRatio,
                                 long double astronomicalUnit, const ElementFrame& frame,
                                 const CartesianState& state);

// ---- derived quantities ----------------------------------------------------------

// Time since perihelion, days: M' / n with M' = M - 360 for an ellipse past
// aphelion (M > 180).  JD - Tp of the page.
long double timeSincePerihelion(const OsculatingElements& elements);
// Period in days, 360/n, when 0 < a < 10^7; else 0.
long double orbitalPeriodDays(const OsculatingElements& elements);
// Longitude of perihelion Ω + ω in [0, 360).
long double perihelionLongitude(const OsculatingElements& elements);
// Tisserand parameter with respect to Jupiter (a_J = 5.202 AU).
long double tisserandParameter(const OsculatingElements& elements);

// ---- MOID ------------------------------------------------------------------------

// An orbit for the MOID: angles in degrees, a and q in AU.
struct MoidOrbit {
    double eccentricity = 0.0;
    double inclination = 0.0;      // ignored for the reference orbit (taken as 0)
    double argumentOfPerihelion = 0.0;
    double ascendingNode = 0.0;
    double semiMajorAxis = 0.0;    // not used: the size comes from q
    double perihelionDistance = 0.0;
};
MoidOrbit moidOrbit(const OsculatingElements& elements);

struct MoidResult {
    double distance = 0.0;      // AU
    double longitudeDeg = 0.0;  // ecliptic longitude of the point of the reference orbit, [0, 360)
    bool notConverged = false;  // the shared budget of 1000 passes ran out
};

/*
** moid: minimum distance between a body's orbit and a reference orbit that
** lies in the reference plane.
**
** Given:   body orbit (e, i, ω, Ω, q), reference orbit (e', ω', Ω', q')
** Returned: the smallest distance between the two curves, the longitude of
**          its point on the reference orbit, and the not-converged flag
** Notes: the squared distance D²(ν, ν') is sampled on a 72 x 72 grid of true
**   anomalies (hyperbolic branches only where they exist); every grid
**   minimum is refined by Newton's method with analytic derivatives, damped
**   (Levenberg) where the Hessian is not positive definite and with a step
**   accepted only when D² decreases, so that coplanar circular orbits and an
**   orbit against itself (singular Hessian) end at once with a defined
**   answer.  The refinements share 1000 passes.  Agrees with a dense
**   brute-force search to 1e-10 AU for orbits of a few AU.
** Reference: the distance function as in Sitarski, Acta Astronomica 18 (1968) 171.
*/
MoidResult moid(const MoidOrbit& body, const MoidOrbit& reference);

} // namespace tarvo

// ---- the elements page: lines and records -----------------------------------------

namespace tarvo {

enum class ElementDisplay { SemiMajorAxis = 0, Perihelion = 1, Moid = 2, StateVector = 3 };
// Where a row string goes: the screen, OSCEL.DAT, or a per-body file in file mode.
enum class ElementForm { Screen, OscelDat, BodyFile };

// Everything one row shows.
struct ElementRow {
    OsculatingElements elements;
    bool geocentric = false;  // the Moon, or a satellite: a, q in 1000 km, period in days
    bool isMoon = false;      // no Tisserand parameter on screen
    double astronomicalUnitGm = 149.5978707;
    long double julianDate = 2451545.0L;   // epoch of the elements
    std::optional<MoidResult> moid;        // display 2; none: 22 blanks
    CartesianState planeState;             // display 3: Gm and km/s in the reference plane
};

/*
** elementRowText: the row string of one body (without its name).
**
** Given:   the display (0 a/ϖ/M0/period, 1 q/Tisserand/JD-Tp/period,
**          2 a/MOID/longitude/period, 3 state), the form (screen, OSCEL.DAT,
**          per-body file) and the row's values
** Returned: the fields in the masks of the page; a value too wide for its
**          mask is written whole after "%"
*/
std::string elementRowText(ElementDisplay display, ElementForm form, const ElementRow& row);

// The period field, the same on screen and in files: 13 blanks when P <= 0 or
// P >= 9999999999, otherwise the mask of its size.
std::string periodField(long double period);

// How the page is referred, for its title.
struct ElementPageTitle {
    ReferencePlane plane = ReferencePlane::Ecliptic;
    std::string centreName;    // plane 1: the centre body's name (the Earth's when none is set)
    bool barycentric = false;
    bool equinoxOfDate = false;
    double fixedEquinoxYear = 0.0; // non-zero: "(" + year + ")"
};
// Row 1: plane label + kind + " Elements " + equinox label + " at JD " + JD.
std::string elementTitleLine(const ElementPageTitle& title, long double julianDate);
// Row 2, the legend.
std::string elementLegendLine();
// Row 3: "Date:" + date + ":" + time + "." + hundredths, " JD :" + JD and,
// when at most 18 bodies are shown, "Step :" + step + the unit's first letter.
std::string elementDateLine(const std::string& dateText, const std::string& timeText, int hundredths,
                            long double julianDate, int bodyCount, double step, const std::string& stepUnit);
// Row 4: the column header; `referenceName` is the MOID reference body's name.
std::string elementColumnHeader(ElementDisplay display, const std::string& referenceName);

// OSCEL.DAT: objectNumber with "#######  ", the 9-character name and the file string.
std::string oscelRecord(double objectNumber, const std::string& name, const std::string& fileString);

// Per-body element files: the three header lines ("time unit" as in the
// ephemeris records) and one record (time column + file string).
std::vector<std::string> elementFileHeader(const std::string& titleLine, const std::string& name,
                                           RecordTimeUnit unit, ElementDisplay display,
                                           const std::string& referenceName);
// A record: the time column (recordTime) followed by the file string.
std::string elementFileRecord(const std::string& timeColumn, const std::string& fileString);

} // namespace tarvo
