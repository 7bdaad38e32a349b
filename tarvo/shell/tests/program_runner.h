// Runs one of the suite's programs in a child process for end-to-end tests.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace tarvo::testing {

struct ProgramRun {
    int status = -1;    // exit status, or -1 when it did not exit normally
    std::string output; // standard output and standard error together
};

// Runs `command` through the shell in `workDir` with the extra environment
// assignments `env` ("NAME=value ..."), standard input from /dev/null.
inline ProgramRun runProgram(const std::string& command, const std::filesystem::path& workDir,
                             const std::string& env = "") {
    const std::filesystem::path out = workDir / ".program-output";
    const std::string full = "cd '" + workDir.string() + "' && env " + env + " " + command +
                             " </dev/null >'" + out.string() + "' 2>&1";
    const int raw = std::system(full.c_str());
    ProgramRun run;
    run.status = (raw != -1 && WIFEXITED(raw)) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    run.output = text.str();
    std::filesystem::remove(out);
    return run;
}

inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace tarvo::testing
