// Test helper: runs a program as a child process with files for its
// standard streams and returns its exit status and output.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace console_test {

struct ProcessResult {
    int status = -1; // exit status, or -1 when it did not exit normally
    std::string out, err;
};

// stdinPath: the file for standard input ("/dev/null" for none).
inline ProcessResult runProcess(const std::vector<std::string>& args, const std::string& stdinPath,
                                const std::string& scratchPrefix) {
    const std::string outPath = scratchPrefix + ".out", errPath = scratchPrefix + ".err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, stdinPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    ProcessResult result;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        if (WIFEXITED(wstatus)) result.status = WEXITSTATUS(wstatus);
    }
    posix_spawn_file_actions_destroy(&actions);
    auto slurp = [](const std::string& path) {
        std::ifstream in(path);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    };
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    return result;
}

} // namespace console_test
