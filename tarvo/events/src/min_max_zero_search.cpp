// The min/max/zero search as the run opens it (key I): its dialog, its
// files MAXMILAT.DAT, MAXMILON.DAT and ZEROLAT.DAT, and the search that
// looks at every step for the events of the selected bodies.
#include "search_prompts.h"
#include "tarvo/events/close_approach.h"
#include "tarvo/events/min_max_zero.h"

#include "console/console.h"
#include "console/keys.h"
#include "fileio/format_mask.h"
#include "fileio/text_util.h"
#include "tarvo/dynamics/body_table.h"
#include "tarvo/reductions/time_scales.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace tarvo {

namespace {

using namespace console::Color;

constexpr long double kDegree = 180.0L / std::numbers::pi_v<long double>;

const char* onOff(bool on) {
    return on ? "ON" : "OFF";
}

// The warning before an existing file of the search is overwritten.
bool overwriteOfFileAllowed(const std::filesystem::path& file) {
    return !std::filesystem::exists(file) || overwriteWarningAnswered();
}

class MinMaxZeroSearch : public EventSearch {
  public:
    explicit MinMaxZeroSearch(const MinMaxZeroSettings& s) : settings_(s) {}

    std::string title() const override {
        switch (settings_.mode) {
        case ExtremumMode::minMax:
            return "Maxima and minima";
        case ExtremumMode::stationary:
            return "Stationary points";
        case ExtremumMode::zero:
            break;
        }
        return "Zeros";
    }

    bool begin(RunContext& run, std::string& message) override {
        file_ = run.dirs.workDir / extremumFileName(settings_.mode);
        out_.open(file_, std::ios::binary | std::ios::trunc);
        if (!out_) {
            message = std::string(extremumFileName(settings_.mode)) + " cannot be written in " +
                      run.dirs.workDir.string();
            return false;
        }
        const PageSettings& page = run.page;
        pageGeometry(run, frame_, geometry_);
        universalTime_ = showsUniversalTime(run, geometry_);
        const BodyTable& t = run.bodies;
        ExtremumHeader h;
        h.referenceYear = page.referenceYear;
        h.precession = page.precession;
        h.nutation = page.nutation;
        h.aberration = page.aberration;
        h.lightTime = page.lightTime;
        h.topocentric = geometry_.centre.topocentric;
        h.ecliptic = run.ecliptic;
        h.timeScale = universalTime_ ? "UT" : "TT";
        for (const std::string& line : extremumHeader(h)) out_ << line << "\r\n";
        out_.flush();
        lastEvent_.assign(static_cast<std::size_t>(t.slots()), -1e30L);
        events_ = 0;
        return true;
    }

    StepOutcome afterStep(const StepEnds& step, RunContext& run) override {
        const BodyTable& t = run.bodies;
        if (step.bodyCount > t.layout.bodyCount || !out_) return StepOutcome::carryOn;
        if (geometry_.centre.body > step.bodyCount) return StepOutcome::carryOn;
        if (static_cast<int>(lastEvent_.size()) < t.slots())
            lastEvent_.resize(static_cast<std::size_t>(t.slots()), -1e30L);
        const SightGeometry& geometry = sight_.look(geometry_, frame_, step, run);
        const int first = settings_.body < 0 ? 0 : settings_.body;
        const int last = settings_.body < 0 ? step.bodyCount : settings_.body;
        // Two events of one body closer than this are one event seen from
        // both steps (a root carried past the step's end by the light time).
        const long double same = std::max(1e-6L, 1e-4L * step.h);
        for (int i = first; i <= last && i <= step.bodyCount; ++i) {
            const auto ev = extremumStep(geometry, settings_.mode, i);
            if (!ev) continue;
            long double& previous = lastEvent_[static_cast<std::size_t>(i)];
            if (std::fabs(ev->time - previous) < same) continue;
            previous = ev->time;
            long double shown = ev->time;
            if (universalTime_) shown -= deltaT(ev->time, run.deltaT);
            out_ << extremumRecord(*ev, settings_.mode, shown, bodyName(t, i)) << "\r\n";
            out_.flush();
            ++events_;
        }
        return StepOutcome::carryOn;
    }

    SearchSummary finish(RunContext&) override {
        out_.close();
        SearchSummary summary;
        summary.viewFile = file_.string();
        summary.events = events_;
        return summary;
    }

  private:
    MinMaxZeroSettings settings_;
    SearchFrame frame_;
    SightGeometry geometry_;
    bool universalTime_ = false;
    std::filesystem::path file_;
    std::ofstream out_;
    StepSight sight_;                    // the step being looked along
    std::vector<long double> lastEvent_; // per body: TT of its last event
    int events_ = 0;
};

} // namespace

const char* extremumFileName(ExtremumMode mode) {
    switch (mode) {
    case ExtremumMode::minMax:
        return "MAXMILAT.DAT";
    case ExtremumMode::stationary:
        return "MAXMILON.DAT";
    case ExtremumMode::zero:
        break;
    }
    return "ZEROLAT.DAT";
}

std::vector<std::string> extremumHeader(const ExtremumHeader& h) {
    std::string status = "Ref. Equinox: ";
    if (!h.precession)
        status += "2000.0";
    else if (h.referenceYear == 0.0)
        status += "Date";
    else
        status += formatMask("######.##", static_cast<long double>(h.referenceYear));
    status += std::string("; Nutation: ") + onOff(h.nutation) +
              "; Aberration: " + onOff(h.aberration) + "; Light Time: " + onOff(h.lightTime);
    if (h.topocentric) status += "   Topocentric";
    status += h.ecliptic ? "   Lat (°)  Lon" : "  Decl (°)  RA ";
    return {status, h.timeScale + "   #         JD2000          Date       "};
}

std::string extremumRecord(const ExtremumEvent& ev, ExtremumMode mode, long double time,
                           const std::string& name) {
    std::string line = formatMask("###### ", static_cast<long double>(ev.body));
    line += formatMask("#########.##### ", time);
    const CalendarTime when = daysToCalendar(time + 0.5L);
    line += when.dateText + " " + when.timeText + " ";
    if (mode == ExtremumMode::zero)
        line += "     ";
    else
        line += ev.g0 > 0.0L ? " Max " : " Mi  ";
    const long double r = std::sqrt(ev.r[0] * ev.r[0] + ev.r[1] * ev.r[1] + ev.r[2] * ev.r[2]);
    const long double lat = std::asin(std::clamp(ev.r[2] / r, -1.0L, 1.0L)) * kDegree;
    long double lon = std::atan2(ev.r[1], ev.r[0]) * kDegree;
    if (lon < 0.0L) lon += 360.0L;
    line += formatMask("###.##### ", lat) + formatMask("####.##### ", lon);
    line += " " + name;
    if (ev.doubtful) line += " *";
    return line;
}

std::optional<MinMaxZeroSettings> minMaxZeroDialog(RunContext& run) {
    console::clear();
    console::setColor(White, Black);
    console::printAt(3, 4, " M = MinMax    ");
    console::printAt(4, 4, " 0 = Zero      ");
    console::printAt(5, 4, " S = Stationary");
    MinMaxZeroSettings s;
    for (;;) {
        const console::Event e = console::readKey();
        int key = std::toupper(e.key);
        if (e.key == console::Key::Esc) return std::nullopt;
        if (e.key == console::Key::Click && e.row >= 3 && e.row <= 5) key = "M0S"[e.row - 3];
        if (key == 'M') {
            s.mode = ExtremumMode::minMax;
            break;
        }
        if (key == '0') {
            s.mode = ExtremumMode::zero;
            break;
        }
        if (key == 'S') {
            s.mode = ExtremumMode::stationary;
            break;
        }
    }
    const BodyTable& table = run.bodies;
    const int n = table.layout.bodyCount;
    for (;;) {
        const auto answer = askAt(8, "Enter Name or # ", "of Selected body    -1=All  ");
        if (!answer) return std::nullopt;
        const std::string text = upperCase(trim(*answer));
        if (text.empty()) return std::nullopt;
        bool found = false;
        if (const auto number = readWholeNumber(text)) {
            const long long i = static_cast<long long>(*number);
            if (static_cast<double>(i) == *number && i >= -1 && i <= n) {
                s.body = static_cast<int>(i);
                found = true;
            }
        } else {
            for (int i = 0; i <= n && !found; ++i)
                if (trim(bodyName(table, i)) == text) s.body = i, found = true;
        }
        if (found) break;
        sayAt(11, "No such body: " + text + "   (a key to try again)");
        console::clearLine(11);
    }
    if (!overwriteOfFileAllowed(run.dirs.workDir / extremumFileName(s.mode))) return std::nullopt;
    return s;
}

std::unique_ptr<EventSearch> makeMinMaxZeroSearch(const MinMaxZeroSettings& settings) {
    return std::make_unique<MinMaxZeroSearch>(settings);
}

std::unique_ptr<EventSearch> openMinMaxZeroSearch(RunContext& run) {
    const auto settings = minMaxZeroDialog(run);
    if (!settings) return nullptr;
    return makeMinMaxZeroSearch(*settings);
}

} // namespace tarvo
