// Key R: the reference equinox of the page (J2000, the date or a year).
#include "run_state.h"

#include "fileio/text_util.h"
#include <cmath>

namespace tarvo::runloop {

using namespace console::Color;

void referenceEquinoxDialog(Run& r) {
    clearScreen();
    console::setColor(White, Black);
    console::printAt(4, 6, "Reference Equinox: Enter for J2000, D for the date, or a year");
    console::printAt(6, 6, "? ");
    auto answer = console::readLine(16);
    if (!answer) return;
    const std::string a = upperCase(trim(*answer));
    if (a.empty()) {
        r.settings.referenceEquinox = 0;
    } else if (a == "D") {
        r.settings.referenceEquinox = -1;
    } else {
        std::size_t used = 0;
        const double year = readFreeNumber(a, &used);
        if (used == 0 || !std::isfinite(year) || std::fabs(year) > 1e6) {
            console::setColor(LightRed, Black);
            console::printAt(8, 6, "Not a year: " + trim(*answer));
            pressAKey(10, "  Press a key to continue  ");
            return; // the reference equinox stays as it was
        }
        r.settings.referenceEquinox = 1;
        r.settings.referenceYear = year;
    }
    r.s.toggles.nutation = 0;
}

} // namespace tarvo::runloop
