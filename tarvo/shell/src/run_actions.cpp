// The actions of the run's keys: toggles, dialogs, and the searches and
// views of this build, each opened by its key; the run loop knows none of
// their details.
#include "run_state.h"

#include "tarvo/shell/configuration.h"
#include "tarvo/shell/extra_options.h"
#include "tarvo/shell/help.h"
#include "tarvo/shell/time_prompts.h"

#include <cctype>
#include <cstring>

namespace tarvo::runloop {

void showRunHelp(const Run& r, char key) {
    const char* at = std::strchr(kRunKeys, key);
    showHelp(r.s.dirs, r.s.toggles.helpLanguage, helpKeyActions,
             at ? static_cast<int>(at - kRunKeys) + 1 : 0);
}

// Carries out the action of `key`; returns what the loop does next.
RunCommand act(Run& r, int rawKey) {
    Session& s = r.s;
    if (rawKey == ' ') return RunCommand::step;
    if (rawKey == console::Key::Esc) return RunCommand::endRun;
    if (rawKey > 127) return RunCommand::none;
    const char key = static_cast<char>(std::toupper(rawKey));
    if (applyRunToggle(key, r.settings, s.toggles, s.extraOptions.lieskePrecession != 0)) {
        if (key == 'V') r.engine.applyOptions();
        return RunCommand::none;
    }
    switch (key) {
    case 'R':
        referenceEquinoxDialog(r);
        break;
    case 'D':
        deltaTMenu(r.settings.deltaT, s.dirs.cfg / "DELTAT.COF");
        break;
    case '/':
        hidePlanets(r);
        break;
    case '!':
        extraOptionsScreen(s.extraOptions, false, s.dirs, s.toggles.helpLanguage);
        r.engine.applyOptions();
        syncCollisionTrap(r);
        break;
    case 'S':
        stepScaling(r);
        break;
    case 'F':
        r.settings.fileOutput = !r.settings.fileOutput;
        if (r.settings.fileOutput)
            fileOutputDialog(r);
        else
            r.output.active = false;
        return r.output.active ? RunCommand::page : RunCommand::none;
    case 'J':
        jumpToDate(r);
        return RunCommand::page;
    case '#': {
        // The law of the non-gravitational forces as it is now (extra option Y).
        s.toggles.yarkovsky = s.extraOptions.yarkovsky ? -1 : 0;
        std::string backupNote;
        const std::string error = saveConfiguration(s.dirs.cfg / "TARVO.CFG", s.toggles,
                                                    s.keepConfigurationCopy, &backupNote);
        if (error.empty()) s.keepConfigurationCopy = false;
        std::string saved = "Preferences saved in TARVO.CFG";
        if (!backupNote.empty()) saved += "; " + backupNote;
        console::ConsoleMessageBox(error.empty() ? saved : error, 0, "Save Prefer.");
        break;
    }
    case 'Q':
        showRunHelp(r, static_cast<char>(std::toupper(console::readKey().key & 0x7f)));
        break;
    case 'C':
        chooseCentre(r);
        break;
    case 'G':
        chooseLocation(r);
        break;
    case '*':
    case '@':
        return addFromLibrary(r, key == '@');
    default:
        // The searches and views of this build, by their keys.
        if (const SearchOpening* search = searchOpeningFor(key)) return runSearch(r, *search);
        if (const ViewOpening* view = viewOpeningFor(key)) return openView(r, *view);
        if (key == 'Y') notYet("The close-approach search");
        if (key == 'I') notYet("The minimum, maximum and zero search");
        break;
    }
    return RunCommand::none;
}

} // namespace tarvo::runloop
