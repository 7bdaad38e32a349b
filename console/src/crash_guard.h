// Puts the terminal back in order when the program dies abnormally: on a
// fatal or terminating signal and on std::terminate.
#pragma once

namespace console {

// restore must be callable from a signal handler in a dying process.
void installCrashGuard(void (*restore)());
void removeCrashGuard();

} // namespace console
