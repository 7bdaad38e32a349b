// Stepping a run: one page interval, and the integration to an epoch
// without the page (the jump, the search runs) with its progress display.
#include "run_state.h"

#include "fileio/format_mask.h"
#include "fileio/text_util.h"
#include "tarvo/shell/progress_display.h"

#include <chrono>
#include <cmath>

namespace tarvo::runloop {

using namespace console::Color;

namespace {

// A checkpoint that could not be written is said once, after the integration.
void showCheckpointError(Run& r) {
    if (r.engine.checkpointError.empty()) return;
    showError(r.engine.checkpointError);
    r.engine.checkpointError.clear();
}

} // namespace

// Integrates one page interval; shows the integrator's error and goes on.
void stepPage(Run& r) {
    IntegrationState& st = r.s.integration;
    if (r.settings.backward != (st.direction < 0)) r.engine.reverse();
    const long double interval = static_cast<long double>(r.settings.scaleFactor) * st.nominalStep;
    const long double target = st.epoch + (st.direction < 0 ? -interval : interval);
    r.engine.smallestStep = 0;
    auto result = r.engine.integrateTo(target, [](long double) { return true; });
    if (result.status != IntegrateStatus::ok) showError(result.message);
    showCheckpointError(r);
}

std::string jumpNoteText(long double days, double seconds) {
    const long double years = std::fabs(days) / 365.25L;
    std::string amount = years >= 1 ? trim(formatMask("##########.#", years)) + " y"
                                    : trim(formatMask("##########.#", std::fabs(days))) + " d";
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    const std::string time =
        seconds < 60
            ? trim(formatMask("######.##", static_cast<long double>(seconds))) + " s"
            : trim(formatMask("######.##", static_cast<long double>(seconds / 60))) + " min";
    return amount + " jumped in " + time;
}

void integrateShowingProgress(Run& r, long double target, const std::string& title) {
    IntegrationState& st = r.s.integration;
    const long double span = target - st.epoch;
    if (span == 0.0L) return;
    console::setSize(kRunColumns, 27);
    clearScreen();
    console::setColor(White, Black);
    console::printAt(18, 28, title);
    ProgressDisplay progress;
    progress.begin(st.epoch, span, st.adaptive, kRunColumns);
    const long double begin = st.epoch;
    const auto started = std::chrono::steady_clock::now();
    long steps = 0;
    auto result = r.engine.integrateTo(target, [&](long double t) {
        if (r.watch.stopRequested) return false;
        // The keyboard is looked at every 64 steps: often enough for a user,
        // and a jump of a few steps never takes a key meant for the page.
        if (++steps % 64 != 0) return true;
        progress.update(t);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const long double years = std::fabs(t - begin) / 365.25L;
        console::setColor(LightGrey, Black);
        console::printAt(
            20, 28,
            "y.d:" + formatMask(" ######.## ", years) +
                " y/s:" + formatMask(" ######.## ", seconds > 0 ? years / seconds : 0.0L) +
                " s/y:" + formatMask(" ####.#### ", years > 0 ? seconds / years : 0.0L));
        return !progress.interrupted();
    });
    if (result.status != IntegrateStatus::ok) showError(result.message);
    showCheckpointError(r);
}

// The jump to `target` without the page, with its progress display; the
// next page says how far it went and how long it took.
void jump(Run& r, long double target) {
    const long double begin = r.s.integration.epoch;
    const long double span = target - begin;
    if (span == 0.0L) return;
    const CalendarTime c = daysToCalendar(target + 0.5L);
    const std::size_t first = c.dateText.find_first_not_of(' ');
    const auto started = std::chrono::steady_clock::now();
    integrateShowingProgress(
        r, target,
        std::string("Jumping") + (span < 0 ? " back " : " ") + "to Epoch" +
            c.dateText.substr(first == std::string::npos || first == 0 ? 0 : first - 1) + " ...");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    r.jumpNote = jumpNoteText(r.s.integration.epoch - begin, seconds);
}

} // namespace tarvo::runloop
