// The step hook of a run: every accepted step goes to the searches that
// watch the run.
#include "run_state.h"

namespace tarvo::runloop {

void StepWatch::afterAcceptedStep(const StepEnds& step) {
    if (!context) return;
    for (EventSearch* search : searches) {
        switch (search->afterStep(step, *context)) {
        case StepOutcome::carryOn:
            break;
        case StepOutcome::tableChanged:
            // Bodies were merged, removed or moved: the constants that depend
            // on the table follow before the next step.
            s_.integration.derived = deriveConstants(s_.bodies);
            break;
        case StepOutcome::stop:
            stopRequested = true;
            break;
        }
    }
}

} // namespace tarvo::runloop
