// tarvo: high-precision ephemerides of the Solar System by numerical
// integration.
#include "console/console.h"
#include "tarvo/shell/startup.h"

#include <cstring>
#include <iostream>

namespace {

const char* const kHelp =
    "Usage: tarvo [--script FILE] [--transcript FILE] [ARGUMENT]\n"
    "High-precision ephemerides of the Solar System by numerical integration.\n"
    "\n"
    "ARGUMENT, one of (any case):\n"
    "  DIRECTORY      work in DIRECTORY (a path starting with /, ./, ../ or ~/);\n"
    "                 a directory named USERDATA takes its data from its parent\n"
    "  NUMBER         body-table capacity, at least 15 (default 16100)\n"
    "  X, XX, ... XXXXXXXX\n"
    "                 integrator switch p: nominal step 2/2^(p-1) days\n"
    "\n"
    "Options:\n"
    "  --script FILE      drive the program from a key script (- = standard input);\n"
    "                     chosen by itself when standard input is not a terminal\n"
    "  --transcript FILE  append every screen to FILE at each key read\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "The data tree (BIN ASC IMG CFG HLP USERDATA) is found in the current\n"
    "directory, its parent when started in USERDATA, the directory named by\n"
    "TARVO12DIR, <prefix>/share/tarvo, or the build's data directory.\n"
    "State files, logs and tables are read and written in the current\n"
    "directory, or in its USERDATA subdirectory when it has one.\n"
    "Exit status: 0 normal end, 1 fatal error, 2 bad arguments or script,\n"
    "3 a script expectation failed, 4 a script ran out of keys.\n";

} // namespace

int main(int argc, char** argv) {
    if (console::answerHelpOrVersion(argc, argv, kHelp, "tarvo 12.1.0\n")) return 0;
    console::Options options = console::parseConsoleArgs(argc, argv);
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && argv[i][1] == '-') {
            std::cerr << "tarvo: unknown option " << argv[i] << "\n" << kHelp;
            return 2;
        }
        if (!commandLine.empty()) commandLine += ' ';
        commandLine += argv[i];
    }
    return tarvo::runTarvo(options, commandLine);
}
