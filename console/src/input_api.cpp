// Key reads: the same front end for both backends, so the transcript is
// written the same way whichever runs.
#include "console/console.h"
#include "console_state.h"

#include <chrono>
#include <thread>

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

void pauseMs(int milliseconds) {
    ConsoleState& state = consoleState();
    Backend& backend = activeBackend();
    if (backend.isScript() || milliseconds <= 0) return;
    backend.present(state.grid, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace console
