// A run from the main menu: the start (data set and date, or a state file),
// the jump to the start epoch, the step loop with its pages and keys, and
// the end of the run.
#pragma once

#include "tarvo/shell/session.h"

namespace tarvo {

// Runs data set 1..9 (asks for the start date) or, for the menu's file
// choices (10 minor bodies, 11 full file), the file chosen from the working
// directory. Returns when the run ends; the main menu follows.
void runFromMenu(Session& session, int choice);

} // namespace tarvo
