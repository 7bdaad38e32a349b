#include "fitra/fit_stage.h"

#include "console/console.h"

namespace fitra {

FitOutcome runFit(const tarvo::DataDirectories&, FitraSettings&, const PositionsFile& observations,
                  const StartingConditions*) {
    console::ConsoleMessageBox(
        std::to_string(observations.observations.size()) + " observations of " +
            observations.objectName +
            " are loaded. The least-squares fit is not part of this build yet.",
        0, "MESSAGE BOX");
    return FitOutcome::backToToggles;
}

} // namespace fitra
