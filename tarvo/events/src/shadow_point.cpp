// The ground point of a shadow axis (see shadow_point.h).
#include "tarvo/events/shadow_point.h"

#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo {

namespace {

using Vec = std::array<long double, 3>;
constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kDegree = 180.0L / kPi;
constexpr long double kKmPerGm = 1e6L;

long double dot(const Vec& u, const Vec& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}
long double norm(const Vec& u) {
    return std::sqrt(dot(u, u));
}
Vec minus(const Vec& u, const Vec& w) {
    return {u[0] - w[0], u[1] - w[1], u[2] - w[2]};
}

// An angle in degrees brought into (-180, 180].
long double wrapDegrees(long double a) {
    a = std::remainder(a, 360.0L);
    return a <= -180.0L ? a + 360.0L : a;
}

} // namespace

ShadowPoint shadowPoint(const ShadowInput& in) {
    ShadowPoint out;
    const Vec& P = in.occulting;
    Vec s;
    if (in.star) {
        s = in.starDirection;
    } else {
        s = minus(in.occulted, P);
    }
    const long double length = norm(s);
    if (!(length > 0.0L)) return out;
    for (auto& c : s) c /= length;

    // The line P + lambda s against x^2 + y^2 + (1 + k) z^2 = R^2.
    const long double k = kEarthShapeK, R = in.earthRadius;
    const long double A = 1.0L + k * s[2] * s[2];
    const long double B = dot(P, s) + k * P[2] * s[2];
    const long double C = dot(P, P) + k * P[2] * P[2] - R * R;
    const long double D = B * B - A * C;
    if (!(D >= 0.0L)) return out;
    // The root nearer to P, without cancellation: C / q, q = -(B + sign(B) sqrt D).
    const long double q = -(B + std::copysign(std::sqrt(D), B));
    const long double lambda = q != 0.0L ? C / q : 0.0L;
    const Vec X{P[0] + lambda * s[0], P[1] + lambda * s[1], P[2] + lambda * s[2]};
    out.exists = true;
    out.ground = X;

    // Geodetic latitude from the geocentric one; longitude from the right
    // ascension of the point and the apparent sidereal time.
    const long double rho = std::hypot(X[0], X[1]);
    const long double phi = std::atan2(X[2] * (1.0L + k), rho);
    const long double theta = apparentSiderealTime(in.ut, 0.0L, in.equationOfEquinoxes);
    const long double lonRad = std::atan2(X[1], X[0]) - theta;
    out.longitude = wrapDegrees(lonRad * kDegree);
    out.latitude = phi * kDegree;

    // Radius of the shadow at the ground: the umbral cone through the limbs.
    long double r = in.radiusOcculting;
    if (!in.star) {
        const long double dO = norm(minus(X, P)), dT = norm(minus(X, in.occulted));
        r = (in.radiusOcculting * dT - in.radiusOcculted * dO) / (dT - dO);
    }
    const long double arc = R * std::asin(std::clamp(r / R, -1.0L, 1.0L)); // Gm along the ground
    out.wmin = 2.0L * arc * kKmPerGm;

    // The occulted object seen from the point.
    const long double dec = std::asin(std::clamp(s[2], -1.0L, 1.0L));
    const long double ra = std::atan2(s[1], s[0]);
    const long double H = lonRad + theta - ra;
    const long double sinH = std::sin(H), cosH = std::cos(H);
    const long double sinh = std::clamp(
        std::cos(dec) * std::cos(phi) * cosH + std::sin(dec) * std::sin(phi), -1.0L, 1.0L);
    const long double cosh = std::sqrt(1.0L - sinh * sinh);
    const long double h = std::atan2(sinh, cosh);
    out.sinAltitude = sinh;
    out.altitude = h * kDegree;
    // From the south through the west: west (H = +90 degrees) is 90.
    long double az = std::atan2(std::cos(dec) * sinH, std::sin(phi) * std::cos(dec) * cosH -
                                                          std::cos(phi) * std::sin(dec)) *
                     kDegree;
    if (az < 0.0L) az += 360.0L;
    out.azimuth = az;

    // The shadow stretched along the ground by the obliquity of the axis.
    const long double u1 = std::clamp(cosh - arc / R, -1.0L, 1.0L);
    const long double u2 = std::clamp(cosh + arc / R, -1.0L, 1.0L);
    out.hwMin = (std::acos(u1) - h) * R * kKmPerGm;
    out.hwMax = (h - std::acos(u2)) * R * kKmPerGm;

    // Uncertainty of the track.
    if (in.star) {
        out.hwErr =
            0.005L * std::exp2(in.starUncertaintyCode / 10.0L) * norm(P) + in.sigmaOccultingKm;
    } else {
        const long double dP = norm(P), dT = norm(in.occulted);
        const bool occultingNearer = dP <= dT;
        const long double sN = occultingNearer ? in.sigmaOccultingKm : in.sigmaOccultedKm;
        const long double sF = occultingNearer ? in.sigmaOccultedKm : in.sigmaOccultingKm;
        const long double dN = occultingNearer ? dP : dT;
        out.hwErr = std::sqrt(sN * sN + sF * sF) * dN / norm(minus(in.occulted, P)) + sN;
    }
    return out;
}

} // namespace tarvo
