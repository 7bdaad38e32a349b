// The close-approach search (key Y): its dialog, and the search that looks
// at every step for the distance extrema of the chosen pairs, writing
// MINDIST.DAT, WARNING.DAT and CLOSAPP.LST in the working directory.
#include "tarvo/events/close_approach_search.h"
#include "close_approach_record.h"
#include "search_prompts.h"

#include "console/console.h"
#include "console/keys.h"
#include "fileio/format_mask.h"
#include "fileio/text_output.h"
#include "fileio/text_util.h"
#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/events/impact.h"
#include "tarvo/events/shadow_path.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

namespace tarvo {

using namespace console::Color;

std::optional<std::string> askAt(int row, const std::string& first, const std::string& second) {
    console::setColor(Yellow, Black);
    console::clearLine(row);
    console::clearLine(row + 1);
    console::printAt(row, 2, first);
    if (!second.empty()) console::printAt(row + 1, 2, second);
    console::setColor(White, Black);
    console::locate(row + (second.empty() ? 0 : 1),
                    static_cast<int>((second.empty() ? first : second).size()) + 3);
    return console::readLine(30);
}

void sayAt(int row, const std::string& text) {
    console::setColor(LightRed, Black);
    console::printAt(row, 2, text);
    console::setColor(White, Black);
    console::readKey();
}

namespace {
// The largest Dmax (1000 km) the table's size allows.
long limitFor(int bodies) {
    if (bodies > 8191) return 5000;
    if (bodies > 2023) return 15000;
    if (bodies > 512) return 30000;
    if (bodies > 128) return 60000;
    return 9999999;
}

// The distance (Gm) of bodies a and b at the fraction p of the step.
long double separationAt(const StepEnds& step, int a, int b, long double p) {
    long double unused = 0.0L;
    const auto ra = interpolateBody(step, a, p, unused).r,
               rb = interpolateBody(step, b, p, unused).r;
    return std::hypot(rb[0] - ra[0], rb[1] - ra[1], rb[2] - ra[2]);
}
} // namespace

// "Enter Name or # of Selected body": a name, a number, -1, or a range.
std::optional<PairSelection> selectBodies(const BodyTable& table, int row) {
    const int n = table.layout.bodyCount;
    for (;;) {
        const auto answer = askAt(row, "Enter Name or # ",
                                  "of Selected body -1=All,#-#=Range 0-" + std::to_string(n) + " ");
        if (!answer) return std::nullopt;
        const std::string text = upperCase(trim(*answer));
        if (text.empty()) return std::nullopt;
        if (text == "-1") return PairSelection{};
        const std::size_t dash = text.find('-', 1);
        if (std::isdigit(static_cast<unsigned char>(text[0])) && dash != std::string::npos) {
            const int a = static_cast<int>(readFreeNumber(text.substr(0, dash)));
            const int b = static_cast<int>(readFreeNumber(text.substr(dash + 1)));
            if (a >= 0 && b >= a && b <= n) return PairSelection{a, b};
        } else if (const auto number = readWholeNumber(text)) {
            const int i = static_cast<int>(*number);
            if (*number == i && i >= 0 && i <= n) return PairSelection{i, i};
        } else {
            for (int i = 0; i <= n; ++i)
                if (trim(bodyName(table, i)) == text) return PairSelection{i, i};
        }
        sayAt(row + 3, "No such body: " + text + "   (a key to try again)");
        console::clearLine(row + 3);
    }
}

bool overwriteAllowed(const std::filesystem::path& dir) {
    bool existing = std::filesystem::exists(dir / "MINDIST.DAT");
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = upperCase(e.path().filename().string());
        if (name.size() == 12 && name.rfind("MAXMI", 0) == 0 && name.ends_with(".DAT"))
            existing = true;
    }
    return !existing || overwriteWarningAnswered();
}

bool overwriteWarningAnswered() {
    console::clear();
    console::setColor(LightRed, Black);
    console::printAt(8, 20, "Warning");
    console::setColor(White, Black);
    console::printAt(10, 10, "Existing datafiles will be overwritten ");
    console::printAt(11, 10, "Rename the files if you want to save them");
    console::printAt(13, 10, " Press Y key when ready, N to abort");
    for (;;) {
        const int k = console::readKey().key;
        if (k == 'y' || k == 'Y') return true;
        if (k == 'n' || k == 'N' || k == console::Key::Esc) return false;
    }
}

namespace {

// "Geogr. Window ?": the radius (degrees) around the site inside which the
// topocentric searches keep the points of a track; 5 to 45, an empty
// answer (or 0) the default 15.
std::optional<double> geographicWindow(int row) {
    const auto answer = askAt(row, "Geogr. Window  ?", " 5-45 (default=15) ");
    if (!answer) return std::nullopt;
    const double value = std::fabs(readFreeNumber(*answer));
    if (!(value > 0.0)) return 15.0;
    return std::clamp(value, 5.0, 45.0);
}

class CloseApproachSearch : public EventSearch {
  public:
    explicit CloseApproachSearch(const CloseApproachSettings& s) : settings_(s) {}

    std::string title() const override {
        return settings_.farthest ? "Maximum distances" : "Close approaches";
    }

    bool begin(RunContext& run, std::string& message) override {
        const std::filesystem::path dir = run.dirs.workDir;
        mindist_ = dir / "MINDIST.DAT";
        closapp_ = dir / "CLOSAPP.LST";
        out_.open(mindist_, std::ios::binary | std::ios::trunc);
        std::ofstream warning(dir / "WARNING.DAT", std::ios::binary | std::ios::trunc);
        if (!out_ || !warning) {
            message = "MINDIST.DAT or WARNING.DAT cannot be written in " + dir.string();
            return false;
        }
        for (const std::string& line :
             spatialHeader(settings_.farthest, run.integration.adaptive, run.ecliptic))
            out_ << line << "\r\n";
        out_.flush();
        impactFile_ = dir / "IMPACT.DAT";
        std::ofstream(impactFile_, std::ios::binary | std::ios::trunc) << impactHeader() << "\r\n";
        impacted_.clear();
        hasPrevious_ = false;
        hadEvent_.assign(static_cast<std::size_t>(run.bodies.slots()), 0);
        record_.table = &run.bodies;
        record_.ecliptic = run.ecliptic;
        record_.cosObliquity = run.frame.obliquity.cos;
        record_.sinObliquity = run.frame.obliquity.sin;
        record_.au = astronomicalUnit;
        record_.libraryEpoch = run.libraryEpoch;
        events_ = 0;
        return true;
    }

    StepOutcome afterStep(const StepEnds& step, RunContext& run) override {
        const BodyTable& table = run.bodies;
        if (step.bodyCount > table.layout.bodyCount || !out_) return StepOutcome::carryOn;
        if (static_cast<int>(hadEvent_.size()) < table.slots())
            hadEvent_.resize(static_cast<std::size_t>(table.slots()), 0);
        PairSelection selection = settings_.selection;
        if (!selection.all()) {
            if (selection.first > step.bodyCount) return StepOutcome::carryOn;
            selection.last = std::min(selection.last, step.bodyCount);
        }
        StepEnds whole;
        absoluteStates(step, table, run.integration.satelliteMode, start_, end_, whole);
        // Impacts need the pairs within the sum of their radii even when
        // that exceeds Dmax.
        double largestRadius = 0.0;
        for (int i = 0; i <= step.bodyCount; ++i)
            largestRadius = std::max(largestRadius, table.radius[static_cast<std::size_t>(i)]);
        const double reach = std::max(static_cast<double>(settings_.dmaxGm), 2.0 * largestRadius);
        record_.nominalStep = run.integration.nominalStep;
        record_.cosObliquity = run.frame.obliquity.cos;
        record_.sinObliquity = run.frame.obliquity.sin;
        const int earth = table.layout.earthIndex;
        const bool oneBody = !selection.all() && selection.first == selection.last;
        for (auto [i, j] : candidatePairs(whole, selection, reach)) {
            // The records name the chosen body first, else the Earth first;
            // an impact always has the Earth first (its ground point).
            int a = i, b = j;
            if (b == earth || (oneBody && b == selection.first)) std::swap(a, b);
            const int ia = b == earth ? b : a, ib = b == earth ? a : b;
            const long double ra = table.radius[static_cast<std::size_t>(ia)];
            const long double rb = table.radius[static_cast<std::size_t>(ib)];
            // A contact that begins in this step, wherever the nearest point
            // falls: under adaptive control a fall toward the centre takes
            // many substeps between the contact and the nearest point.
            if (!settings_.farthest && !impacted_.count({ia, ib}) &&
                separationAt(whole, ia, ib, 1.0L) <= ra + rb &&
                separationAt(whole, ia, ib, 0.0L) > ra + rb) {
                impacted_.emplace(ia, ib);
                impact(whole, ia, ib, 1.0L, ra, rb, run);
            }
            const long double f0 = pairFunction(start_, i, j), f1 = pairFunction(end_, i, j);
            if (!bracketsExtremum(f0, f1, settings_.farthest)) continue;
            const SpatialEvent ev = refineSpatial(whole, a, b, f0, f1, settings_.farthest);
            if (!settings_.farthest && ev.distance <= ra + rb && impacted_.emplace(ia, ib).second)
                impact(whole, ia, ib, ev.p, ra, rb, run);
            if (ev.distance > settings_.dmaxGm) continue;
            record(ev, whole, run, step);
        }
        // This step stays at hand for contacts that began in it.
        std::swap(start_, previousStart_);
        std::swap(end_, previousEnd_);
        previous_ = whole;
        previous_.start = &previousStart_;
        previous_.end = &previousEnd_;
        hasPrevious_ = true;
        return StepOutcome::carryOn;
    }

    SearchSummary finish(RunContext& run) override {
        out_.close();
        return finishCloseApproachFiles(run.bodies, hadEvent_, events_, closapp_, mindist_);
    }

  private:
    void impact(const StepEnds& whole, int a, int b, long double p, long double ra, long double rb,
                const RunContext& run) {
        const BodyTable& t = run.bodies;
        DeltaTSettings automatic = run.deltaT;
        automatic.mode = DeltaTMode::Auto; // the ground point needs UT whatever the run's mode
        const Impact m =
            impactPoint(whole, hasPrevious_ ? &previous_ : nullptr, a, b, p, ra, rb,
                        a == t.layout.earthIndex, automatic, run.frame.equationOfEquinoxes);
        std::ofstream out(impactFile_, std::ios::binary | std::ios::app);
        out << impactLine(m, bodyColumn(t, a), bodyColumn(t, b)) << "\r\n";
    }

    void record(const SpatialEvent& ev, const StepEnds& whole, const RunContext& run,
                const StepEnds& step) {
        const BodyTable& t = run.bodies;
        long double unused = 0.0L;
        const InterpolatedState sun = interpolateBody(whole, 0, ev.p, unused);
        Encounter q;
        if (ev.a != 0 && ev.b != 0 && !settings_.farthest)
            q = encounterQuantities(t.mass[static_cast<std::size_t>(ev.a)],
                                    t.mass[static_cast<std::size_t>(ev.b)], t.mass[0], ev.stateA,
                                    ev.stateB, sun);
        std::array<long double, 3> r1, r2;
        for (std::size_t k = 0; k < 3; ++k)
            r1[k] = ev.stateA.r[k] - sun.r[k], r2[k] = ev.stateB.r[k] - sun.r[k];
        hadEvent_[static_cast<std::size_t>(ev.a)] = 1;
        hadEvent_[static_cast<std::size_t>(ev.b)] = 1;
        ++events_;
        out_ << spatialRecord(record_, ev, q, r1, r2, step.h, step.shortened) << "\r\n";
        out_.flush();
    }

    CloseApproachSettings settings_;
    SpatialRecordContext record_;
    std::filesystem::path mindist_, closapp_;
    std::ofstream out_;
    std::vector<char> hadEvent_; // per body: it had an event (CLOSAPP.LST)
    TableStates start_, end_;
    TableStates previousStart_, previousEnd_; // the step before, absolute
    StepEnds previous_;
    bool hasPrevious_ = false;
    std::set<std::pair<int, int>> impacted_; // pairs whose impact was handled
    std::filesystem::path impactFile_;
    int events_ = 0;
};

} // namespace

bool closeApproachDialog(RunContext& run, CloseApproachSettings& s) {
    const BodyTable& table = run.bodies;
    const int n = table.layout.bodyCount;
    console::clear();
    console::setColor(White, Black);
    const char* items[] = {" S = Spatial ",     " A = Angular ",   " M = Moon-Planets",
                           " E = Moon-Sun ",    " * = Star Conj.", " X = Moon-Stars",
                           " C = Custom Coord."};
    for (int k = 0; k < 7; ++k) console::printAt(3 + k, 4, items[k]);
    int upper = 0;
    for (;;) {
        const int key = console::readKey().key;
        if (key == console::Key::Esc) return false;
        upper = std::toupper(key);
        if (upper == 'S' || upper == 'A' || upper == 'M' || upper == 'E') break;
        if (upper == '*' || upper == 'X' || upper == 'C') {
            console::ConsoleMessageBox("This kind of the search is not available in this version.",
                                       0, "Close approaches");
            return false;
        }
    }
    s.angular = upper != 'S';
    s.moonKind = upper == 'M' || upper == 'E' ? static_cast<char>(upper) : 0;
    if (s.moonKind && !table.moonIntegrated()) {
        console::ConsoleMessageBox("The Moon is not integrated in this run.", 0,
                                   "Close approaches");
        return false;
    }
    const auto selection =
        s.moonKind ? std::optional<PairSelection>(PairSelection{}) : selectBodies(table, 13);
    if (!selection) return false;
    s.selection = *selection;
    const bool single = !selection->all() && selection->first == selection->last;
    if (s.angular) {
        console::setColor(LightCyan, Black);
        console::printAt(18, 2, "/C Conj. /O Opp. /Q Quadr. /E Elong. /M[/n] Multiple");
        const auto answer =
            askAt(16, "Max Angle  ?", ".001-" + formatMask("##.#", kMaxAngle) + " (0=Cancel)");
        if (!answer) return false;
        std::string problem;
        const auto angle = readAngleAnswer(*answer, single, problem);
        if (!problem.empty()) sayAt(20, problem);
        if (!angle) return false; // 0 cancels
        s.maxAngleDegrees = angle->maxAngleDegrees;
        s.conjunction = angle->options;
    } else {
        const long limit = limitFor(n);
        const bool offerFarthest = n <= 64 || single;
        if (offerFarthest) {
            console::setColor(LightCyan, Black);
            console::printAt(18, 2, "/A = Farthest dist.");
        }
        const auto answer =
            askAt(16, "Dmax (/1000 Km)", "1-" + formatMask("#######", limit) + " (0=Cancel)");
        if (!answer) return false;
        const std::string text = *answer;
        if (offerFarthest &&
            (text.find("/A") != std::string::npos || text.find("/a") != std::string::npos)) {
            s.farthest = true;
            s.dmaxGm = 99999999.0L / 1000.0L;
        } else {
            const double value = std::fabs(readFreeNumber(text));
            if (!(value >= 1.0)) return false; // 0 cancels
            s.dmaxGm = std::min(value, static_cast<double>(limit)) / 1000.0L;
        }
    }
    if (s.moonKind) {
        const auto window = geographicWindow(19);
        if (!window) return false;
        s.geographicWindowDegrees = *window;
    }
    if (!overwriteAllowed(run.dirs.workDir)) return false;
    return !s.moonKind || pathFilesMayGo(run.dirs.workDir);
}

std::optional<CloseApproachSettings> closeApproachDialog(RunContext& run) {
    CloseApproachSettings settings;
    if (!closeApproachDialog(run, settings)) return std::nullopt;
    return settings;
}

std::unique_ptr<EventSearch> makeCloseApproachSearch(const CloseApproachSettings& settings) {
    if (settings.angular && settings.conjunction.kind != ConjunctionKind::none)
        return makeConjunctionSearch(settings);
    if (settings.angular) return makeAngularApproachSearch(settings);
    return std::make_unique<CloseApproachSearch>(settings);
}

std::unique_ptr<EventSearch> openCloseApproachSearch(RunContext& run) {
    const auto settings = closeApproachDialog(run);
    if (!settings) return nullptr;
    return makeCloseApproachSearch(*settings);
}

} // namespace tarvo
