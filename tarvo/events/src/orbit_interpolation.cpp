// Two-body propagation and the interpolation built on it (see
// orbit_interpolation.h).
#include "tarvo/events/orbit_interpolation.h"

#include <cmath>

namespace tarvo {

namespace {

using Vec = std::array<long double, 3>;

long double dot(const Vec& u, const Vec& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}

// Stumpff's functions C(z), S(z), by their series near zero.
void stumpff(long double z, long double& c, long double& s) {
    if (std::fabs(z) < 1e-3L) {
        c = 0.5L - z / 24.0L + z * z / 720.0L - z * z * z / 40320.0L;
        s = 1.0L / 6.0L - z / 120.0L + z * z / 5040.0L - z * z * z / 362880.0L;
    } else if (z > 0.0L) {
        const long double q = std::sqrt(z);
        c = (1.0L - std::cos(q)) / z;
        s = (q - std::sin(q)) / (q * z);
    } else {
        const long double q = std::sqrt(-z);
        c = (std::cosh(q) - 1.0L) / -z;
        s = (std::sinh(q) - q) / (q * -z);
    }
}

Vec at(const std::vector<long double>& x, const std::vector<long double>& y,
       const std::vector<long double>& z, int i) {
    const auto k = static_cast<std::size_t>(i);
    return {x[k], y[k], z[k]};
}

} // namespace

TwoBodyState keplerPropagate(const Vec& r0, const Vec& v0, long double mu, long double dt) {
    TwoBodyState out;
    const long double r0n = std::sqrt(dot(r0, r0));
    if (r0n == 0.0L || mu <= 0.0L) {
        for (std::size_t k = 0; k < 3; ++k) out.r[k] = r0[k] + v0[k] * dt, out.v[k] = v0[k];
        return out;
    }
    const long double sqrtMu = std::sqrt(mu);
    const long double vr0 = dot(r0, v0) / r0n;
    const long double alpha = 2.0L / r0n - dot(v0, v0) / mu;
    long double chi = sqrtMu * std::fabs(alpha) * dt;
    if (alpha <= 0.0L || chi == 0.0L) chi = sqrtMu * dt / r0n;
    long double c = 0.5L, s = 1.0L / 6.0L;
    for (int pass = 0; pass < 50; ++pass) {
        const long double z = alpha * chi * chi;
        stumpff(z, c, s);
        const long double f = r0n * vr0 / sqrtMu * chi * chi * c +
                              (1.0L - alpha * r0n) * chi * chi * chi * s + r0n * chi - sqrtMu * dt;
        const long double df =
            r0n * vr0 / sqrtMu * chi * (1.0L - z * s) + (1.0L - alpha * r0n) * chi * chi * c + r0n;
        const long double step = f / df;
        chi -= step;
        if (std::fabs(step) <= 1e-18L * (1.0L + std::fabs(chi))) break;
    }
    const long double z = alpha * chi * chi;
    stumpff(z, c, s);
    const long double f = 1.0L - chi * chi / r0n * c;
    const long double g = dt - chi * chi * chi / sqrtMu * s;
    for (std::size_t k = 0; k < 3; ++k) out.r[k] = f * r0[k] + g * v0[k];
    const long double rn = std::sqrt(dot(out.r, out.r));
    const long double fDot = sqrtMu / (rn * r0n) * (z * s - 1.0L) * chi;
    const long double gDot = 1.0L - chi * chi / rn * c;
    const long double k3 = -mu / (rn * rn * rn);
    for (std::size_t k = 0; k < 3; ++k) {
        out.v[k] = fDot * r0[k] + gDot * v0[k];
        out.a[k] = k3 * out.r[k];
    }
    return out;
}

InterpolatedState interpolateAbout(const StepEnds& step, int i, int primary, long double mu,
                                   long double p) {
    const TableStates& s = *step.start;
    const TableStates& e = *step.end;
    Vec r0, v0, a0, r1, v1, a1;
    {
        const Vec ri = at(s.x, s.y, s.z, i), rp = at(s.x, s.y, s.z, primary);
        const Vec vi = at(s.vx, s.vy, s.vz, i), vp = at(s.vx, s.vy, s.vz, primary);
        const Vec ai = at(s.ax, s.ay, s.az, i), ap = at(s.ax, s.ay, s.az, primary);
        const Vec re = at(e.x, e.y, e.z, i), rq = at(e.x, e.y, e.z, primary);
        const Vec ve = at(e.vx, e.vy, e.vz, i), vq = at(e.vx, e.vy, e.vz, primary);
        const Vec ae = at(e.ax, e.ay, e.az, i), aq = at(e.ax, e.ay, e.az, primary);
        for (std::size_t k = 0; k < 3; ++k) {
            r0[k] = ri[k] - rp[k], v0[k] = vi[k] - vp[k], a0[k] = ai[k] - ap[k];
            r1[k] = re[k] - rq[k], v1[k] = ve[k] - vq[k], a1[k] = ae[k] - aq[k];
        }
    }
    const long double span = static_cast<long double>(step.direction) * step.h; // t1 - t0
    const TwoBodyState kEnd = keplerPropagate(r0, v0, mu, span);
    const TwoBodyState kNow = keplerPropagate(r0, v0, mu, p * span);
    const long double r0n = std::sqrt(dot(r0, r0));
    const long double k0 = -mu / (r0n * r0n * r0n);
    long double unused = 0.0L;
    InterpolatedState out = interpolateBody(step, primary, p, unused);
    const long double h2 = step.h * step.h;
    for (std::size_t k = 0; k < 3; ++k) {
        // The remainder is 0 with its rate at the start.
        const HermitePoint d =
            hermite5(p, 0.0L, r1[k] - kEnd.r[k], 0.0L, (v1[k] - kEnd.v[k]) * span,
                     (a0[k] - k0 * r0[k]) * h2, (a1[k] - kEnd.a[k]) * h2, unused);
        out.r[k] += kNow.r[k] + d.x;
        out.v[k] += kNow.v[k] + d.u / span;
    }
    return out;
}

} // namespace tarvo
