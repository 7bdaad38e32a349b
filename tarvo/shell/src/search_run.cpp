// A search run (keys Y and I): the search's own dialog, the final date,
// the integration to it with the progress display while the search sees
// every step, and its data file shown page by page at the end.
#include "run_state.h"

#include "tarvo/shell/file_viewer.h"
#include "tarvo/shell/time_prompts.h"

#include <cmath>

namespace tarvo::runloop {

using namespace console::Color;

namespace {

// The final date of the search, inside the data set's years; nullopt on Esc.
std::optional<long double> askFinalDate(Run& r) {
    for (;;) {
        clearScreen();
        auto answer = readDate(true, 3);
        if (!answer) return std::nullopt;
        const long double t = dateAnswerTerrestrial(*answer, r.settings.deltaT);
        const EpochTable& e = r.engine.epochs;
        if (std::isfinite(static_cast<double>(t)) &&
            (e.epochs.empty() || (yearOf(t) >= e.firstYear && yearOf(t) <= e.lastYear)))
            return t;
        console::setColor(LightRed, Black);
        console::printAt(9, 2,
                         "  Allowed Range is  " + std::to_string(e.firstYear) + " to " +
                             std::to_string(e.lastYear));
        pressAKey(11, "  Press a key to continue  ");
    }
}

} // namespace

RunCommand runSearch(Run& r, const SearchOpening& opening) {
    RunContext context = runContext(r);
    clearScreen();
    std::unique_ptr<EventSearch> search = opening.open(context);
    if (!search) return RunCommand::none;
    const std::optional<long double> final = askFinalDate(r);
    if (!final) return RunCommand::none;
    std::string message;
    if (!search->begin(context, message)) {
        showError(message);
        return RunCommand::none;
    }
    // The search watches the steps beside those that watch every step.
    StepWatch& watch = r.watch;
    RunContext* before = watch.context;
    watch.context = &context;
    watch.searches.push_back(search.get());
    watch.stopRequested = false;
    r.engine.integrator.stepHook = &watch;
    r.engine.checkpointsSuspended = true; // no checkpoints while a search runs
    integrateShowingProgress(r, *final, search->title());
    r.engine.checkpointsSuspended = false;
    watch.searches.pop_back();
    watch.context = before;
    watch.stopRequested = false;
    if (watch.searches.empty()) r.engine.integrator.stepHook = nullptr;
    const SearchSummary summary = search->finish(context);
    if (!summary.message.empty()) showError(summary.message);
    if (!summary.viewFile.empty()) showFilePages(summary.viewFile);
    return RunCommand::page;
}

} // namespace tarvo::runloop
