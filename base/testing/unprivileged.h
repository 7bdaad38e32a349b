// Runs a piece of a test as an unprivileged user: root reads every file
// whatever its mode, so a test of what a reader says about a file it may not
// read drops to the user "nobody" (uid and gid 65534) in a child process.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvo::testing {

// The text `work` returns, computed in a child process that runs without
// root's privileges; nullopt-like "" with `ran` false when the child could
// not be started or could not drop them.
inline std::string runUnprivileged(const std::function<std::string()>& work, bool& ran) {
    ran = false;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return "";
    const pid_t child = ::fork();
    if (child < 0) return "";
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
        const std::string text = work();
        const ssize_t written = ::write(pipeEnds[1], text.data(), text.size());
        ::_exit(written == static_cast<ssize_t>(text.size()) ? 0 : 3);
    }
    ::close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return text;
}

} // namespace tarvo::testing
