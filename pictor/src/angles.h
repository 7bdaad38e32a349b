// The library-wide angle convention: degrees (or radians), 0 pointing to
// the left (9 o'clock) and growing clockwise on the screen, with options
// that move the zero direction and reverse the sense.
#pragma once

namespace pictor {

struct AngleOptions {
    bool radians = false;          // option 10
    int zeroOffsetDegrees = 0;     // option 11: 0 (9 o'clock), 90 (12), 180 (3), 270 (6)
    bool counterClockwise = false; // option 12
};

AngleOptions& angleOptions();

// The angle argument in degrees (converted from radians when that option is on).
double angleInDegrees(double angle);

// The direction an angle argument names, in degrees 0 <= a < 360 of the
// default convention: converted to degrees, turned by the zero direction,
// reduced modulo 360 and, with reversed sense, mirrored to 360 - a.
double normalisedDirection(double angle);

// The same for an angle already in degrees.
double directionOfDegrees(double degrees);

// Offset (pixels, x then y) of length L along direction a (degrees, default
// convention): (-cos a * L, -sin a * L).
struct Offset {
    double dx, dy;
};
Offset directionOffset(double directionDegrees, double length);

} // namespace pictor
