// Apparent and topocentric places: what an observer sees of the integrated
// bodies.  Positions relative to a centre, corrected for light-time and
// aberration (display copies only, never the integrated state), angles in
// the equator or ecliptic of the output frame, horizontal coordinates,
// elongations, illumination and magnitudes, and the times of rising,
// transit and setting.
//
// Units are the suite's own: Gm, days, radians inside; the display copies
// are double precision.  Frames are whatever the caller's arrays are in
// (the equator of the frame epoch during a run); the routines here only
// need the observer to be expressed in the same axes.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>

namespace tarvo {

using PlaceVector = std::array<double, 3>;

// ---- constants ------------------------------------------------------------------

inline constexpr double kEarthRotationRate = 6.3003881;          // rad/day, observer velocity
inline constexpr double kEarthRotationRateSquared = 39.69489021; // rad²/day², observer acceleration
inline constexpr double kSiderealRateRiseSet = 6.300388098985;   // rad/day, Ω' of the rise/set search
inline constexpr double kSpeedOfLightGmPerDay = 25902.06837;     // Gm/day
inline constexpr double kEarthEquatorialRadiusGm = 0.006378137;  // Gm
inline constexpr double kEarthEccentricitySquared = 0.006694378;
inline constexpr double kRefractionAtHorizon = 0.00989;          // rad (34')

// ---- the observer --------------------------------------------------------------

// Observing site: geodetic latitude and east longitude (radians), height
// above the ellipsoid (Gm) and the label shown in headers.
struct ObserverSite {
    double latitude = 0.0;
    double longitude = 0.0;
    double heightGm = 0.0;
    std::string label;
};

// Geocentric position, velocity and acceleration of the site in the equator
// of date (Gm, Gm/day, Gm/day²) and the local sidereal time it was made for.
struct ObserverState {
    PlaceVector position{};
    PlaceVector velocity{};
    PlaceVector acceleration{};
    double localSiderealTime = 0.0; // θ, radians
};

/*
** siteVectorAt: geocentric position of a site at the local sidereal angle θ.
**
** Given:
**   site      geodetic latitude φ, east longitude (not used), height (Gm)
**   theta     angle of the site's meridian from the x axis, radians
** Returned:
**   (function) position, Gm, axes of the equator whose x axis θ is counted from
**
** Notes: ellipsoid a = 0.006378137 Gm, e² = 0.006694378; with θ = λ the
**   result is the Earth-fixed vector of the site.  Exact (no series).
*/
PlaceVector siteVectorAt(const ObserverSite& site, double theta);

/*
** observerVector: the observer vector of the TT day count t.
**
** Given:
**   site                geodetic site
**   t                   TT day count (days from J2000.0)
**   deltaTDays          ΔT = TT - UT, days (0 when Delta-T is off)
**   equationOfEquinoxes radians, added when nutation is on (else pass 0)
**   topocentric         false: everything is zero (topocentric mode off or
**                       the centre is not the Earth)
** Returned:
**   (function) position (Gm), velocity (Gm/day), acceleration (Gm/day²) in
**              the equator of date, and θ = local apparent sidereal time
**
** Notes: velocity = ω (-y, x, 0) with ω = 6.3003881 rad/day, acceleration
**   = -ω² (x, y, 0) with ω² = 39.69489021; θ is still set when topocentric
**   mode is off (the horizontal coordinates need it).
*/
ObserverState observerVector(const ObserverSite& site, long double t, long double deltaTDays,
                             double equationOfEquinoxes, bool topocentric);

// The observer vector for a given local sidereal angle θ (radians), as
// observerVector makes it for its own θ: the site turned by θ, velocity
// ω (-y, x, 0), acceleration -ω² (x, y, 0); zero when `topocentric` is false.
ObserverState observerStateAt(const ObserverSite& site, double theta, bool topocentric);

// ---- light-time and aberration ------------------------------------------------

// How positions are corrected.
struct CorrectionSwitches {
    bool lightTime = true;
    bool aberration = true; // takes effect only with light-time
};

// State of a body relative to the observer, and the observer's own motion in
// the inertial frame of the body table.
struct RelativeState {
    PlaceVector position{};     // body - observer, Gm
    PlaceVector velocity{};     // Gm/day
    PlaceVector acceleration{}; // Gm/day²
};
struct ObserverMotion {
    PlaceVector velocity{};     // Gm/day
    PlaceVector acceleration{}; // Gm/day²
};

/*
** lightTimeCorrected: first-order light-time and aberration correction of
** one body's relative state.
**
** Given:
**   relative   position, velocity, acceleration of the body relative to the
**              observer (Gm, Gm/day, Gm/day²)
**   observer   velocity and acceleration of the observer (centre body plus
**              topocentric site) in the table's frame
**   switches   light-time, aberration
** Returned:
**   (function) corrected relative state: with τ = ρ/c and V = v_body - A v_obs,
**              x' = x - τ V, v' = v - τ (a_body - A a_obs) - τ̇ V
**
** Notes: A = 1 with aberration (apparent place), 0 without (astrometric
**   place).  A body at the observer (ρ = 0) is returned unchanged.  Against a
**   rigorous reduction (iterated light-time, relativistic aberration, no
**   light deflection) the direction agrees to a few milliarcseconds: the
**   neglected terms are (v/c)² and τ² a.
** Reference: Explanatory Supplement to the Astronomical Almanac (1992), 3.2.
*/
RelativeState lightTimeCorrected(const RelativeState& relative, const ObserverMotion& observer,
                                 const CorrectionSwitches& switches);

// Display copies of all bodies, relative to the observer, double precision.
struct DisplayStates {
    std::span<double> x, y, z;    // Gm, relative to the observer
    std::span<double> vx, vy, vz; // Gm/day, relative
    std::span<double> ax, ay, az; // Gm/day², relative
    std::span<double> distance;   // |position|, Gm (returned: the true distances before correction)
};

/*
** correctLightTime: lightTimeCorrected over bodies 0 .. count-1 in place.
**
** Given:
**   states     display copies (relative to the observer of each body)
**   centre     index of the centre body (left unchanged), -1 for a fixed point
**   observer   motion of the observer
**   moonIndex  index of the Moon (< 0: none) and moonObserver the motion of
**   moonObserver  the observer it is taken relative to (the Earth plus site)
**   firstSatellite  in the geocentric-satellite mode the first minor body
**              (every body from it on is seen like the Moon); -1 otherwise
**   switches   light-time and aberration
** Returned:
**   states     corrected; `distance` holds the geometric distances
*/
void correctLightTime(DisplayStates& states, std::size_t count, int centre,
                      const ObserverMotion& observer, int moonIndex,
                      const ObserverMotion& moonObserver, const CorrectionSwitches& switches,
                      int firstSatellite = -1);

// ---- angles ---------------------------------------------------------------------

struct SphericalAngles {
    double longitude = 0.0; // α or λ, radians, [0, 2π)
    double latitude = 0.0;  // δ or β, radians
};

// α = atan2(y, x) in [0, 2π), δ = atan2(z, sqrt(x² + y²)); a vector on the
// pole gives α = 0.
SphericalAngles sphericalAngles(const PlaceVector& v);

// Equator -> ecliptic of the same epoch: rotation about x by the obliquity.
PlaceVector equatorToEcliptic(const PlaceVector& v, double cosObliquity, double sinObliquity);

// Rates of the two angles, arcseconds per hour, and the position angle of
// the motion.
struct AngleRates {
    double first = 0.0;  // dα/dt (not multiplied by cos δ), "/h or °/h
    double second = 0.0; // dδ/dt
    bool degrees = false; // true when the rates were divided by 3600 (shown in °/h)
    double positionAngle = 0.0; // degrees, [0, 360)
};

/*
** angleRates: Vra, Vdec and Ang of the angular table.
**
** Given:   position (any unit), velocity (the same unit per day)
** Returned: rates in "/h (°/h when either exceeds 1000 "/h) and position angle
** Notes: on the polar axis (x = y = 0) the rate of α is 0 and so is the rate
**   of δ (both undefined there), never NaN.
*/
AngleRates angleRates(const PlaceVector& position, const PlaceVector& velocity);

// ---- horizontal coordinates -----------------------------------------------------

struct HorizontalPlace {
    double azimuthDeg = 0.0;  // from the south point through west, [0, 360)
    double altitudeDeg = 0.0; // geometric, no refraction
};

/*
** toHorizontal: azimuth and altitude of a direction.
**
** Given:   α, δ (radians, equator of date); φ geodetic latitude; θ local sidereal time
** Returned: azimuth counted from south through west (S 0°, W 90°, N 180°, E 270°), altitude
** Notes: computed from the components of the direction in the horizon frame
**   with two-argument arctangents, so that the zenith, the horizon and the
**   meridian need no special case; accurate to rounding (1e-15 rad).
*/
HorizontalPlace toHorizontal(double alpha, double delta, double latitude, double theta);

// ---- elongation, phase and magnitude ------------------------------------------

struct PhaseAndMagnitude {
    double illuminatedFraction = 1.0;
    double magnitude = 0.0;   // capped at 99.9
    bool magnitudeShown = true; // false for the centre body itself (Δ = 0)
    double elongationDeg = 0.0;     // from the Sun, signed
    double lunarElongationDeg = 0.0; // from the Moon, signed
};

struct MagnitudeData {
    double absoluteMagnitude = 0.0; // H
    bool comet = false;
    double cometSlope = 0.0;        // K of the comet formula
};

/*
** phaseAndMagnitude: elongations, illuminated fraction and magnitude.
**
** Given:
**   bodyIndex   0 for the Sun, 1, 2 for the bodies with β = -1.5, -0.8
**   body, observer, sun, moon   positions, Gm, any common frame
**   data        H, comet flag and K
**   astronomicalUnitGm  the AU of the data set
**   withLunarElongation false: the lunar elongation is 0
** Returned: see PhaseAndMagnitude; elongations are signed by the z component
**   of (P - O) x (O - S) (or (O - L)), zero counting as +.
** Notes: every arccosine argument is clamped to [-1, 1]; a body at the
**   observer (Δ = 0) gets no magnitude; an unlit body (k = 0) gets 99.9.
*/
PhaseAndMagnitude phaseAndMagnitude(int bodyIndex, const PlaceVector& body,
                                    const PlaceVector& observer, const PlaceVector& sun,
                                    const PlaceVector& moon, const MagnitudeData& data,
                                    double astronomicalUnitGm, bool withLunarElongation);

// ---- rising, transit and setting ---------------------------------------------------

enum class RiseSetEvent { Rise = 1, Transit = 0, Set = -1 };

struct RiseSetToggles {
    bool refraction = true; // 34' at the horizon
    bool limb = true;       // upper limb: + R/Δ
};

/*
** horizonDepression: h0 of the rise/set search, radians.
**
** Given:  height (Gm), body radius (Gm), distance Δ (Gm), toggles
** Returned: dip of the horizon + 0.00989 (refraction) + R/Δ (limb)
** Notes: the dip arccos(6378/(6378 + height in km)) is 0 for a site at or
**   below sea level (the argument is clamped to 1).
*/
double horizonDepression(double heightGm, double radiusGm, double distanceGm,
                         const RiseSetToggles& toggles);

struct RiseSetResult {
    bool occurs = false;     // false: the body does not rise (set) here
    long double time = 0.0L; // TT day count of the event
};

/*
** riseTransitSet: time of the nearest rising, transit or setting.
**
** Given:
**   event       rise, transit or set
**   t           TT day count of the state
**   position    geocentric position of the body at t, equator of date, Gm
**   velocity    its velocity, Gm/day (the body moves linearly from t)
**   site        observer (φ, and the height for the topocentric position)
**   theta       local apparent sidereal time at t, radians
**   topocentric true: the body is seen from the site (the site vector at each
**               trial time is subtracted)
**   h0          horizon depression, radians (horizonDepression)
** Returned:     the event within ±12 sidereal hours of t
** Notes: the hour angle of the event solves sin(-h0) = sin φ sin δ + cos φ cos δ cos H0
**   exactly; the search repeats (at most 6 passes) until the offset changes
**   by less than 1e-7 rad, so the time is that of the root of the altitude
**   function of the linearly moving body to well under a second.
*/
RiseSetResult riseTransitSet(RiseSetEvent event, long double t, const PlaceVector& position,
                             const PlaceVector& velocity, const ObserverSite& site, double theta,
                             bool topocentric, double h0);

// hh:mm of an event in UT (or local time when `localTime`); five blanks when
// it does not occur.
std::string riseSetText(const RiseSetResult& result, long double deltaTDays, bool localTime,
                        double eastLongitude);


/*
** inEarthShadow: whether a body near the Earth is inside the Earth's umbra
** (the geocentric-satellite mode shows its magnitude as 99.9).
**
** Given:   body and Sun positions relative to the Earth (Gm, any frame)
** Returned: true when the angle between the anti-Sun direction and the body,
**          seen from the Earth, is smaller than the cone's half-angle at the
**          body's distance
** Notes: umbra of a sphere of radius 0.006378137 Gm lit by a Sun of radius
**   0.69595 Gm; the cone's apex lies about 1.38 million km behind the Earth,
**   beyond which nothing is in shadow.
*/
bool inEarthShadow(const PlaceVector& bodyFromEarth, const PlaceVector& sunFromEarth);


// ---- centres ----------------------------------------------------------------------

// Which centre the places are referred to.
struct CentreSelection {
    enum class Kind { Sun, Earth, Body, FixedPoint } kind = Kind::Earth;
    int bodyIndex = 0;          // Kind::Body
    PlaceVector fixedPoint{};   // Kind::FixedPoint, Gm, at rest
    bool topocentric = false;   // with Kind::Earth: the site is added to the Earth
};

// Absolute states of all bodies in one inertial frame (the Moon and
// satellites already made absolute by the caller), double precision.
struct AbsoluteStates {
    std::span<const double> x, y, z;    // Gm
    std::span<const double> vx, vy, vz; // Gm/day
    std::span<const double> ax, ay, az; // Gm/day²
    int earthIndex = 3;
    int moonIndex = -1;      // < 0: no Moon
    int firstSatellite = -1; // geocentric-satellite mode: bodies from here on stay relative to the Earth
};

/*
** statesFromCentre: the display copies relative to the chosen centre.
**
** Given:   absolute states of `count` bodies, the centre, the observer
**          vector (used with a topocentric Earth centre)
** Returned: `out` (relative positions, velocities, accelerations and the
**          distances); `observer` the centre's motion (plus the site's);
**          `moonObserver` the motion the Moon is seen from: whenever the
**          centre is not the Earth the Moon alone (and, in the geocentric-
**          satellite mode, every satellite) stays relative to the Earth
**          ("Moon is Geocentric"); returns the index of the centre body in
**          the arrays (-1 for a fixed point), the body correctLightTime
**          leaves alone
*/
int statesFromCentre(const AbsoluteStates& in, std::size_t count, const CentreSelection& centre,
                     const ObserverState& site, DisplayStates& out, ObserverMotion& observer,
                     ObserverMotion& moonObserver);

} // namespace tarvo
