// computeAccelerations: runs the passes of the force model over the body
// table (Moon and satellites to barycentric, Sun, major pairs, minor bodies,
// summation and return to geocentric).
#include "force_passes.h"
#include "parallel_loop.h"

namespace tarvo {

void ForceWork::ensure(std::size_t n) {
  if (slots >= n) return;
  slots = n;
  for (auto* v : {&px, &py, &pz, &gm, &ax, &ay, &az, &notEarthFigure, &asymC0, &asymC1, &asymC2}) {
    v->assign(n, 0.0);
  }
  for (auto* v : {&exAx, &exAy, &exAz, &savedX, &savedY, &savedZ}) v->assign(n, 0.0L);
  asymActive.assign(n, 0);
}

void computeAccelerations(const BodyTable& table, const IntegrationState& state,
                          ForceModel& model, const ForceInput& in, const ForceCall& call,
                          Accelerations& acc) {
  const BodyLayout& l = table.layout;
  ForceWork& w = model.work;
  w.ensure(static_cast<std::size_t>(table.slots()));
  if (acc.x.size() < static_cast<std::size_t>(table.slots())) acc.resize(table.slots());

  detail::PassContext c{table, state, model, in, call, acc};
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

  // 2. Copies for the double path, zeroed accumulators.
  const bool parallel = N - c.lastMajor > 4 * detail::forceChunkSize;
  detail::forEachIndex(1, N, parallel, [&](int i) {
    if (c.doublePath) {
      w.px[i] = static_cast<double>(in.x[i]);
      w.py[i] = static_cast<double>(in.y[i]);
      w.pz[i] = static_cast<double>(in.z[i]);
      w.gm[i] = static_cast<double>(table.stepMass[i]);
      w.ax[i] = w.ay[i] = w.az[i] = 0.0;
    } else {
      w.exAx[i] = w.exAy[i] = w.exAz[i] = 0.0L;
    }
    w.notEarthFigure[i] =
        (i > c.lastMajor && detail::earthActsThroughFigure(c, i)) ? 0.0 : 1.0;
  });

  // 3-6. The passes.
  detail::sunPass(c);
  detail::majorPairsPass(c);
  detail::minorBodiesPass(c);

  // 7. Summation and return to geocentric.
  detail::forEachIndex(1, N, parallel, [&](int i) {
    if (c.doublePath) {
      acc.x[i] += w.ax[i];
      acc.y[i] += w.ay[i];
      acc.z[i] += w.az[i];
    } else {
      acc.x[i] += w.exAx[i];
      acc.y[i] += w.exAy[i];
      acc.z[i] += w.exAz[i];
    }
  });
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
