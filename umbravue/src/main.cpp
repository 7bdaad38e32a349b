// umbravue: draws the shadow paths of eclipses and occultations (the *.OCC
// files of the eclipse search) on the world map and saves the pictures.
#include "umbravue/mapper_session.h"

#include "console/console.h"
#include "fileio/data_tree.h"
#include "fileio/tree_manifest.h"

#include <cstdlib>
#include <iostream>

namespace {

const char* const kHelp =
    "Usage: umbravue [--script FILE] [--transcript FILE]\n"
    "Draws the shadow paths of eclipses and occultations (the *.OCC files the\n"
    "eclipse search of tarvo writes) on the world map and saves each picture as\n"
    "NAMEnnn.BMP, under the first free number, in the working directory.\n"
    "\n"
    "On the list: a file's key chooses it, Enter lets you type a name (\".OCC\" is\n"
    "added when it has no extension), '!' edits UMBRAVUE.CFG ($VISUAL, $EDITOR or\n"
    "sensible-editor), Esc ends the program.\n"
    "\n"
    "Options:\n"
    "  --script FILE      drive the program from a key script (- = standard input);\n"
    "                     chosen by itself when standard input is not a terminal;\n"
    "                     gclick X Y clicks in the graphics window\n"
    "  --transcript FILE  append every screen to FILE at each key read\n"
    "  --help             show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "The data tree (its CFG holds UMBRAVUE.CFG and SITES.CRD, its IMG the world\n"
    "maps) is found in the current directory, its parent when started in\n"
    "USERDATA, the directory named by TARVO12DIR, <prefix>/share/tarvo, or the\n"
    "build's data directory; the program works in the tree's USERDATA.\n"
    "With DISPLAY set the picture is shown in a window of its own; without it\n"
    "the pictures are still drawn and saved.\n"
    "Exit status: 0 normal end, 1 fatal error, 2 bad arguments or script,\n"
    "3 a script expectation failed, 4 a script ran out of keys.\n";

} // namespace

int main(int argc, char** argv) {
    if (console::answerHelpOrVersion(argc, argv, kHelp, "umbravue 12.1.0\n")) return 0;
    const console::Options options = console::parseConsoleArgs(argc, argv);
    if (argc > 1) {
        std::cerr << "umbravue: unknown argument " << argv[1] << "\n" << kHelp;
        return 2;
    }
    // The console first: a script or transcript named relative to the
    // directory the program was started in.
    console::InitConsoleTools(options);
    tarvo::DataTreeQuery query;
    std::error_code ec;
    query.currentDir = std::filesystem::current_path(ec);
    if (const char* env = std::getenv("TARVO12DIR")) query.envTreeDir = env;
    query.executableDir = tarvo::executableDirectory();
    const tarvo::DataTreeResult tree = tarvo::findDataTree(query);
    if (!tree.dirs) {
        std::cerr << "umbravue: " << tree.error << "\n";
        console::exitProgram(1);
    }
    std::filesystem::current_path(tree.dirs->workDir, ec);
    if (ec) {
        std::cerr << "umbravue: cannot work in " << tree.dirs->workDir.string() << ": "
                  << ec.message() << "\n";
        console::exitProgram(1);
    }
    console::setSize(81, 27);
    console::ConsoleTitle("UMBRAVUE");
    if (const std::string damage = tarvo::treeManifestWarning(tree.dirs->base, query.executableDir);
        !damage.empty())
        console::ConsoleMessageBox(damage, 0, "Data tree");
    const int status = umbravue::runMapper({tree.dirs->cfg, tree.dirs->img});
    console::shutdownConsole();
    return status;
}
