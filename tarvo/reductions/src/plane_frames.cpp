// Reference planes of the elements page: the turn of an ecliptic state into
// a plane frame, and the plane records of an orbit and of the whole system.
#include "tarvo/reductions/page_elements.h"

#include <cmath>

namespace tarvo {

namespace {

template <typename Real>
void turnIntoPlane(Real& x, Real& y, Real& z, const PlaneRecord& p) {
    const Real node = x * p.cosNode + y * p.sinNode;
    const Real across = y * p.cosNode - x * p.sinNode;
    const Real inPlane = across * p.cosInclination + z * p.sinInclination;
    const Real normal = z * p.cosInclination - across * p.sinInclination;
    const double theta = std::atan2(p.sinNode, p.cosNode * p.cosInclination);
    const Real c = std::cos(theta), s = std::sin(theta);
    x = node * c - inPlane * s;
    y = node * s + inPlane * c;
    z = normal;
}

} // namespace

void toPlaneFrame(double& x, double& y, double& z, const PlaneRecord& plane) { turnIntoPlane(x, y, z, plane); }
void toPlaneFrame(long double& x, long double& y, long double& z, const PlaneRecord& plane) {
    turnIntoPlane(x, y, z, plane);
}

PlaneRecord planeOfAngularMomentum(const std::array<long double, 3>& h, double cosObliquity, double sinObliquity,
                                   int direction) {
    const long double hx = h[0];
    const long double hy = h[1] * cosObliquity + h[2] * sinObliquity;
    const long double hz = h[2] * cosObliquity - h[1] * sinObliquity;
    long double length = std::sqrt(hx * hx + hy * hy + hz * hz);
    PlaneRecord p;
    if (length == 0.0L) return p; // no motion: the ecliptic itself
    if (direction < 0) length = -length;
    p.cosInclination = static_cast<double>(hz / length);
    p.sinInclination = static_cast<double>(std::sqrt(hx * hx + hy * hy) / std::fabs(length));
    if (p.sinInclination > 0.0) {
        p.cosNode = static_cast<double>(-hy / length) / p.sinInclination;
        p.sinNode = static_cast<double>(hx / length) / p.sinInclination;
    }
    return p;
}

PlaneRecord orbitPlane(const std::array<long double, 3>& r, const std::array<long double, 3>& v,
                       double cosObliquity, double sinObliquity, int direction) {
    const std::array<long double, 3> h{r[1] * v[2] - r[2] * v[1], r[2] * v[0] - r[0] * v[2],
                                       r[0] * v[1] - r[1] * v[0]};
    return planeOfAngularMomentum(h, cosObliquity, sinObliquity, direction);
}

PlaneRecord invariablePlane(const BodyStates& b, int lastMajor, int earthIndex, int moonIndex,
                            double cosObliquity, double sinObliquity, int direction) {
    std::array<long double, 3> total{};
    for (int j = 0; j <= lastMajor; ++j) {
        const auto i = static_cast<std::size_t>(j);
        std::array<long double, 3> r{b.x[i], b.y[i], b.z[i]}, v{b.vx[i], b.vy[i], b.vz[i]};
        if (j == moonIndex && earthIndex >= 0) { // stored geocentric
            const auto e = static_cast<std::size_t>(earthIndex);
            r = {r[0] + b.x[e], r[1] + b.y[e], r[2] + b.z[e]};
            v = {v[0] + b.vx[e], v[1] + b.vy[e], v[2] + b.vz[e]};
        }
        total[0] += b.mass[i] * (r[1] * v[2] - r[2] * v[1]);
        total[1] += b.mass[i] * (r[2] * v[0] - r[0] * v[2]);
        total[2] += b.mass[i] * (r[0] * v[1] - r[1] * v[0]);
    }
    return planeOfAngularMomentum(total, cosObliquity, sinObliquity, direction);
}

} // namespace tarvo
