// Eclipse and occultation tracks (see occultation_tracker.h).
#include "occultation_tracker.h"

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/places.h"
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
    selocc_ = dir_ / "SELOCC.DAT";
    topocecl_ = dir_ / "TOPOCECL.DAT";
    std::vector<std::filesystem::path> files{eclipses_};
    if (topocentric_) files = {selocc_, topocecl_};
    for (const auto& file : files) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        for (const std::string& line : header) out << line << "\r\n";
        if (!out) {
            message = file.filename().string() + " cannot be written in " + dir_.string();
            return false;
        }
    }
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
    if (!topocentric_) appendLine(eclipses_, line);
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
    // An axis beside the Earth has no track; in topocentric mode the site
    // is still judged over the hours around the event (a partial eclipse).
    if (!(miss < R) && !topocentric_) return;
    const long double halfChord = miss < R ? std::sqrt(R * R - miss * miss) : R;
    const long double halfDuration = halfChord / norm(acrossRate);
    const PathGrid grid =
        pathGrid(halfDuration, topocentric_ ? kPathPointsTopocentric : kPathPointsGeocentric);
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
    while (kept_.size() > 3 && std::fabs(newest - kept_.front().ends.t1) > kKeptDays)
        kept_.pop_front();
    collectEnds();
    computeReady(run, false);
}

void OccultationTracker::finish(const RunContext& run) {
    if (!kept_.empty()) computeReady(run, true);
    pending_.clear();
    kept_.clear();
}

void OccultationTracker::collectEnds() {
    ends_.clear();
    for (const KeptStep& k : kept_) {
        ends_.push_back({k.ends.t0, &k.start});
        ends_.push_back({k.ends.t1, &k.end});
    }
    std::stable_sort(ends_.begin(), ends_.end(),
                     [](const End& a, const End& b) { return a.t < b.t; });
    // Consecutive steps share an end: keep the later step's copy of it (the
    // start of the step that follows).
    std::vector<End> unique;
    for (const End& e : ends_) {
        if (!unique.empty() && std::fabs(unique.back().t - e.t) < 1e-9L)
            unique.back() = e;
        else
            unique.push_back(e);
    }
    ends_ = std::move(unique);
}

namespace {

// The interval of `ends` that holds t: index j with ends[j].t <= t <= ends[j+1].t,
// clipped to the ends there are.
template <class Ends> std::size_t intervalOf(const Ends& ends, long double t) {
    std::size_t j = 0;
    while (j + 2 < ends.size() && ends[j + 1].t < t) ++j;
    return j;
}

} // namespace

bool OccultationTracker::endsAroundKept(long double tt) const {
    if (ends_.size() < 2) return false;
    const std::size_t j = intervalOf(ends_, tt);
    // The end after the holding interval's must be there too.
    return tt >= ends_.front().t && j + 2 < ends_.size() && ends_[j + 1].t >= tt;
}

std::array<long double, 3> OccultationTracker::positionAt(int body, long double tt) const {
    // Up to four ends around tt: the interval that holds it and one on
    // either side where kept.
    const std::size_t j = intervalOf(ends_, tt);
    const std::size_t first = j > 0 ? j - 1 : 0;
    const std::size_t last = std::min(ends_.size() - 1, j + 2);
    const auto k = static_cast<std::size_t>(body);
    std::array<long double, 3> out{};
    for (int c = 0; c < 3; ++c) {
        // Hermite divided differences, each end taken three times (position,
        // velocity, acceleration); times relative to tt, days.
        std::vector<long double> z, q;
        std::vector<std::array<long double, 3>> f; // value, first, second derivative / 2
        for (std::size_t e = first; e <= last; ++e) {
            const TableStates& s = *ends_[e].states;
            const long double x = c == 0 ? s.x[k] : c == 1 ? s.y[k] : s.z[k];
            const long double v = c == 0 ? s.vx[k] : c == 1 ? s.vy[k] : s.vz[k];
            const long double a = c == 0 ? s.ax[k] : c == 1 ? s.ay[k] : s.az[k];
            for (int m = 0; m < 3; ++m) {
                z.push_back(ends_[e].t - tt);
                f.push_back({x, v, a / 2.0L});
            }
        }
        const std::size_t n = z.size();
        // table[i] holds the differences ending at i, column by column.
        std::vector<long double> column(n), coefficient(n);
        for (std::size_t i = 0; i < n; ++i) column[i] = f[i][0];
        coefficient[0] = column[0];
        for (std::size_t order = 1; order < n; ++order) {
            for (std::size_t i = n - 1; i >= order; --i) {
                const long double dz = z[i] - z[i - order];
                column[i] = dz == 0.0L ? f[i][order] : (column[i] - column[i - 1]) / dz;
                if (i == order) break;
            }
            coefficient[order] = column[order];
        }
        // Newton form at 0 (tt itself).
        long double value = coefficient[n - 1];
        for (std::size_t i = n - 1; i-- > 0;) value = coefficient[i] + (0.0L - z[i]) * value;
        out[static_cast<std::size_t>(c)] = value;
    }
    return out;
}

void OccultationTracker::computeReady(const RunContext& run, bool all) {
    for (auto it = pending_.begin(); it != pending_.end();) {
        bool complete = true;
        for (PathPoint& point : it->points) {
            if (point.done) continue;
            // A point is taken once the ends around its instant and around
            // the light time before it are kept.
            if (!all && !(endsAroundKept(point.tt) && endsAroundKept(point.tt - kRetardation))) {
                // A point still ahead of the integration waits; one behind
                // the kept ends (a run that began inside the track) is
                // taken from the nearest ends.
                const std::size_t n = ends_.size();
                const bool ahead = n < 2 || (kept_.back().ends.direction > 0
                                                 ? point.tt >= ends_[n - 2].t
                                                 : point.tt - kRetardation <= ends_[1].t);
                if (ahead) {
                    complete = false;
                    continue;
                }
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
    const Vec E = positionAt(earth, point.tt);
    // The shadow on the ground at tt is cast by light that passed the
    // occulting body and left the occulted one earlier: their positions are
    // taken at those instants, relative to the Earth at tt (a translation
    // keeps the three points of the ray on one line).
    const Vec O = positionAt(path.occulting, point.tt);
    const Vec T = positionAt(path.occulted, point.tt);
    const long double tauO = norm(minus(O, E)) / speedOfLight;
    const long double tauT = (norm(minus(T, O)) + norm(minus(O, E))) / speedOfLight;
    ShadowInput in;
    in.occulting = minus(positionAt(path.occulting, point.tt - tauO), E);
    in.occulted = minus(positionAt(path.occulted, point.tt - tauT), E);
    in.radiusOcculting = t.radius[static_cast<std::size_t>(path.occulting)];
    in.radiusOcculted = t.radius[static_cast<std::size_t>(path.occulted)];
    in.earthRadius = t.radius[static_cast<std::size_t>(earth)];
    in.ut = point.ut;
    in.equationOfEquinoxes = run.frame.equationOfEquinoxes;
    in.sigmaOccultingKm = path.sigmaOccultingKm;
    in.sigmaOccultedKm = path.sigmaOccultedKm;
    point.point = shadowPoint(in);
    if (topocentric_) {
        // The two bodies from the site at this instant.
        const long double dt = path.deltaTSeconds / kSecondsPerDay;
        const ObserverState site =
            observerVector(run.site, point.tt, dt, run.frame.equationOfEquinoxes, true);
        const Vec s{site.position[0], site.position[1], site.position[2]};
        const Vec a = minus(in.occulting, s), b = minus(in.occulted, s);
        const Vec c{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                    a[0] * b[1] - a[1] * b[0]};
        const long double angle = std::atan2(norm(c), dot(a, b));
        if (angle < path.siteSeparation) {
            path.siteSeparation = angle;
            path.siteSemiDiameters = in.radiusOcculting / norm(a) + in.radiusOcculted / norm(b);
        }
    }
}

void OccultationTracker::appendLine(const std::filesystem::path& file, const std::string& line) {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out << line << "\r\n";
}

void OccultationTracker::writePath(PendingPath& path, const RunContext& run) {
    std::vector<const PathPoint*> shown;
    for (const PathPoint& p : path.points) {
        const ShadowPoint& s = p.point;
        if (!s.exists || !(s.sinAltitude > -0.1L)) continue;
        if (!std::isfinite(s.longitude) || !std::isfinite(s.latitude) || !std::isfinite(s.wmin))
            continue;
        if (topocentric_ &&
            !insideGeographicWindow(s.longitude, s.latitude, run.site.longitude * kDegree,
                                    run.site.latitude * kDegree, window_))
            continue;
        shown.push_back(&p);
    }
    // Seen from the site: the discs overlap there at some instant of the track.
    if (topocentric_ && path.siteSeparation < path.siteSemiDiameters)
        appendLine(topocecl_, path.eventLine);
    if (shown.empty()) return;
    if (topocentric_) appendLine(selocc_, path.eventLine);
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
