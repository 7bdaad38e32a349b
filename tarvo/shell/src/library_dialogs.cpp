// The asteroid and comet dialogs: the bodies chosen from the libraries are
// written as AST.TMP (elements) or COMET.TMP (a state) in the working
// directory, which the state-file loaders then read.
#include <filesystem>

#include "fileio/atomic_file.h"
#include "fileio/text_util.h"
#include "run_state.h"
#include "tarvo/libraries/minor_body_selection.h"

namespace tarvo::runloop {

using namespace console::Color;
namespace fs = std::filesystem;

namespace {

ElementSource selectedSource(std::int32_t librarySource) {
    switch (librarySource) {
    case -1:
        return ElementSource::TwinLib;
    case 1:
        return ElementSource::Astorb;
    case 2:
        return ElementSource::AstDys;
    default:
        return ElementSource::Average;
    }
}

bool writeHere(const char* name, const std::string& text) {
    std::string message;
    if (writeFileAtomically(fs::current_path() / name, text, message)) return true;
    showError(message);
    return false;
}

} // namespace

bool selectAsteroids(Run& r) {
    AsteroidLibrary library;
    std::string message;
    if (!library.open(r.s.dirs.bin, message)) {
        showError(message);
        return false;
    }
    const ElementSource source = selectedSource(r.s.librarySource);
    std::vector<AsteroidElementsDecoded> chosen;
    console::setSize(81, 27);
    clearScreen();
    int row = 2;
    for (;;) {
        if (row > 23) {
            clearScreen();
            row = 2;
        }
        console::setColor(White, Black);
        console::printAt(row, 1,
                         "Enter Asteroid Name, Number, Range or .LST FileName (0 to end): ");
        auto answer = console::readLine(60);
        ++row;
        const std::string text = answer ? trim(*answer) : "0";
        if (text == "0" || text.empty()) break;
        console::setColor(LightGrey, Black);
        console::printAt(row, 1, " Searching ... ");
        console::refresh();
        AsteroidAnswer found;
        resolveAsteroidAnswer(library, text, fs::current_path(), found);
        console::printAt(row, 1, std::string(20, ' '));
        for (int n : found.numbers) {
            AsteroidElementsDecoded el;
            if (library.elements(n, source, el)) chosen.push_back(el);
        }
        console::setColor(LightCyan, Black);
        if (!found.numbers.empty())
            console::printAt(row++, 3,
                             std::to_string(found.numbers.size()) + " found, " +
                                 std::to_string(chosen.size()) + " chosen");
        console::setColor(LightRed, Black);
        for (const std::string& m : found.messages)
            if (row <= 24) console::printAt(row++, 3, m.substr(0, 76));
    }
    if (chosen.empty()) return false;
    return writeHere("AST.TMP", asteroidElementFileText(library.epochJd(), chosen)) &&
           writeHere("FOUNDAST.LST", foundAsteroidListText(chosen));
}

bool selectComet(Run& r, std::string& catalogueName) {
    CometLibrary library;
    std::string message;
    if (!library.open(r.s.dirs.bin, message)) {
        showError(message);
        return false;
    }
    console::setSize(81, 27);
    for (;;) {
        clearScreen();
        console::setColor(White, Black);
        console::printAt(2, 1, "Enter Comet Name (e.g. 1P/Halley, C/2020 F3; empty to end): ");
        auto answer = console::readLine(40);
        const std::string name = answer ? trim(*answer) : "";
        if (name.empty()) return false;
        const int k = library.findByName(name);
        if (k < 0) {
            console::ConsoleMessageBox("Comet " + name + " not in Library", 0, "Comet Library");
            continue;
        }
        const CometRecord comet = library.record(k);
        catalogueName = trim(comet.name);
        return writeHere("COMET.TMP", cometStateFileText(comet));
    }
}

} // namespace tarvo::runloop
