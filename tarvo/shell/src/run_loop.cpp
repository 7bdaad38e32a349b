// A run from the main menu: its start, the step loop that shows the page
// (or the open view) after each step and dispatches one key, and its end.
#include "tarvo/shell/run_loop.h"

#include "run_state.h"

#include "fileio/format_mask.h"

#include "tarvo/libraries/final_files.h"

#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace tarvo {

namespace runloop {

namespace {

using namespace console::Color;

// The open view draws the state and takes the key; what it does not use
// goes to the run's own actions.
RunCommand viewInput(Run& r) {
    RunContext context = runContext(r);
    r.view->draw(context);
    console::Event e;
    if (r.view->continuousMotion()) {
        const auto waiting = console::pollKey();
        if (!waiting) return RunCommand::step;
        e = *waiting;
    } else {
        e = console::readKey();
    }
    switch (r.view->handleEvent(e, context)) {
    case ViewAnswer::handled:
        return RunCommand::none;
    case ViewAnswer::nextStep:
        return RunCommand::step;
    case ViewAnswer::closeView:
        r.view->close();
        r.view.reset();
        return RunCommand::none;
    case ViewAnswer::endRun:
        return keyActionScreen(r);
    case ViewAnswer::notMine:
        break;
    }
    return act(r, e.key);
}

void stepLoop(Run& r) {
    for (;;) {
        if (r.output.active) {
            console::setSize(kRunColumns, 27);
            clearScreen();
            console::setColor(Yellow, Black);
            console::printAt(12, 30, "Writing Output to Disk Files ... ");
            console::printAt(14, 30,
                             "Records left:" + formatMask(" ####### ", r.output.recordsLeft) +
                                 "  Esc: stop");
            console::refresh();
            writeRecords(r);
            // Esc stops the output; looked for every 64 records, like the jump.
            if (++r.outputPolls % 64 == 0)
                if (auto key = console::pollKey(); key && key->key == console::Key::Esc)
                    r.output.active = false;
            if (r.output.active) {
                stepPage(r);
                continue;
            }
            r.settings.fileOutput = false;
        }
        if (!r.s.extraOptions.planetPerturb) r.s.bodies.hiddenPlanet.fill(0);
        RunCommand c = RunCommand::none;
        if (r.view) {
            c = viewInput(r);
            if (c == RunCommand::endRun) return;
            if (c == RunCommand::step) stepPage(r);
            continue;
        }
        drawPage(r);
        console::Event e = console::readKey();
        if (r.settings.elementsPage)
            c = elementsPageInput(r, e);
        else if (e.key == ' ')
            c = RunCommand::step;
        else if (e.key == console::Key::Esc)
            c = keyActionScreen(r);
        else if (e.key < 128 && std::toupper(e.key) == 'Q')
            showRunHelp(r, static_cast<char>(std::toupper(console::readKey().key & 0x7f)));
        else
            c = act(r, e.key);
        if (c == RunCommand::endRun) return;
        if (c == RunCommand::step) stepPage(r);
    }
}

void endRun(Run& r) {
    if (r.view) r.view->close();
    if (r.trap)
        if (const SearchSummary t = r.trap->finish(*r.trapContext); !t.message.empty())
            showError(t.message);
    std::string message;
    if (!writeFinalFiles(fs::current_path(), r.engine.snapshot(), message)) showError(message);
    console::setSize(81, 27);
}

} // namespace

} // namespace runloop

void runFromMenu(Session& s, int choice) {
    using namespace runloop;
    using namespace console::Color;
    Run r(s);
    r.settings.elements = s.elementPage;
    std::string message;
    if (choice >= 1 && choice <= 9) {
        console::setSize(81, 27);
        clearScreen();
        console::setColor(White, Black);
        console::printAt(12, 30, "Scanning Library ... ");
        console::refresh();
        if (!r.engine.scan(choice, message)) {
            showError(message);
            return;
        }
        long double start = 0;
        if (!askStartEpoch(r, start)) return;
        if (!r.engine.loadMajorBodies(choice, start, message)) {
            showError(message);
            return;
        }
        s.menuDataSet = choice; // minor-body files run on it from now on
        jump(r, start);
    } else if (choice == 10 || choice == 11) {
        if (!startFromStateFile(r, choice)) return;
    } else if (choice == 12) {
        if (!selectAsteroids(r) || !startFromNamedFile(r, "AST.TMP", false)) return;
    } else {
        std::string cometName;
        if (!selectComet(r, cometName) || !startFromNamedFile(r, "COMET.TMP", false)) return;
        // The page names the comet as the library does ("1P/Halley"); the
        // per-body file names are made safe where they are made.
        if (!cometName.empty()) setBodyName(s.bodies, s.bodies.layout.bodyCount, cometName);
    }
    r.engine.renewFrame(s.integration.epoch);
    openConservationLog();
    syncCollisionTrap(r);
    stepLoop(r);
    s.elementPage = r.settings.elements;
    endRun(r);
}

} // namespace tarvo
