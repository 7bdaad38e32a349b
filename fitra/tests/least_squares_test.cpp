// The differential correction against synthetic observations of a known
// two-body orbit (computed with the exact light time, independently of the
// integrator), and its pieces: inversion, damping, thread independence.
#include "fitra/least_squares.h"

#include "synthetic_orbit.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <cmath>

namespace {

using namespace fitra;
using namespace fitra::testing;

FitraSettings synthSettings() {
    FitraSettings s;
    s.geocentric = -1;
    s.equatorial = -1;
    s.referenceEquinox = 0;
    s.astrometric = -1;
    s.apparent = 0;
    s.topocentric = 0;
    s.angularOnly = -1;
    s.relativistic = 0;
    s.autoStarting = 0;
    return s;
}

const TwoBodyOrbit kAsteroid{2.6L * kAuGm, 0.15L, 0.2L, 1.0L, 2.0L, 0.5L, 0.0L};

StartingConditions startFrom(const TwoBodyOrbit& o, long double dx, long double dvKmS) {
    Vector3 r, v;
    twoBodyState(o, o.epoch, r, v);
    StartingConditions c;
    c.epochJd = o.epoch + 2451545.0L;
    for (int k = 0; k < 3; ++k) {
        c.state[k] = r[k];
        c.state[k + 3] = v[k] / 0.0864L;
    }
    c.state[0] += dx;
    c.state[4] += dvKmS;
    return c;
}

long double relativeError(const SlotVector& value, const TwoBodyOrbit& o, bool velocity) {
    Vector3 r, v;
    twoBodyState(o, o.epoch, r, v);
    const Vector3& want = velocity ? v : r;
    const int first = velocity ? 4 : 1;
    const long double scale = velocity ? 0.0864L : 1.0L;
    long double d2 = 0, n2 = 0;
    for (int k = 0; k < 3; ++k) {
        const long double got = value[first + k] * scale;
        d2 += (got - want[k]) * (got - want[k]);
        n2 += want[k] * want[k];
    }
    return std::sqrt(d2 / n2);
}

TEST(DifferentialCorrection, NoiseFreeObservationsGiveBackTheOrbit) {
    const FitraSettings s = synthSettings();
    const FitDynamics d = sunOnlyDynamics(s, kAsteroid.epoch);
    const PositionsFile file = syntheticObservations(kAsteroid, -400, 200, 3.0L, 0);
    const FitObservations obs = prepareObservations(file, s);
    // 1e-3 AU and 10 m/s away from the truth.
    ParameterSlots p = initialSlots(s, startFrom(kAsteroid, 1e-3L * kAuGm, 0.01L), d);
    FitHistory h;
    int iterations = 0;
    for (; iterations < 8; ++iterations) {
        const IterationResult r = runIteration(d, obs, s, p, h);
        ASSERT_TRUE(r.ok) << r.message;
        if (r.converged) break;
    }
    EXPECT_LT(relativeError(p.value, kAsteroid, false), 1e-6L);
    EXPECT_LT(relativeError(p.value, kAsteroid, true), 1e-6L);
    EXPECT_LT(h.sigma[0] * 3600, 1e-3L) << "arcsec";
}

TEST(DifferentialCorrection, NoisyObservationsGiveTheirOwnScatter) {
    const FitraSettings s = synthSettings();
    const FitDynamics d = sunOnlyDynamics(s, kAsteroid.epoch);
    const double sigma = 0.5;
    const PositionsFile file = syntheticObservations(kAsteroid, -700, 500, 4.0L, sigma);
    const FitObservations obs = prepareObservations(file, s);
    ParameterSlots p = initialSlots(s, startFrom(kAsteroid, 1e-3L * kAuGm, 0.01L), d);
    FitHistory h;
    IterationResult last;
    for (int k = 0; k < 10; ++k) {
        last = runIteration(d, obs, s, p, h);
        ASSERT_TRUE(last.ok) << last.message;
        if (last.converged) break;
    }
    ASSERT_TRUE(last.converged);
    long double squares = 0;
    for (std::size_t k = 0; k < obs.observations.size(); ++k) {
        const auto res = angularResiduals(obs.observations[k], last.directions[k]);
        squares += res[0] * res[0] + res[1] * res[1];
    }
    const long double n = 2.0L * obs.observations.size();
    const long double rms = std::sqrt(squares / n);
    EXPECT_NEAR(rms, sigma, 0.05 * sigma);
    const long double nu = n - 6;
    const long double chi2 = squares / (sigma * sigma) / nu;
    EXPECT_NEAR(chi2, 1.0L, 3 * std::sqrt(2 / nu));
    // The formal errors are the scatter of the truth about the fit.
    Vector3 r, v;
    twoBodyState(kAsteroid, kAsteroid.epoch, r, v);
    for (int k = 0; k < 3; ++k)
        EXPECT_LT(std::fabs(p.value[1 + k] - r[k]), 5 * last.formalError[1 + k]);
}

TEST(DifferentialCorrection, WeightedResidualsAreInUnitsOfTheirSigmas) {
    FitraSettings s = synthSettings();
    s.weighted = -1;
    const FitDynamics d = sunOnlyDynamics(s, kAsteroid.epoch);
    const double sigma = 0.5;
    PositionsFile file = syntheticObservations(kAsteroid, -700, 500, 4.0L, sigma, 777);
    for (Observation& o : file.observations) {
        o.obsWeight = sigma;
        o.weightFactor = 1378.8L / sigma; // as the positions reader sets it
    }
    const FitObservations obs = prepareObservations(file, s);
    ParameterSlots p = initialSlots(s, startFrom(kAsteroid, 1e-3L * kAuGm, 0.01L), d);
    FitHistory h;
    IterationResult last;
    for (int k = 0; k < 10 && !last.converged; ++k) {
        last = runIteration(d, obs, s, p, h);
        ASSERT_TRUE(last.ok) << last.message;
    }
    // s^2 is χ²/ν: 1 within its scatter.
    const long double nu = last.degreesOfFreedom;
    EXPECT_NEAR(last.unitWeight * last.unitWeight, 1.0L, 3 * std::sqrt(2 / nu));
    // With weights the formal errors take s = 1 and still cover the truth.
    Vector3 r, v;
    twoBodyState(kAsteroid, kAsteroid.epoch, r, v);
    for (int k = 0; k < 3; ++k)
        EXPECT_LT(std::fabs(p.value[1 + k] - r[k]), 5 * last.formalError[1 + k]);
}

TEST(DifferentialCorrection, KeplerianFitGivesBackTheElements) {
    FitraSettings s = synthSettings();
    s.fitKeplerian = -1;
    const FitDynamics d = sunOnlyDynamics(s, kAsteroid.epoch);
    const PositionsFile file = syntheticObservations(kAsteroid, -400, 200, 3.0L, 0);
    const FitObservations obs = prepareObservations(file, s);
    ParameterSlots p = initialSlots(s, startFrom(kAsteroid, 1e-3L * kAuGm, 0.01L), d);
    FitHistory h;
    for (int k = 0; k < 10; ++k) {
        const IterationResult r = runIteration(d, obs, s, p, h);
        ASSERT_TRUE(r.ok) << r.message;
        if (r.converged) break;
    }
    // The truth's elements, from the ecliptic of J2000 seen by the same state.
    ParameterSlots truth = initialSlots(s, startFrom(kAsteroid, 0, 0), d);
    EXPECT_NEAR(p.value[1], truth.value[1], 1e-8L);
    EXPECT_NEAR(p.value[5], truth.value[5], 1e-8L);
    for (int i : {2, 3, 4, 6}) EXPECT_NEAR(p.value[i], truth.value[i], 1e-6L) << i;
}

TEST(DifferentialCorrection, ResultsDoNotDependOnTheThreadCount) {
    const FitraSettings s = synthSettings();
    const FitDynamics d = sunOnlyDynamics(s, kAsteroid.epoch);
    const PositionsFile file = syntheticObservations(kAsteroid, -200, 60, 1.5L, 0.3);
    const FitObservations obs = prepareObservations(file, s);
    const ParameterSlots start = initialSlots(s, startFrom(kAsteroid, 0.05L, 0.002L), d);
    SlotVector values[2];
    long double sigma[2];
    const int threads = omp_get_max_threads();
    for (int t = 0; t < 2; ++t) {
        omp_set_num_threads(t == 0 ? 1 : 2);
        ParameterSlots p = start;
        FitHistory h;
        const IterationResult r = runIteration(d, obs, s, p, h);
        ASSERT_TRUE(r.ok) << r.message;
        values[t] = p.value;
        sigma[t] = r.sigmaDeg;
    }
    omp_set_num_threads(threads);
    EXPECT_EQ(sigma[0], sigma[1]);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(values[0][i], values[1][i]) << i;
}

TEST(DifferentialCorrection, SkipFirstLeavesTheFirstObservationOut) {
    FitraSettings s = synthSettings();
    s.skipFirst = -1;
    const FitDynamics d = sunOnlyDynamics(s, kAsteroid.epoch);
    PositionsFile file = syntheticObservations(kAsteroid, -400, 120, 3.0L, 0);
    file.observations[0].obsA += 1.0L; // a degree off: it would spoil the fit
    const FitObservations obs = prepareObservations(file, s);
    ParameterSlots p = initialSlots(s, startFrom(kAsteroid, 1e-3L * kAuGm, 0.01L), d);
    FitHistory h;
    IterationResult r;
    for (int k = 0; k < 8 && !r.converged; ++k) {
        r = runIteration(d, obs, s, p, h);
        ASSERT_TRUE(r.ok) << r.message;
    }
    EXPECT_EQ(r.used, 119u);
    EXPECT_EQ(r.degreesOfFreedom, 2 * 119 - 6);
    EXPECT_LT(relativeError(p.value, kAsteroid, false), 1e-6L);
}

TEST(Convergence, FollowsTheSigmaHistory) {
    FitHistory h;
    h.iteration = 1;
    EXPECT_FALSE(recordSigma(h, 90)); // equal to the starting 90, but the first iteration
    FitHistory same;
    same.iteration = 1;
    EXPECT_FALSE(recordSigma(same, 1e-3L));
    same.iteration = 2;
    EXPECT_TRUE(recordSigma(same, 1e-3L)); // identical σ after the first iteration
    FitHistory slow;
    slow.iteration = 5;
    recordSigma(slow, 2e-3L);
    EXPECT_FALSE(recordSigma(slow, 1e-3L)); // halved: not yet
    EXPECT_TRUE(recordSigma(slow, 1e-3L * (1 + 1e-6L)));
}

TEST(NormalMatrix, InvertsOverTheActiveSlotsOnly) {
    FitraSettings s;
    std::array<bool, kSlotCount + 1> active{};
    active[2] = active[5] = active[13] = true;
    SlotMatrix m{};
    const long double a[3][3] = {{4e6L, 2e3L, 1}, {2e3L, 3, 0.5L}, {1, 0.5L, 2e-4L}};
    const int idx[3] = {2, 5, 13};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[idx[i]][idx[j]] = a[i][j];
    m[1][1] = 7; // an inactive slot is not touched
    SlotMatrix inv = m;
    std::string why;
    ASSERT_TRUE(invertNormalMatrix(active, inv, s, why)) << why;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            long double sum = 0;
            for (int k = 0; k < 3; ++k) sum += a[i][k] * inv[idx[k]][idx[j]];
            EXPECT_NEAR(sum, i == j ? 1.0L : 0.0L, 1e-12L);
        }
    EXPECT_EQ(inv[1][1], 7);
}

TEST(NormalMatrix, ParametersThatCannotBeSeparatedAreNamed) {
    FitraSettings s;
    std::array<bool, kSlotCount + 1> active{};
    active[1] = active[4] = active[6] = true;
    SlotMatrix m{};
    // Vx0 and Vz0 move the observations alike: their columns are parallel,
    // at very different scales.
    m[1][1] = 1;
    m[4][4] = 1e8L;
    m[6][6] = 4e-8L;
    m[4][6] = m[6][4] = 2.0L;
    m[1][4] = m[4][1] = 0.1L * 1e4L;
    m[1][6] = m[6][1] = 0.1L * 2e-4L;
    std::string why;
    const SlotMatrix before = m;
    EXPECT_FALSE(invertNormalMatrix(active, m, s, why));
    EXPECT_NE(why.find("Singular Matrix !"), std::string::npos);
    EXPECT_NE(why.find("Vx0"), std::string::npos) << why;
    EXPECT_NE(why.find("Vz0"), std::string::npos) << why;
    EXPECT_EQ(m, before);
    // A slot the observations do not depend on at all.
    SlotMatrix z{};
    z[1][1] = 1;
    z[4][4] = 1;
    EXPECT_FALSE(invertNormalMatrix(active, z, s, why));
    EXPECT_NE(why.find("Vz0"), std::string::npos) << why;
}

TEST(Damping, KeplerianStepsStayInsideTheirLimits) {
    FitraSettings s;
    s.fitKeplerian = -1;
    ParameterSlots p;
    for (int i = 1; i <= 6; ++i) p.active[i] = true;
    p.value[1] = 0.1L;
    p.value[5] = 2.5L;
    SlotVector d{};
    d[6] = 100;
    d[2] = 1;
    std::string why;
    dampCorrection(d, p, s, 100, why);
    EXPECT_NEAR(d[6], 24.01L, 1e-12L);
    EXPECT_NEAR(d[2], 0.2401L, 1e-12L);
    // e may not fall below 0, nor cross 1, and a stays positive.
    SlotVector e{};
    e[1] = -0.2L;
    dampCorrection(e, p, s, 100, why);
    EXPECT_GE(p.value[1] + e[1], 0);
    p.value[1] = 0.95L;
    SlotVector f{};
    f[1] = 0.2L;
    dampCorrection(f, p, s, 100, why);
    EXPECT_LT(p.value[1] + f[1], 1);
    SlotVector g{};
    g[5] = -20;
    dampCorrection(g, p, s, 100, why);
    EXPECT_GT(p.value[5] + g[5], 0);
}

TEST(Damping, CartesianPositionAloneIsLimitedByTheDistance) {
    FitraSettings s;
    s.startDistanceAu = 1;
    ParameterSlots p;
    SlotVector d{};
    d[1] = 300; // L_pos = 150 Gm / 2 = 74.8 Gm
    d[4] = 1;
    std::string why;
    dampCorrection(d, p, s, 10, why);
    EXPECT_LE(std::fabs(d[1]), 74.8L);
    EXPECT_GT(std::fabs(d[1]), 74.8L * 0.7L);
    EXPECT_EQ(d[4], 1);
}

} // namespace
