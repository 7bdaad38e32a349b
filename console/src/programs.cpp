// Child programs in the same terminal: posix_spawn, wait, redraw.
#include "console/programs.h"

#include "console/console.h"
#include "console_state.h"
#include "fileio/data_tree.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace console {

namespace fs = std::filesystem;

namespace {

bool isExecutableFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
}

std::optional<fs::path> onPath(std::string_view name) {
    const char* path = std::getenv("PATH");
    if (!path) return std::nullopt;
    std::stringstream dirs{std::string(path)};
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const fs::path candidate = fs::path(dir.empty() ? "." : dir) / std::string(name);
        if (isExecutableFile(candidate)) return candidate;
    }
    return std::nullopt;
}

} // namespace

std::optional<fs::path> findSiblingProgram(std::string_view name) {
    const fs::path beside = tarvo::executableDirectory() / std::string(name);
    if (isExecutableFile(beside)) return beside;
    return onPath(name);
}

ProgramRun runProgramAndWait(const fs::path& program, const std::vector<std::string>& arguments) {
    ProgramRun run;
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (isScriptMode()) posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::fflush(nullptr);
    ConsoleState& state = consoleState();
    Backend& backend = activeBackend();
    backend.releaseTerminal();
    pid_t child = 0;
    const int failed =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed == 0) {
        run.started = true;
        int raw = 0;
        while (::waitpid(child, &raw, 0) < 0 && errno == EINTR) {
        }
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    } else {
        run.message = program.string() + " could not be started: " + std::strerror(failed);
    }
    backend.reclaimTerminal(state.grid);
    return run;
}

ProgramRun startPathMapper() {
    const auto program = findSiblingProgram("umbravue");
    if (!program) {
        ProgramRun run;
        run.message =
            "umbravue not found beside " + tarvo::executableDirectory().string() + " nor on PATH";
        return run;
    }
    return runProgramAndWait(*program, {});
}

ProgramRun editTextFile(const fs::path& file) {
    ProgramRun run;
    if (isScriptMode()) {
        run.message = "The editor is not started in script mode.";
        return run;
    }
    std::string editor = "sensible-editor";
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            editor = value;
            break;
        }
    }
    std::stringstream split(editor);
    std::vector<std::string> words;
    for (std::string w; split >> w;) words.push_back(w);
    if (words.empty()) words.push_back("sensible-editor");
    const fs::path program = words[0].find('/') != std::string::npos
                                 ? fs::path(words[0])
                                 : onPath(words[0]).value_or(words[0]);
    words.erase(words.begin());
    words.push_back(file.string());
    return runProgramAndWait(program, words);
}

} // namespace console
