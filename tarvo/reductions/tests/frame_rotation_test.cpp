// Frame state and array rotations.
// Oracles: exact inverses (round trips), the plain rotation about X that the
// frame reduces to at J2000, orthonormality of the pole frames, and the
// double and index-list variants against the extended one.

#include "tarvo/reductions/frames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace tarvo;

const PrecessionTable kNoTable;

FrameState frameAt(long double t, FrameOptions options = {}) {
    FrameState f;
    computeFrame(f, t, options, kNoTable);
    return f;
}

std::vector<std::array<long double, 3>> sampleVectors() {
    return {{1.0L, 0.0L, 0.0L}, {0.0L, 1.0L, 0.0L}, {0.0L, 0.0L, 1.0L},
            {-123.456L, 789.012L, -34.5L}, {1e-3L, -2e5L, 3.3L}, {0.3L, 0.4L, -0.866L}};
}

TEST(FrameState, BeforeTheFirstComputeFrameIsTheJ2000Frame) {
    const FrameState f;
    std::array<long double, 3> v = {0.3L, -0.4L, 0.866L};
    const auto in = v;
    rotateToDate(f, v);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(static_cast<double>(v[k] - in[k]), 0.0, 1e-18);
}

TEST(FrameAtJ2000, IsARotationAboutXByTheObliquityDifference) {
    const FrameState f = frameAt(0.0L);
    const long double angle = (kObliquityJ2000Arcsec - 84381.406L) * kArcsecToRadians; // 0.000173"
    std::array<long double, 3> v = {0.2L, 0.6L, 0.7745966692414834L};
    const auto in = v;
    rotateToDate(f, v);
    EXPECT_NEAR(static_cast<double>(v[0] - in[0]), 0.0, 1e-18);
    EXPECT_NEAR(static_cast<double>(v[1] - (in[1] * std::cos(angle) + in[2] * std::sin(angle))), 0.0, 1e-17);
    EXPECT_NEAR(static_cast<double>(v[2] - (in[2] * std::cos(angle) - in[1] * std::sin(angle))), 0.0, 1e-17);
    EXPECT_GT(std::fabs(static_cast<double>(v[1] - in[1])), 1e-10); // not the identity
}

class RoundTripEpochs : public ::testing::TestWithParam<double> {};

TEST_P(RoundTripEpochs, ToDateThenToJ2000ReturnsTheInput) {
    const long double t = GetParam() * 365.25L;
    for (FrameOptions options : {FrameOptions{}, FrameOptions{true, false, false, false},
                                 FrameOptions{false, true, true, false}}) {
        const FrameState f = frameAt(t, options);
        const auto vectors = sampleVectors();
        std::vector<long double> x, y, z;
        for (const auto& v : vectors) x.push_back(v[0]), y.push_back(v[1]), z.push_back(v[2]);
        rotateToDate(f, 0, x.size() - 1, x.data(), y.data(), z.data());
        rotateToJ2000(f, x.size() - 1, x.data(), y.data(), z.data());
        for (std::size_t i = 0; i < vectors.size(); ++i) {
            const long double norm = std::sqrt(vectors[i][0] * vectors[i][0] +
                                               vectors[i][1] * vectors[i][1] + vectors[i][2] * vectors[i][2]);
            EXPECT_LE(std::fabs(x[i] - vectors[i][0]) / norm, 1e-18L) << GetParam();
            EXPECT_LE(std::fabs(y[i] - vectors[i][1]) / norm, 1e-18L) << GetParam();
            EXPECT_LE(std::fabs(z[i] - vectors[i][2]) / norm, 1e-18L) << GetParam();
        }
    }
}
INSTANTIATE_TEST_SUITE_P(AllRanges, RoundTripEpochs,
                         ::testing::Values(-2.0e6, -365000.0, -40000.0, -2500.0, -100.0, 0.0, 1.0,
                                           24.5, 1999.0, 2500.0, 31000.0, 150000.0, 9.0e5, 3.0e6));

TEST(FrameRotations, EclipticOnlyAndEclipticToJ2000AreConsistent) {
    const FrameState f = frameAt(12345.678L, FrameOptions{true, false, false, false});
    // J2000 equator -> ecliptic of date, then eclipticOfDateToJ2000 -> J2000
    // ecliptic, which is the first step alone.
    std::array<long double, 3> v = {0.1L, -0.7L, 0.5L};
    const long double c = f.obliquityJ2000.cos, s = f.obliquityJ2000.sin;
    const std::array<long double, 3> onJ2000Ecliptic = {v[0], v[1] * c + v[2] * s, v[2] * c - v[1] * s};
    rotateToDate(f, v, true);
    eclipticOfDateToJ2000(f, v[0], v[1], v[2]);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(static_cast<double>(v[k] - onJ2000Ecliptic[k]), 0.0, 1e-18);
}

TEST(FrameRotations, VariantsShareTheArithmetic) {
    const FrameState f = frameAt(-54321.0L, FrameOptions{false, true, false, false});
    const auto vectors = sampleVectors();
    std::vector<long double> x, y, z, xi, yi, zi;
    std::vector<double> xd, yd, zd;
    for (const auto& v : vectors) {
        x.push_back(v[0]), y.push_back(v[1]), z.push_back(v[2]);
        xd.push_back(static_cast<double>(v[0])), yd.push_back(static_cast<double>(v[1])),
            zd.push_back(static_cast<double>(v[2]));
    }
    xi = x, yi = y, zi = z;
    // Only entries 2 ... 4 move.
    rotateToDate(f, 2, 4, x.data(), y.data(), z.data());
    EXPECT_EQ(x[0], vectors[0][0]);
    EXPECT_EQ(z[5], vectors[5][2]);
    const int indices[] = {2, 3, 4};
    rotateToDate(f, indices, xi.data(), yi.data(), zi.data());
    rotateToDate(f, 2, 4, xd.data(), yd.data(), zd.data());
    for (int i = 2; i <= 4; ++i) {
        EXPECT_EQ(xi[i], x[i]);
        EXPECT_EQ(zi[i], z[i]);
        EXPECT_EQ(xd[i], static_cast<double>(x[i]));
        EXPECT_EQ(yd[i], static_cast<double>(y[i]));
    }
    rotateToJ2000(f, indices, xi.data(), yi.data(), zi.data());
    for (int i = 2; i <= 4; ++i) EXPECT_NEAR(static_cast<double>(xi[i] - vectors[i][0]), 0.0, 1e-12);
}

TEST(FrameRotations, SkipRotationsLeaveArraysUnchanged) {
    const FrameState f = frameAt(1e6L, FrameOptions{true, true, false, true});
    std::vector<long double> x = {1, 2}, y = {3, 4}, z = {5, 6};
    rotateToDate(f, 0, 1, x.data(), y.data(), z.data());
    rotateToJ2000(f, 1, x.data(), y.data(), z.data());
    rotateToDate(f, 0, 1, x.data(), y.data(), z.data(), true);
    EXPECT_EQ(x, (std::vector<long double>{1, 2}));
    EXPECT_EQ(y, (std::vector<long double>{3, 4}));
    EXPECT_EQ(z, (std::vector<long double>{5, 6}));
    EXPECT_EQ(f.sunPole, kSunPoleJ2000);
    EXPECT_EQ(f.thirdAngle.sin, 0.0L);
    EXPECT_EQ(f.nutation.longitude, 0.0L);
}

TEST(FrameState, NutationAndSunPole) {
    const long double t = 7777.0L;
    const FrameState mean = frameAt(t);
    const FrameState principal = frameAt(t, FrameOptions{true, false, false, false});
    const FrameState full = frameAt(t, FrameOptions{false, true, false, false});
    EXPECT_EQ(mean.nutation.longitude, 0.0L);
    EXPECT_EQ(principal.nutation.longitude, nutationPrincipal(t / 36525.0L).longitude);
    EXPECT_EQ(full.nutation.obliquity, nutation1980(t / 36525.0L).obliquity);
    // ε is the true obliquity with nutation, the mean one without.
    EXPECT_NEAR(static_cast<double>(std::atan2(full.obliquity.sin, full.obliquity.cos) -
                                    (full.precession.meanObliquity + full.nutation.obliquity)),
                0.0, 1e-18);
    // The Sun's pole is the J2000 pole carried into the equator of date.
    std::array<long double, 3> pole = kSunPoleJ2000;
    rotateToDate(full, pole);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(full.sunPole[k], pole[k]);
    EXPECT_GT(std::fabs(static_cast<double>(full.sunPole[0] - kSunPoleJ2000[0])), 1e-6);
}

TEST(RotateAbout, PlaneRotation) {
    std::vector<long double> p = {1, 0, 2}, q = {0, 1, 0};
    const long double a = 0.3L;
    rotateAbout(1, p.data(), q.data(), std::cos(a), std::sin(a));
    EXPECT_EQ(p[0], std::cos(a));
    EXPECT_EQ(q[0], std::sin(a));
    EXPECT_EQ(p[1], -std::sin(a));
    EXPECT_EQ(q[1], std::cos(a));
    EXPECT_EQ(p[2], 2.0L); // beyond `last`
    std::vector<double> pd = {1}, qd = {0};
    rotateAbout(0, pd.data(), qd.data(), 0.0, 1.0);
    EXPECT_EQ(pd[0], 0.0);
    EXPECT_EQ(qd[0], 1.0);
}

TEST(PoleFrames, AxesAreRightHandedOrthonormalAndTheMapsInverse) {
    const std::array<long double, 3> poles[] = {
        {0.0L, 0.0L, 1.0L}, {0.0L, 0.0L, -1.0L}, {0.6L, 0.0L, 0.8L}, {-0.48L, 0.6L, -0.64L}};
    for (const auto& pole : poles) {
        for (PoleAxes convention : {PoleAxes::PoleAsThird, PoleAxes::PoleAsFirst}) {
            const auto e = poleFrameAxes(pole, convention);
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) {
                    const long double d = e[i][0] * e[j][0] + e[i][1] * e[j][1] + e[i][2] * e[j][2];
                    EXPECT_NEAR(static_cast<double>(d), i == j ? 1.0 : 0.0, 1e-9);
                }
            // e1 x e2 = e3.
            EXPECT_NEAR(static_cast<double>(e[0][0] * e[1][1] - e[0][1] * e[1][0] - e[2][2]), 0.0, 1e-9);
            const int poleAxis = convention == PoleAxes::PoleAsThird ? 2 : 0;
            for (int k = 0; k < 3; ++k) EXPECT_EQ(e[poleAxis][k], pole[k] + (k == 0 && pole[0] == 0 && pole[1] == 0 ? 1e-10L : 0));
            const std::array<long double, 3> v = {0.3L, -1.2L, 2.5L};
            const auto back = fromPoleFrame(toPoleFrame(v, pole, convention), pole, convention);
            for (int k = 0; k < 3; ++k) EXPECT_NEAR(static_cast<double>(back[k] - v[k]), 0.0, 1e-9);
        }
    }
}

} // namespace
