// Starting another program in the same terminal and waiting for it: the
// suite's path mapper after an eclipse search, and the user's text editor
// for a configuration file. The terminal is handed to the child and taken
// back when it ends; the screen is then drawn again.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace console {

struct ProgramRun {
    bool started = false; // false: not found, not started (message says why)
    int status = -1;      // the child's exit status; -1 when it did not exit normally
    std::string message;
};

// The program `name` in the directory of the running executable, else the
// first executable `name` on PATH; nullopt when neither has one.
std::optional<std::filesystem::path> findSiblingProgram(std::string_view name);

// Runs `program` with `arguments` (no shell) and waits for it. In script
// mode the child's standard input is /dev/null, so a program of the suite
// runs its own (empty) script and ends without waiting for anyone.
ProgramRun runProgramAndWait(const std::filesystem::path& program,
                             const std::vector<std::string>& arguments);

// The path mapper umbravue, without arguments, from the directory of the
// running executable (else PATH), in the working directory, where it lists
// the shadow-path files (*.OCC) the search wrote. The caller redraws its
// own screen afterwards (the grid is shown again here; a graphics window
// the caller had open stays as it was).
ProgramRun startPathMapper();

// Opens `file` in the user's text editor: $VISUAL, else $EDITOR, else
// sensible-editor, split into words and started without a shell. Not
// started in script mode (started stays false and the message says so).
ProgramRun editTextFile(const std::filesystem::path& file);

} // namespace console
