// The Sun's pull on massless bodies in double-double arithmetic, against the
// same formula in 113-bit binary128 arithmetic (square roots by Newton's
// iteration, so no library is needed), and the portable version against the
// FMA version bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "../src/sun_pull.h"

namespace tarvo::detail {
namespace {

using Quad = __float128;

Quad quadSqrt(Quad v) {
  Quad s = static_cast<Quad>(std::sqrt(static_cast<long double>(v)));
  for (int k = 0; k < 2; ++k) s = static_cast<Quad>(0.5L) * (s + v / s);
  return s;
}

Quad quadOf(const SplitExtended& p) { return static_cast<Quad>(p.hi) + static_cast<Quad>(p.lo); }

SplitExtended splitOf(long double v) {
  SplitExtended p;
  p.set(v);
  return p;
}

struct Bodies {
  std::vector<SplitExtended> x, y, z, ax, ay, az;
  std::vector<double> sumX, sumY, sumZ, relFactor;
  SunPullInput in;

  Bodies(int count, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<long double> unit(-1.0L, 1.0L);
    std::uniform_real_distribution<long double> distance(15.0L, 7500.0L);  // 0.1 to 50 AU, Gm
    for (int j = 0; j < count; ++j) {
      // A random direction at a random distance, with all 64 bits in use.
      long double v[3] = {unit(random), unit(random), unit(random)};
      const long double norm = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) + 1e-3L;
      const long double r = distance(random);
      x.push_back(splitOf(v[0] / norm * r));
      y.push_back(splitOf(v[1] / norm * r));
      z.push_back(splitOf(v[2] / norm * r));
      sumX.push_back(static_cast<double>(unit(random)) * 1e-12);
      sumY.push_back(static_cast<double>(unit(random)) * 1e-12);
      sumZ.push_back(static_cast<double>(unit(random)) * 1e-12);
      relFactor.push_back(static_cast<double>(unit(random)) * 1e-9);
    }
    ax.resize(count);
    ay.resize(count);
    az.resize(count);
    in.x = x.data();
    in.y = y.data();
    in.z = z.data();
    in.sumX = sumX.data();
    in.sumY = sumY.data();
    in.sumZ = sumZ.data();
    in.ax = ax.data();
    in.ay = ay.data();
    in.az = az.data();
    // The barycentric Sun (Gm) and mu_Sun h^2 for a 3-day step (Gm^3).
    in.sunX = splitOf(-0.7123456789012345678L);
    in.sunY = splitOf(0.3456789012345678901L);
    in.sunZ = splitOf(0.0123456789012345678L);
    in.muSun = splitOf(132712.440041939400L * 86400.0L * 86400.0L * 9.0L * 1e-9L);
  }

  void withCorrections() {
    in.massLoss = -2.1e-14;
    in.sunJ2Factor = 1.5334e-07;
    const double n = std::sqrt(0.1 * 0.1 + 0.4 * 0.4 + 0.9 * 0.9);
    in.pole[0] = 0.1 / n;
    in.pole[1] = -0.4 / n;
    in.pole[2] = 0.9 / n;
    in.relFactor = relFactor.data();
    in.relativistic = 8.86e-6;
  }
};

// The same formula in binary128: corrections from the double values the
// kernel uses (they are 1e-6 of the pull; their own rounding is 1e-22).
void expectCloseToQuad(const Bodies& s, double tolerance) {
  const SunPullInput& in = s.in;
  for (std::size_t j = 0; j < s.x.size(); ++j) {
    const Quad d[3] = {quadOf(s.x[j]) - quadOf(in.sunX), quadOf(s.y[j]) - quadOf(in.sunY),
                       quadOf(s.z[j]) - quadOf(in.sunZ)};
    const Quad r2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    const Quad r = quadSqrt(r2);
    const Quad rho3 = static_cast<Quad>(1.0L) / (r2 * r);
    Quad correction = static_cast<Quad>(0.0L), poleTerm = static_cast<Quad>(0.0L);
    if (in.sunJ2Factor != 0.0) {
      const double rho2 = static_cast<double>(static_cast<Quad>(1.0L) / r2);
      const double pd = static_cast<double>(d[0]) * in.pole[0] +
                        static_cast<double>(d[1]) * in.pole[1] +
                        static_cast<double>(d[2]) * in.pole[2];
      double c = in.massLoss + in.sunJ2Factor * (1.0 - 5.0 * pd * pd * rho2) * rho2;
      if (in.relFactor != nullptr) {
        c += in.relFactor[j] + in.relativistic * static_cast<double>(static_cast<Quad>(1.0L) / r);
      }
      correction = c;
      poleTerm = 2.0 * in.sunJ2Factor * pd * rho2 * static_cast<double>(rho3);
    }
    const SplitExtended* out[3] = {&s.ax[j], &s.ay[j], &s.az[j]};
    const double sums[3] = {s.sumX[j], s.sumY[j], s.sumZ[j]};
    const Quad scale = quadOf(in.muSun) * rho3 * r;
    for (int m = 0; m < 3; ++m) {
      const Quad g = rho3 * (static_cast<Quad>(1.0L) + correction) * d[m] +
                     poleTerm * static_cast<Quad>(in.pole[m]);
      const Quad expected = -quadOf(in.muSun) * g + sums[m];
      const double error = static_cast<double>((quadOf(*out[m]) - expected) / scale);
      ASSERT_LE(std::fabs(error), tolerance) << "body " << j << " component " << m;
      // The pair is normalised: hi is the value rounded to double.
      ASSERT_LE(std::fabs(out[m]->lo), std::fabs(out[m]->hi) * 0x1p-53) << "body " << j;
    }
  }
}

TEST(SunPull, PointMassAgreesWithBinary128FarBeyondExtendedPrecision) {
  Bodies s(2000, 1);
  sunPull(s.in, 2000);
  // Extended precision would give 1e-19; the pairs carry some 30 digits.
  expectCloseToQuad(s, 1e-29);
}

TEST(SunPull, CorrectionsAndRelativityFollowTheSameFormula) {
  Bodies s(2000, 2);
  s.withCorrections();
  sunPull(s.in, 2000);
  // The double-precision corrections (1e-6 of the pull) round at 1e-22.
  expectCloseToQuad(s, 1e-21);
}

TEST(SunPull, PortableAndFusedVersionsGiveTheSameBits) {
  if (!sunPullFusedAvailable()) GTEST_SKIP() << "this processor has no FMA";
  for (bool corrected : {false, true}) {
    Bodies portable(1001, 3), fused(1001, 3);
    if (corrected) {
      portable.withCorrections();
      fused.withCorrections();
    }
    sunPullPortable(portable.in, 1001);
    sunPullFused(fused.in, 1001);
    for (int j = 0; j < 1001; ++j) {
      ASSERT_EQ(portable.ax[j].hi, fused.ax[j].hi) << j;
      ASSERT_EQ(portable.ax[j].lo, fused.ax[j].lo) << j;
      ASSERT_EQ(portable.ay[j].lo, fused.ay[j].lo) << j;
      ASSERT_EQ(portable.az[j].lo, fused.az[j].lo) << j;
    }
  }
}

}  // namespace
}  // namespace tarvo::detail
