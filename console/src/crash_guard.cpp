// Signal and terminate handlers that restore the terminal before the
// process dies, then let the previous disposition do its work.
#include "crash_guard.h"

#include <array>
#include <csignal>
#include <cstdlib>
#include <exception>

namespace console {

namespace {

constexpr std::array<int, 9> kGuardedSignals = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT,
                                                SIGTERM, SIGHUP, SIGINT, SIGQUIT};

struct CrashGuard {
    void (*restore)() = nullptr;
    std::array<struct sigaction, kGuardedSignals.size()> previous{};
    std::terminate_handler previousTerminate = nullptr;
    bool installed = false;
};

CrashGuard guard;                        // touched by signal handlers: plain static data
volatile std::sig_atomic_t restored = 0; // restore only once

void restoreOnce() {
    if (!restored && guard.restore) {
        restored = 1;
        guard.restore();
    }
}

void onFatalSignal(int sig) {
    restoreOnce();
    for (std::size_t i = 0; i < kGuardedSignals.size(); ++i)
        if (kGuardedSignals[i] == sig) sigaction(sig, &guard.previous[i], nullptr);
    std::raise(sig); // delivered when this handler returns, to the previous disposition
}

void onTerminate() {
    restoreOnce();
    if (guard.previousTerminate)
        guard.previousTerminate();
    else
        std::abort();
}

} // namespace

void installCrashGuard(void (*restore)()) {
    if (guard.installed) removeCrashGuard();
    guard.restore = restore;
    restored = 0;
    struct sigaction action {};
    action.sa_handler = onFatalSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kGuardedSignals.size(); ++i) {
        sigaction(kGuardedSignals[i], &action, &guard.previous[i]);
        if (guard.previous[i].sa_handler == SIG_IGN) // a signal the parent wants ignored stays so
            sigaction(kGuardedSignals[i], &guard.previous[i], nullptr);
    }
    guard.previousTerminate = std::set_terminate(onTerminate);
    guard.installed = true;
}

void removeCrashGuard() {
    if (!guard.installed) return;
    for (std::size_t i = 0; i < kGuardedSignals.size(); ++i)
        sigaction(kGuardedSignals[i], &guard.previous[i], nullptr);
    std::set_terminate(guard.previousTerminate);
    guard.restore = nullptr;
    guard.installed = false;
}

} // namespace console
