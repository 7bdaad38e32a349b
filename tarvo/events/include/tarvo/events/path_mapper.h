// The question at the end of an eclipse or occultation search: whether to
// start the path mapper on the tracks just written.
#pragma once

#include "console/programs.h"

#include <functional>
#include <optional>

namespace tarvo {

/*
** offerPathMapper: shows "Display Paths (Y or N) ?  " and reads one key;
** Y (either case) starts the path mapper (umbravue, beside the running
** program or on PATH) in the working directory and waits for it. The
** console title is set back to the program's own afterwards, whatever the
** answer. In script mode the answer is the script's next key.
** Returned: nullopt when the answer was not Y; else what became of the
**   start (started false when umbravue was not found: message says why).
** `start` is the starter (tests replace it).
*/
std::optional<console::ProgramRun>
offerPathMapper(const std::function<console::ProgramRun()>& start = console::startPathMapper);

} // namespace tarvo
