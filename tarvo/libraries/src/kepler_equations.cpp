#include "kepler_equations.h"

#include <cmath>

namespace tarvo {
namespace {

constexpr long double pi = 3.14159265358979323846264338327950288L;

// Root x >= 0 of g(x) = target for an increasing g with g(0) = 0, by Newton's
// method inside a bracket [lo, hi]; a step that leaves the bracket becomes a
// bisection.
template <class ValueAndSlope>
AnomalySolution increasingRoot(ValueAndSlope g, long double target, long double start, long double tolerance,
                               int maximumRounds)
{
    AnomalySolution solution;
    if (target == 0) {
        solution.converged = true;
        return solution;
    }
    long double lo = 0, hi = start > 0 ? start : 1;
    long double value = 0, slope = 0;
    for (g(hi, value, slope); value < target && std::isfinite(value); g(hi, value, slope)) {
        lo = hi;
        hi *= 2;
    }
    long double x = start > 0 ? start : hi;
    while (solution.rounds < maximumRounds) {
        ++solution.rounds;
        g(x, value, slope);
        const long double f = value - target;
        if (f < 0) lo = x;
        else hi = x;
        const long double newton = slope > 0 && std::isfinite(f) ? x - f / slope : (lo + hi) / 2;
        const bool inside = newton >= lo && newton <= hi;
        const long double next = inside ? newton : (lo + hi) / 2;
        const long double change = next - x;
        x = next;
        if (inside && std::fabs(change) < tolerance * std::fmax(1.0L, std::fabs(x))) {
            solution.converged = true;
            break;
        }
    }
    solution.anomaly = x;
    return solution;
}

}  // namespace

AnomalySolution solveEllipticKepler(long double e, long double meanAnomaly)
{
    const long double m = meanAnomaly - 2 * pi * std::floor((meanAnomaly + pi) / (2 * pi));
    AnomalySolution solution;
    long double E = e > 0.8L ? m + (m < 0 ? -0.85L : 0.85L) * e : m;
    while (solution.rounds < 1000) {
        ++solution.rounds;
        const long double s = std::sin(E), c = std::cos(E);
        const long double f = E - e * s - m;
        const long double f1 = 1 - e * c;
        const long double f2 = e * s;
        const long double step = f / (f1 - 0.5L * f * f2 / f1);
        E -= step;
        if (std::fabs(step) < 1e-16L) {
            solution.converged = true;
            break;
        }
    }
    solution.anomaly = E;
    return solution;
}

AnomalySolution solveBarker(long double q, long double meanAnomaly)
{
    auto g = [q](long double s, long double& value, long double& slope) {
        value = s * s * s / 6 + q * s;
        slope = s * s / 2 + q;
    };
    AnomalySolution solution = increasingRoot(g, std::fabs(meanAnomaly), std::fabs(meanAnomaly), 2e-17L, 50000);
    if (meanAnomaly < 0) solution.anomaly = -solution.anomaly;
    return solution;
}

AnomalySolution solveHyperbolicKepler(long double e, long double meanAnomaly)
{
    auto g = [e](long double h, long double& value, long double& slope) {
        value = e * std::sinh(h) - h;
        slope = e * std::cosh(h) - 1;
    };
    const long double target = std::fabs(meanAnomaly);
    AnomalySolution solution = increasingRoot(g, target, std::asinh(target / e), 1e-14L, 50000);
    if (meanAnomaly < 0) solution.anomaly = -solution.anomaly;
    return solution;
}

}  // namespace tarvo
