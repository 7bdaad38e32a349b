// Small screen helpers of the run: clearing, waiting for a key, errors.
#include "run_state.h"

#include "tarvo/reductions/time_scales.h"

namespace tarvo::runloop {

using namespace console::Color;

// A blank screen in the page's grey on black.
void clearScreen() {
    console::setColor(LightGrey, Black);
    console::clear();
}

void pressAKey(int row, const std::string& text) {
    console::setColor(Yellow, Black);
    console::printAt(row, 2, text);
    console::readKey();
}

void showError(const std::string& text) {
    console::ConsoleMessageBox(text, 0, "Error");
}

void notYet(const char* what) {
    console::ConsoleMessageBox(std::string(what) + " is not available in this version.", 0,
                               "Not available yet");
}

int yearOf(long double t) {
    return static_cast<int>(jdToDate(t + kJ2000).year);
}

bool hasMoon(const Session& s) {
    return s.bodies.moonIntegrated();
}

} // namespace tarvo::runloop
