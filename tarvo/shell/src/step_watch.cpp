// The step hook of a run: every accepted step goes to the searches that
// watch the run.
#include "run_state.h"

namespace tarvo::runloop {

void StepWatch::afterAcceptedStep(const StepEnds& step) {
    if (!context) return;
    // The searches that change the table come last, so that every other
    // search sees the step's states numbered as the bodies still are.
    for (const bool changers : {false, true}) {
        for (EventSearch* search : searches) {
            if (search->changesTheTable() != changers) continue;
            switch (search->afterStep(step, *context)) {
            case StepOutcome::carryOn:
                break;
            case StepOutcome::tableChanged:
                // Bodies were merged, removed or moved: the constants that
                // depend on the table follow before the next step.
                s_.integration.derived = deriveConstants(s_.bodies);
                break;
            case StepOutcome::stop:
                stopRequested = true;
                break;
            }
        }
    }
}

} // namespace tarvo::runloop
