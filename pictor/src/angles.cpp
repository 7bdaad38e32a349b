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

namespace {
// Cosine of an angle in degrees, exact where it is 0, +-1/2 or +-1, so that
// lines along the axes stay straight and halves round to even as stated.
double cosDegrees(double degrees) {
    const double r = std::fmod(std::fabs(degrees), 360.0);
    if (r == 0.0) return 1.0;
    if (r == 60.0 || r == 300.0) return 0.5;
    if (r == 90.0 || r == 270.0) return 0.0;
    if (r == 120.0 || r == 240.0) return -0.5;
    if (r == 180.0) return -1.0;
    return std::cos(degrees * M_PI / 180.0);
}
} // namespace

Offset directionOffset(double directionDegrees, double length) {
    return {-cosDegrees(directionDegrees) * length, -cosDegrees(directionDegrees - 90.0) * length};
}

} // namespace pictor
