// Detection and refinement of angular extrema (see angular_approach.h).
#include "tarvo/events/angular_approach.h"

#include <cmath>

namespace tarvo {

namespace {

using Vec = std::array<long double, 3>;

long double dot(const Vec& u, const Vec& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}
Vec minus(const Vec& u, const Vec& w) {
    return {u[0] - w[0], u[1] - w[1], u[2] - w[2]};
}
Vec at(const std::vector<long double>& x, const std::vector<long double>& y,
       const std::vector<long double>& z, int i) {
    const auto k = static_cast<std::size_t>(i);
    return {x[k], y[k], z[k]};
}

constexpr long double kPassTolerance = 4e-7L;
constexpr long double kZeroRate = 1e-24L;
constexpr long double kWarningError = 1e-4L;
constexpr int kMaxPasses = 1024;

} // namespace

long double angularRate(const Vec& a, const Vec& va, const Vec& b, const Vec& vb) {
    const long double aa = dot(a, a), bb = dot(b, b);
    return aa * bb * (dot(va, b) + dot(a, vb)) - dot(a, b) * (bb * dot(a, va) + aa * dot(b, vb));
}

long double angularRateAt(const TableStates& s, int observer, int a, int b) {
    const Vec o = at(s.x, s.y, s.z, observer), vo = at(s.vx, s.vy, s.vz, observer);
    return angularRate(minus(at(s.x, s.y, s.z, a), o), minus(at(s.vx, s.vy, s.vz, a), vo),
                       minus(at(s.x, s.y, s.z, b), o), minus(at(s.vx, s.vy, s.vz, b), vo));
}

bool bracketsAngularExtremum(long double g0, long double g1, bool farthest) {
    return farthest ? (g0 < 0.0L && g1 >= 0.0L) : (g0 > 0.0L && g1 <= 0.0L);
}

AngularEvent refineAngular(const StepEnds& step, int observer, int a, int b, long double g0,
                           long double g1, bool farthest) {
    const long double sign = farthest ? -1.0L : 1.0L;
    long double lo = 0.0L, glo = g0, hi = 1.0L, ghi = g1, previous = 2.0L, p = 1.0L;
    AngularEvent ev;
    ev.a = a, ev.b = b;
    for (int pass = 1;; ++pass) {
        p = lo + (hi - lo) / (1.0L - ghi / glo);
        ev.observer = interpolateBody(step, observer, p, ev.interpolationError);
        ev.stateA = interpolateBody(step, a, p, ev.interpolationError);
        ev.stateB = interpolateBody(step, b, p, ev.interpolationError);
        const long double g =
            angularRate(minus(ev.stateA.r, ev.observer.r), minus(ev.stateA.v, ev.observer.v),
                        minus(ev.stateB.r, ev.observer.r), minus(ev.stateB.v, ev.observer.v));
        if (pass >= 3 && std::fabs(p - previous) < kPassTolerance) break;
        if (pass >= kMaxPasses) {
            ev.doubtful = true;
            break;
        }
        previous = p;
        if (sign * g < -kZeroRate)
            hi = p, ghi = g;
        else if (sign * g > kZeroRate)
            lo = p, glo = g;
        else
            break;
    }
    ev.p = p;
    ev.warning = ev.interpolationError > kWarningError;
    const Vec u = minus(ev.stateA.r, ev.observer.r), w = minus(ev.stateB.r, ev.observer.r);
    const Vec c{u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    ev.separation = std::atan2(std::sqrt(dot(c, c)), dot(u, w));
    ev.time = step.t0 + static_cast<long double>(step.direction) * p * step.h;
    return ev;
}

} // namespace tarvo
