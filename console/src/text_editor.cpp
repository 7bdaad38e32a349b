// The user's text editor for configuration and filter files: $VISUAL, else
// $EDITOR, else sensible-editor, started without a shell on the terminal the
// console gives up for the time. Scripts never start it.
#define NCURSES_WIDECHAR 1
#include "console/console.h"
#include "console_state.h"

#include <cstdlib>
#include <curses.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace console {

bool editTextFile(const std::string& path) {
    if (isScriptMode()) return false;
    std::string editor = "sensible-editor";
    for (const char* name : {"VISUAL", "EDITOR"})
        if (const char* value = std::getenv(name); value && *value) {
            editor = value;
            break;
        }
    // "$EDITOR" may carry arguments ("emacs -nw"): split at blanks, no shell.
    std::vector<std::string> words;
    for (std::size_t at = 0; at < editor.size();) {
        const std::size_t end = editor.find(' ', at);
        const std::string word =
            editor.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!word.empty()) words.push_back(word);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    words.push_back(path);
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    def_prog_mode();
    endwin();
    pid_t child = 0;
    const bool started = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) == 0;
    int status = 0;
    if (started)
        while (waitpid(child, &status, 0) < 0) {
        }
    reset_prog_mode();
    activeBackend().present(consoleState().grid, true);
    return started && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace console
