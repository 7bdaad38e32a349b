// Clones: the generator's deviates, the Cholesky factor, and the scatter of
// many clones against the covariance they are drawn from.
#include "fitra/clones.h"

#include "scratch_directory.h"
#include "synthetic_orbit.h"
#include "tarvo/libraries/state_file.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace fitra;

TEST(Deviates, UniformAndGaussianHaveTheirMoments) {
    UniformGenerator u(12345);
    double sum = 0, sum2 = 0;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        const double x = u.next();
        ASSERT_GT(x, 0);
        ASSERT_LT(x, 1);
        sum += x;
        sum2 += x * x;
    }
    EXPECT_NEAR(sum / n, 0.5, 0.003);
    EXPECT_NEAR(sum2 / n - 0.25, 1.0 / 12, 0.002);
    UniformGenerator again(12345), other(54321);
    UniformGenerator first(12345);
    EXPECT_EQ(first.next(), again.next());
    EXPECT_NE(UniformGenerator(12345).next(), other.next());
    UniformGenerator v(777);
    GaussianDeviate g(v);
    double m = 0, m2 = 0, m4 = 0;
    for (int i = 0; i < n; ++i) {
        const double x = g.next(2.0);
        m += x;
        m2 += x * x;
        m4 += x * x * x * x;
    }
    EXPECT_NEAR(m / n, 0, 0.02);
    EXPECT_NEAR(m2 / n, 4.0, 0.05);
    EXPECT_NEAR(m4 / n / 16, 3.0, 0.1); // a normal distribution's kurtosis
}

TEST(Clones, ScatterAsTheCovarianceSaysAndFailOnAnIndefiniteOne) {
    ParameterSlots p;
    p.active[1] = p.active[4] = p.active[13] = true;
    p.value[1] = 100;
    p.value[4] = 5;
    p.value[13] = 1;
    SlotMatrix c{};
    c[1][1] = 4e-4L;
    c[4][4] = 1e-8L;
    c[13][13] = 1e-6L;
    c[1][4] = c[4][1] = 0.8L * 2e-2L * 1e-4L; // correlation 0.8
    c[4][13] = c[13][4] = -0.3L * 1e-4L * 1e-3L;
    SlotMatrix l;
    ASSERT_TRUE(choleskyFactor(p.active, c, l));
    UniformGenerator u(99);
    GaussianDeviate g(u);
    const auto clones = drawClones(p, l, 20000, g);
    ASSERT_EQ(clones.size(), 20000u);
    const int idx[3] = {1, 4, 13};
    for (int a = 0; a < 3; ++a)
        for (int b = a; b < 3; ++b) {
            long double sum = 0;
            for (const auto& v : clones)
                sum += (v[idx[a]] - p.value[idx[a]]) * (v[idx[b]] - p.value[idx[b]]);
            const long double got = sum / clones.size();
            const long double want = c[idx[a]][idx[b]];
            const long double scale = std::sqrt(c[idx[a]][idx[a]] * c[idx[b]][idx[b]]);
            EXPECT_NEAR(got / scale, want / scale, 0.03) << idx[a] << " " << idx[b];
        }
    for (const auto& v : clones) EXPECT_EQ(v[2], 0); // inactive slots stay as they are
    c[4][4] = -1e-8L;
    EXPECT_FALSE(choleskyFactor(p.active, c, l));
}

class ClonesFile : public tarvo::testing::ScratchDirectoryTest {};

TEST_F(ClonesFile, HoldsOneBodyPerCloneReadableByTheSuite) {
    FitraSettings s;
    const FitDynamics d = fitra::testing::sunOnlyDynamics(s, 0);
    ParameterSlots p;
    for (int i = 1; i <= 6; ++i) p.active[i] = true;
    p.value = {0, 300, 10, -5, 1, 15, 0.5L};
    std::vector<SlotVector> clones(3, p.value);
    clones[1][1] += 1;
    std::string why;
    ASSERT_TRUE(writeClonesFile(dir / "Clones.TVX", d, p, clones, s, why)) << why;
    tarvo::StateFileContents c;
    ASSERT_TRUE(
        tarvo::readStateFile(dir / "Clones.TVX", tarvo::StateFileKind::MinorBody, 10, c, why))
        << why;
    ASSERT_EQ(c.records.size(), 3u);
    EXPECT_NEAR(c.records[1].position[0], 301, 1e-12L);
    EXPECT_EQ(c.records[2].nameField.substr(0, 6), "C00003");
}

} // namespace
