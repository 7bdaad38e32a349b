#include "tarvo/shell/command_line.h"

#include "tarvo/shell/text_util.h"

#include <cmath>
#include <cstdlib>

namespace tarvo {

CommandLine parseCommandLine(const std::string& argument) {
    CommandLine cl;
    const std::string s = trim(argument);
    const std::string upper = upperCase(s);
    if (!s.empty() &&
        (s[0] == '/' || s.rfind("./", 0) == 0 || s.rfind("../", 0) == 0 || s.rfind("~/", 0) == 0)) {
        if (s.rfind("~/", 0) == 0) {
            const char* home = std::getenv("HOME");
            cl.directory = std::string(home ? home : "") + s.substr(1);
        } else {
            cl.directory = s;
        }
        return cl;
    }
    if (!upper.empty() && upper.size() <= 8 && upper.find_first_not_of('X') == std::string::npos)
        cl.integratorSwitch = static_cast<int>(upper.size());
    const double value = readFreeNumber(s);
    if (std::isfinite(value) && value >= 15) {
        // Saturate rather than overflow; the body table refuses what memory cannot hold.
        cl.maxBodies = value >= 1e15 ? static_cast<long>(1e15) : static_cast<long>(value);
    }
    return cl;
}

} // namespace tarvo
