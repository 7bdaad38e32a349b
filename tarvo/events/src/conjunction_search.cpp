// The conjunction family as a search of the run: the pairs of each step,
// the records of MINDIST.DAT (and WARNING.DAT), and for /M the groups of
// bodies found together, refined and written to MULTCNJ.DAT.
#include "close_approach_record.h"
#include "tarvo/events/close_approach.h"
#include "tarvo/events/close_approach_search.h"
#include "tarvo/events/conjunction.h"

#include "fileio/format_mask.h"
#include "fileio/text_util.h"
#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/places.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>

namespace tarvo {

namespace {

constexpr long double kDegree = 180.0L / std::numbers::pi_v<long double>;
constexpr int kGroupPasses = 10;
// The groups one event may form: the subsets of c candidates are 2^c, so
// their enumeration stops here (MULTCNJ.DAT says so).
constexpr int kGroupCap = 64;

long double dot(const Vector3& u, const Vector3& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}
long double norm(const Vector3& u) {
    return std::sqrt(dot(u, u));
}
// sin^2 of the angle between u and w.
long double sin2(const Vector3& u, const Vector3& w) {
    const Vector3 c{u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                    u[0] * w[1] - u[1] * w[0]};
    const long double uw = dot(u, u) * dot(w, w);
    return uw > 0.0L ? dot(c, c) / uw : 0.0L;
}
Vector3 unit(const Vector3& u) {
    const long double n = norm(u);
    return n > 0.0L ? Vector3{u[0] / n, u[1] / n, u[2] / n} : Vector3{};
}

// Longitude (0..360) and latitude, degrees, of a direction of the search frame.
void angles(const Vector3& r, long double& lon, long double& lat) {
    lon = std::atan2(r[1], r[0]) * kDegree;
    if (lon < 0.0L) lon += 360.0L;
    lat = std::atan2(r[2], std::hypot(r[0], r[1])) * kDegree;
}

class ConjunctionSearch : public EventSearch {
  public:
    explicit ConjunctionSearch(const CloseApproachSettings& s) : settings_(s) {}

    std::string title() const override {
        switch (settings_.conjunction.kind) {
        case ConjunctionKind::opposition:
            return "Oppositions";
        case ConjunctionKind::quadrature:
            return "Quadratures";
        case ConjunctionKind::elongation:
            return "Greatest elongations";
        case ConjunctionKind::minimum:
            return "Angular distances";
        default:
            break;
        }
        return "Conjunctions";
    }

    bool begin(RunContext& run, std::string& message) override {
        const std::filesystem::path dir = run.dirs.workDir;
        mindist_ = dir / "MINDIST.DAT";
        warningFile_ = dir / "WARNING.DAT";
        out_.open(mindist_, std::ios::binary | std::ios::trunc);
        std::ofstream warning(warningFile_, std::ios::binary | std::ios::trunc);
        if (!out_ || !warning) {
            message = "MINDIST.DAT or WARNING.DAT cannot be written in " + dir.string();
            return false;
        }
        pageGeometry(run, frame_, geometry_);
        universalTime_ = showsUniversalTime(run, geometry_);
        const BodyTable& t = run.bodies;
        ConjunctionTitle title;
        title.kind = settings_.conjunction.kind;
        title.ecliptic = run.ecliptic;
        title.lightTime = geometry_.lightTime;
        title.maxAngleDegrees = settings_.maxAngleDegrees;
        title.topocentric = geometry_.centre.topocentric;
        title.siteLatitude = run.site.latitude * static_cast<double>(kDegree);
        title.siteLongitude = run.site.longitude * static_cast<double>(kDegree);
        title.timeScale = universalTime_ ? "UT" : "TT";
        const int c = geometry_.centre.body;
        title.centrePrefix = geometry_.centre.topocentric ? "topo"
                             : c == 0                     ? "helio"
                             : c == t.layout.earthIndex   ? "geo"
                             : c < 0                      ? "fixed-point-"
                                                          : trim(bodyName(t, c)) + "-";
        for (const std::string& line : conjunctionTitle(title)) out_ << line << "\r\n";
        out_.flush();
        if (settings_.conjunction.multiple) {
            multiple_ = dir / "MULTCNJ.DAT";
            std::ofstream m(multiple_, std::ios::binary | std::ios::trunc);
            if (!m) {
                message = "MULTCNJ.DAT cannot be written in " + dir.string();
                return false;
            }
            m << "      Date     " << (universalTime_ ? "UT " : "TT ")
              << "       JD2000    Dmed (°) Dmax  emin     m2d  mmax\r\n"
              << "  (at most " << kGroupCap << " groups from one conjunction)\r\n";
        }
        written_.clear();
        events_ = 0;
        return true;
    }

    StepOutcome afterStep(const StepEnds& step, RunContext& run) override {
        const BodyTable& t = run.bodies;
        const int centre = geometry_.centre.body;
        if (step.bodyCount > t.layout.bodyCount || !out_ || centre > step.bodyCount)
            return StepOutcome::carryOn;
        const SightGeometry& geometry = sight_.look(geometry_, frame_, step, run);
        const int n = step.bodyCount;
        const ConjunctionKind kind = settings_.conjunction.kind;
        // Every body's direction at both ends, once per step.
        s0_.resize(static_cast<std::size_t>(n + 1));
        s1_.resize(static_cast<std::size_t>(n + 1));
        u0_.resize(static_cast<std::size_t>(n + 1));
        u1_.resize(static_cast<std::size_t>(n + 1));
        for (int i = 0; i <= n; ++i) {
            if (i == centre) continue;
            const auto k = static_cast<std::size_t>(i);
            s0_[k] = relativeState(geometry, i, 0.0L);
            s1_[k] = relativeState(geometry, i, 1.0L);
            u0_[k] = unit(s0_[k].r);
            u1_[k] = unit(s1_[k].r);
        }
        const double maxAngle = settings_.maxAngleDegrees / static_cast<double>(kDegree);
        // Chord of the largest angle, for the quick test of the pairs that
        // may come that close within the step.
        const bool near = kind == ConjunctionKind::conjunction || kind == ConjunctionKind::minimum;
        const long double chord = 2.0L * std::sin(std::min(maxAngle, 3.0) / 2.0L);
        const PairSelection& sel = settings_.selection;
        const auto examine = [&](int i, int j) {
            const auto ki = static_cast<std::size_t>(i), kj = static_cast<std::size_t>(j);
            if (near) {
                const long double reach =
                    chord + 1.1L * (norm(minus(u1_[ki], u0_[ki])) + norm(minus(u1_[kj], u0_[kj]))) +
                    1e-9L;
                if (norm(minus(u0_[ki], u0_[kj])) > reach && norm(minus(u1_[ki], u1_[kj])) > reach)
                    return;
            }
            const long double g0 = conjunctionValue(kind, s0_[ki], s0_[kj]);
            const long double g1 = conjunctionValue(kind, s1_[ki], s1_[kj]);
            if (!bracketsConjunction(kind, g0, g1)) return;
            const auto ev = refineConjunction(geometry, kind, i, j, g0, g1, maxAngle);
            if (!ev) return;
            record(*ev, geometry, run);
            if (settings_.conjunction.multiple) groups(*ev, geometry, run, maxAngle);
        };
        const bool oneBody = !sel.all() && sel.first == sel.last;
        if (kind == ConjunctionKind::conjunction && !oneBody) {
            // Many bodies: only the pairs whose longitudes may meet.
            from_.assign(static_cast<std::size_t>(n + 1), 0.0L);
            to_.assign(static_cast<std::size_t>(n + 1), 0.0L);
            take_.assign(static_cast<std::size_t>(n + 1), 0);
            for (int i = 0; i <= n; ++i) {
                if (i == centre) continue;
                const auto k = static_cast<std::size_t>(i);
                from_[k] = std::atan2(s0_[k].r[1], s0_[k].r[0]);
                to_[k] = std::atan2(s1_[k].r[1], s1_[k].r[0]);
                take_[k] = 1;
            }
            for (auto [x, y] : longitudeCandidates(from_, to_, take_)) {
                if (sel.contains(x))
                    examine(x, y);
                else if (sel.contains(y))
                    examine(y, x);
            }
        } else {
            for (int i = 0; i <= n; ++i) {
                if (i == centre || !sel.contains(i)) continue;
                for (int j = 0; j <= n; ++j)
                    if (j != centre && j != i && !(sel.contains(j) && j < i)) examine(i, j);
            }
        }
        out_.flush();
        return StepOutcome::carryOn;
    }

    // No CLOSAPP.LST: that list belongs to the close approaches proper.
    SearchSummary finish(RunContext&) override {
        out_.close();
        SearchSummary summary;
        summary.events = events_;
        summary.viewFile = (settings_.conjunction.multiple ? multiple_ : mindist_).string();
        return summary;
    }

  private:
    static Vector3 minus(const Vector3& u, const Vector3& w) {
        return {u[0] - w[0], u[1] - w[1], u[2] - w[2]};
    }

    long double shownTime(long double time, const RunContext& run) const {
        return universalTime_ ? time - deltaT(time, run.deltaT) : time;
    }

    // Elongation of r from the Sun (degrees, signed east positive) and the
    // magnitude of body i, at the fraction p.
    PhaseAndMagnitude phase(int i, const Vector3& r, const SightGeometry& geometry,
                            const RunContext& run, long double p) const {
        const BodyTable& t = run.bodies;
        const Vector3 sun = geometry.centre.body == 0 ? Vector3{} : relativeState(geometry, 0, p).r;
        const auto k = static_cast<std::size_t>(i);
        const MagnitudeData data{t.absMag[k], t.isComet[k] != 0, t.massField[k]};
        const PlaceVector body{static_cast<double>(r[0]), static_cast<double>(r[1]),
                               static_cast<double>(r[2])};
        const PlaceVector s{static_cast<double>(sun[0]), static_cast<double>(sun[1]),
                            static_cast<double>(sun[2])};
        return phaseAndMagnitude(i, body, PlaceVector{}, s, PlaceVector{}, data,
                                 static_cast<double>(astronomicalUnit), false);
    }

    void record(const ConjunctionEvent& ev, const SightGeometry& geometry, const RunContext& run) {
        const BodyTable& t = run.bodies;
        std::string line = bodyColumn(t, ev.a) + (ev.doubtful ? "*" : " ") + bodyColumn(t, ev.b);
        const long double shown = shownTime(ev.time, run);
        const CalendarTime when = daysToCalendar(shown + 0.5L);
        line += when.dateText + " " + when.timeText + " ";
        line += formatMask("##########.##### ", shown);
        line += formatMask(" ###.##### ", ev.separation * kDegree);
        long double lon1, lat1, lon2, lat2;
        angles(ev.stateA.r, lon1, lat1);
        angles(ev.stateB.r, lon2, lat2);
        line += formatMask("###.##### ", lon1) + formatMask("###.##### ", lat1) +
                formatMask("###.##### ", lon2) + formatMask("###.##### ", lat2);
        line += formatMask("##.###### ", norm(ev.stateA.r) / astronomicalUnit) +
                formatMask("##.###### ", norm(ev.stateB.r) / astronomicalUnit);
        // Elongation from the Sun: of the second, or of the first when the second is the Sun.
        const bool second = ev.b != 0;
        const PhaseAndMagnitude pm =
            phase(second ? ev.b : ev.a, second ? ev.stateB.r : ev.stateA.r, geometry, run, ev.p);
        line += formatMask("#### ", static_cast<long double>(pm.elongationDeg));
        line += bodyName(t, ev.a) + " " + bodyName(t, ev.b);
        ++events_;
        out_ << line << "\r\n"; // flushed once a step
        if (ev.doubtful) {
            std::ofstream warning(warningFile_, std::ios::binary | std::ios::app);
            warning << line << "\r\n";
        }
    }

    // The groups of bodies found together with the pair of `ev`.
    void groups(const ConjunctionEvent& ev, const SightGeometry& geometry, const RunContext& run,
                double maxAngle) {
        const int n = geometry.step->bodyCount;
        const long double sinLimit = std::sin(std::min(maxAngle, 1.5707963));
        const long double factor = sinLimit > 0.5L ? 1.28L : 1.5L;
        const long double slack = n > 8190 ? 20.0L / n : (n > 4090 ? 0.006L : 0.01L);
        const long double reach = factor * sinLimit + slack;
        const Vector3 &a = ev.stateA.r, &b = ev.stateB.r;
        std::vector<int> candidates;
        for (int k = 0; k <= n; ++k) {
            if (k == geometry.centre.body || k == ev.a || k == ev.b) continue;
            const Vector3 w = relativeState(geometry, k, ev.p).r;
            if (std::sqrt(sin2(w, a)) < reach && std::sqrt(sin2(w, b)) < reach && dot(w, a) > 0)
                candidates.push_back(k);
        }
        const int c = static_cast<int>(candidates.size());
        const int extra = settings_.conjunction.groupExtra;
        if (c < extra) return;
        const bool firstOnly =
            std::pow(static_cast<double>(c), 3.0) * std::sqrt(static_cast<double>(n + 1)) > 55000.0;
        int formed = 0;
        std::vector<int> pick;
        for (int m = std::max(extra, 0); m <= c && formed < kGroupCap; ++m) {
            // The m-subsets of the candidates in lexicographic order.
            pick.resize(static_cast<std::size_t>(m));
            for (int q = 0; q < m; ++q) pick[static_cast<std::size_t>(q)] = q;
            for (;;) {
                std::vector<int> members{ev.a, ev.b};
                for (int q : pick) members.push_back(candidates[static_cast<std::size_t>(q)]);
                refineGroup(members, ev.p, geometry, run, maxAngle, extra, firstOnly);
                if (++formed >= kGroupCap || firstOnly || m == 0) break;
                int q = m - 1;
                while (q >= 0 && pick[static_cast<std::size_t>(q)] == c - m + q) --q;
                if (q < 0) break;
                ++pick[static_cast<std::size_t>(q)];
                for (int r = q + 1; r < m; ++r)
                    pick[static_cast<std::size_t>(r)] = pick[static_cast<std::size_t>(r - 1)] + 1;
            }
        }
    }

    void refineGroup(std::vector<int> members, long double p, const SightGeometry& geometry,
                     const RunContext& run, double maxAngle, int extra, bool pruning) {
        const long double sinLimit2 = std::pow(std::sin(std::min(maxAngle, 1.5707963)), 2);
        long double sinMed = 0.0L, sinMax2 = 0.0L, previousMed = -1.0L;
        int pass = 0;
        std::vector<Vector3> w[3];
        for (pass = 1; pass <= kGroupPasses; ++pass) {
            for (int j = 0; j < 3; ++j) {
                w[j].clear();
                for (int k : members)
                    w[j].push_back(relativeState(geometry, k, p + 0.01L * (j - 1)).r);
            }
            long double S[3] = {0, 0, 0};
            sinMax2 = 0.0L;
            int worst = -1;
            const std::size_t count = members.size();
            for (std::size_t x = 0; x < count; ++x)
                for (std::size_t y = x + 1; y < count; ++y) {
                    for (int j = 0; j < 3; ++j) S[j] += sin2(w[j][x], w[j][y]);
                    const long double v = sin2(w[1][x], w[1][y]);
                    if (v > sinMax2) {
                        sinMax2 = v;
                        worst = static_cast<int>(y);
                    }
                }
            // A member that drifts far off leaves a group with members to spare.
            if (pruning && pass >= 2 && sinMax2 > 2.25L * sinLimit2 && worst >= 2 &&
                static_cast<int>(count) - 2 > extra) {
                members.erase(members.begin() + worst);
                pass = 0;
                previousMed = -1.0L;
                continue;
            }
            const long double curvature = (S[0] - 2.0L * S[1] + S[2]) / 1e-4L;
            if (curvature == 0.0L) return;
            const long double pairs = static_cast<long double>(count * (count - 1) / 2);
            sinMed = std::sqrt(S[1] / pairs);
            p -= ((S[2] - S[0]) / 0.02L) / curvature;
            if (pass >= 2 && std::fabs(sinMed - previousMed) < 1e-7L) break;
            previousMed = sinMed;
        }
        const bool exhausted = pass > kGroupPasses;
        const long double dMax = std::asin(std::min(1.0L, std::sqrt(sinMax2)));
        if (!(dMax < maxAngle) || std::fabs(p) >= 12.0L) return;
        const StepEnds& step = *geometry.step;
        const long double time = step.t0 + static_cast<long double>(step.direction) * p * step.h;
        for (const auto& [t, med] : written_)
            if (std::fabs(t - time) < 1.0L / 24.0L && std::fabs(10000.0L * (med - sinMed)) < 1.0L)
                return;
        written_.emplace_back(time, sinMed);
        const BodyTable& t = run.bodies;
        long double emin = 1000.0L, m2d = -30.0L, mmax = -30.0L;
        bool opposite = false;
        int previousSign = 0;
        std::string names;
        for (int k : members) {
            const Vector3 r = relativeState(geometry, k, p).r;
            const PhaseAndMagnitude pm = phase(k, r, geometry, run, p);
            const long double e = pm.elongationDeg;
            if (std::fabs(e) < std::fabs(emin)) emin = e;
            const int sign = e < 0 ? -1 : 1;
            if (previousSign != 0 && sign != previousSign) opposite = true;
            previousSign = sign;
            const long double mag = pm.magnitude;
            if (mag > mmax) {
                m2d = mmax;
                mmax = mag;
            } else if (mag > m2d) {
                m2d = mag;
            }
            names += " " + bodyName(t, k);
        }
        const long double shown = shownTime(time, run);
        const CalendarTime when = daysToCalendar(shown + 0.5L);
        std::string line = when.dateText + " " + when.timeText.substr(0, 5);
        line += formatMask(" #########.##", shown);
        line += formatMask("  ##.###  ", std::asin(std::min(1.0L, sinMed)) * kDegree);
        line += formatMask("##.###  ", dMax * kDegree);
        line += formatMask("####  ", emin) + (opposite ? "-" : "+") + " " +
                formatMask("###.# ", m2d) + formatMask("###.# ", mmax);
        line += names;
        line += exhausted ? " * " : " ";
        std::ofstream out(multiple_, std::ios::binary | std::ios::app);
        out << line << "\r\n";
    }

    CloseApproachSettings settings_;
    SearchFrame frame_;
    SightGeometry geometry_;
    bool universalTime_ = false;
    std::filesystem::path mindist_, warningFile_, multiple_;
    std::ofstream out_;
    StepSight sight_; // the step being looked along
    std::vector<InterpolatedState> s0_, s1_;
    std::vector<Vector3> u0_, u1_;
    std::vector<long double> from_, to_; // longitudes at both ends, radians
    std::vector<char> take_;
    std::vector<std::pair<long double, long double>> written_; // groups: time, sin Dmed
    int events_ = 0;
};

} // namespace

std::unique_ptr<EventSearch> makeConjunctionSearch(const CloseApproachSettings& settings) {
    return std::make_unique<ConjunctionSearch>(settings);
}

} // namespace tarvo
