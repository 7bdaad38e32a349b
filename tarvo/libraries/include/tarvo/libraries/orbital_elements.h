// Orbital elements <-> state vectors in extended precision, as the state
// files use them: .TVE and .ELE element files are turned into states, and
// the final files FINAL.TVE, FINAL.ELE and FINEL.DAT carry the osculating
// elements of the states at the end of a run.
//
// Elements are heliocentric (geocentric for the Moon and for satellites),
// referred to the J2000 ecliptic and equinox; angles in degrees, a and q in
// AU. States are J2000 equatorial, positions in Gm, velocities in km/s.
#pragma once

#include <array>
#include <string>

namespace tarvo {

// Gaussian gravitational constant, AU^(3/2) / day (the Sun's mass = 1).
inline constexpr long double gaussianGravitationalConstant = 0.01720209895L;
// k of the Earth against k of the Sun: sqrt(m_Earth / m_Sun) scale of the
// geocentric element conversions.
inline constexpr long double geocentricGravityFactor = 0.001733057908L;
// Sun's mass the Gaussian constant belongs to (10^24 kg).
inline constexpr long double nominalSunMass = 1989095.3240106L;
// Obliquity of J2000 between the ecliptic of the elements and the equator
// of the states (arcsec).
inline constexpr long double elementsObliquityArcsec = 84381.448L;

// Which k a conversion uses.
enum class ElementMode {
    MinorBody,  // heliocentric, k as it stands
    FullFile,   // heliocentric, k scaled by sqrt(m_0 / nominalSunMass)
    Satellite,  // geocentric, k times geocentricGravityFactor
};

// k for a conversion (AU^(3/2) / day). `sunMass` (10^24 kg) is the mass of
// body 0 of the file; only FullFile uses it.
long double elementGravityConstant(ElementMode mode, long double sunMass = nominalSunMass);

// An element set as the element files hold it.
struct OrbitElements {
    long double eccentricity = 0;
    long double inclination = 0;          // i, degrees
    long double argumentOfPerihelion = 0; // omega, degrees
    long double ascendingNode = 0;        // Omega, degrees
    long double semiMajorAxis = 0;        // a, AU, negative for a hyperbola; 0: q gives the size
    long double meanAnomaly = 0;          // M at the epoch, degrees; 0: T gives the phase
    long double perihelionDistance = 0;   // q, AU
    long double perihelionTime = 0;       // T, Julian date of perihelion passage
};

struct CartesianState {
    std::array<long double, 3> position{};  // Gm, J2000 equator
    std::array<long double, 3> velocity{};  // km/s
};

// 3 x 3 rotation, row-major: v' = R v.
using Rotation3 = std::array<std::array<long double, 3>, 3>;

struct ElementConversion {
    long double gravityConstant = gaussianGravitationalConstant;  // k, AU^(3/2)/day
    long double astronomicalUnit = 149.5978707L;                  // Gm
    // Elements referred to the ecliptic of another epoch: rotation from that
    // ecliptic to the J2000 ecliptic, applied before the turn to the equator.
    const Rotation3* eclipticToJ2000Ecliptic = nullptr;
};

struct ConversionResult {
    bool ok = false;
    bool iterationLimit = false;  // Kepler's equation did not converge; the last iterate was used
    std::string message;          // why the elements were refused, or the warning of a parabola
                                  // whose iteration ran out of rounds ("Too many Iterations ! ")
};

/*
** elementsToState: J2000 equatorial state of a body from its elements.
**
** Given:
**   conversion  k (AU^(3/2)/day), AU (Gm), optional ecliptic rotation
**   massRatio   m_body / m_central (0 for massless bodies)
**   jd          Julian date of the state (TT)
**   elements    e, i, omega, Omega (deg), a (AU), M (deg), q (AU), T (JD)
** Returned:
**   state       position (Gm) and velocity (km/s), J2000 equator
**   (function)  ok false, state untouched, for elements that describe no
**               orbit: e < 0, a < 0 with e < 1, a > 0 with e > 1, no size,
**               or a value that is not finite
**
** Notes:
**   |1 - e| < 1e-8 is a parabola. a = 0 (with e != 1) takes a = q/(1 - e);
**   M = 0 with T != 0 takes M = n (JD - T), n = k sqrt(1 + massRatio) / |a|^1.5
**   (parabola: k sqrt(1 + massRatio)). Kepler's equation is solved by Halley
**   (ellipse, to 1e-16 rad), Barker's cubic by Newton (parabola) and the
**   hyperbolic equation by Newton from asinh(M/e); the state has a relative
**   error of a few 1e-18 for e < 0.99999 and near-parabolic orbits lose
**   what the element set itself cannot hold.
**
** Reference: Danby, J M A, Fundamentals of Celestial Mechanics, 2nd ed.,
**   Willmann-Bell 1988, chapters 6.3-6.5 and 6.9.
*/
ConversionResult elementsToState(const ElementConversion& conversion, long double massRatio, long double jd,
                                 const OrbitElements& elements, CartesianState& state);

// Osculating elements as the state-to-elements conversion returns them.
struct OsculatingElements {
    long double meanAnomaly = 0;          // degrees, [0, 360) for ellipses; parabola (180/pi)(qD + D^3/6)
    long double argumentOfPerihelion = 0; // degrees, [0, 360)
    long double ascendingNode = 0;        // degrees, [0, 360)
    long double inclination = 0;          // degrees, [0, 180]
    long double eccentricity = 0;
    long double meanMotion = 0;           // degrees per day
    long double semiMajorAxis = 0;        // AU; negative for a hyperbola; 9.99999999e+99 when 2/r = v^2/mu
    long double perihelionDistance = 0;   // AU
};

// Plane the elements are referred to.
struct ElementPlane {
    bool equator = false;  // true: J2000 equator, no rotation
    long double obliquity = elementsObliquityArcsec * 3.14159265358979323846264338327950288L / 648000.0L;  // rad
};

// Value used for a when the orbit's energy is exactly parabolic.
inline constexpr long double parabolicSemiMajorAxis = 9.99999999e+99L;

/*
** stateToElements: osculating elements of a state (extended precision).
**
** Given:
**   gravityConstant  k' (AU^(3/2)/day), see elementGravityConstant
**   massRatio        m_body / m_central
**   astronomicalUnit Gm
**   plane            ecliptic (obliquity in rad) or equator
**   state            position (Gm), velocity (km/s), equatorial axes
** Returned:
**   (function)       the element set; M / n is always the time since
**                    perihelion in days
**
** Notes: |1 - e| < 2e-9 is a parabola (e = 1); e < 5e-10 is a circle
**   (e = 0, omega = 0, M the angle from the node); i <= 5e-8 deg is
**   equatorial (Omega = 0, omega the longitude of perihelion), and so is
**   i >= 180 - 5e-8 deg for retrograde orbits (Omega = 0). Angles are taken
**   with two-argument arctangents, so that they keep full precision near
**   0 and 180 degrees.
**
** Reference: Danby (1988), chapter 6.8.
*/
OsculatingElements stateToElements(long double gravityConstant, long double massRatio, long double astronomicalUnit,
                                   const ElementPlane& plane, const CartesianState& state);

}  // namespace tarvo
