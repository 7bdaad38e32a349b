// The projections of the graphics view: the orthographic (orbit) view, the
// plain sky map (twice as wide as high), the polar (azimuthal equidistant)
// map and the plain horizontal map, and the mapping of projected
// coordinates onto canvas pixels.  Pure functions.
//
// Sky views take unit vectors u in the frame of the view (equator or
// ecliptic of the shown equinox, or the horizon frame) and the unit
// direction c at the centre of the field.  Projected coordinates are
// radians in sky views, Gm in the orthographic view; a point that is not
// drawn gets X = Y = 15 (kOffField), outside every field.
#pragma once

#include <array>

namespace tarvo {

using ViewVector = std::array<double, 3>;

inline constexpr double kOffField = 15.0;

struct Projected {
    double x = kOffField;
    double y = kOffField;
    bool visible = false;
};

// Components of u in the frame of the view direction c.
struct ViewComponents {
    double depth = 0; // a, along c
    double east = 0;  // e
    double north = 0; // n
};

/*
** viewComponents: depth, east and north of u about the view direction c.
**
** Given:   u unit vector, c unit view direction (same frame)
** Returned: a = c_z u_z + t, e = (c_x u_y - c_y u_x) / d, n = d u_z - t c_z / d
**          with d = sqrt(c_x² + c_y²) and t = c_x u_x + c_y u_y
** Notes:   c on the pole (c_x = c_y = 0) takes c_x = 1e-9, so the north of
**          the field is then the direction of the x axis.
*/
ViewComponents viewComponents(const ViewVector& u, const ViewVector& c);

// ATN(y / x) + π s when x < 0, s π / 2 when x = 0 (s the sign of y, +1 at 0).
double viewAtan2(double y, double x);

/*
** projectPlainSky: the plain sky map.
**
** Given:   u, c; w half-width of the field (radians)
** Returned: X = -atan2(e, a), Y = atan(n / ρ), ρ = max(sqrt(a² + e²), 1e-10);
**          drawn when a > cos w - 0.1.  East is to the left, north up.
*/
Projected projectPlainSky(const ViewVector& u, const ViewVector& c, double halfWidth);

/*
** projectPolar: the polar (azimuthal equidistant) map about c.
**
** Given:   u, c; w, h the half-width and half-height of the field (radians)
** Returned: θ = arccos a (arcsin ρ when a ≥ 0.999999999), ρ = max(sqrt(n² + e²), 1e-10),
**          X = -θ e / ρ, Y = θ n / ρ; drawn when a > max(cos sqrt(w² + h²) - 1e-5, 0)
*/
Projected projectPolar(const ViewVector& u, const ViewVector& c, double halfWidth,
                       double halfHeight);

/*
** projectHorizontalPlain: the plain map of the horizontal view, with c the
** kept horizontal view direction (its depth axis is the zenith).
**
** Returned: X = -atan2(e, -n), Y = atan(a / sqrt(n² + e²)); drawn when -n > cos w - 0.1
*/
Projected projectHorizontalPlain(const ViewVector& u, const ViewVector& c, double halfWidth);

// The orthographic view: X = r_x - c_x, Y = r_y - c_y (r_z - c_z with the
// Y and Z axes switched); always drawn.
Projected projectOrthographic(const ViewVector& r, const ViewVector& offset, bool switchYZ);

// The canvas place of projected coordinates: x = round(cx + kx s X),
// y = round(cy - ky s Y).
struct PixelMapping {
    double centreX = 0, centreY = 0; // pixels
    double pixelsPerUnitX = 1, pixelsPerUnitY = 1;
    double scale = 1; // s, the step scale of the view
};
struct PixelPlace {
    int x = 0, y = 0;
};
PixelPlace toPixels(const PixelMapping& mapping, double x, double y);
// The mapping that shows the field ±halfWidth × ±halfHeight on a canvas of
// width × height pixels.
PixelMapping fieldMapping(int width, int height, double halfWidth, double halfHeight);

// Unit vector of a right ascension (or longitude) and declination (or latitude), radians.
ViewVector unitFromAngles(double longitude, double latitude);

} // namespace tarvo
