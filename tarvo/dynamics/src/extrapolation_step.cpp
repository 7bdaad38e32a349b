// One extrapolation step: M + 1 stages of Stoermer's rule with n_j substeps,
// folded into running sums with the Richardson weights (no tableau), an error
// sum with the error weights, and the Moon's own weights at the 3-day step.
// Stops being accurate when a body makes more than about a tenth of an orbit
// per step; the error estimate then tells the step control to subdivide.
#include <algorithm>
#include <cmath>
#include <type_traits>

#include "tarvo/dynamics/integrator.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/dynamics/weight_tables.h"
#include "parallel_loop.h"

namespace tarvo {

namespace {
constexpr int parallelBodyThreshold = 4096;

// True when a force of the model reads the velocity arrays: drag of
// satellites and the non-gravitational forces of minor bodies.
bool forcesReadVelocities(const BodyTable& t, const IntegrationState& s) {
  if (!s.options.extendedModel) return false;
  if (s.satelliteMode) return true;
  if (s.options.minorPerturb) return false;
  if (s.options.nonGravMode == NonGravLaw::yarkovsky) return true;
  for (int i = t.layout.lastMajor + 1; i <= t.layout.bodyCount; ++i) {
    if (t.nonGravFlag[i] != suiteFalse) return true;
  }
  return false;
}

// Runs body(i, std::false_type) for the bodies 0 .. split - 1 and
// body(i, std::true_type) for split .. N.
template <typename Body>
void forEachBodySplit(int N, int split, bool parallel, Body&& body) {
  const int last = std::min(split - 1, N);
  detail::forEachIndex(0, last, parallel && last > parallelBodyThreshold,
                       [&](int i) { body(i, std::false_type{}); });
  detail::forEachIndex(split, N, parallel, [&](int i) { body(i, std::true_type{}); });
}

// H^2 a of body i at the stage's last evaluation, from the pairs of a split
// body or from the extended array (written to the caller's locals, which
// stay in registers once inlined).
template <bool SplitBody>
inline void stageAcceleration(const ExtrapolationWork& w, int i, long double& ax,
                              long double& ay, long double& az) {
  if constexpr (SplitBody) {
    ax = w.stageAccX[i].value();
    ay = w.stageAccY[i].value();
    az = w.stageAccZ[i].value();
  } else {
    ax = w.stage.x[i];
    ay = w.stage.y[i];
    az = w.stage.z[i];
  }
}
}  // namespace

void ExtrapolationWork::ensure(std::size_t n) {
  if (slots >= n) return;
  slots = n;
  for (auto* v : {&stageX, &stageY, &stageZ, &incX, &incY, &incZ, &savedStepMass}) {
    v->assign(n, 0.0L);
  }
  sums.assign(n, BodySums{});
  for (auto* v : {&stagePosX, &stagePosY, &stagePosZ, &stageAccX, &stageAccY, &stageAccZ}) {
    v->assign(n, SplitExtended{});
  }
  start.resize(n);
  stage.resize(n);
}

long double relativeStepError(const long double errorSum[3], const long double position[3],
                              long double denominator) {
  const long double S = std::fabs(position[0]) + std::fabs(position[1]) + std::fabs(position[2]);
  return (std::fabs(errorSum[0]) + std::fabs(errorSum[1]) + std::fabs(errorSum[2])) /
         (S * denominator + 1e-9L);
}

int forceEvaluationsPerStep(int orderCode) {
  int count = 1;
  for (int j = 0; j <= orderCode && j <= maxOrderCode; ++j) count += substepSequence[j];
  return count;
}

StepError extrapolationStep(BodyTable& t, const IntegrationState& state, ForceModel& model,
                            Integrator& integrator) {
  ExtrapolationWork& w = integrator.work;
  w.ensure(static_cast<std::size_t>(t.slots()));
  const int N = t.layout.bodyCount;
  // Adaptive control needs the error weights, which exist from M = 6; the
  // control runs at least at M = 7.
  const int M = state.adaptive ? std::clamp(state.orderCode, 7, maxOrderCode)
                               : std::clamp(state.orderCode, 0, maxOrderCode);
  const long double h = state.step;
  const bool adaptive = state.adaptive;
  const bool parallel = N > parallelBodyThreshold;
  const int moon = t.layout.moonIndex;
  const bool moonTable = integrator.moonTableEnabled && t.moonIntegrated() && h == 3.0L &&
                         M >= 6;
  const bool velocitiesRead = forcesReadVelocities(t, state);
  // Inside the stages the massless minor bodies of the double path keep
  // their positions and accelerations as exact double pairs: the same
  // values without 80-bit stores.
  const int split = splitBodiesFrom(t, state, velocitiesRead);
  ForceSplitBodies splitBodies;
  splitBodies.first = split;
  splitBodies.x = w.stagePosX.data();
  splitBodies.y = w.stagePosY.data();
  splitBodies.z = w.stagePosZ.data();
  splitBodies.ax = w.stageAccX.data();
  splitBodies.ay = w.stageAccY.data();
  splitBodies.az = w.stageAccZ.data();

  // 1. Sums to zero.
  detail::forEachIndex(0, N, parallel, [&](int i) {
    ExtrapolationWork::BodySums& b = w.sums[i];
    for (int k = 0; k < 3; ++k) b.posSum[k] = b.velSum[k] = b.errSum[k] = SplitExtended{};
  });

  // 2. Accelerations at the start (step masses for h).
  {
    const ForceInput in{t.posX.data(), t.posY.data(), t.posZ.data(), t.velX.data(),
                        t.velY.data(), t.velZ.data(), h};
    ForceCall call;
    call.H = h;
    call.mode = ForceCallMode::stepStart;
    computeAccelerations(t, state, model, in, call, w.start);
  }

  // Step masses are changed per stage for the bodies that attract.
  const int massEnd = state.options.minorPerturb ? N : std::min(t.layout.lastMassive, N);
  for (int i = 0; i <= massEnd; ++i) w.savedStepMass[i] = t.stepMass[i];

  const ForceInput stageIn{w.stageX.data(), w.stageY.data(), w.stageZ.data(), w.incX.data(),
                           w.incY.data(), w.incZ.data(), h};
  const WeightRow& W = extrapolationWeights[M];
  const WeightRow& Ew = errorWeights[M];
  const WeightRow& Lw = moonWeights[M];

  // 3. The stages.
  for (int j = 0; j <= M; ++j) {
    const int n = substepSequence[j];
    const long double nl = n;
    const long double H = h / nl;
    const long double twoN = 2.0L * nl;
    const long double HGH = H * gravitationalConstant * H;
    for (int i = 0; i <= massEnd; ++i) t.stepMass[i] = HGH * t.mass[i];
    ForceInput in = stageIn;
    in.velocityStep = H;

    // Divisions, not multiplications by rounded reciprocals: a reciprocal's
    // rounding biases every step the same way and shows as a drift of
    // energy (twice the two-body error over 100 orbits).
    // Inside the stage the increment is Delta_k = Delta_1 + sum of the A so
    // far: the stage position takes Delta_1 + accSum, and the increment
    // array (the velocities the force model reads) is written only when a
    // force needs it.
    forEachBodySplit(N, split, parallel, [&](int i, auto splitBody) {
      ExtrapolationWork::BodySums& b = w.sums[i];
      const long double hx = w.start.x[i] / twoN;
      const long double hy = w.start.y[i] / twoN;
      const long double hz = w.start.z[i] / twoN;
      b.halfStart[0].set(hx);
      b.halfStart[1].set(hy);
      b.halfStart[2].set(hz);
      const long double dx = (hx + t.velX[i]) / nl;
      const long double dy = (hy + t.velY[i]) / nl;
      const long double dz = (hz + t.velZ[i]) / nl;
      b.firstInc[0].set(dx);
      b.firstInc[1].set(dy);
      b.firstInc[2].set(dz);
      if (velocitiesRead) {
        w.incX[i] = dx;
        w.incY[i] = dy;
        w.incZ[i] = dz;
      }
      if constexpr (splitBody) {
        w.stagePosX[i].set(t.posX[i] + dx);
        w.stagePosY[i].set(t.posY[i] + dy);
        w.stagePosZ[i].set(t.posZ[i] + dz);
      } else {
        w.stageX[i] = t.posX[i] + dx;
        w.stageY[i] = t.posY[i] + dy;
        w.stageZ[i] = t.posZ[i] + dz;
      }
    });
    ForceCall call;
    call.H = H;
    call.mode = ForceCallMode::substep;
    call.substeps = n;
    for (int k = 1; k < n; ++k) {
      call.substep = k;
      computeAccelerations(t, state, model, in, call, w.stage, splitBodies);
      // accSum = A_1 + .. + A_k; accMoment = sum of the accSums (the first
      // substep writes both without reading them).
      const bool first = k == 1;
      forEachBodySplit(N, split, parallel, [&](int i, auto splitBody) {
        ExtrapolationWork::BodySums& b = w.sums[i];
        long double ax, ay, az;
        stageAcceleration<splitBody>(w, i, ax, ay, az);
        const long double sx = first ? ax : b.accSum[0].value() + ax;
        const long double sy = first ? ay : b.accSum[1].value() + ay;
        const long double sz = first ? az : b.accSum[2].value() + az;
        b.accSum[0].set(sx);
        b.accSum[1].set(sy);
        b.accSum[2].set(sz);
        b.accMoment[0].set(first ? sx : b.accMoment[0].value() + sx);
        b.accMoment[1].set(first ? sy : b.accMoment[1].value() + sy);
        b.accMoment[2].set(first ? sz : b.accMoment[2].value() + sz);
        const long double ix = b.firstInc[0].value() + sx;
        const long double iy = b.firstInc[1].value() + sy;
        const long double iz = b.firstInc[2].value() + sz;
        if constexpr (splitBody) {
          w.stagePosX[i].set(w.stagePosX[i].value() + ix);
          w.stagePosY[i].set(w.stagePosY[i].value() + iy);
          w.stagePosZ[i].set(w.stagePosZ[i].value() + iz);
        } else {
          w.stageX[i] += ix;
          w.stageY[i] += iy;
          w.stageZ[i] += iz;
        }
        if (velocitiesRead) {
          w.incX[i] = ix;
          w.incY[i] = iy;
          w.incZ[i] = iz;
        }
      });
    }
    if (n == 1) {
      for (int i = 0; i <= N; ++i) {
        for (int k = 0; k < 3; ++k) w.sums[i].accSum[k] = w.sums[i].accMoment[k] = SplitExtended{};
      }
    }
    call.substep = n;
    computeAccelerations(t, state, model, in, call, w.stage, splitBodies);

    // The stage's end state enters the sums as its deviation from the
    // straight-line motion x + u and from the start velocity u (exact
    // algebra of the stage): the large alternating weights then multiply
    // small numbers and their cancellation costs no precision.
    //   x_n - x - u = a0/(2n) + sum_k (n - k) A_k
    //   n (A_n/2 + Delta_n) - u = n (A_n/2 + sum_k A_k) + a0/(2n)
    const long double c = W[j + 1];
    const long double ce = Ew[j + 1];
    forEachBodySplit(N, split, parallel, [&](int i, auto splitBody) {
      const long double cp = (moonTable && i == moon) ? static_cast<long double>(Lw[j + 1]) : c;
      ExtrapolationWork::BodySums& b = w.sums[i];
      long double ax, ay, az;
      stageAcceleration<splitBody>(w, i, ax, ay, az);
      const long double hx = b.halfStart[0].value();
      const long double hy = b.halfStart[1].value();
      const long double hz = b.halfStart[2].value();
      const long double devX = hx + b.accMoment[0].value();
      const long double devY = hy + b.accMoment[1].value();
      const long double devZ = hz + b.accMoment[2].value();
      b.posSum[0].set(b.posSum[0].value() + devX * cp);
      b.posSum[1].set(b.posSum[1].value() + devY * cp);
      b.posSum[2].set(b.posSum[2].value() + devZ * cp);
      b.velSum[0].set(b.velSum[0].value() + (nl * (ax / 2.0L + b.accSum[0].value()) + hx) * cp);
      b.velSum[1].set(b.velSum[1].value() + (nl * (ay / 2.0L + b.accSum[1].value()) + hy) * cp);
      b.velSum[2].set(b.velSum[2].value() + (nl * (az / 2.0L + b.accSum[2].value()) + hz) * cp);
      if (adaptive) {
        b.errSum[0].set(b.errSum[0].value() + devX * ce);
        b.errSum[1].set(b.errSum[1].value() + devY * ce);
        b.errSum[2].set(b.errSum[2].value() + devZ * ce);
      }
    });
  }
  for (int i = 0; i <= massEnd; ++i) t.stepMass[i] = w.savedStepMass[i];

  // 4. The new state.
  const long double D = W[0];
  const long double DMoon = moonTable ? static_cast<long double>(Lw[0]) : D;
  detail::forEachIndex(0, N, parallel, [&](int i) {
    const long double d = (moonTable && i == moon) ? DMoon : D;
    const ExtrapolationWork::BodySums& b = w.sums[i];
    t.posX[i] += t.velX[i] + b.posSum[0].value() / d;
    t.posY[i] += t.velY[i] + b.posSum[1].value() / d;
    t.posZ[i] += t.velZ[i] + b.posSum[2].value() / d;
    t.velX[i] += b.velSum[0].value() / d;
    t.velY[i] += b.velSum[1].value() / d;
    t.velZ[i] += b.velSum[2].value() / d;
  });

  // 5. Error estimate; the Sun and the Moon never set it.
  StepError result;
  result.moonTableUsed = moonTable;
  long double check = 0.0L;
  for (int i = 0; i <= N; ++i) check += t.posX[i] + t.posY[i] + t.posZ[i] + t.velX[i];
  result.finite = std::isfinite(check);
  if (adaptive) {
    const long double De = Ew[0];
    for (int i = 1; i <= N; ++i) {
      if (t.moonIntegrated() && i == moon) continue;
      const ExtrapolationWork::BodySums& b = w.sums[i];
      const long double err[3] = {b.errSum[0].value(), b.errSum[1].value(),
                                  b.errSum[2].value()};
      const long double pos[3] = {t.posX[i], t.posY[i], t.posZ[i]};
      const long double e = relativeStepError(err, pos, De);
      if (!std::isfinite(e)) {
        result.finite = false;
        result.error = static_cast<double>(e);
        result.worstBody = i;
        break;
      }
      if (e > result.error) {
        result.error = static_cast<double>(e);
        result.worstBody = i;
      }
    }
  }
  return result;
}

}  // namespace tarvo
