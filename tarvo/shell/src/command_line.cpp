#include "tarvo/shell/command_line.h"

#include "fileio/text_util.h"

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
    return cl;
}

} // namespace tarvo
