// The detection and refinement of distance extrema inside a step, and the
// encounter quantities of a minimum (see close_approach.h).
#include "tarvo/events/close_approach.h"

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/physical_constants.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo {

void absoluteStates(const StepEnds& step, const BodyTable& table, bool satelliteMode,
                    TableStates& start, TableStates& end, StepEnds& out) {
    out = step;
    start = *step.start;
    end = *step.end;
    const auto e = static_cast<std::size_t>(table.layout.earthIndex);
    for (int i = 0; i <= step.bodyCount; ++i) {
        if (!isStoredGeocentric(table, i, satelliteMode)) continue;
        const auto k = static_cast<std::size_t>(i);
        for (TableStates* s : {&start, &end}) {
            const TableStates& src = s == &start ? *step.start : *step.end;
            s->x[k] += src.x[e], s->y[k] += src.y[e], s->z[k] += src.z[e];
            s->vx[k] += src.vx[e], s->vy[k] += src.vy[e], s->vz[k] += src.vz[e];
            s->ax[k] += src.ax[e], s->ay[k] += src.ay[e], s->az[k] += src.az[e];
        }
    }
    out.start = &start;
    out.end = &end;
}

namespace {

// A body's box over the step: x, y, z ranges, Gm.
struct Box {
    double lo[3], hi[3];
    int body;
};

bool overlapYZ(const Box& a, const Box& b) {
    return a.lo[1] <= b.hi[1] && b.lo[1] <= a.hi[1] && a.lo[2] <= b.hi[2] && b.lo[2] <= a.hi[2];
}

} // namespace

std::vector<std::pair<int, int>> candidatePairs(const StepEnds& step,
                                                const PairSelection& selection, double reach) {
    const TableStates& s = *step.start;
    const TableStates& e = *step.end;
    const double h2 = static_cast<double>(step.h * step.h);
    std::vector<Box> boxes(static_cast<std::size_t>(step.bodyCount + 1));
    for (int i = 0; i <= step.bodyCount; ++i) {
        const auto k = static_cast<std::size_t>(i);
        Box& b = boxes[k];
        b.body = i;
        const double a = std::max(
            {std::fabs(static_cast<double>(s.ax[k])), std::fabs(static_cast<double>(s.ay[k])),
             std::fabs(static_cast<double>(s.az[k])), std::fabs(static_cast<double>(e.ax[k])),
             std::fabs(static_cast<double>(e.ay[k])), std::fabs(static_cast<double>(e.az[k]))});
        const double widen = 0.25 * a * h2 + 0.5 * reach;
        const double ends[3][2] = {{static_cast<double>(s.x[k]), static_cast<double>(e.x[k])},
                                   {static_cast<double>(s.y[k]), static_cast<double>(e.y[k])},
                                   {static_cast<double>(s.z[k]), static_cast<double>(e.z[k])}};
        for (int c = 0; c < 3; ++c) {
            const double x0 = ends[c][0], x1 = ends[c][1];
            // A rounding's worth more, so that boxes that touch overlap.
            const double slack = 1e-12 * (std::fabs(x0) + std::fabs(x1)) + 1e-15;
            b.lo[c] = std::min(x0, x1) - widen - slack;
            b.hi[c] = std::max(x0, x1) + widen + slack;
        }
    }
    std::vector<std::pair<int, int>> pairs;
    if (!selection.all() && selection.first == selection.last) {
        // One body against the table: no sweep needed.
        const Box& one = boxes[static_cast<std::size_t>(selection.first)];
        for (const Box& b : boxes)
            if (b.body != one.body && b.lo[0] <= one.hi[0] && one.lo[0] <= b.hi[0] &&
                overlapYZ(one, b))
                pairs.emplace_back(std::min(one.body, b.body), std::max(one.body, b.body));
        return pairs;
    }
    std::sort(boxes.begin(), boxes.end(),
              [](const Box& l, const Box& r) { return l.lo[0] < r.lo[0]; });
    std::vector<const Box*> open;
    for (const Box& b : boxes) {
        std::erase_if(open, [&](const Box* o) { return o->hi[0] < b.lo[0]; });
        for (const Box* o : open)
            if ((selection.contains(o->body) || selection.contains(b.body)) && overlapYZ(*o, b))
                pairs.emplace_back(std::min(o->body, b.body), std::max(o->body, b.body));
        open.push_back(&b);
    }
    return pairs;
}

long double pairFunction(const TableStates& s, int a, int b) {
    const auto i = static_cast<std::size_t>(a), j = static_cast<std::size_t>(b);
    return (s.x[j] - s.x[i]) * (s.vx[j] - s.vx[i]) + (s.y[j] - s.y[i]) * (s.vy[j] - s.vy[i]) +
           (s.z[j] - s.z[i]) * (s.vz[j] - s.vz[i]);
}

bool bracketsExtremum(long double f0, long double f1, bool farthest) {
    return farthest ? (f0 > 0.0L && f1 <= 0.0L) : (f0 < 0.0L && f1 >= 0.0L);
}

namespace {

constexpr long double kPassTolerance = 1e-7L; // of the step
constexpr long double kZeroFunction = 1e-18L; // Gm^2/day
constexpr long double kWarningError = 1e-4L;  // Gm
constexpr int kMaxPasses = 1024;

long double dot(const std::array<long double, 3>& u, const std::array<long double, 3>& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}
std::array<long double, 3> minus(const std::array<long double, 3>& u,
                                 const std::array<long double, 3>& w) {
    return {u[0] - w[0], u[1] - w[1], u[2] - w[2]};
}

} // namespace

SpatialEvent refineSpatial(const StepEnds& step, int a, int b, long double f0, long double f1,
                           bool farthest) {
    const long double sign = farthest ? -1.0L : 1.0L;
    long double lo = 0.0L, flo = f0, hi = 1.0L, fhi = f1, previous = 2.0L;
    SpatialEvent ev;
    ev.a = a, ev.b = b;
    long double p = 1.0L;
    for (int pass = 1;; ++pass) {
        p = lo + (hi - lo) / (1.0L - fhi / flo);
        ev.stateA = interpolateBody(step, a, p, ev.interpolationError);
        ev.stateB = interpolateBody(step, b, p, ev.interpolationError);
        const long double f = dot(minus(ev.stateB.r, ev.stateA.r), minus(ev.stateB.v, ev.stateA.v));
        if (pass >= 3 && std::fabs(p - previous) < kPassTolerance) break;
        if (pass >= kMaxPasses) {
            ev.doubtful = true;
            break;
        }
        previous = p;
        if (sign * f > kZeroFunction)
            hi = p, fhi = f;
        else if (sign * f < -kZeroFunction)
            lo = p, flo = f;
        else
            break;
    }
    ev.p = p;
    ev.warning = ev.interpolationError > kWarningError;
    const auto d = minus(ev.stateB.r, ev.stateA.r);
    ev.distance = std::sqrt(dot(d, d));
    ev.time = step.t0 + static_cast<long double>(step.direction) * p * step.h;
    return ev;
}

Encounter encounterQuantities(long double massA, long double massB, long double massSun,
                              const InterpolatedState& a, const InterpolatedState& b,
                              const InterpolatedState& sun) {
    Encounter out;
    const long double mu = gravitationalConstant * (massA + massB);
    const auto dr = minus(b.r, a.r), dv = minus(b.v, a.v);
    const long double D = std::sqrt(dot(dr, dr));
    const long double V2 = dot(dv, dv);
    if (!(D > 0.0L) || !(mu > 0.0L)) return out;
    const long double radicand = V2 - 2.0L * mu / D;
    if (radicand < 0.0L) {
        out.bound = true;
        out.q3 = 648000.0L;
        return out;
    }
    out.vInfinity = std::sqrt(radicand);
    const long double vi2 = radicand;
    // The heavier body H and the lighter L (L is b when the masses are equal).
    const bool aHeavier = massA > massB;
    const InterpolatedState& H = aHeavier ? a : b;
    const InterpolatedState& L = aHeavier ? b : a;
    const auto rL = minus(L.r, sun.r), vL = minus(L.v, sun.v), vH = minus(H.v, sun.v);
    const auto d = minus(L.r, H.r);
    const long double muSun = gravitationalConstant * massSun;
    const long double inverseA = 2.0L / std::sqrt(dot(rL, rL)) - dot(vL, vL) / muSun;
    const long double speedH = std::sqrt(dot(vH, vH));
    const long double cosPsi = speedH > 0.0L ? dot(vH, d) / (speedH * D) : 0.0L;
    // A lighter body not bound to the Sun has no semi-major axis to change.
    if (inverseA > 0.0L) {
        out.q1 =
            4.0L * speedH * out.vInfinity * cosPsi / (muSun * inverseA * (1.0L + D * vi2 / mu));
        out.q2 = out.q1 * 3.5569e9L * std::pow(inverseA, 1.5L);
    }
    const long double degrees =
        std::asin(mu / (mu + D * vi2)) * 180.0L / std::numbers::pi_v<long double>;
    out.q3 = 2.0L * degrees * 3600.0L;
    return out;
}

} // namespace tarvo
