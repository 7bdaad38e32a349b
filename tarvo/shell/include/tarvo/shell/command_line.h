// The command line of tarvo: one string, any case, surrounding blanks ignored.
//   a path (starting with "/", "./", "../" or "~/")  work in that directory
//   a number >= 15                                    body-table capacity (read by
//                                                     maxBodiesFromCommandLine)
//   "X" repeated p times, p = 1..8                    integrator switch p
// Values below 15 count as absent; nine or more X are neither switch nor number.
#pragma once

#include <string>

namespace tarvo {

struct CommandLine {
    std::string directory;    // as typed (its spelling is kept), or ""
    int integratorSwitch = 0; // 0, or 1..8: nominal step 2 / 2^(p-1) days
};

CommandLine parseCommandLine(const std::string& argument);

} // namespace tarvo
