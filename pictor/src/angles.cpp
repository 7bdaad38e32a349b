#include "angles.h"

#include <cmath>

namespace pictor {

AngleOptions& angleOptions() {
    static AngleOptions options;
    return options;
}

double angleInDegrees(double angle) {
    return angleOptions().radians ? angle * 180.0 / M_PI : angle;
}

double normalisedDirection(double angle) {
    return directionOfDegrees(angleInDegrees(angle));
}

double directionOfDegrees(double degrees) {
    const AngleOptions& o = angleOptions();
    double a = std::fmod(degrees, 360.0);
    if (!std::isfinite(a)) return 0.0;
    a = std::fmod(a + o.zeroOffsetDegrees, 360.0);
    if (a < 0) a += 360.0;
    if (o.counterClockwise && a != 0.0) a = 360.0 - a;
    if (a >= 360.0) a -= 360.0;
    return a;
}

Offset directionOffset(double directionDegrees, double length) {
    // Exact values on the axes, so that lines along them stay straight.
    const double r = directionDegrees * M_PI / 180.0;
    double c = std::cos(r), s = std::sin(r);
    if (directionDegrees == 90.0 || directionDegrees == 270.0) c = 0.0;
    if (directionDegrees == 0.0 || directionDegrees == 180.0) s = 0.0;
    return {-c * length, -s * length};
}

} // namespace pictor
