#include "fitra/observer_vector.h"

#include "tarvo/reductions/frames.h"

#include <cmath>

namespace fitra {

namespace {
constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kEarthRadiusGm = 0.006378137L;
constexpr long double kEarthE2 = 0.006694378L;
constexpr long double kOmega = 6.3003881L;    // rad/day, sidereal rotation
constexpr long double kOmega2 = 39.69489021L; // ω²
} // namespace

long double greenwichMeanSiderealTime(long double t) {
    // Degrees; the linear term is split so the whole turns drop out exactly.
    const long double days = std::floor(t);
    const long double fraction = t - days;
    long double deg = 280.46061837L + 360.98564736629L * fraction + 0.98564736629L * days +
                      2.907879e-13L * t * t - 5.3016e-22L * t * t * t;
    deg = std::fmod(deg, 360.0L);
    if (deg < 0) deg += 360.0L;
    return deg * kPi / 180.0L;
}

ObserverVector observerVector(long double tUT, long double h, int direction, bool apparent,
                              long double s1, long double s2, long double s3, bool geodetic,
                              const tarvo::FrameState& frame) {
    ObserverVector v;
    long double theta = greenwichMeanSiderealTime(tUT);
    if (apparent) theta += frame.nutation.longitude * frame.obliquity.cos;
    long double x = 0, y = 0, z = 0;
    if (!geodetic && std::fabs(s1) >= 1.0L) {
        v.position = {s1 - 1000.0L, s2, s3};
        tarvo::rotateToDate(frame, v.position);
        return v;
    }
    if (!geodetic) {
        theta += s3;
        x = kEarthRadiusGm * s2 * std::cos(theta);
        y = kEarthRadiusGm * s2 * std::sin(theta);
        z = kEarthRadiusGm * s1;
    } else {
        if (s1 == 0 && s2 == 0) return v; // the geocentre
        theta += s2;
        const long double w = std::sqrt(1.0L - kEarthE2 * std::sin(s1) * std::sin(s1));
        x = std::cos(theta) * std::cos(s1) * (kEarthRadiusGm / w + s3);
        y = std::sin(theta) * std::cos(s1) * (kEarthRadiusGm / w + s3);
        z = std::sin(s1) * (kEarthRadiusGm * (1.0L - kEarthE2) / w + s3);
    }
    v.position = {x, y, z};
    v.velocity = {-y * direction * kOmega * h, x * direction * kOmega * h, 0.0L};
    v.acceleration = {-x * kOmega2 * h * h, -y * kOmega2 * h * h, 0.0L};
    return v;
}

} // namespace fitra
