// selectCentre: the centre-body dialog.
#include "tarvo/shell/centre_dialog.h"
#include "fileio/text_util.h"

#include "console/console.h"

#include <cmath>

namespace tarvo {

CentreChoice selectCentre(int lastMajor, const std::string& lastMajorName, bool eclipticInput,
                          double cosE, double sinE, double au, int barycentreIndex) {
    CentreChoice choice;
    console::clear();
    console::printAt(2, 1, "Enter Center Body");
    console::printAt(3, 1, "0=Sun,...," + std::to_string(lastMajor) + " " + trim(lastMajorName));
    console::printAt(4, 1, "-1 = Fixed Point");
    const bool barycentre = barycentreIndex > lastMajor;
    if (barycentre) console::printAt(5, 1, std::to_string(barycentreIndex) + " = Baryc");
    while (true) {
        console::clearLine(6);
        console::locate(6, 1);
        const auto answer = console::readLine(12);
        if (!answer || trim(*answer).empty()) return choice;
        const double typed = readFreeNumber(*answer);
        if (typed == std::floor(typed) &&
            ((typed >= -1 && typed <= lastMajor) || (barycentre && typed == barycentreIndex))) {
            choice.index = static_cast<int>(typed);
            break;
        }
    }
    if (choice.index == -1) {
        console::printAt(8, 1, "Enter Coordin. (AU)");
        PlaceVector typed{};
        const char* prompts[3] = {"X ? ", "Y ? ", "Z ? "};
        for (int k = 0; k < 3; ++k) {
            console::printAt(9 + k, 1, prompts[k]);
            const auto answer = console::readLine(24);
            if (!answer) return CentreChoice{};
            typed[k] = readFreeNumber(*answer);
            if (!std::isfinite(typed[k])) typed[k] = 0.0;
        }
        choice.fixedPoint = fixedPointFromTyped(typed, eclipticInput, cosE, sinE, au);
    }
    choice.chosen = true;
    return choice;
}

} // namespace tarvo
