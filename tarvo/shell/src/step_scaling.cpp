// Key S: the factor between the base interval and the interval of a page.
#include "run_state.h"

#include "fileio/text_util.h"

namespace tarvo::runloop {

using namespace console::Color;

void stepScaling(Run& r) {
    clearScreen();
    console::setColor(White, Black);
    console::printAt(4, 6, "Enter Scale Factor");
    console::printAt(5, 6, "(Range = .001-9999)");
    console::printAt(6, 6, "Default = 1");
    console::printAt(8, 6, "? ");
    auto answer = console::readLine(16);
    if (!answer) return;
    r.settings.scaleFactor = clampScaleFactor(trim(*answer).empty() ? 1 : readFreeNumber(*answer));
}

} // namespace tarvo::runloop
