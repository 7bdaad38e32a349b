// Major bodies and perturbing asteroids acting on the minor bodies (and, with
// option C, the minor bodies on the majors and on one another).
//
// The minor bodies are processed in fixed chunks that may run on several
// threads; within a chunk the double path runs as a vector loop over the
// bodies for each attracting body. Every sum runs in an order fixed by the
// chunks, so the result is the same for any number of threads. Cost:
// N_major * N_minor pairs, or N_minor^2 with option C (a few thousand
// massive minor bodies at most).
#include <cmath>
#include <type_traits>
#include <vector>

#include "force_passes.h"
#include "attraction_kernels.h"
#include "parallel_loop.h"

namespace tarvo::detail {

namespace {

// The extended path on the massless minor bodies b..e (without option C):
// for each body, first the strengths m_i / r^3 of all its attracting bodies
// (independent of one another, kept exactly as two doubles), then the three
// sums, each alone on the x87 stack. The sums take the same terms in the
// same order as the loop over attracting bodies, so the result is the same;
// what goes are the 80-bit stores of the sums after every pair (three a
// pair, some 15 cycles each).
void attractorsOnBodiesExtended(PassContext& c, int b, int e, const long double* px,
                                const long double* py, const long double* pz,
                                const long double* gm, long double* ax, long double* ay,
                                long double* az) {
  if (b > e) return;
  const double* weight = c.model.work.notEarthFigure.data();
  std::vector<int> attractors;
  for (int i = 1; i <= c.lastMajor; ++i) {
    if (!c.table.isHidden(i)) attractors.push_back(i);
  }
  for (int i = c.lastMajor + 1; i <= c.lastMassive; ++i) attractors.push_back(i);
  const int count = static_cast<int>(attractors.size());
  std::vector<double> strengthHi(count), strengthLo(count);
  for (int j = b; j <= e; ++j) {
    for (int k = 0; k < count; ++k) {
      const int i = attractors[k];
      const long double dx = px[j] - px[i], dy = py[j] - py[i], dz = pz[j] - pz[i];
      const long double r2 = dx * dx + dy * dy + dz * dz;
      long double rho3 = 1.0L / (r2 * std::sqrt(r2));
      if (i == c.earth) rho3 *= weight[j];
      const long double f = gm[i] * rho3;
      splitExtended(f, strengthHi[k], strengthLo[k]);
    }
    auto sum = [&](const long double* p) {
      long double s = 0.0L;
      for (int k = 0; k < count; ++k) {
        const long double f = static_cast<long double>(strengthHi[k]) + strengthLo[k];
        s -= f * (p[j] - p[attractors[k]]);
      }
      return s;
    };
    ax[j] = sum(px);
    ay[j] = sum(py);
    az[j] = sum(pz);
  }
}

// One chunk of minor bodies b..e on either path. partial receives, per major
// body i, what i gains from the chunk (3 values per major, index i).
template <typename T>
void chunkOnPath(PassContext& c, int b, int e, T* partial, const T* px, const T* py,
                 const T* pz, const T* gm, T* ax, T* ay, T* az) {
  const int lastMajor = c.lastMajor;
  const int lastMassive = c.lastMassive;
  const bool minorPerturb = c.state.options.minorPerturb;
  const double* weight = c.model.work.notEarthFigure.data();
  auto attract = [&](int bb, int ee, int i, const double* wgt, T* back) {
    if (bb > ee) return;
    attractBodies(px, py, pz, gm, ax, ay, az, bb, ee, px[i], py[i], pz[i], gm[i], wgt, back);
  };

  // Majors (not hidden) on the chunk. Bodies up to lastMassive (and all with
  // option C) pull back on the major. On the extended path the massless
  // bodies above lastMassive go body by body.
  const int backEnd = minorPerturb ? e : std::min(e, lastMassive);
  const bool bodyByBody = std::is_same_v<T, long double> && !minorPerturb;
  for (int i = 1; i <= lastMajor; ++i) {
    if (c.table.isHidden(i)) continue;
    const double* wgt = (i == c.earth) ? weight : nullptr;
    if (backEnd >= b) {
      attract(b, backEnd, i, wgt, partial + 3 * i);
      if (!bodyByBody) attract(backEnd + 1, e, i, wgt, nullptr);
    } else if (!bodyByBody) {
      attract(b, e, i, wgt, nullptr);
    }
  }
  if constexpr (std::is_same_v<T, long double>) {
    if (bodyByBody) {
      attractorsOnBodiesExtended(c, std::max(b, lastMassive + 1), e, px, py, pz, gm, ax, ay,
                                 az);
    }
  }

  // The Earth through its figure (J2 within 4 Gm, or the satellite field),
  // kept apart until the bodies' forces are summed.
  if (c.earthFigure) {
    for (int j = b; j <= e; ++j) {
      if (weight[j] != 0.0) continue;
      long double a[3], back[3];
      earthFigureOnMinor(c, j, a, back);
      ForceWork& w = c.model.work;
      w.figX[j] = a[0];
      w.figY[j] = a[1];
      w.figZ[j] = a[2];
      if (minorPerturb || j <= lastMassive) {
        T* p = partial + 3 * c.earth;
        p[0] += static_cast<T>(back[0]);
        p[1] += static_cast<T>(back[1]);
        p[2] += static_cast<T>(back[2]);
      }
    }
  }

  if (minorPerturb) {
    // Every massive minor body on every other one.
    for (int i = lastMajor + 1; i <= c.N; ++i) {
      if (c.table.mass[i] == 0.0L) continue;
      attract(b, std::min(e, i - 1), i, nullptr, nullptr);
      attract(std::max(b, i + 1), e, i, nullptr, nullptr);
    }
  } else if (lastMassive > lastMajor && !bodyByBody) {
    // Perturbing asteroids on the bodies above them, one way.
    const int bb = std::max(b, lastMassive + 1);
    for (int i = lastMajor + 1; i <= lastMassive; ++i) attract(bb, e, i, nullptr, nullptr);
  }
}

}  // namespace

void earthFigureOnMinor(const PassContext& c, int j, long double a[3], long double back[3]) {
  const BodyTable& t = c.table;
  const ForceCoefficients& k = c.model.coefficients;
  const int E = c.earth;
  long double r[3];
  if (c.state.satelliteMode) {
    const ForceWork& w = c.model.work;
    r[0] = w.savedX[j];
    r[1] = w.savedY[j];
    r[2] = w.savedZ[j];
    const long double toVelocity = c.state.direction / c.in.velocityStep;
    const std::array<long double, 3> v = {c.in.vx[j] * toVelocity, c.in.vy[j] * toVelocity,
                                          c.in.vz[j] * toVelocity};
    double C2 = 0.0, C3 = 0.0, C4 = 0.0, drag = 0.0;
    if (c.extendedModel) {
      const bool own = t.A2[j] != 0.0;
      C2 = own ? t.A2[j] : k.satelliteJ2;
      C3 = own ? t.A3[j] : k.satelliteJ3;
      C4 = k.satelliteJ4;
      drag = static_cast<double>(c.call.H * c.call.H) * t.A1[j];
    }
    const auto f = satelliteFieldAcceleration({r[0], r[1], r[2]}, v, t.stepMass[E], C2, C3, C4,
                                              drag);
    a[0] = f[0];
    a[1] = f[1];
    a[2] = f[2];
    const long double r2 = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
    const long double g = t.stepMass[j] / (r2 * std::sqrt(r2));
    for (int m = 0; m < 3; ++m) back[m] = g * r[m];
    return;
  }
  r[0] = positionX(c, j) - c.in.x[E];
  r[1] = positionY(c, j) - c.in.y[E];
  r[2] = positionZ(c, j) - c.in.z[E];
  const long double r2 = r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
  const long double rho2 = 1.0L / r2;
  const long double rho3 = rho2 / std::sqrt(r2);
  const long double s = r[2] * r[2] * rho2;
  const long double kj2 = k.satelliteJ2;
  const long double fxy = 1.0L + (s - 0.2L) * kj2 * rho2;
  const long double fz = fxy - 0.4L * kj2 * rho2;
  const long double g[3] = {fxy * r[0], fxy * r[1], fz * r[2]};
  for (int m = 0; m < 3; ++m) {
    a[m] = -t.stepMass[E] * rho3 * g[m];
    back[m] = t.stepMass[j] * rho3 * g[m];
  }
}

void minorBodiesPass(PassContext& c) {
  const int first = c.lastMajor + 1;
  const int count = c.N - c.lastMajor;
  if (count <= 0) return;
  const int chunks = (count + forceChunkSize - 1) / forceChunkSize;
  const int majors = c.lastMajor + 1;
  const bool doublePath = c.doublePath;
  // With option C every minor body attracts, so all were copied before;
  // otherwise each chunk copies its own bodies above lastMassive.
  const bool copyHere = !c.state.options.minorPerturb;
  const int lastMassive = c.lastMassive;
  ForceWork& w = c.model.work;
  const BodyTable& t = c.table;
  const ForceInput& in = c.in;

  std::vector<double> partialD(doublePath ? static_cast<std::size_t>(chunks) * 3 * majors : 0,
                               0.0);
  std::vector<long double> partialE(
      doublePath ? 0 : static_cast<std::size_t>(chunks) * 3 * majors, 0.0L);
  w.sunPartial.assign(static_cast<std::size_t>(chunks) * 3, 0.0L);

  // One parallel loop per force evaluation: everything a chunk needs is in
  // the chunk (its own bodies) or was written before the loop (attractors).
  detail::forEachIndex(0, chunks - 1, chunks > 1, [&](int ch) {
    const int b = first + ch * forceChunkSize;
    const int e = std::min(b + forceChunkSize - 1, c.N);
    const int own = std::max(b, lastMassive + 1);  // bodies summed here
    for (int j = b; j <= e; ++j) {
      w.notEarthFigure[j] = earthActsThroughFigure(c, j) ? 0.0 : 1.0;
    }
    if (copyHere) {
      if (doublePath && own >= c.split.first) {
        // hi is the position rounded to double.
        for (int j = own; j <= e; ++j) {
          w.px[j] = c.split.x[j].hi;
          w.py[j] = c.split.y[j].hi;
          w.pz[j] = c.split.z[j].hi;
          w.gm[j] = static_cast<double>(t.stepMass[j]);
          w.ax[j] = w.ay[j] = w.az[j] = 0.0;
        }
      } else if (doublePath) {
        for (int j = own; j <= e; ++j) {
          w.px[j] = static_cast<double>(in.x[j]);
          w.py[j] = static_cast<double>(in.y[j]);
          w.pz[j] = static_cast<double>(in.z[j]);
          w.gm[j] = static_cast<double>(t.stepMass[j]);
          w.ax[j] = w.ay[j] = w.az[j] = 0.0;
        }
      } else {
        for (int j = own; j <= e; ++j) w.exAx[j] = w.exAy[j] = w.exAz[j] = 0.0L;
      }
    }
    const std::size_t offset = static_cast<std::size_t>(ch) * 3 * majors;
    if (doublePath) {
      chunkOnPath<double>(c, b, e, partialD.data() + offset, w.px.data(), w.py.data(),
                          w.pz.data(), w.gm.data(), w.ax.data(), w.ay.data(), w.az.data());
    } else {
      chunkOnPath<long double>(c, b, e, partialE.data() + offset, in.x, in.y, in.z,
                               t.stepMass.data(), w.exAx.data(), w.exAy.data(),
                               w.exAz.data());
    }
    sunAndSum(c, own, e, w.sunPartial.data() + 3 * static_cast<std::size_t>(ch));
  });

  // The gains of the majors in chunk order (the Sun's: sunPass).
  for (int ch = 0; ch < chunks; ++ch) {
    const std::size_t offset = static_cast<std::size_t>(ch) * 3 * majors;
    for (int i = 1; i < majors; ++i) {
      if (doublePath) {
        const double* p = partialD.data() + offset;
        w.ax[i] += p[3 * i];
        w.ay[i] += p[3 * i + 1];
        w.az[i] += p[3 * i + 2];
      } else {
        const long double* p = partialE.data() + offset;
        w.exAx[i] += p[3 * i];
        w.exAy[i] += p[3 * i + 1];
        w.exAz[i] += p[3 * i + 2];
      }
    }
  }
}

}  // namespace tarvo::detail
