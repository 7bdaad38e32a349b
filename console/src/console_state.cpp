// Start-up and shut-down of the console, and its transcript.
#include "console_state.h"

#include "script_backend.h"
#include "terminal_backend.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace console {

ConsoleState& consoleState() {
    static ConsoleState state;
    return state;
}

namespace {

[[noreturn]] void failStartup(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(nullptr);
    std::exit(2);
}

// Reads at most one byte more than a script may have, so that a pipe or a
// device without end (--script /dev/zero) cannot fill the memory; the
// parser refuses what is too long.
std::string readBounded(std::istream& in) {
    std::string content;
    char buffer[65536];
    while (content.size() <= kMaxScriptBytes && in.read(buffer, sizeof buffer).gcount() > 0)
        content.append(buffer, static_cast<std::size_t>(in.gcount()));
    return content;
}

std::string readScriptSource(const std::string& path, const std::string& name) {
    if (path.empty() || path == "-") return readBounded(std::cin);
    std::ifstream in(path, std::ios::binary);
    if (!in) failStartup("cannot read the script " + path + ": " + std::strerror(errno));
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        failStartup("cannot read the script " + path + ": it is a directory");
    std::string content = readBounded(in);
    if (in.bad()) failStartup("cannot read the script " + name + ": read error");
    return content;
}

std::unique_ptr<Backend> makeScriptBackend(const Options& options) {
    const bool fromStdin = options.scriptPath.empty() || options.scriptPath == "-";
    const std::string name =
        fromStdin ? std::string("script on standard input") : options.scriptPath;
    ParsedScript parsed = parseScript(readScriptSource(options.scriptPath, name), name);
    if (!parsed.error.empty()) failStartup(parsed.error);
    return std::make_unique<ScriptBackend>(std::move(parsed.actions), name);
}

void shutdownAtExit() {
    shutdownConsole();
}

} // namespace

int InitConsoleTools(const Options& options) {
    static bool exitHookInstalled = false;
    ConsoleState& state = consoleState();
    if (state.backend) closeConsole();

    if (!options.transcriptPath.empty()) {
        state.transcript = std::fopen(options.transcriptPath.c_str(), "a");
        if (!state.transcript)
            failStartup("cannot open the transcript " + options.transcriptPath + ": " +
                        std::strerror(errno));
        state.transcriptPath = options.transcriptPath;
        state.screensWritten = 0;
    }

    const bool script = !options.scriptPath.empty() || options.forceScript || !isatty(STDIN_FILENO);
    if (script) {
        state.backend = makeScriptBackend(options);
    } else {
        std::string why;
        state.backend = TerminalBackend::start(why);
        if (!state.backend) failStartup(why);
        if (!state.title.empty()) state.backend->setTitle(state.title);
    }
    if (!exitHookInstalled) {
        std::atexit(shutdownAtExit);
        exitHookInstalled = true;
    }
    return 0;
}

int InitConsoleTools(int, int, int, int, int* status) {
    if (status) *status = 0;
    if (consoleState().backend) return 0; // already started, perhaps with a script
    return InitConsoleTools(Options{});
}

bool isScriptMode() {
    return activeBackend().isScript();
}

Backend& activeBackend() {
    ConsoleState& state = consoleState();
    if (!state.backend) InitConsoleTools(Options{});
    return *state.backend;
}

void writeTranscriptFrame(ConsoleState& state) {
    if (!state.transcript) return;
    std::fprintf(state.transcript, "=== screen %ld ===\n%s\n", ++state.screensWritten,
                 state.grid.text().c_str());
    std::fflush(state.transcript);
}

int closeConsole() {
    ConsoleState& state = consoleState();
    int status = 0;
    if (state.backend) {
        status = state.backend->shutdown(state.grid);
        state.backend.reset();
    }
    if (state.transcript) {
        std::fclose(state.transcript);
        state.transcript = nullptr;
    }
    return status;
}

void shutdownConsole() {
    const int status = closeConsole();
    if (status != 0) {
        // May run from an exit hook, where exit() must not be called again.
        std::fflush(nullptr);
        _exit(status);
    }
}

void exitProgram(int status) {
    const int closing = closeConsole();
    std::fflush(nullptr);
    std::exit(status != 0 ? status : closing);
}

} // namespace console
