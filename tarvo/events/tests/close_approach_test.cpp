// The pieces of the close-approach search against motions whose answers
// are known: straight lines, a two-body hyperbola, and the exhaustive
// search over every pair of a random swarm.
#include "tarvo/events/angular_approach.h"
#include "tarvo/events/close_approach.h"

#include "tarvo/dynamics/physical_constants.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <set>

namespace {

using tarvo::StepEnds;
using tarvo::TableStates;

// Fills body i of `s` with position r, velocity v and acceleration a.
void put(TableStates& s, int i, std::array<long double, 3> r, std::array<long double, 3> v,
         std::array<long double, 3> a = {0, 0, 0}) {
    const auto k = static_cast<std::size_t>(i);
    s.x[k] = r[0], s.y[k] = r[1], s.z[k] = r[2];
    s.vx[k] = v[0], s.vy[k] = v[1], s.vz[k] = v[2];
    s.ax[k] = a[0], s.ay[k] = a[1], s.az[k] = a[2];
}

StepEnds stepOf(const TableStates& a, const TableStates& b, long double t0, long double h,
                int bodies) {
    StepEnds s;
    s.t0 = t0, s.t1 = t0 + h, s.h = h, s.bodyCount = bodies;
    s.start = &a, s.end = &b;
    return s;
}

TEST(CloseApproachRefinement, StraightLinesMeetAtTheirClosestInstant) {
    // Body 2 passes body 1 at 0.37 Gm, closest at t* = 10.2837 days.
    const long double h = 2.0L, t0 = 9.5L, tStar = 10.2837L, miss = 0.37L;
    const std::array<long double, 3> v1{0.3L, -0.1L, 0.05L}, vRel{1.1L, 0.4L, 0.0L};
    // A miss vector perpendicular to the relative velocity.
    const std::array<long double, 3> m{-0.4L * miss / std::sqrt(1.37L),
                                       1.1L * miss / std::sqrt(1.37L), 0.0L};
    auto at = [&](long double t, TableStates& s) {
        s.resize(3);
        put(s, 0, {0, 0, 0}, {0, 0, 0});
        put(s, 1, {v1[0] * t, v1[1] * t, v1[2] * t}, v1);
        put(s, 2,
            {v1[0] * t + m[0] + vRel[0] * (t - tStar), v1[1] * t + m[1] + vRel[1] * (t - tStar),
             v1[2] * t + m[2]},
            {v1[0] + vRel[0], v1[1] + vRel[1], v1[2]});
    };
    TableStates a, b;
    at(t0, a);
    at(t0 + h, b);
    const StepEnds step = stepOf(a, b, t0, h, 2);
    const long double f0 = tarvo::pairFunction(a, 1, 2), f1 = tarvo::pairFunction(b, 1, 2);
    ASSERT_TRUE(tarvo::bracketsExtremum(f0, f1, false));
    EXPECT_FALSE(tarvo::bracketsExtremum(f0, f1, true)) << "a minimum is no maximum";
    const auto ev = tarvo::refineSpatial(step, 1, 2, f0, f1, false);
    EXPECT_NEAR(static_cast<double>(ev.time - tStar), 0.0, 1e-7 * static_cast<double>(h));
    EXPECT_NEAR(static_cast<double>(ev.distance / miss - 1.0L), 0.0, 1e-12);
    EXPECT_FALSE(ev.warning);
    EXPECT_FALSE(ev.doubtful);
}

TEST(CloseApproachRefinement, ZeroOnAStepBoundaryIsFoundOnce) {
    // f = 0 at the end of one step and at the start of the next.
    EXPECT_TRUE(tarvo::bracketsExtremum(-1.0L, 0.0L, false));
    EXPECT_FALSE(tarvo::bracketsExtremum(0.0L, 1.0L, false));
    EXPECT_TRUE(tarvo::bracketsExtremum(1.0L, 0.0L, true));
    EXPECT_FALSE(tarvo::bracketsExtremum(0.0L, -1.0L, true));
    EXPECT_FALSE(tarvo::bracketsExtremum(0.0L, 0.0L, false));
    EXPECT_FALSE(tarvo::bracketsExtremum(0.0L, 0.0L, true));
}

TEST(CloseApproachRefinement, FarthestModeFindsTheMaximumOfACircle) {
    // Body 2 on a circle of radius 2 about body 1 offset by 1: the distance
    // is largest at angle 0, at t = 0.
    const long double w = 0.5L, h = 0.2L, t0 = -0.07L;
    auto at = [&](long double t, TableStates& s) {
        s.resize(3);
        put(s, 0, {0, 0, 0}, {0, 0, 0});
        put(s, 1, {-1, 0, 0}, {0, 0, 0});
        const long double c = std::cos(w * t), sn = std::sin(w * t);
        put(s, 2, {2 * c, 2 * sn, 0}, {-2 * w * sn, 2 * w * c, 0},
            {-2 * w * w * c, -2 * w * w * sn, 0});
    };
    TableStates a, b;
    at(t0, a);
    at(t0 + h, b);
    const long double f0 = tarvo::pairFunction(a, 1, 2), f1 = tarvo::pairFunction(b, 1, 2);
    ASSERT_TRUE(tarvo::bracketsExtremum(f0, f1, true));
    const auto ev = tarvo::refineSpatial(stepOf(a, b, t0, h, 2), 1, 2, f0, f1, true);
    EXPECT_NEAR(static_cast<double>(ev.time), 0.0, 1e-6);
    EXPECT_NEAR(static_cast<double>(ev.distance), 3.0, 1e-9);
}

// A two-body hyperbola of eccentricity e and semi-axis a about the
// barycentre at the origin, from the hyperbolic Kepler equation.
struct Hyperbola {
    long double m1, m2, a, e;
    long double mu() const { return tarvo::gravitationalConstant * (m1 + m2); }
    void at(long double t, TableStates& s) const {
        const long double n = std::sqrt(mu() / (a * a * a));
        long double F = std::asinh(n * t / e);
        for (int k = 0; k < 60; ++k)
            F -= (e * std::sinh(F) - F - n * t) / (e * std::cosh(F) - 1.0L);
        const long double b = a * std::sqrt(e * e - 1.0L);
        const long double Fdot = n / (e * std::cosh(F) - 1.0L);
        const std::array<long double, 3> r{a * (e - std::cosh(F)), b * std::sinh(F), 0};
        const std::array<long double, 3> v{-a * std::sinh(F) * Fdot, b * std::cosh(F) * Fdot, 0};
        const long double d = std::hypot(r[0], r[1]), k3 = mu() / (d * d * d);
        const long double f1 = -m2 / (m1 + m2), f2 = m1 / (m1 + m2);
        s.resize(3);
        // A Sun far away, at rest, for the heliocentric terms.
        put(s, 0, {1e5L, 0, 0}, {0, 0, 0});
        put(s, 1, {f1 * r[0], f1 * r[1], 0}, {f1 * v[0], f1 * v[1], 0},
            {f1 * -k3 * r[0], f1 * -k3 * r[1], 0});
        put(s, 2, {f2 * r[0], f2 * r[1], 0}, {f2 * v[0], f2 * v[1], 0},
            {f2 * -k3 * r[0], f2 * -k3 * r[1], 0});
    }
};

TEST(EncounterQuantities, HyperbolaDeflectionAndEccentricity) {
    for (long double e : {1.2L, 1.5L, 4.0L}) {
        SCOPED_TRACE(static_cast<double>(e));
        const Hyperbola orbit{5.97L, 0.07L, 0.01L, e};
        TableStates a, b;
        // A step short beside the passage time at the pericentre q / v.
        const long double q = orbit.a * (e - 1.0L);
        const long double h = 0.005L * q / std::sqrt(orbit.mu() * (e + 1.0L) / q), t0 = -0.4L * h;
        orbit.at(t0, a);
        orbit.at(t0 + h, b);
        const StepEnds step = stepOf(a, b, t0, h, 2);
        const long double f0 = tarvo::pairFunction(a, 1, 2), f1 = tarvo::pairFunction(b, 1, 2);
        ASSERT_TRUE(tarvo::bracketsExtremum(f0, f1, false));
        const auto ev = tarvo::refineSpatial(step, 1, 2, f0, f1, false);
        EXPECT_NEAR(static_cast<double>(ev.distance / q - 1.0L), 0.0, 1e-9);
        long double unused = 0;
        const auto sun = tarvo::interpolateBody(step, 0, ev.p, unused);
        const auto enc =
            tarvo::encounterQuantities(orbit.m1, orbit.m2, 1.9891e6L, ev.stateA, ev.stateB, sun);
        EXPECT_FALSE(enc.bound);
        const long double vInf = std::sqrt(orbit.mu() / orbit.a);
        EXPECT_NEAR(static_cast<double>(enc.vInfinity / vInf - 1.0L), 0.0, 1e-9);
        const long double eFromEncounter =
            1.0L + ev.distance * enc.vInfinity * enc.vInfinity / orbit.mu();
        EXPECT_NEAR(static_cast<double>(eFromEncounter / e - 1.0L), 0.0, 1e-9);
        const long double deflection =
            2.0L * std::asin(1.0L / e) * 648000.0L / std::numbers::pi_v<long double>;
        EXPECT_NEAR(static_cast<double>(enc.q3 / deflection - 1.0L), 0.0, 1e-9);
    }
}

TEST(EncounterQuantities, BoundPairIsFlaggedWithoutNaN) {
    tarvo::InterpolatedState earth, moon, sun;
    earth.r = {149.6L, 0, 0}, earth.v = {0, 2.57L, 0};
    moon.r = {149.6L + 0.384L, 0, 0}, moon.v = {0, 2.57L + 0.0885L, 0};
    sun.r = {0, 0, 0};
    const auto enc = tarvo::encounterQuantities(5.97L, 0.0735L, 1.9891e6L, earth, moon, sun);
    EXPECT_TRUE(enc.bound);
    for (long double v : {enc.vInfinity, enc.q1, enc.q2, enc.q3})
        EXPECT_TRUE(std::isfinite(static_cast<double>(v)));
    EXPECT_EQ(enc.q1, 0.0L);
    EXPECT_EQ(enc.q3, 648000.0L);
}

// A swarm on parabolic paths (constant accelerations): the pairs whose
// refined minimum lies within Dmax, by the sweep and by every pair.
TEST(CandidatePairs, SweepFindsEveryPairTheExhaustiveSearchFinds) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> position(-20, 20), velocity(-1.5, 1.5),
        acceleration(-0.2, 0.2);
    const int n = 400;
    const long double h = 1.0L, dmax = 1.5L;
    int found = 0;
    for (int trial = 0; trial < 4; ++trial) {
        TableStates a, b;
        a.resize(n + 1), b.resize(n + 1);
        for (int i = 0; i <= n; ++i) {
            std::array<long double, 3> r, v, acc, r1, v1;
            for (int c = 0; c < 3; ++c) {
                r[c] = position(random), v[c] = velocity(random), acc[c] = acceleration(random);
                r1[c] = r[c] + v[c] * h + 0.5L * acc[c] * h * h;
                v1[c] = v[c] + acc[c] * h;
            }
            put(a, i, r, v, acc);
            put(b, i, r1, v1, acc);
        }
        const StepEnds step = stepOf(a, b, 0, h, n);
        auto events = [&](const std::vector<std::pair<int, int>>& pairs) {
            std::set<std::pair<int, int>> out;
            for (auto [i, j] : pairs) {
                const long double f0 = tarvo::pairFunction(a, i, j),
                                  f1 = tarvo::pairFunction(b, i, j);
                if (!tarvo::bracketsExtremum(f0, f1, false)) continue;
                if (tarvo::refineSpatial(step, i, j, f0, f1, false).distance <= dmax)
                    out.emplace(i, j);
            }
            return out;
        };
        std::vector<std::pair<int, int>> every;
        for (int i = 0; i <= n; ++i)
            for (int j = i + 1; j <= n; ++j) every.emplace_back(i, j);
        const auto candidates = tarvo::candidatePairs(step, {}, static_cast<double>(dmax));
        EXPECT_LT(candidates.size(), every.size() / 4) << "the sweep should prune";
        const auto exhaustive = events(every);
        EXPECT_EQ(events(candidates), exhaustive);
        // One body against the rest: the same events of that body.
        std::set<std::pair<int, int>> ofBody7;
        for (const auto& p : exhaustive)
            if (p.first == 7 || p.second == 7) ofBody7.insert(p);
        EXPECT_EQ(events(tarvo::candidatePairs(step, {7, 7}, static_cast<double>(dmax))), ofBody7);
        found += static_cast<int>(exhaustive.size());
    }
    EXPECT_GT(found, 10) << "the swarm should have close approaches to compare";
}

} // namespace

namespace {

// The angle between two straight-line movers seen from an observer that
// moves too, against a fine golden-section search on the exact lines.
TEST(AngularRefinement, StraightLinesSeenFromAMovingObserver) {
    using V = std::array<long double, 3>;
    const V o0{1, 0.2L, 0}, ov{0.01L, 0.3L, 0}, a0{5, 1, 0.3L}, av{-0.2L, 0.1L, 0.01L},
        b0{9, -3, 0.1L}, bv{-0.5L, 0.9L, 0.02L};
    auto pos = [](const V& r, const V& v, long double t) {
        return V{r[0] + v[0] * t, r[1] + v[1] * t, r[2] + v[2] * t};
    };
    auto angle = [&](long double t) {
        const V o = pos(o0, ov, t), a = pos(a0, av, t), b = pos(b0, bv, t);
        V u, w;
        for (int k = 0; k < 3; ++k) u[k] = a[k] - o[k], w[k] = b[k] - o[k];
        const V c{u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
        return std::atan2(std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]),
                          u[0] * w[0] + u[1] * w[1] + u[2] * w[2]);
    };
    // The rate g is |a|^3 |b|^3 times the rate of the cosine of the angle.
    {
        const long double t = 2.0L, e = 1e-6L;
        const V o = pos(o0, ov, t), a = pos(a0, av, t), b = pos(b0, bv, t);
        V u, w, du, dw;
        for (int k = 0; k < 3; ++k)
            u[k] = a[k] - o[k], w[k] = b[k] - o[k], du[k] = av[k] - ov[k], dw[k] = bv[k] - ov[k];
        const long double nu = std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
        const long double nw = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
        const long double rate = (std::cos(angle(t + e)) - std::cos(angle(t - e))) / (2 * e);
        EXPECT_NEAR(static_cast<double>(tarvo::angularRate(u, du, w, dw) /
                                        (nu * nu * nu * nw * nw * nw) / rate),
                    1.0, 1e-6);
    }
    long double lo = 0, hi = 20;
    const long double g = (std::sqrt(5.0L) - 1) / 2;
    while (hi - lo > 1e-12L) {
        const long double c = hi - g * (hi - lo), d = lo + g * (hi - lo);
        (angle(c) < angle(d) ? hi : lo) = angle(c) < angle(d) ? d : c;
    }
    const long double tMin = (lo + hi) / 2;
    const long double t0 = std::floor(tMin) - 0.5L, h = 1.5L;
    TableStates s, e;
    for (auto [st, t] : {std::pair{&s, t0}, std::pair{&e, t0 + h}}) {
        st->resize(3);
        put(*st, 0, pos(o0, ov, t), ov);
        put(*st, 1, pos(a0, av, t), av);
        put(*st, 2, pos(b0, bv, t), bv);
    }
    const long double g0 = tarvo::angularRateAt(s, 0, 1, 2), g1 = tarvo::angularRateAt(e, 0, 1, 2);
    ASSERT_TRUE(tarvo::bracketsAngularExtremum(g0, g1, false));
    EXPECT_FALSE(tarvo::bracketsAngularExtremum(g0, g1, true));
    const auto ev = tarvo::refineAngular(stepOf(s, e, t0, h, 2), 0, 1, 2, g0, g1, false);
    EXPECT_NEAR(static_cast<double>(ev.time - tMin), 0.0, 1e-6);
    EXPECT_NEAR(static_cast<double>(ev.separation - angle(tMin)), 0.0, 1e-12);
}

TEST(AngularRefinement, ZeroRateOnAStepBoundaryIsFoundOnce) {
    EXPECT_TRUE(tarvo::bracketsAngularExtremum(1.0L, 0.0L, false));
    EXPECT_FALSE(tarvo::bracketsAngularExtremum(0.0L, -1.0L, false));
    EXPECT_FALSE(tarvo::bracketsAngularExtremum(0.0L, 0.0L, false));
}

} // namespace
