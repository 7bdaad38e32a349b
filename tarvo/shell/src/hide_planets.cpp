// Key /: the planet list that hides or shows planets on the page.
#include "run_state.h"

#include <algorithm>

namespace tarvo::runloop {

using namespace console::Color;

// Planet list of the "/" key: a planet's number toggles it.
void hidePlanets(Run& r) {
    BodyTable& t = r.s.bodies;
    for (;;) {
        clearScreen();
        console::setColor(White, Black);
        console::printAt(2, 6, "Hide Planets: press a number to hide or show, Esc to return");
        const int last = std::min(t.layout.lastMajor, 9);
        for (int i = 1; i <= last; ++i) {
            console::setColor(t.hiddenPlanet[i] ? DarkGrey : LightGreen, Black);
            console::printAt(3 + i, 8,
                             std::to_string(i) + "  " + bodyName(t, i) +
                                 (t.hiddenPlanet[i] ? "  hidden" : ""));
        }
        const int key = console::readKey().key;
        if (key == console::Key::Esc) return;
        if (key >= '1' && key <= '0' + last)
            t.hiddenPlanet[key - '0'] = t.hiddenPlanet[key - '0'] ? 0 : -1;
    }
}

} // namespace tarvo::runloop
