// Key reads: the same front end for both backends, so the transcript is
// written the same way whichever runs.
#include "console/console.h"
#include "console_state.h"

namespace console {

Event readKey() {
    ConsoleState& state = consoleState();
    Backend& backend = activeBackend();
    writeTranscriptFrame(state);
    return backend.readEvent(state.grid);
}

std::optional<Event> pollKey() {
    ConsoleState& state = consoleState();
    return activeBackend().pollEvent(state.grid);
}

} // namespace console
