// Key J: a jump to a date typed by the user, inside the data set's years.
#include "run_state.h"

#include "tarvo/shell/time_prompts.h"

namespace tarvo::runloop {

// Jump to a new date typed by the user.
void jumpToDate(Run& r) {
    clearScreen();
    auto answer = readDate(false, 3);
    if (!answer) return;
    const long double t = dateAnswerTerrestrial(*answer, r.settings.deltaT);
    const EpochTable& e = r.engine.epochs;
    if (!e.epochs.empty() && (yearOf(t) < e.firstYear || yearOf(t) > e.lastYear)) {
        console::printAt(8, 2,
                         "  Allowed Range is  " + std::to_string(e.firstYear) + " to " +
                             std::to_string(e.lastYear));
        pressAKey(10, "  Press a key to continue  ");
        return;
    }
    jump(r, t);
    r.engine.renewFrame(r.s.integration.epoch);
}

} // namespace tarvo::runloop
