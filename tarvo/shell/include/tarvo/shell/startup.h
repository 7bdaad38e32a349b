// Start-up of tarvo: console, data tree, body table, fixed data files,
// constants and the title screen, then the main menu.
#pragma once

#include "console/console.h"
#include "tarvo/shell/session.h"

#include <string>

namespace tarvo {

// Runs the whole program; returns the process status.
int runTarvo(const console::Options& consoleOptions, const std::string& commandLine);

// The steps before the title screen; throws FatalError. Exposed for tests.
void startSession(Session& session, const std::string& commandLine);

} // namespace tarvo
