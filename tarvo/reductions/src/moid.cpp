// Minimum orbit intersection distance between a body's orbit and a reference
// orbit lying in the reference plane.
#include "tarvo/reductions/page_elements.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace tarvo {

namespace {

using V3 = std::array<double, 3>;
constexpr double kRadians = std::numbers::pi / 180.0;
constexpr int kGridSamples = 72;    // 5° steps in both anomalies
constexpr int kMaximumStarts = 8;   // grid minima refined
constexpr int kPassBudget = 1000;   // shared by all refinements
constexpr double kInfinity = std::numeric_limits<double>::infinity();

double dot(const V3& a, const V3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// A conic in space: semi-latus rectum, eccentricity and the perifocal axes.
struct Conic {
    double p = 0.0, e = 0.0;
    V3 towardPerihelion{}, inPlaneNormal{};
};

Conic makeConic(const MoidOrbit& o, bool inReferencePlane) {
    Conic c;
    c.e = o.eccentricity;
    c.p = o.perihelionDistance * (1.0 + o.eccentricity);
    const double w = o.argumentOfPerihelion * kRadians, node = o.ascendingNode * kRadians;
    const double inc = inReferencePlane ? 0.0 : o.inclination * kRadians;
    const double cw = std::cos(w), sw = std::sin(w), cn = std::cos(node), sn = std::sin(node);
    const double ci = std::cos(inc), si = std::sin(inc);
    c.towardPerihelion = {cw * cn - sw * sn * ci, cw * sn + sw * cn * ci, sw * si};
    c.inPlaneNormal = {-sw * cn - cw * sn * ci, -sw * sn + cw * cn * ci, cw * si};
    return c;
}

// A point of the conic at true anomaly ν and its first two derivatives.
struct CurvePoint {
    bool valid = false; // false beyond the asymptotes of a hyperbola
    V3 x{}, d1{}, d2{};
};

CurvePoint pointAt(const Conic& c, double nu) {
    CurvePoint pt;
    const double cn = std::cos(nu), sn = std::sin(nu);
    const double w = 1.0 + c.e * cn;
    if (!(w > 1e-12) || c.p <= 0.0) return pt;
    const double r = c.p / w;
    const double r1 = c.e * sn * r * r / c.p;
    const double r2 = (2.0 * r * r1 * c.e * sn + r * r * c.e * cn) / c.p;
    for (int k = 0; k < 3; ++k) {
        const double u = cn * c.towardPerihelion[k] + sn * c.inPlaneNormal[k];
        const double u1 = -sn * c.towardPerihelion[k] + cn * c.inPlaneNormal[k];
        pt.x[k] = r * u;
        pt.d1[k] = r1 * u + r * u1;
        pt.d2[k] = r2 * u + 2.0 * r1 * u1 - r * u;
    }
    pt.valid = true;
    return pt;
}

double squaredDistance(const CurvePoint& a, const CurvePoint& b) {
    if (!a.valid || !b.valid) return kInfinity;
    const V3 d{a.x[0] - b.x[0], a.x[1] - b.x[1], a.x[2] - b.x[2]};
    return dot(d, d);
}

struct Refined {
    double squared = kInfinity;
    double nuReference = 0.0;
};

// Damped Newton descent on D²(ν, ν') from one start; `passes` is shared.
Refined refine(const Conic& body, const Conic& reference, double nu, double nuRef, int& passes, bool& exhausted) {
    CurvePoint a = pointAt(body, nu), b = pointAt(reference, nuRef);
    double f = squaredDistance(a, b);
    while (true) {
        if (passes >= kPassBudget) {
            exhausted = true;
            break;
        }
        ++passes;
        const V3 d{a.x[0] - b.x[0], a.x[1] - b.x[1], a.x[2] - b.x[2]};
        const double g1 = 2.0 * dot(d, a.d1), g2 = -2.0 * dot(d, b.d1);
        double h11 = 2.0 * (dot(a.d1, a.d1) + dot(d, a.d2));
        double h22 = 2.0 * (dot(b.d1, b.d1) - dot(d, b.d2));
        const double h12 = -2.0 * dot(a.d1, b.d1);
        if (g1 == 0.0 && g2 == 0.0) break;
        // Levenberg damping where the Hessian is not positive definite
        // (saddles, and the flat valleys of coplanar circles).
        const double trace = h11 + h22;
        const double root = std::sqrt(std::max(0.0, 0.25 * (h11 - h22) * (h11 - h22) + h12 * h12));
        const double smallest = 0.5 * trace - root;
        const double scale = std::fabs(h11) + std::fabs(h22) + std::fabs(h12) + 1e-300;
        if (!(smallest > 1e-12 * scale)) {
            const double lambda = -smallest + 1e-6 * scale;
            h11 += lambda;
            h22 += lambda;
        }
        const double det = h11 * h22 - h12 * h12;
        double s1 = (h22 * g1 - h12 * g2) / det, s2 = (h11 * g2 - h12 * g1) / det;
        if (!std::isfinite(s1) || !std::isfinite(s2)) break;
        const double largest = std::max(std::fabs(s1), std::fabs(s2));
        if (largest > 0.28) { // about 16°
            s1 *= 0.28 / largest;
            s2 *= 0.28 / largest;
        }
        bool accepted = false;
        for (int halving = 0; halving < 60; ++halving) {
            const CurvePoint na = pointAt(body, nu - s1), nb = pointAt(reference, nuRef - s2);
            const double nf = squaredDistance(na, nb);
            if (nf < f) {
                nu -= s1;
                nuRef -= s2;
                a = na;
                b = nb;
                f = nf;
                accepted = true;
                break;
            }
            s1 *= 0.5;
            s2 *= 0.5;
        }
        if (!accepted || std::max(std::fabs(s1), std::fabs(s2)) < 1e-13) break;
    }
    return {f, nuRef};
}

} // namespace

MoidOrbit moidOrbit(const OsculatingElements& e) {
    MoidOrbit o;
    o.eccentricity = static_cast<double>(e.eccentricity);
    o.inclination = static_cast<double>(e.inclination);
    o.argumentOfPerihelion = static_cast<double>(e.argumentOfPerihelion);
    o.ascendingNode = static_cast<double>(e.ascendingNode);
    o.semiMajorAxis = static_cast<double>(e.semiMajorAxis);
    o.perihelionDistance = static_cast<double>(e.perihelionDistance);
    return o;
}

MoidResult moid(const MoidOrbit& bodyOrbit, const MoidOrbit& referenceOrbit) {
    const Conic body = makeConic(bodyOrbit, false);
    const Conic reference = makeConic(referenceOrbit, true);
    // Grid of D² over both anomalies.
    std::vector<CurvePoint> bodyPoints(kGridSamples), referencePoints(kGridSamples);
    for (int j = 0; j < kGridSamples; ++j) {
        const double nu = 2.0 * std::numbers::pi * j / kGridSamples;
        bodyPoints[j] = pointAt(body, nu);
        referencePoints[j] = pointAt(reference, nu);
    }
    std::vector<double> grid(kGridSamples * kGridSamples);
    const auto at = [&](int j, int k) -> double& {
        return grid[((j + kGridSamples) % kGridSamples) * kGridSamples + (k + kGridSamples) % kGridSamples];
    };
    for (int j = 0; j < kGridSamples; ++j)
        for (int k = 0; k < kGridSamples; ++k) at(j, k) = squaredDistance(bodyPoints[j], referencePoints[k]);
    struct Start {
        double f;
        int j, k;
    };
    std::vector<Start> starts;
    for (int j = 0; j < kGridSamples; ++j)
        for (int k = 0; k < kGridSamples; ++k) {
            const double f = at(j, k);
            if (!std::isfinite(f)) continue;
            bool minimum = true;
            for (int dj = -1; dj <= 1 && minimum; ++dj)
                for (int dk = -1; dk <= 1; ++dk)
                    if ((dj || dk) && at(j + dj, k + dk) < f) {
                        minimum = false;
                        break;
                    }
            if (minimum) starts.push_back({f, j, k});
        }
    std::stable_sort(starts.begin(), starts.end(), [](const Start& a, const Start& b) { return a.f < b.f; });
    if (starts.size() > kMaximumStarts) starts.resize(kMaximumStarts);

    MoidResult result;
    Refined best;
    int passes = 0;
    bool exhausted = false;
    for (const Start& s : starts) {
        bool thisExhausted = false;
        const Refined r = refine(body, reference, 2.0 * std::numbers::pi * s.j / kGridSamples,
                                 2.0 * std::numbers::pi * s.k / kGridSamples, passes, thisExhausted);
        exhausted = exhausted || thisExhausted;
        if (r.squared < best.squared) best = r;
    }
    if (!std::isfinite(best.squared)) { // no finite point at all (degenerate input)
        result.distance = 0.0;
        result.notConverged = true;
        return result;
    }
    result.distance = std::sqrt(best.squared);
    double longitude = best.nuReference / kRadians + referenceOrbit.argumentOfPerihelion + referenceOrbit.ascendingNode;
    longitude -= 360.0 * std::floor(longitude / 360.0);
    result.longitudeDeg = longitude >= 360.0 ? 0.0 : longitude;
    result.notConverged = exhausted;
    return result;
}

} // namespace tarvo
