// The asteroid and comet dialogs: the bodies chosen from the libraries are
// written as AST.TMP (elements) or COMET.TMP (a state) in the working
// directory, which the state-file loaders then read.
#include <filesystem>

#include "console/programs.h"
#include "fileio/atomic_file.h"
#include "fileio/text_util.h"
#include "run_state.h"
#include "tarvo/libraries/minor_body_clones.h"
#include "tarvo/libraries/minor_body_selection.h"
#include <random>

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

// FILTER.AST of the working directory, opened in the user's editor first
// (written with every line switched off when there is none); false with a
// message when it cannot be read.
bool readFilterHere(AsteroidFilter& filter, std::string& message) {
    const fs::path file = fs::current_path() / "FILTER.AST";
    if (!fs::exists(file) && !writeFileAtomically(file, defaultAsteroidFilterText(), message))
        return false;
    console::editTextFile(file);
    return readAsteroidFilter(file, filter, message);
}

// The asteroids one answer adds: its records (those the filter passes),
// or the clones of each.
void chooseFromAnswer(const AsteroidLibrary& library, ElementSource source,
                      const AnswerSuffixes& answer, const std::vector<int>& numbers,
                      const AsteroidFilter* filter, NormalDeviates& deviates,
                      std::vector<AsteroidElementsDecoded>& chosen,
                      std::vector<std::string>& messages) {
    int filtered = 0;
    for (int n : numbers) {
        AsteroidElementsDecoded el;
        AsteroidRecord record;
        if (!library.elements(n, source, el) || !library.find(n, record)) continue;
        if (filter && !passesFilter(*filter, el)) {
            ++filtered;
            continue;
        }
        if (answer.clones == CloneNaming::None) {
            chosen.push_back(el);
            continue;
        }
        const DifferenceRecord* difference = library.difference(n);
        if (!difference) {
            messages.push_back(library.differenceQuarter() == 0
                                   ? "No clones of " + el.name +
                                         ": this library has no differences between element "
                                         "sources"
                                   : "No clones of " + el.name + ": it has no difference record");
            chosen.push_back(el);
            continue;
        }
        // Clones spread from the base elements, whatever the source chosen.
        const auto clones =
            makeClones(n, record, *difference, answer.clones, answer.cloneCount, deviates);
        chosen.insert(chosen.end(), clones.begin(), clones.end());
    }
    if (filtered > 0) messages.push_back(std::to_string(filtered) + " left out by FILTER.AST");
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
    NormalDeviates deviates(std::random_device{}());
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
        const AnswerSuffixes suffixes = splitAnswerSuffixes(text);
        AsteroidFilter filter;
        if (suffixes.filter && !readFilterHere(filter, message)) {
            console::setColor(LightRed, Black);
            console::printAt(row++, 3, message.substr(0, 76));
            continue;
        }
        AsteroidAnswer found;
        resolveAsteroidAnswer(library, suffixes.body, fs::current_path(), found);
        console::printAt(row, 1, std::string(20, ' '));
        chooseFromAnswer(library, source, suffixes, found.numbers,
                         suffixes.filter ? &filter : nullptr, deviates, chosen, found.messages);
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
