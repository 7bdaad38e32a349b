// The keys and clicks of the elements page's own menu.
#include "run_state.h"

#include "tarvo/shell/elements_page.h"
#include "tarvo/shell/help.h"
#include <cctype>
#include <cstring>

namespace tarvo::runloop {

namespace {

void showElementHelp(const Run& r, int key) {
    const char* at =
        key > 0 && key < 128 ? std::strchr(kElementPageKeys, std::toupper(key)) : nullptr;
    showHelp(r.s.dirs, r.s.toggles.helpLanguage, helpEphemerisPage,
             at ? static_cast<int>(at - kElementPageKeys) + 1 : 0);
}

} // namespace

// A key (or a click on the key menu) while the elements page is shown.
RunCommand elementsPageInput(Run& r, const console::Event& e) {
    int key = e.key;
    if (key == console::Key::Click || key == console::Key::RightClick) {
        const int k = elementMenuKeyAt(e.row, e.col, hasMoon(r.s));
        if (k == 0) return RunCommand::none;
        if (key == console::Key::RightClick) {
            showElementHelp(r, k);
            return RunCommand::none;
        }
        key = k;
    }
    switch (elementsPageKey(key, r.settings, hasMoon(r.s))) {
    case ElementKeyAction::nextStep:
        return RunCommand::step;
    case ElementKeyAction::redraw:
        return RunCommand::none;
    case ElementKeyAction::leave:
        r.settings.elementsPage = false;
        return RunCommand::none;
    case ElementKeyAction::fileOutput:
        return act(r, 'F');
    case ElementKeyAction::dump:
        dumpElements(r);
        return RunCommand::none;
    case ElementKeyAction::help:
        showElementHelp(r, console::readKey().key);
        return RunCommand::none;
    }
    return RunCommand::none;
}

} // namespace tarvo::runloop
