// Where the axis of a shadow meets the ground: the centre of an eclipse or
// occultation track at one instant, the widths of the shadow there and the
// direction of the occulted object.
#pragma once

#include <array>

namespace tarvo {

// The Earth's figure of the shadow tracks: x^2 + y^2 + (1 + k) z^2 = R^2
// with k = 1 / (1 - e^2) - 1, e^2 = 0.00669438 the squared eccentricity of
// the WGS 84 meridian (the polar radius is R sqrt(1 - e^2)).
inline constexpr long double kEarthSquaredEccentricity = 0.00669438L;
inline constexpr long double kEarthShapeK =
    1.0L / (1.0L - kEarthSquaredEccentricity) - 1.0L; // 0.0067395

struct ShadowInput {
    std::array<long double, 3> occulting{};     // P: geocentric position, Gm, equator of date
    std::array<long double, 3> occulted{};      // T: geocentric position, Gm (not read for a star)
    std::array<long double, 3> starDirection{}; // unit vector, for a star
    bool star = false;
    long double radiusOcculting = 0.0L;    // Gm
    long double radiusOcculted = 0.0L;     // Gm
    long double earthRadius = 0.00637814L; // equatorial, Gm
    long double ut = 0.0L;                 // UT, days from J2000
    double equationOfEquinoxes = 0.0;      // radians
    long double sigmaOccultingKm = 0.0L;   // position uncertainties of the bodies, km
    long double sigmaOccultedKm = 0.0L;
    int starUncertaintyCode = 0; // b of a star: 2^(b/10) milliarcseconds
};

struct ShadowPoint {
    bool exists = false;          // false: the axis misses the Earth
    long double longitude = 0.0L; // degrees, east positive, (-180, 180]
    long double latitude = 0.0L;  // degrees, geodetic
    long double wmin = 0.0L;      // km, width of the shadow across its axis (negative: annular)
    long double hwMin = 0.0L;     // km, half-length of the ground shadow ahead of the point
    long double hwMax = 0.0L;     // km, half-length behind it
    long double hwErr = 0.0L;     // km, uncertainty of the track from the bodies' uncertainties
    long double azimuth = 0.0L;   // degrees, of the occulted object, from the south through west
    long double altitude = 0.0L;  // degrees, of the occulted object above the horizon
    long double sinAltitude = 0.0L;
    std::array<long double, 3> ground{}; // the ground point, Gm, equator of date
};

/*
** shadowPoint: the ground point of the shadow axis at one instant.
** Given: the geocentric positions (Gm, equator of date) of the occulting
**   body P and of the occulted body T (or the star's direction), their
**   radii, the Earth's equatorial radius, the UT and the equation of the
**   equinoxes.
** Returned: the point where the line from P along s = (T - P)/|T - P|
**   meets the spheroid x^2 + y^2 + (1 + k) z^2 = R^2 nearer to P, its east
**   longitude (from the apparent sidereal time of the UT) and geodetic
**   latitude, the umbra's (antumbra's, negative) width there, the half-
**   lengths of the shadow along the ground, the track's uncertainty, and the
**   azimuth and altitude of the occulted object at the point.
** Notes: the intersection is solved in the numerically stable form (no
**   cancellation when the axis grazes the limb); longitudes come from
**   two-argument arctangents and are exact to rounding at +-180 degrees.
*/
ShadowPoint shadowPoint(const ShadowInput& in);

} // namespace tarvo
