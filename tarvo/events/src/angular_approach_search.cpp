// The angular kind of the close-approach search (key Y, then A): minima of
// the geocentric angle between the chosen bodies and the others, written to
// MINDIST.DAT, with the doubtful ones also in WARNING.DAT, and CLOSAPP.LST.
#include "close_approach_record.h"
#include "occultation_tracker.h"
#include "tarvo/events/angular_approach.h"
#include "tarvo/events/close_approach_search.h"
#include "tarvo/events/path_mapper.h"

#include "fileio/format_mask.h"
#include "fileio/text_output.h"
#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/time_scales.h"

#include <cmath>
#include <fstream>
#include <memory>
#include <numbers>

namespace tarvo {

namespace {

using Vec = std::array<long double, 3>;
constexpr long double kDegree = 180.0L / std::numbers::pi_v<long double>;

long double dot(const Vec& u, const Vec& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}
Vec minus(const Vec& u, const Vec& w) {
    return {u[0] - w[0], u[1] - w[1], u[2] - w[2]};
}
long double norm(const Vec& u) {
    return std::sqrt(dot(u, u));
}

class AngularApproachSearch : public EventSearch {
  public:
    explicit AngularApproachSearch(const CloseApproachSettings& s) : settings_(s) {}

    std::string title() const override {
        if (settings_.moonKind == 'E') return "Solar eclipses";
        if (settings_.moonKind == 'M') return "Occultations by the Moon";
        return "Angular distances";
    }

    bool begin(RunContext& run, std::string& message) override {
        const std::filesystem::path dir = run.dirs.workDir;
        mindist_ = dir / "MINDIST.DAT";
        warningFile_ = dir / "WARNING.DAT";
        closapp_ = dir / "CLOSAPP.LST";
        out_.open(mindist_, std::ios::binary | std::ios::trunc);
        std::ofstream warning(warningFile_, std::ios::binary | std::ios::trunc);
        if (!out_ || !warning) {
            message = "MINDIST.DAT or WARNING.DAT cannot be written in " + dir.string();
            return false;
        }
        ecliptic_ = run.ecliptic;
        const std::string l1 = ecliptic_ ? "Lon" : " RA", l2 = ecliptic_ ? "Lat" : "Dec",
                          l3 = ecliptic_ ? "Lat2" : "Dec2";
        const std::string title = "  Conditions of minimum geocentric angular distance ";
        const std::string columns =
            "   #1      #2         Date       TT         JD2000         Dm  (°)  Dl    "
            "Err     " +
            l1 + " (°) " + l2 + "    " + l3 +
            "      r1        r2    p (°) e2   m1    m2   tm(s)    tw(h)";
        out_ << title << "\r\n"
             << (ecliptic_ ? "  Geocentric geometric directions, ecliptic of date; times TT\r\n"
                           : "  Geocentric geometric directions, equator of date; times TT\r\n")
             << columns << "\r\n";
        out_.flush();
        hadEvent_.assign(static_cast<std::size_t>(run.bodies.slots()), 0);
        // The Moon kinds widen the limit by the Moon's parallax.
        limitDegrees_ =
            settings_.maxAngleDegrees +
            (settings_.moonKind ? kMoonKindWidening * static_cast<double>(kDegree) : 0.0);
        cosLimit_ = std::cos(limitDegrees_ / static_cast<double>(kDegree));
        tracker_.reset();
        if (settings_.moonKind) {
            if (!run.bodies.moonIntegrated()) {
                message = "The Moon is not integrated in this run";
                return false;
            }
            const bool topocentric =
                run.centre.kind == CentreSelection::Kind::Earth && run.centre.topocentric;
            tracker_ = std::make_unique<OccultationTracker>(settings_.moonKind == 'E', topocentric,
                                                            settings_.geographicWindowDegrees);
            if (!tracker_->begin(run, {title, columns}, message)) return false;
        }
        return true;
    }

    StepOutcome afterStep(const StepEnds& step, RunContext& run) override {
        const BodyTable& t = run.bodies;
        const int earth = t.layout.earthIndex;
        if (step.bodyCount > t.layout.bodyCount || !out_ || earth > step.bodyCount)
            return StepOutcome::carryOn;
        if (static_cast<int>(hadEvent_.size()) < t.slots())
            hadEvent_.resize(static_cast<std::size_t>(t.slots()), 0);
        StepEnds whole;
        absoluteStates(step, t, run.integration.satelliteMode, start_, end_, whole);
        const PairSelection& sel = settings_.selection;
        const int moon = t.layout.moonIndex;
        for (int i = 0; i <= step.bodyCount; ++i) {
            if (i == earth || !sel.contains(i)) continue;
            if (settings_.moonKind && i != moon) continue;
            for (int j = 0; j <= step.bodyCount; ++j) {
                if (j == earth || j == i || (sel.contains(j) && j < i && !settings_.moonKind))
                    continue;
                // Moon-Sun: the Sun alone; Moon-Planets: every body but the Sun.
                if (settings_.moonKind == 'E' && j != 0) continue;
                if (settings_.moonKind == 'M' && j == 0) continue;
                const long double g0 = angularRateAt(start_, earth, i, j);
                const long double g1 = angularRateAt(end_, earth, i, j);
                if (!bracketsAngularExtremum(g0, g1, false)) continue;
                const AngularEvent ev = refineAngular(whole, earth, i, j, g0, g1, false);
                const Vec a = minus(ev.stateA.r, ev.observer.r),
                          b = minus(ev.stateB.r, ev.observer.r);
                // Cosines, so that limits beyond 90 degrees work too.
                if (dot(a, b) < cosLimit_ * norm(a) * norm(b)) continue;
                record(ev, whole, run, step);
            }
        }
        if (tracker_) tracker_->afterStep(whole, run);
        return StepOutcome::carryOn;
    }

    SearchSummary finish(RunContext& run) override {
        out_.close();
        if (tracker_) {
            tracker_->finish(run);
            const auto mapper = offerPathMapper();
            if (mapper && !mapper->started) {
                SearchSummary summary =
                    finishCloseApproachFiles(run.bodies, hadEvent_, events_, closapp_, mindist_);
                summary.message = mapper->message;
                return summary;
            }
        }
        return finishCloseApproachFiles(run.bodies, hadEvent_, events_, closapp_, mindist_);
    }

  private:
    // Longitude (0..360) and latitude, degrees, of a direction of the table.
    void angles(const Vec& r, const RunContext& run, long double& lon, long double& lat) const {
        long double x = r[0], y = r[1], z = r[2];
        if (ecliptic_) {
            const long double c = run.frame.obliquity.cos, s = run.frame.obliquity.sin;
            const long double ye = c * y + s * z;
            z = -s * y + c * z;
            y = ye;
        }
        lon = std::atan2(y, x) * kDegree;
        if (lon < 0.0L) lon += 360.0L;
        lat = std::atan2(z, std::hypot(x, y)) * kDegree;
    }

    void record(const AngularEvent& ev, const StepEnds& whole, const RunContext& run,
                const StepEnds& step) {
        const BodyTable& t = run.bodies;
        const auto ia = static_cast<std::size_t>(ev.a), ib = static_cast<std::size_t>(ev.b);
        const int earth = t.layout.earthIndex;
        const Vec a = minus(ev.stateA.r, ev.observer.r), b = minus(ev.stateB.r, ev.observer.r);
        const Vec va = minus(ev.stateA.v, ev.observer.v), vb = minus(ev.stateB.v, ev.observer.v);
        const long double d1 = norm(a), d2 = norm(b);
        const long double theta = ev.separation * kDegree;
        std::string line =
            bodyColumn(t, ev.a) + (ev.warning || ev.doubtful ? "*" : " ") + bodyColumn(t, ev.b);
        const CalendarTime when = daysToCalendar(ev.time + 0.5L);
        line += when.dateText + " " + when.timeText + " ";
        line += formatMask("##########.##### ", ev.time);
        line += formatMask(" ###.##### ", theta);
        // The largest angle at which the discs overlap from somewhere on the Earth.
        const long double rc = t.radius[static_cast<std::size_t>(earth)];
        const bool bNearer = d2 <= d1;
        const long double dN = bNearer ? d2 : d1, dF = bNearer ? d1 : d2;
        const long double rN = bNearer ? t.radius[ib] : t.radius[ia];
        const long double rF = bNearer ? t.radius[ia] : t.radius[ib];
        const long double dl = ((rc + rN) / dN + (rF - rc) / dF) * kDegree;
        line += formatMask("#.##### ", dl);
        const long double years = std::fabs(ev.time - run.libraryEpoch) / 365.25L;
        const long double s1 = (years * t.A3[ia] + t.A2[ia]) * 1e-6L / d1 * kDegree;
        const long double s2 = (years * t.A3[ib] + t.A2[ib]) * 1e-6L / d2 * kDegree;
        line += formatMask("#.##### ", std::sqrt(s1 * s1 + s2 * s2));
        long double lon1, lat1, lon2, lat2;
        angles(a, run, lon1, lat1);
        angles(b, run, lon2, lat2);
        line +=
            formatMask("###.## ", lon1) + formatMask("###.## ", lat1) + formatMask("###.## ", lat2);
        const auto distanceText = [&](int body, long double d) {
            const bool moon = body == t.layout.moonIndex && t.moonIntegrated();
            return formatMask("##.###### ", moon ? d : d / astronomicalUnit);
        };
        line += distanceText(ev.a, d1) + distanceText(ev.b, d2);
        // Position angle of the second seen from the first, from the north through the east.
        const long double dLon = std::remainder(lon1 - lon2, 360.0L);
        long double pa = -(std::atan2(lat1 - lat2, dLon * std::cos(lat1 / kDegree)) * kDegree + 90);
        if (pa < 0.0L) pa += 360.0L;
        line += formatMask("### ", pa);
        // Elongation from the Sun, east positive: of the second, or of the first when the
        // second is the Sun.
        long double unused = 0.0L;
        const InterpolatedState sun = interpolateBody(whole, 0, ev.p, unused);
        const Vec s = minus(sun.r, ev.observer.r);
        const Vec& body = ev.b == 0 ? a : b;
        long double lonS, latS, lonB, latB;
        angles(s, run, lonS, latS);
        angles(body, run, lonB, latB);
        long double elongation =
            std::atan2(norm({body[1] * s[2] - body[2] * s[1], body[2] * s[0] - body[0] * s[2],
                             body[0] * s[1] - body[1] * s[0]}),
                       dot(body, s)) *
            kDegree;
        if (std::remainder(lonB - lonS, 360.0L) < 0.0L) elongation = -elongation;
        line += formatMask("####", elongation);
        line += "      "
                "      "; // magnitudes: not computed here
        // Relative angular speed, degrees per second.
        Vec rate;
        for (std::size_t k = 0; k < 3; ++k) rate[k] = va[k] / d1 - vb[k] / d2;
        const Vec pHat{a[0] / d1, a[1] / d1, a[2] / d1};
        const long double omega =
            norm({rate[1] * pHat[2] - rate[2] * pHat[1], rate[2] * pHat[0] - rate[0] * pHat[2],
                  rate[0] * pHat[1] - rate[1] * pHat[0]}) *
            kDegree / 86400.0L;
        if (dl > theta && omega > 0.0L) {
            const long double D = 2.0L * (t.radius[ia] / d1 + t.radius[ib] / d2) * kDegree;
            const long double tm = std::sqrt(1.0L - (theta / dl) * (theta / dl)) * D / omega;
            line += tm <= 999.94L ? formatMask(" ####.# ", tm) : formatMask(" ###### ", tm);
        } else {
            line += "        ";
        }
        const long double limit = limitDegrees_;
        line += omega > 0.0L ? formatMask("######.#  ",
                                          std::sqrt(std::max(0.0L, limit * limit - theta * theta)) /
                                              (3600.0L * omega))
                             : std::string(10, ' ');
        line += bodyName(t, ev.a) + " " + bodyName(t, ev.b);
        if (step.shortened && run.integration.nominalStep > step.h)
            line += " S" + formatMask("#.#", std::log10(run.integration.nominalStep / step.h));
        hadEvent_[ia] = 1;
        hadEvent_[ib] = 1;
        ++events_;
        out_ << line << "\r\n";
        out_.flush();
        if (tracker_) tracker_->event(line, ev, run);
        if (ev.warning || ev.doubtful) {
            std::ofstream warning(warningFile_, std::ios::binary | std::ios::app);
            warning << line << "\r\n";
        }
    }

    CloseApproachSettings settings_;
    std::filesystem::path mindist_, warningFile_, closapp_;
    std::ofstream out_;
    std::vector<char> hadEvent_;
    TableStates start_, end_;
    long double cosLimit_ = 1.0L;
    double limitDegrees_ = 1.0; // the Max Angle, widened for the Moon kinds
    std::unique_ptr<OccultationTracker> tracker_;
    bool ecliptic_ = false;
    int events_ = 0;
};

} // namespace

std::unique_ptr<EventSearch> makeAngularApproachSearch(const CloseApproachSettings& settings) {
    return std::make_unique<AngularApproachSearch>(settings);
}

} // namespace tarvo
