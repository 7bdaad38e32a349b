// The console's process-wide state: one grid, one backend, one transcript.
// A console is a property of the process (there is one terminal), so this
// is the single place that holds it; every public call works on it.
#pragma once

#include "backend.h"
#include "screen_grid.h"

#include <cstdio>
#include <memory>
#include <string>

namespace console {

struct ConsoleState {
    ScreenGrid grid;
    std::unique_ptr<Backend> backend; // null until InitConsoleTools
    std::FILE* transcript = nullptr;  // --transcript, appended at every key read
    std::string transcriptPath;
    long screensWritten = 0;
    std::string title;
    bool toolbarShown = true;
};

ConsoleState& consoleState();

// Starts the backend with default options if the program has not called
// InitConsoleTools (reads before start-up then still work).
Backend& activeBackend();

// Appends the grid to the transcript as one "=== screen N ===" frame.
void writeTranscriptFrame(ConsoleState& state);

// Ends the backend and closes the transcript. Returns 0, or the status the
// program must end with because the script's last expectations failed.
int closeConsole();

} // namespace console
