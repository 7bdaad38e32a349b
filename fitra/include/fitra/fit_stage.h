// Where the least-squares fit plugs into the program: the toggle screen's
// Enter loads the data file and the starting conditions and hands them to
// runFit, which iterates and shows the action menu.
#pragma once

#include "fileio/data_tree.h"
#include "fitra/fitra_settings.h"
#include "fitra/positions_file.h"
#include "fitra/starting_conditions.h"

namespace fitra {

enum class FitOutcome { backToToggles, quit };

// Runs the fit of `observations` under `settings`, from `start` (nullptr:
// Auto Starting builds the starting conditions from the observations). Until the differential
// correction is built this says so on the screen and returns to the
// toggle screen.
FitOutcome runFit(const tarvo::DataDirectories& dirs, FitraSettings& settings,
                  const PositionsFile& observations, const StartingConditions* start);

} // namespace fitra
