// Eclipse and occultation tracks (see occultation_tracker.h).
#include "occultation_tracker.h"

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo {

namespace {

using Vec = std::array<long double, 3>;
constexpr long double kDegree = 180.0L / std::numbers::pi_v<long double>;
constexpr long double kKeptDays = 1.0L;     // steps kept behind the newest one
constexpr long double kRetardation = 0.01L; // days: the Sun's light time and more

long double dot(const Vec& u, const Vec& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}
Vec minus(const Vec& u, const Vec& w) {
    return {u[0] - w[0], u[1] - w[1], u[2] - w[2]};
}
long double norm(const Vec& u) {
    return std::sqrt(dot(u, u));
}

// Position uncertainty (km) of body i at t, from its A2 and A3 values.
long double sigmaKm(const RunContext& run, int i, long double t) {
    const auto k = static_cast<std::size_t>(i);
    const long double years = std::fabs(t - run.libraryEpoch) / 365.25L;
    return years * run.bodies.A3[k] + run.bodies.A2[k];
}

} // namespace

long double overlapLimitDegrees(const RunContext& run, const AngularEvent& ev) {
    const BodyTable& t = run.bodies;
    const long double d1 = norm(minus(ev.stateA.r, ev.observer.r));
    const long double d2 = norm(minus(ev.stateB.r, ev.observer.r));
    const long double rc = t.radius[static_cast<std::size_t>(t.layout.earthIndex)];
    const long double r1 = t.radius[static_cast<std::size_t>(ev.a)];
    const long double r2 = t.radius[static_cast<std::size_t>(ev.b)];
    const bool bNearer = d2 <= d1;
    const long double dN = bNearer ? d2 : d1, dF = bNearer ? d1 : d2;
    const long double rN = bNearer ? r2 : r1, rF = bNearer ? r1 : r2;
    return ((rc + rN) / dN + (rF - rc) / dF) * kDegree;
}

bool OccultationTracker::begin(RunContext& run, const std::vector<std::string>& header,
                               std::string& message) {
    dir_ = run.dirs.workDir;
    eclipses_ = dir_ / "ECLIPSES.DAT";
    std::ofstream out(eclipses_, std::ios::binary | std::ios::trunc);
    if (!out) {
        message = "ECLIPSES.DAT cannot be written in " + dir_.string();
        return false;
    }
    for (const std::string& line : header) out << line << "\r\n";
    out.close();
    if (!deletePathFiles(dir_, message)) return false;
    kept_.clear();
    pending_.clear();
    pairSerials_.clear();
    counter_ = 0;
    pathFiles_ = 0;
    return true;
}

void OccultationTracker::event(const std::string& line, const AngularEvent& ev,
                               const RunContext& run) {
    const long double theta = ev.separation * kDegree;
    if (!(overlapLimitDegrees(run, ev) > theta)) return;
    {
        std::ofstream out(eclipses_, std::ios::binary | std::ios::app);
        out << line << "\r\n";
    }
    const BodyTable& t = run.bodies;
    const int earth = t.layout.earthIndex;
    Vec A = minus(ev.stateA.r, ev.observer.r), B = minus(ev.stateB.r, ev.observer.r);
    Vec vA = minus(ev.stateA.v, ev.observer.v), vB = minus(ev.stateB.v, ev.observer.v);
    PendingPath path;
    path.occulting = ev.a, path.occulted = ev.b;
    if (norm(B) < norm(A)) { // the nearer body occults
        std::swap(A, B), std::swap(vA, vB);
        std::swap(path.occulting, path.occulted);
    }
    // The axis in the plane through the Earth's centre across it: how far
    // from the centre it passes, and how fast it moves there.
    const Vec w = minus(B, A), vw = minus(vB, vA);
    const long double length = norm(w);
    const Vec s{w[0] / length, w[1] / length, w[2] / length};
    const long double ws = dot(vw, s);
    const Vec sRate{(vw[0] - ws * s[0]) / length, (vw[1] - ws * s[1]) / length,
                    (vw[2] - ws * s[2]) / length};
    const long double As = dot(A, s), AsRate = dot(vA, s) + dot(A, sRate);
    Vec across, acrossRate;
    for (std::size_t k = 0; k < 3; ++k) {
        across[k] = A[k] - As * s[k];
        acrossRate[k] = vA[k] - AsRate * s[k] - As * sRate[k];
    }
    const long double R = t.radius[static_cast<std::size_t>(earth)];
    const long double miss = norm(across);
    if (!(miss < R)) return; // the axis passes beside the Earth: no track
    const long double halfDuration = std::sqrt(R * R - miss * miss) / norm(acrossRate);
    const PathGrid grid = pathGrid(halfDuration, kPathPointsGeocentric);
    if (grid.perSide <= 0) return;

    const long double dt = run.deltaT.mode == DeltaTMode::Off ? 0.0L : deltaT(ev.time, run.deltaT);
    path.deltaTSeconds = dt * kSecondsPerDay;
    path.eventLine = line;
    path.sigmaOccultingKm = sigmaKm(run, path.occulting, ev.time);
    path.sigmaOccultedKm = sigmaKm(run, path.occulted, ev.time);
    const long double centre = gridCentreUT(ev.time - dt, grid.K);
    for (long k = -grid.perSide; k <= grid.perSide; ++k) {
        PathPoint p;
        p.ut = centre + static_cast<long double>(k) * grid.M / grid.K / 1440.0L;
        p.tt = p.ut + dt;
        path.points.push_back(p);
    }
    pending_.push_back(std::move(path));
}

void OccultationTracker::afterStep(const StepEnds& whole, const RunContext& run) {
    KeptStep kept;
    kept.start = *whole.start;
    kept.end = *whole.end;
    kept.ends = whole;
    kept_.push_back(std::move(kept));
    for (KeptStep& k : kept_) k.ends.start = &k.start, k.ends.end = &k.end;
    const long double newest = kept_.back().ends.t1;
    while (kept_.size() > 2 && std::fabs(newest - kept_.front().ends.t1) > kKeptDays)
        kept_.pop_front();
    computeReady(run, false);
}

void OccultationTracker::finish(const RunContext& run) {
    if (!kept_.empty()) computeReady(run, true);
    pending_.clear();
    kept_.clear();
}

InterpolatedState OccultationTracker::stateAt(int body, long double tt) const {
    const KeptStep* best = nullptr;
    long double bestGap = 0.0L;
    for (const KeptStep& k : kept_) {
        const long double lo = std::min(k.ends.t0, k.ends.t1), hi = std::max(k.ends.t0, k.ends.t1);
        const long double gap = tt < lo ? lo - tt : tt > hi ? tt - hi : 0.0L;
        if (!best || gap < bestGap) best = &k, bestGap = gap;
        if (gap == 0.0L) break;
    }
    const StepEnds& e = best->ends;
    const long double p = (tt - e.t0) / (static_cast<long double>(e.direction) * e.h);
    long double unused = 0.0L;
    return interpolateBody(e, body, p, unused);
}

void OccultationTracker::computeReady(const RunContext& run, bool all) {
    const StepEnds& newest = kept_.back().ends;
    const int d = newest.direction;
    for (auto it = pending_.begin(); it != pending_.end();) {
        bool complete = true;
        for (PathPoint& point : it->points) {
            if (point.done) continue;
            // A point is taken once its instant and the light time before it
            // lie in the kept steps.
            const long double needed = d > 0 ? point.tt : point.tt - kRetardation;
            if (!all && d * (needed - newest.t1) > 0.0L) {
                complete = false;
                continue;
            }
            computePoint(*it, point, run);
            point.done = true;
        }
        if (complete) {
            writePath(*it, run);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
}

void OccultationTracker::computePoint(PendingPath& path, PathPoint& point,
                                      const RunContext& run) const {
    const BodyTable& t = run.bodies;
    const int earth = t.layout.earthIndex;
    const InterpolatedState E = stateAt(earth, point.tt);
    // The shadow on the ground at tt is cast by light that passed the
    // occulting body and left the occulted one earlier: their positions are
    // taken at those instants, relative to the Earth at tt (a translation
    // keeps the three points of the ray on one line).
    const InterpolatedState O = stateAt(path.occulting, point.tt);
    const InterpolatedState T = stateAt(path.occulted, point.tt);
    const long double tauO = norm(minus(O.r, E.r)) / speedOfLight;
    const long double tauT = (norm(minus(T.r, O.r)) + norm(minus(O.r, E.r))) / speedOfLight;
    const InterpolatedState Or = stateAt(path.occulting, point.tt - tauO);
    const InterpolatedState Tr = stateAt(path.occulted, point.tt - tauT);
    ShadowInput in;
    in.occulting = minus(Or.r, E.r);
    in.occulted = minus(Tr.r, E.r);
    in.radiusOcculting = t.radius[static_cast<std::size_t>(path.occulting)];
    in.radiusOcculted = t.radius[static_cast<std::size_t>(path.occulted)];
    in.earthRadius = t.radius[static_cast<std::size_t>(earth)];
    in.ut = point.ut;
    in.equationOfEquinoxes = run.frame.equationOfEquinoxes;
    in.sigmaOccultingKm = path.sigmaOccultingKm;
    in.sigmaOccultedKm = path.sigmaOccultedKm;
    point.point = shadowPoint(in);
}

void OccultationTracker::writePath(PendingPath& path, const RunContext& run) {
    std::vector<const PathPoint*> shown;
    for (const PathPoint& p : path.points) {
        const ShadowPoint& s = p.point;
        if (!s.exists || !(s.sinAltitude > -0.1L)) continue;
        if (!std::isfinite(s.longitude) || !std::isfinite(s.latitude) || !std::isfinite(s.wmin))
            continue;
        shown.push_back(&p);
    }
    if (shown.empty()) return;
    std::sort(shown.begin(), shown.end(),
              [](const PathPoint* a, const PathPoint* b) { return a->ut < b->ut; });
    std::string name;
    if (solar_) {
        counter_ = nextPathCounter(counter_);
        name = solarEclipseFileName(counter_);
    } else {
        const std::string first = bodyName(run.bodies, path.occulting),
                          second = bodyName(run.bodies, path.occulted);
        const int serial = ++pairSerials_[occultationFileName(first, second)];
        name = occultationFileName(first, second, serial);
    }
    std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
    out << occHeaderLine(path.eventLine, path.deltaTSeconds) << "\r\n";
    for (const PathPoint* p : shown) out << occPointLine(p->ut, p->point) << "\r\n";
    if (out) ++pathFiles_;
}

} // namespace tarvo
