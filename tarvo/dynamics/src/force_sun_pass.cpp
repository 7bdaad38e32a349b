// The Sun on every body, in extended precision: point mass, oblateness of
// the Sun about its pole, the simplified relativistic term 6GM/(c^2 r) that
// gives the secular perihelion advance, per-body radial factors, solar mass
// loss, the Sun on the Earth's oblateness and the Earth-Moon barycentre
// quadrupole. Minor bodies get their non-gravitational forces here.
// Only secular relativistic effects are right: the periodic post-Newtonian
// terms of a full 1PN model are absent (a few metres for the inner planets).
#include <algorithm>
#include <cmath>
#include <vector>

#include "force_passes.h"
#include "sun_pull.h"

namespace tarvo::detail {

namespace {

// Vector g with a_i = -mu_s * g: the Sun's pull on body i divided by its
// step mass, pole term included. knownInvR: 1/r from the Sun's pass, or null.
void sunFieldOnBody(PassContext& c, int i, const long double* knownInvR, long double g[3]) {
  const ForceInput& in = c.in;
  const long double x = positionX(c, i) - in.x[0];
  const long double y = positionY(c, i) - in.y[0];
  const long double z = positionZ(c, i) - in.z[0];
  const long double r2 = x * x + y * y + z * z;
  const long double invR = knownInvR ? *knownInvR : 1.0L / std::sqrt(r2);
  const long double rho2 = invR * invR;
  const long double rho3 = rho2 * invR;
  if (!c.extendedModel) {
    g[0] = rho3 * x;
    g[1] = rho3 * y;
    g[2] = rho3 * z;
    return;
  }
  // The corrections to the point mass are 1e-6 of it or less: they are
  // summed in double precision (their rounding stays below 1e-22 of the
  // Sun's pull), which lets them run beside the x87 arithmetic of the main
  // term.
  const ForceCoefficients& k = c.model.coefficients;
  const auto& pole = c.model.frame.sunPole;
  const double xd = static_cast<double>(x), yd = static_cast<double>(y),
               zd = static_cast<double>(z);
  const double rho2d = static_cast<double>(rho2), invRd = static_cast<double>(invR);
  const double pd = xd * static_cast<double>(pole[0]) + yd * static_cast<double>(pole[1]) +
                    zd * static_cast<double>(pole[2]);
  const double K = k.sunJ2Factor;
  double correction = static_cast<double>(c.state.solarMassLossFactor) +
                      K * (1.0 - 5.0 * pd * pd * rho2d) * rho2d;
  const bool minor = i > c.lastMajor;
  if (!minor || c.state.options.relativityMinor) {
    correction += c.table.relFactor[i] + static_cast<double>(c.state.derived.relativistic) * invRd;
  }
  double correctionXY = correction, correctionZ = correction;
  if (i == c.earth) {
    if (!c.moonIn) {
      const double q = k.baryQuadrupole * rho2d;
      correctionXY += q;
      correctionZ += q;
    } else {
      const double sz = zd * zd * rho2d;
      const double ce = k.earthJ2 * rho2d;
      correctionXY += (sz - 0.2) * ce;
      correctionZ += (sz - 0.6) * ce;
    }
  }
  const double poleTerm = 2.0 * K * pd * rho2d * static_cast<double>(rho3);
  const long double fxy = rho3 + rho3 * correctionXY;
  const long double fz = rho3 + rho3 * correctionZ;
  g[0] = fxy * x + poleTerm * static_cast<double>(pole[0]);
  g[1] = fxy * y + poleTerm * static_cast<double>(pole[1]);
  g[2] = fz * z + poleTerm * static_cast<double>(pole[2]);
}

bool wantsNonGravitational(const PassContext& c, int i) {
  if (!c.extendedModel || c.state.satelliteMode) return false;
  return c.table.nonGravFlag[i] != suiteFalse ||
         c.state.options.nonGravMode == NonGravLaw::yarkovsky;
}

// Non-gravitational acceleration of minor body i.
std::array<long double, 3> nonGravitational(PassContext& c, int i) {
  const ForceInput& in = c.in;
  const std::array<double, 3> r = {static_cast<double>(positionX(c, i) - in.x[0]),
                                   static_cast<double>(positionY(c, i) - in.y[0]),
                                   static_cast<double>(positionZ(c, i) - in.z[0])};
  const std::array<double, 3> w = {static_cast<double>(in.vx[i] - in.vx[0]),
                                   static_cast<double>(in.vy[i] - in.vy[0]),
                                   static_cast<double>(in.vz[i] - in.vz[0])};
  double delayed = 0.0;
  ForceWork& work = c.model.work;
  if (c.state.options.asymmetricModel && c.table.tau[i] != 0.0) {
    if (c.call.mode != ForceCallMode::substep) {
      const double scale = static_cast<double>(c.state.direction / in.velocityStep);
      const std::array<double, 3> v = {w[0] * scale, w[1] * scale, w[2] * scale};
      std::array<double, 3> q{};
      const bool bound = asymmetricDistanceQuadratic(
          r, v, static_cast<double>(c.state.derived.muSun), c.table.tau[i], c.state.direction,
          static_cast<double>(c.call.H), q);
      work.asymActive[i] = bound ? suiteTrue : suiteFalse;
      work.asymC0[i] = q[0];
      work.asymC1[i] = q[1];
      work.asymC2[i] = q[2];
    }
    if (work.asymActive[i] != suiteFalse) {
      const double f = (c.call.mode == ForceCallMode::substep && c.call.substeps > 0)
                           ? static_cast<double>(c.call.substep) / c.call.substeps
                           : 0.0;
      delayed = (work.asymC2[i] * f + work.asymC1[i]) * f + work.asymC0[i];
    }
  }
  return nonGravitationalAcceleration(c.table, c.state, c.model.coefficients, i, r, w, delayed,
                                      c.call.H);
}

}  // namespace

long double moonInverseDistanceSquared(const PassContext& c) {
  long double invR;
  if (c.moon <= std::min(c.lastMassive, c.N)) {
    const ForceWork& w = c.model.work;
    invR = static_cast<long double>(w.sunInvHi[c.moon]) + w.sunInvLo[c.moon];
  } else {
    const ForceInput& in = c.in;
    const long double x = in.x[c.moon] - in.x[0];
    const long double y = in.y[c.moon] - in.y[0];
    const long double z = in.z[c.moon] - in.z[0];
    invR = 1.0L / std::sqrt(x * x + y * y + z * z);
  }
  return invR * invR;
}

namespace {

// Scratch pairs of the calls below, one set per thread (the minor-body
// chunks run on several).
std::vector<SplitExtended>& sunPullScratch(std::size_t size) {
  thread_local std::vector<SplitExtended> scratch;
  if (scratch.size() < size) scratch.resize(size);
  return scratch;
}

// The Sun and the double sums on the massless bodies b..e of the double
// path through the double-double kernel, in whichever form the call holds
// them (split pairs, or extended values converted exactly to pairs).
template <bool Split>
void sunPullOf(PassContext& c, int b, int e) {
  const int count = e - b + 1;
  if (count <= 0) return;
  const ForceInput& in = c.in;
  const ForceWork& w = c.model.work;
  SunPullInput k;
  k.sunX.set(in.x[0]);
  k.sunY.set(in.y[0]);
  k.sunZ.set(in.z[0]);
  k.muSun.set(c.table.stepMass[0]);
  k.sumX = w.ax.data() + b;
  k.sumY = w.ay.data() + b;
  k.sumZ = w.az.data() + b;
  if (c.extendedModel) {
    const auto& pole = c.model.frame.sunPole;
    k.massLoss = static_cast<double>(c.state.solarMassLossFactor);
    k.sunJ2Factor = c.model.coefficients.sunJ2Factor;
    for (int m = 0; m < 3; ++m) k.pole[m] = static_cast<double>(pole[m]);
    if (c.state.options.relativityMinor) {
      k.relFactor = c.table.relFactor.data() + b;
      k.relativistic = static_cast<double>(c.state.derived.relativistic);
    }
  }
  if constexpr (Split) {
    const ForceSplitBodies& split = c.split;
    k.x = split.x + b;
    k.y = split.y + b;
    k.z = split.z + b;
    k.ax = split.ax + b;
    k.ay = split.ay + b;
    k.az = split.az + b;
    sunPull(k, count);
  } else {
    const std::size_t n = static_cast<std::size_t>(count);
    SplitExtended* x = sunPullScratch(6 * n).data();
    SplitExtended* y = x + n;
    SplitExtended* z = y + n;
    for (int j = 0; j < count; ++j) {
      x[j].set(in.x[b + j]);
      y[j].set(in.y[b + j]);
      z[j].set(in.z[b + j]);
    }
    k.x = x;
    k.y = y;
    k.z = z;
    k.ax = z + n;
    k.ay = k.ax + n;
    k.az = k.ay + n;
    sunPull(k, count);
    for (int j = 0; j < count; ++j) {
      c.acc.x[b + j] = k.ax[j].value();
      c.acc.y[b + j] = k.ay[j].value();
      c.acc.z[b + j] = k.az[j].value();
    }
  }
}

// Position of body j from the Sun at (x0, y0, z0), from the split pairs or
// the extended arrays.
template <bool Split>
inline void fromSun(const PassContext& c, int j, long double x0, long double y0, long double z0,
                    long double& x, long double& y, long double& z) {
  if constexpr (Split) {
    x = c.split.x[j].value() - x0;
    y = c.split.y[j].value() - y0;
    z = c.split.z[j].value() - z0;
  } else {
    x = c.in.x[j] - x0;
    y = c.in.y[j] - y0;
    z = c.in.z[j] - z0;
  }
}

// 1/r from the Sun of bodies b..e (kept exactly as two doubles) and, with the
// extended model, the double corrections of the Sun's pull on them.
template <bool Split>
void sunDistancesOn(PassContext& c, int b, int e) {
  const ForceInput& in = c.in;
  const long double x0 = in.x[0], y0 = in.y[0], z0 = in.z[0];
  const bool extended = c.extendedModel;
  const ForceCoefficients& k = c.model.coefficients;
  const auto& pole = c.model.frame.sunPole;
  const double pole0 = static_cast<double>(pole[0]), pole1 = static_cast<double>(pole[1]),
               pole2 = static_cast<double>(pole[2]);
  const double K = k.sunJ2Factor;
  const double massLoss = static_cast<double>(c.state.solarMassLossFactor);
  const double rel = static_cast<double>(c.state.derived.relativistic);
  const int relEnd = c.state.options.relativityMinor ? e : c.lastMajor;
  ForceWork& work = c.model.work;

  // The chain of dependent operations of one body (root, division, the
  // double corrections, back to extended) is long and leaves the processor
  // idle; split into loops whose bodies are independent, it overlaps from
  // body to body. The same operations on the same values: first the roots
  // and divisions (1/r kept exactly as two doubles), then the corrections.
  for (int j = b; j <= e; ++j) {
    long double x, y, z;
    fromSun<Split>(c, j, x0, y0, z0, x, y, z);
    const long double invR = 1.0L / std::sqrt(x * x + y * y + z * z);
    splitExtended(invR, work.sunInvHi[j], work.sunInvLo[j]);
    if (extended) {
      const long double rho2 = invR * invR;
      work.sunXd[j] = static_cast<double>(x);
      work.sunYd[j] = static_cast<double>(y);
      work.sunZd[j] = static_cast<double>(z);
      work.sunRho2[j] = static_cast<double>(rho2);
      work.sunRho3[j] = static_cast<double>(rho2 * invR);
    }
  }
  if (extended) {
    for (int j = b; j <= e; ++j) {
      const double xd = work.sunXd[j], yd = work.sunYd[j], zd = work.sunZd[j];
      const double rho2d = work.sunRho2[j], invRd = work.sunInvHi[j];
      const double pd = xd * pole0 + yd * pole1 + zd * pole2;
      double correction = massLoss + K * (1.0 - 5.0 * pd * pd * rho2d) * rho2d;
      if (j <= relEnd) correction += c.table.relFactor[j] + rel * invRd;
      work.sunCorrection[j] = correction;
      work.sunPoleTerm[j] = 2.0 * K * pd * rho2d * work.sunRho3[j];
    }
  }

}

// sunAndSum for bodies b..e whose positions and results are all in the
// extended arrays (Split false) or all split (Split true).
template <bool Split>
void sunAndSumOn(PassContext& c, int b, int e, long double sunGain[3], bool distancesKnown) {
  const long double muS = c.table.stepMass[0];
  const ForceWork& w = c.model.work;
  const bool minorPerturb = c.state.options.minorPerturb;
  const bool pulls = c.earthMoonPair;
  const ForceInput& in = c.in;
  const long double x0 = in.x[0], y0 = in.y[0], z0 = in.z[0];
  const ForceSplitBodies& split = c.split;
  auto storeX = [&](int j, long double v) {
    if constexpr (Split) split.ax[j].set(v); else c.acc.x[j] = v;
  };
  auto storeY = [&](int j, long double v) {
    if constexpr (Split) split.ay[j].set(v); else c.acc.y[j] = v;
  };
  auto storeZ = [&](int j, long double v) {
    if constexpr (Split) split.az[j].set(v); else c.acc.z[j] = v;
  };
  const bool extended = c.extendedModel;
  const bool nonGravAny = extended && !c.state.satelliteMode && !minorPerturb;
  const auto& pole = c.model.frame.sunPole;
  const double pole0 = static_cast<double>(pole[0]), pole1 = static_cast<double>(pole[1]),
               pole2 = static_cast<double>(pole[2]);

  // The whole general way, for bodies with more than the Sun and the sums;
  // returns the Sun's gain from the body.
  auto general = [&](int j, const long double* knownInvR) {
    std::array<long double, 3> gain = {0.0L, 0.0L, 0.0L};
    long double g[3];
    sunFieldOnBody(c, j, knownInvR, g);
    long double a[3] = {-muS * g[0], -muS * g[1], -muS * g[2]};
    if (j <= c.lastMassive || minorPerturb) {
      const long double m = c.table.stepMass[j];
      gain = {m * g[0], m * g[1], m * g[2]};
    } else if (wantsNonGravitational(c, j)) {
      const std::array<long double, 3> f = nonGravitational(c, j);
      a[0] += f[0];
      a[1] += f[1];
      a[2] += f[2];
    }
    if (c.earthFigure && j > c.lastMajor && w.notEarthFigure[j] == 0.0) {
      a[0] += w.figX[j];
      a[1] += w.figY[j];
      a[2] += w.figZ[j];
    }
    if (pulls && j == c.moon) {
      a[0] -= c.moonPull[0];
      a[1] -= c.moonPull[1];
      a[2] -= c.moonPull[2];
    } else if (pulls && j == c.earth) {
      a[0] += c.earthPull[0];
      a[1] += c.earthPull[1];
      a[2] += c.earthPull[2];
    }
    if (c.doublePath) {
      a[0] += w.ax[j];
      a[1] += w.ay[j];
      a[2] += w.az[j];
    } else {
      a[0] += w.exAx[j];
      a[1] += w.exAy[j];
      a[2] += w.exAz[j];
    }
    storeX(j, a[0]);
    storeY(j, a[1]);
    storeZ(j, a[2]);
    return gain;
  };
  auto isSpecial = [&](int j) {
    return (pulls && (j == c.moon || j == c.earth)) || (extended && j == c.earth) ||
           (j > c.lastMassive && !minorPerturb && nonGravAny && wantsNonGravitational(c, j)) ||
           (c.earthFigure && j > c.lastMajor && w.notEarthFigure[j] == 0.0);
  };

  // Massless minor bodies of the double path go through the double-double
  // kernel; those with more than the Sun are then done again the general way.
  if (c.doublePath && !minorPerturb && e > c.lastMassive) {
    const int first = std::max(b, c.lastMassive + 1);
    sunPullOf<Split>(c, first, e);
    for (int j = first; j <= e; ++j) {
      if (isSpecial(j)) general(j, nullptr);
    }
    e = first - 1;
  }

  ForceWork& work = c.model.work;
  if (!distancesKnown) sunDistancesOn<Split>(c, b, e);

  for (int j = b; j <= e; ++j) {
    // Most bodies take the short way: the same operations as the general
    // one, one component after the other and stored at once, so that the x87
    // stack holds them without spilling (every spill is an 80-bit store).
    if (isSpecial(j)) {
      const long double invR = static_cast<long double>(work.sunInvHi[j]) + work.sunInvLo[j];
      const std::array<long double, 3> gain = general(j, &invR);
      sunGain[0] += gain[0];
      sunGain[1] += gain[1];
      sunGain[2] += gain[2];
      continue;
    }

    long double x, y, z;
    fromSun<Split>(c, j, x0, y0, z0, x, y, z);
    const long double invR = static_cast<long double>(work.sunInvHi[j]) + work.sunInvLo[j];
    const long double rho2 = invR * invR;
    const long double rho3 = rho2 * invR;
    long double f = rho3;
    double poleTerm = 0.0;
    if (extended) {
      poleTerm = work.sunPoleTerm[j];
      f = rho3 + rho3 * work.sunCorrection[j];
    }
    const bool back = j <= c.lastMassive || minorPerturb;
    const long double m = c.table.stepMass[j];
    const long double gx = extended ? f * x + poleTerm * pole0 : f * x;
    if (back) sunGain[0] += m * gx;
    storeX(j, -muS * gx + (c.doublePath ? static_cast<long double>(w.ax[j])
                                        : w.exAx[j]));
    const long double gy = extended ? f * y + poleTerm * pole1 : f * y;
    if (back) sunGain[1] += m * gy;
    storeY(j, -muS * gy + (c.doublePath ? static_cast<long double>(w.ay[j])
                                        : w.exAy[j]));
    const long double gz = extended ? f * z + poleTerm * pole2 : f * z;
    if (back) sunGain[2] += m * gz;
    storeZ(j, -muS * gz + (c.doublePath ? static_cast<long double>(w.az[j])
                                        : w.exAz[j]));
  }
}

}  // namespace

void sunAndSum(PassContext& c, int b, int e, long double sunGain[3]) {
  const int first = c.split.first;
  if (b < first) sunAndSumOn<false>(c, b, std::min(e, first - 1), sunGain, false);
  if (e >= first) sunAndSumOn<true>(c, std::max(b, first), e, sunGain, false);
}

void massiveSunDistances(PassContext& c) {
  sunDistancesOn<false>(c, 1, std::min(c.lastMassive, c.N));
}

void sunPass(PassContext& c) {
  // Massive bodies in index order, then the chunks of minor bodies (their
  // gains are non-zero with option C only) in chunk order.
  long double sun[3] = {0.0L, 0.0L, 0.0L};
  sunAndSumOn<false>(c, 1, std::min(c.lastMassive, c.N), sun, true);
  const std::vector<long double>& partial = c.model.work.sunPartial;
  if (c.N > c.lastMajor) {
    for (std::size_t k = 0; k + 2 < partial.size(); k += 3) {
      sun[0] += partial[k];
      sun[1] += partial[k + 1];
      sun[2] += partial[k + 2];
    }
  }
  c.acc.x[0] = sun[0];
  c.acc.y[0] = sun[1];
  c.acc.z[0] = sun[2];
}

}  // namespace tarvo::detail
