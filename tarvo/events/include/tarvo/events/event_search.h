// The interface every event search of a run stands behind: the close
// approaches, conjunctions and extrema, occultations and eclipses, impacts,
// and the collision trap with its conservation log.
//
// Call order, for one search:
//   1. opened by its entry of searchOpenings() (the run loop dispatches the
//      key of the key-action screen; the opening shows the search's own
//      dialog and returns nothing when the user cancels);
//   2. begin() once, before the first step it sees (files created anew);
//   3. afterStep() after every accepted integration step, with the states at
//      both ends of the step (the frame of date is the same at both ends:
//      the run renews it only between steps);
//   4. finish() once, when the final date is reached, on Esc, or when the
//      run ends: files closed, lists written; it names the file to show.
// Searches of one run are independent of each other; the run loop calls
// them in the order they were started, except that a search that changes
// the table (the collision trap merges and removes bodies) is called after
// the others, which thus see each step's states numbered as its bodies.
#pragma once

#include "tarvo/dynamics/step_hook.h"
#include "tarvo/reductions/run_context.h"

#include <memory>
#include <span>
#include <string>

namespace tarvo {

// What a step meant for the run.
enum class StepOutcome {
    carryOn,      // nothing for the run loop to do
    tableChanged, // bodies were merged, removed or moved: the run re-derives its constants
    stop,         // the search is done (the run loop finishes it)
};

// What finish() leaves for the user.
struct SearchSummary {
    std::string viewFile; // the data file to show page by page ("" for none)
    int events = 0;       // events recorded
    std::string message;  // a problem to report ("" when none)
};

class EventSearch {
  public:
    virtual ~EventSearch() = default;
    // The line shown above the progress display while the search runs.
    virtual std::string title() const = 0;
    // Before the first step: output files created anew, settings fixed.
    // False (with `message`) when the search cannot start.
    virtual bool begin(RunContext& run, std::string& message) = 0;
    // After every accepted step.
    virtual StepOutcome afterStep(const StepEnds& step, RunContext& run) = 0;
    // At the end of the search.
    virtual SearchSummary finish(RunContext& run) = 0;
    // A search that runs beside the ordinary stepping of the run (the
    // collision trap) rather than as a search run to a final date.
    virtual bool watchesEveryStep() const { return false; }
    // A search whose afterStep() may merge, remove or move bodies.
    virtual bool changesTheTable() const { return false; }
};

// A search the run loop can open from a key of the key-action screen.
struct SearchOpening {
    char key;          // the key of the key-action screen ('Y', 'I')
    const char* label; // what it opens, for messages
    // Shows the search's dialog; nullptr when the user cancels.
    std::unique_ptr<EventSearch> (*open)(RunContext& run);
};

// The searches of this build, in the order of the key-action screen.
std::span<const SearchOpening> searchOpenings();

// The search opened by `key`, or nullptr when none is.
const SearchOpening* searchOpeningFor(char key);

} // namespace tarvo
