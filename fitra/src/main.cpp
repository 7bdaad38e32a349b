// fitra: determines or improves the orbit of a minor body from its
// astrometric observations.
#include "fitra/fitra_program.h"

#include "console/console.h"
#include "fileio/data_tree.h"
#include "fileio/tree_manifest.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

const char* const kHelp =
    "Usage: fitra [--script FILE] [--transcript FILE] [DIRECTORY]\n"
    "Determines or improves the orbit of a minor body from a file of its\n"
    "observations (NAME.POS), which it can import from MPC 80-column records\n"
    "(*.MPC or *.OBS, key I of the toggle screen).\n"
    "\n"
    "The toggle screen sets up the fit: each key switches its row; I imports,\n"
    "F chooses the positions file, E and # edit the positions file and FITRA.CFG\n"
    "($VISUAL, $EDITOR or sensible-editor), \\ and a key show that key's help,\n"
    "Enter loads the observations and starts the fit, Esc ends the program.\n"
    "\n"
    "Options:\n"
    "  --script FILE      drive the program from a key script (- = standard input);\n"
    "                     chosen by itself when standard input is not a terminal\n"
    "  --transcript FILE  append every screen to FILE at each key read\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "  DIRECTORY          a data tree or its USERDATA (a path starting with /, ./, ../ or ~/)\n"
    "\n"
    "The data tree (CFG holds FITRA.CFG, OBSCODES.TXT, LEAPSECS.DAT and DUT1.DAT)\n"
    "is found in the current directory, its parent when started in USERDATA, the\n"
    "directory named by TARVO12DIR, <prefix>/share/tarvo, or the build's data\n"
    "directory; the program works in the tree's USERDATA.\n"
    "Exit status: 0 normal end, 1 fatal error, 2 bad arguments or script,\n"
    "3 a script expectation failed, 4 a script ran out of keys.\n";

bool isDirectoryArgument(const std::string& a) {
    return a.rfind("/", 0) == 0 || a.rfind("./", 0) == 0 || a.rfind("../", 0) == 0 ||
           a.rfind("~/", 0) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (console::answerHelpOrVersion(argc, argv, kHelp, "fitra 12.1.0\n")) return 0;
    const console::Options options = console::parseConsoleArgs(argc, argv);
    tarvo::DataTreeQuery query;
    if (argc > 2 || (argc == 2 && !isDirectoryArgument(argv[1]))) {
        std::cerr << "fitra: unknown argument " << argv[1] << "\n" << kHelp;
        return 2;
    }
    if (argc == 2) {
        std::string dir = argv[1];
        if (dir.rfind("~/", 0) == 0)
            if (const char* home = std::getenv("HOME")) dir = std::string(home) + dir.substr(1);
        query.commandLineDir = dir;
    }
    console::InitConsoleTools(options);
    std::error_code ec;
    query.currentDir = std::filesystem::current_path(ec);
    if (const char* env = std::getenv("TARVO12DIR")) query.envTreeDir = env;
    query.executableDir = tarvo::executableDirectory();
    const tarvo::DataTreeResult tree = tarvo::findDataTree(query);
    if (!tree.dirs) {
        std::cerr << "fitra: " << tree.error << "\n";
        console::exitProgram(1);
    }
    std::filesystem::current_path(tree.dirs->workDir, ec);
    if (ec) {
        std::cerr << "fitra: cannot work in " << tree.dirs->workDir.string() << ": " << ec.message()
                  << "\n";
        console::exitProgram(1);
    }
    console::setSize(81, 27);
    console::ConsoleTitle("FITRA");
    if (const std::string damage = tarvo::treeManifestWarning(tree.dirs->base, query.executableDir);
        !damage.empty())
        console::ConsoleMessageBox(damage, 0, "Data tree");
    const int status = fitra::runFitra(*tree.dirs);
    console::shutdownConsole();
    return status;
}
