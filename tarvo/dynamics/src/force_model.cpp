// computeAccelerations: runs the passes of the force model over the body
// table (Moon and satellites to barycentric, Sun, major pairs, minor bodies,
// summation and return to geocentric).
#include <algorithm>

#include "force_passes.h"
#include "parallel_loop.h"

namespace tarvo {

void ForceWork::ensure(std::size_t n) {
  if (slots >= n) return;
  slots = n;
  for (auto* v : {&px, &py, &pz, &gm, &ax, &ay, &az, &sunInvHi, &sunInvLo, &sunXd, &sunYd,
                  &sunZd, &sunRho2, &sunRho3, &sunCorrection, &sunPoleTerm, &notEarthFigure,
                  &asymC0, &asymC1, &asymC2}) {
    v->assign(n, 0.0);
  }
  for (auto* v : {&exAx, &exAy, &exAz, &savedX, &savedY, &savedZ, &figX, &figY, &figZ}) {
    v->assign(n, 0.0L);
  }
  asymActive.assign(n, 0);
}

int splitBodiesFrom(const BodyTable& table, const IntegrationState& state, bool velocitiesRead) {
  const BodyLayout& l = table.layout;
  if (state.options.extendedAccumulation || state.options.minorPerturb ||
      state.satelliteMode || velocitiesRead) {
    return l.bodyCount + 1;
  }
  return std::max(l.lastMassive, l.lastMajor) + 1;
}

void computeAccelerations(const BodyTable& table, const IntegrationState& state,
                          ForceModel& model, const ForceInput& in, const ForceCall& call,
                          Accelerations& acc) {
  ForceSplitBodies none;
  none.first = table.layout.bodyCount + 1;
  computeAccelerations(table, state, model, in, call, acc, none);
}

void computeAccelerations(const BodyTable& table, const IntegrationState& state,
                          ForceModel& model, const ForceInput& in, const ForceCall& call,
                          Accelerations& acc, const ForceSplitBodies& split) {
  const BodyLayout& l = table.layout;
  ForceWork& w = model.work;
  w.ensure(static_cast<std::size_t>(table.slots()));
  if (acc.x.size() < static_cast<std::size_t>(table.slots())) acc.resize(table.slots());

  detail::PassContext c{table, state, model, in, call, acc, split};
  c.N = l.bodyCount;
  c.earth = l.earthIndex;
  c.moon = l.moonIndex;
  c.lastMajor = l.lastMajor;
  c.lastMassive = l.lastMassive;
  c.moonIn = table.moonIntegrated() && c.moon != c.earth;
  c.extendedModel = state.options.extendedModel;
  c.doublePath = !state.options.extendedAccumulation;
  const int N = c.N;
  const int E = c.earth;

  // 1. Moon and satellites to barycentric; the stored values are kept and
  //    put back exactly at the end.
  if (c.moonIn) {
    c.moonGeoX = in.x[c.moon];
    c.moonGeoY = in.y[c.moon];
    c.moonGeoZ = in.z[c.moon];
    in.x[c.moon] += in.x[E];
    in.y[c.moon] += in.y[E];
    in.z[c.moon] += in.z[E];
  }
  const bool satellites = state.satelliteMode && N > c.lastMajor;
  if (satellites) {
    for (int j = c.lastMajor + 1; j <= N; ++j) {
      w.savedX[j] = in.x[j];
      w.savedY[j] = in.y[j];
      w.savedZ[j] = in.z[j];
      in.x[j] += in.x[E];
      in.y[j] += in.y[E];
      in.z[j] += in.z[E];
    }
  }
  acc.x[0] = acc.y[0] = acc.z[0] = 0.0L;

  // 2. Copies for the double path, zeroed accumulators: here for the bodies
  //    that attract (all of them with option C), in the minor-body pass for
  //    the others.
  const int copyEnd = state.options.minorPerturb ? N : std::min(c.lastMassive, N);
  const bool parallel = copyEnd - c.lastMajor > 4 * detail::forceChunkSize;
  detail::forEachIndex(1, copyEnd, parallel, [&](int i) {
    w.px[i] = static_cast<double>(in.x[i]);
    w.py[i] = static_cast<double>(in.y[i]);
    w.pz[i] = static_cast<double>(in.z[i]);
    if (c.doublePath) {
      w.gm[i] = static_cast<double>(table.stepMass[i]);
      w.ax[i] = w.ay[i] = w.az[i] = 0.0;
    } else {
      w.exAx[i] = w.exAy[i] = w.exAz[i] = 0.0L;
    }
  });

  // 3-7. The pair passes fill the accumulators; the Sun's pull and the
  //      summation then store each acceleration once (80-bit stores and
  //      loads are what the passes mostly cost). The minor-body pass does
  //      both for its bodies, the Sun's pass for the bodies up to
  //      lastMassive and the Sun.
  c.earthFigure = E >= 1 && E <= c.lastMajor && !table.isHidden(E);
  w.sunPartial.clear();
  detail::massiveSunDistances(c);
  detail::majorPairsPass(c);
  detail::minorBodiesPass(c);
  detail::sunPass(c);

  // Return to geocentric.
  if (c.moonIn) {
    in.x[c.moon] = c.moonGeoX;
    in.y[c.moon] = c.moonGeoY;
    in.z[c.moon] = c.moonGeoZ;
    acc.x[c.moon] -= acc.x[E];
    acc.y[c.moon] -= acc.y[E];
    acc.z[c.moon] -= acc.z[E];
  }
  if (satellites) {
    for (int j = c.lastMajor + 1; j <= N; ++j) {
      in.x[j] = w.savedX[j];
      in.y[j] = w.savedY[j];
      in.z[j] = w.savedZ[j];
      acc.x[j] -= acc.x[E];
      acc.y[j] -= acc.y[E];
      acc.z[j] -= acc.z[E];
    }
  }
}

}  // namespace tarvo
