// The functions, the detection and the refinement of the min/max/zero
// search (see min_max_zero.h); the dialog and the files are in
// min_max_zero_search.cpp.
#include "tarvo/events/min_max_zero.h"

#include "tarvo/dynamics/physical_constants.h"

#include <cmath>

namespace tarvo {

namespace {

constexpr long double kPassTolerance = 1e-7L;
constexpr long double kZeroFunction = 1e-24L;
constexpr long double kNearEnd = 0.000005L;
constexpr long double kWidenedLow = -0.5L, kWidenedHigh = 1.5L;
constexpr int kMaxPasses = 1024;
constexpr long double kRoundingNoise = 1e-15L;

long double dot(const Vector3& u, const Vector3& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}

int signOf(long double x) {
    return (x > 0.0L) - (x < 0.0L);
}

} // namespace

long double extremumFunction(ExtremumMode mode, const Vector3& r, const Vector3& v) {
    // Values within rounding of zero are zero: a body on the pole, or
    // moving along its own direction, must not flicker in sign each step.
    const long double rr = dot(r, r), speed = std::sqrt(dot(v, v));
    long double g = 0.0L, scale = 0.0L;
    switch (mode) {
    case ExtremumMode::minMax:
        g = v[2] * rr - r[2] * dot(r, v);
        scale = speed * rr;
        break;
    case ExtremumMode::stationary:
        g = r[0] * v[1] - r[1] * v[0];
        scale = std::sqrt(rr) * speed;
        break;
    case ExtremumMode::zero:
        g = r[2];
        scale = std::sqrt(rr);
        break;
    }
    return std::fabs(g) <= kRoundingNoise * scale ? 0.0L : g;
}

bool bracketsEvent(ExtremumMode mode, long double g0, long double g1) {
    if (mode == ExtremumMode::zero) return g0 * g1 <= 0.0L && !(g0 == 0.0L && g1 == 0.0L);
    return signOf(g0) * signOf(g1) < 0;
}

ExtremumRoot refineExtremum(const std::function<long double(long double)>& g, long double g0,
                            long double g1) {
    ExtremumRoot root;
    if (g0 == 0.0L) return root; // the start is the root (p = 0)
    long double lo = 0.0L, glo = g0, hi = 1.0L, ghi = g1, previous = 2.0L;
    for (int pass = 1;; ++pass) {
        root.passes = pass;
        // Regula falsi; bisection should both ends read alike (no division by 0).
        const long double p = glo != ghi ? lo + (hi - lo) * glo / (glo - ghi) : (lo + hi) / 2.0L;
        root.p = p;
        const long double gp = g(p);
        if (pass >= 3 && std::fabs(p - previous) < kPassTolerance) break;
        if (std::fabs(gp) <= kZeroFunction) break;
        if (pass >= kMaxPasses) {
            root.doubtful = true;
            break;
        }
        previous = p;
        if (signOf(gp) == signOf(glo))
            lo = p, glo = gp;
        else
            hi = p, ghi = gp;
        // A root the light-time shift carries just past an end of the step:
        // the bracket grows, as long as it still brackets.
        if (p > 1.0L - kNearEnd && p <= 1.0L && hi <= 1.0L) {
            const long double g15 = g(kWidenedHigh);
            if (signOf(g15) != signOf(glo)) hi = kWidenedHigh, ghi = g15;
        } else if (p >= 0.0L && p < kNearEnd && lo >= 0.0L) {
            const long double gm = g(kWidenedLow);
            if (signOf(gm) != signOf(ghi)) lo = kWidenedLow, glo = gm;
        }
    }
    return root;
}

std::optional<ExtremumEvent> extremumStep(const SightGeometry& geometry, ExtremumMode mode,
                                          int body) {
    if (body == geometry.centre.body) return std::nullopt;
    const auto g = [&](long double p) {
        const InterpolatedState s = relativeState(geometry, body, p);
        return extremumFunction(mode, s.r, s.v);
    };
    const long double g0 = g(0.0L), g1 = g(1.0L);
    if (!bracketsEvent(mode, g0, g1)) return std::nullopt;
    // A zero exactly at the start was the end of the step before.
    if (g0 == 0.0L) return std::nullopt;
    const ExtremumRoot root = refineExtremum(g, g0, g1);
    ExtremumEvent ev;
    ev.body = body;
    ev.p = root.p;
    ev.g0 = g0;
    ev.doubtful = root.doubtful;
    const InterpolatedState s = relativeState(geometry, body, root.p);
    ev.r = s.r;
    ev.v = s.v;
    if (ev.r[0] == 0.0L && ev.r[1] == 0.0L && ev.r[2] == 0.0L) return std::nullopt;
    const StepEnds& step = *geometry.step;
    ev.time = step.t0 + static_cast<long double>(step.direction) * root.p * step.h;
    return ev;
}

} // namespace tarvo
