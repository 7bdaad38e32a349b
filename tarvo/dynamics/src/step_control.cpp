// Step control and the integration driver: retries with halved steps while
// the error estimate exceeds the tolerance, growth when it is far below,
// landing exactly on the nominal step boundary, the Moon rule (no steps
// between 2 and 3 days), solar mass-loss timing and time reversal.
// The control is deterministic: the smallest step it tries is a fixed
// fraction (2^-40) of the nominal step, whatever the speed of the machine.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "tarvo/dynamics/integrator.h"
#include "tarvo/dynamics/physical_constants.h"

namespace tarvo {

namespace {

void saveState(const BodyTable& t, StepControl& c) {
  const std::size_t n = static_cast<std::size_t>(t.layout.bodyCount) + 1;
  c.savedX.assign(t.posX.begin(), t.posX.begin() + n);
  c.savedY.assign(t.posY.begin(), t.posY.begin() + n);
  c.savedZ.assign(t.posZ.begin(), t.posZ.begin() + n);
  c.savedVX.assign(t.velX.begin(), t.velX.begin() + n);
  c.savedVY.assign(t.velY.begin(), t.velY.begin() + n);
  c.savedVZ.assign(t.velZ.begin(), t.velZ.begin() + n);
}

void restoreState(BodyTable& t, const StepControl& c) {
  std::copy(c.savedX.begin(), c.savedX.end(), t.posX.begin());
  std::copy(c.savedY.begin(), c.savedY.end(), t.posY.begin());
  std::copy(c.savedZ.begin(), c.savedZ.end(), t.posZ.begin());
  std::copy(c.savedVX.begin(), c.savedVX.end(), t.velX.begin());
  std::copy(c.savedVY.begin(), c.savedVY.end(), t.velY.begin());
  std::copy(c.savedVZ.begin(), c.savedVZ.end(), t.velZ.begin());
}

// Steps in (2, 3) days are not used while the Moon is integrated.
long double applyMoonRule(const BodyTable& t, long double h) {
  if (t.moonIntegrated() && h > 2.0L && h < 3.0L) return 2.0L;
  return h;
}

void changeStep(BodyTable& t, IntegrationState& s, long double newStep) {
  s.previousStep = s.step;
  s.step = newStep;
  rescaleStep(t, s);
}

constexpr const char* nonFiniteMessage = "Error 6 is in Integrate";

std::string bodyLabel(const BodyTable& t, int i) {
  std::string name = bodyName(t, i);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return "body " + std::to_string(i) + (name.empty() ? "" : " (" + name + ")");
}

// What went wrong in an attempt whose new state is not finite: a mass that
// is no number, or else the first body whose state is no longer finite
// (`worst` when every state is) and the body nearest to it at the start of
// the step (`saved`), the usual cause being a pair far too close.
// `faultBody` and `nearestBody` receive their indices (-1 when none).
std::string nonFiniteStepMessage(const BodyTable& trial, const StepControl& saved, int worst,
                                 int& faultBody, int& nearestBody) {
  const int N = trial.layout.bodyCount;
  faultBody = nearestBody = -1;
  for (int i = 0; i <= N; ++i)
    if (!std::isfinite(trial.mass[i]) || !std::isfinite(trial.radius[i])) {
      faultBody = i;
      return std::string(nonFiniteMessage) + ": the mass or radius of " + bodyLabel(trial, i) +
             " is not a number";
    }
  int body = -1;
  for (int i = 0; i <= N && body < 0; ++i)
    if (!std::isfinite(trial.posX[i] + trial.posY[i] + trial.posZ[i] + trial.velX[i] +
                       trial.velY[i] + trial.velZ[i]))
      body = i;
  if (body < 0) body = worst;
  if (body < 0 || body > N || static_cast<std::size_t>(N) >= saved.savedX.size())
    return nonFiniteMessage;
  const auto b = static_cast<std::size_t>(body);
  int nearest = -1;
  long double nearestDistance = 0.0L;
  for (int j = 0; j <= N; ++j) {
    if (j == body) continue;
    const auto k = static_cast<std::size_t>(j);
    const long double d = std::hypot(saved.savedX[k] - saved.savedX[b],
                                     saved.savedY[k] - saved.savedY[b],
                                     saved.savedZ[k] - saved.savedZ[b]);
    if (std::isfinite(d) && (nearest < 0 || d < nearestDistance)) nearest = j, nearestDistance = d;
  }
  faultBody = body;
  nearestBody = nearest;
  std::string text = std::string(nonFiniteMessage) + ": the motion of " + bodyLabel(trial, body) +
                     " is no longer finite";
  if (nearest >= 0) {
    char distance[32];
    std::snprintf(distance, sizeof distance, "%.3Lg km", nearestDistance * 1.0e6L);
    text += "; at the start of the step it was " + std::string(distance) + " from " +
            bodyLabel(trial, nearest);
  }
  return text + ". Check the state, mass and radius given for them.";
}

}  // namespace

void rescaleStep(BodyTable& t, const IntegrationState& s) {
  const int N = t.layout.bodyCount;
  const long double h = s.step;
  const long double hGh = h * gravitationalConstant * h;
  const long double factor = h / s.previousStep;
  for (int i = 0; i <= N; ++i) {
    t.stepMass[i] = hGh * t.mass[i];
    t.velX[i] *= factor;
    t.velY[i] *= factor;
    t.velZ[i] *= factor;
  }
}

void beginIntegration(BodyTable& t, IntegrationState& s, int direction) {
  s.direction = direction < 0 ? -1 : 1;
  if (s.direction < 0) {
    for (int i = 0; i <= t.layout.bodyCount; ++i) {
      t.velX[i] = -t.velX[i];
      t.velY[i] = -t.velY[i];
      t.velZ[i] = -t.velZ[i];
    }
  }
  s.previousStep = 1.0L;
  rescaleStep(t, s);
  s.previousStep = s.step;
}

void reverseDirection(BodyTable& t, IntegrationState& s) {
  s.direction = -s.direction;
  for (int i = 0; i <= t.layout.bodyCount; ++i) {
    t.velX[i] = -t.velX[i];
    t.velY[i] = -t.velY[i];
    t.velZ[i] = -t.velZ[i];
  }
}

int stepHalvings(double error) {
  const double excess = std::log2(error / stepTolerance) / 16.0;
  const int count = static_cast<int>(std::ceil(excess));
  return std::clamp(count, 1, 64);
}

IntegrateResult integrateStep(BodyTable& t, IntegrationState& s, ForceModel& model,
                              Integrator& integrator) {
  StepControl& c = integrator.control;
  IntegrateResult result;
  const bool adaptive = s.adaptive;
  const long double floorStep = s.nominalStep * minimumStepFraction;
  saveState(t, c);

  StepError err;
  for (;;) {
    ++result.attempts;
    s.solarMassLossFactor =
        s.options.solarMassLoss ? -2.5e-16L * (s.epoch + s.direction * s.step / 2.0L) : 0.0L;
    err = extrapolationStep(t, s, model, integrator);
    if (!err.finite) {
      result.message =
          nonFiniteStepMessage(t, c, err.worstBody, result.faultBody, result.nearestBody);
      restoreState(t, c);
      result.status = IntegrateStatus::error;
      result.error = err.error;
      result.worstBody = err.worstBody;
      return result;
    }
    if (!adaptive || err.error <= stepTolerance || s.step <= floorStep) break;
    restoreState(t, c);
    const int halvings = stepHalvings(err.error);
    result.halvings += halvings;
    long double h = std::ldexp(s.step, -halvings);
    h = std::max(applyMoonRule(t, h), floorStep);
    changeStep(t, s, h);
    saveState(t, c);
  }

  result.stepTaken = s.step;
  result.error = err.error;
  result.worstBody = err.worstBody;
  if (integrator.wantEndAccelerations || integrator.stepHook) {
    const ForceInput in{t.posX.data(), t.posY.data(), t.posZ.data(), t.velX.data(),
                        t.velY.data(), t.velZ.data(), s.step};
    ForceCall call;
    call.H = s.step;
    call.mode = ForceCallMode::stepEnd;
    computeAccelerations(t, s, model, in, call, integrator.endOfStep);
  }

  c.remaining -= s.step;
  const long double eps = c.timeEpsilon;
  if (c.remaining > eps) {
    long double next = s.step;
    if (adaptive && err.error < stepGrowthThreshold) {
      const int doublings =
          static_cast<int>(std::floor(std::log2(stepTolerance / err.error) / 16.0));
      next = std::ldexp(next, std::clamp(doublings, 0, 64));
    }
    next = applyMoonRule(t, next);
    if (c.remaining - eps < next) next = c.remaining;
    if (std::fabs(s.step - next) > eps) changeStep(t, s, next);
  } else {
    result.boundaryReached = true;
    c.remaining = s.nominalStep;
    if (std::fabs(s.step - s.nominalStep) > eps) changeStep(t, s, s.nominalStep);
  }
  return result;
}

void refreshEarthFigureFlags(BodyTable& t, const IntegrationState& s) {
  const int N = t.layout.bodyCount;
  const int E = t.layout.earthIndex;
  const long double range2 = earthFigureRange * earthFigureRange;
  for (int j = t.layout.lastMajor + 1; j <= N; ++j) {
    if (s.satelliteMode || E < 1) {
      t.earthFigureFlag[j] = suiteFalse;
      continue;
    }
    const long double dx = t.posX[j] - t.posX[E];
    const long double dy = t.posY[j] - t.posY[E];
    const long double dz = t.posZ[j] - t.posZ[E];
    t.earthFigureFlag[j] = (dx * dx + dy * dy + dz * dz < range2) ? suiteTrue : suiteFalse;
  }
}

IntegrateResult advanceNominalStep(BodyTable& t, IntegrationState& s, ForceModel& model,
                                   Integrator& integrator) {
  StepControl& c = integrator.control;
  const long double startEpoch = s.epoch;
  const long double startCarry = s.epochCarry;
  c.remaining = s.nominalStep;
  c.timeEpsilon = stepTimeEpsilon * s.step;
  const long double ruled = applyMoonRule(t, s.step);
  if (ruled != s.step) changeStep(t, s, ruled);

  IntegrateResult total;
  for (;;) {
    refreshEarthFigureFlags(t, s);
    const long double before = s.epoch;
    IntegrateResult r = integrateStep(t, s, model, integrator);
    total.attempts += r.attempts;
    total.halvings += r.halvings;
    total.error = std::max(total.error, r.error);
    total.stepTaken = r.stepTaken;
    if (total.smallestStep == 0.0L || r.stepTaken < total.smallestStep)
      total.smallestStep = r.stepTaken;
    if (r.status != IntegrateStatus::ok) {
      total.status = r.status;
      total.message = r.message;
      total.worstBody = r.worstBody;
      total.faultBody = r.faultBody;
      total.nearestBody = r.nearestBody;
      return total;
    }
    if (r.boundaryReached) {
      // The nominal step is exact whatever substeps were taken.
      s.epoch = startEpoch;
      s.epochCarry = startCarry;
      advanceEpoch(s, s.direction * s.nominalStep);
    } else {
      advanceEpoch(s, s.direction * r.stepTaken);
    }
    if (integrator.stepHook) {
      StepEnds ends;
      captureStepEnds(t, s, integrator, before, r.stepTaken, integrator.hookStart, integrator.hookEnd, ends);
      ends.t1 = s.epoch;  // exactly the boundary when it was reached
      integrator.stepHook->afterAcceptedStep(ends);
    }
    const long double tA = std::min(before, s.epoch);
    const long double tB = std::max(before, s.epoch);
    if (s.options.singleImpulse) applyImpulses(t, s, tA, tB, r.stepTaken);
    if (r.boundaryReached) {
      total.boundaryReached = true;
      return total;
    }
  }
}

}  // namespace tarvo
