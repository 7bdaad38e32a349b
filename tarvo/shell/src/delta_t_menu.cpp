// deltaTMenu: the Delta-T menu, one screen with keyboard or mouse.
//
// A: Auto.  F: Fixed, "Enter Delta-T " reads A in seconds (empty gives 0).
// C: Custom: DELTAT.COF is read, the box shows the formula and asks A, B and
// C in turn with the current value shown (Enter keeps it), then DELTAT.COF is
// written anew.  Esc: Off.  A click on a line selects it.  A missing or
// damaged DELTAT.COF is reported in the box and the coefficients in use are
// offered instead (the published ones when none are set); a damaged file is
// kept as DELTAT.COF.bak before it is written anew, and an answer that is no
// finite number is refused and asked again. A file that cannot be written is
// reported too.

#include "fileio/file_problem.h"
#include "fileio/text_util.h"
#include "tarvo/shell/time_prompts.h"

#include "console/console.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace tarvo {

namespace {

constexpr const char* kMenuLines[4] = {" A   Auto     ", " F   Fixed    ", " C   Custom   ",
                                       "Esc  Off      "};

// A number in a mask of '#' digits and one '.': right-aligned, the mask's
// decimals; "%" in front when it does not fit.
std::string masked(double value, int width, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%*.*f", width, decimals, value);
    std::string s = text;
    if (static_cast<int>(s.size()) > width) s = "%" + s;
    return s;
}

void message(int row, int col, const std::string& text) {
    console::clearLine(row);
    console::printAt(row, col, text);
}

// Asks one coefficient: the current value in its mask, Enter keeps it; an
// answer that is not wholly one finite number is refused and asked again.
double askCoefficient(int row, int col, const char* label, double value, int width, int decimals) {
    for (;;) {
        console::clearLine(row);
        console::printAt(row, col, std::string(label) + masked(value, width, decimals) + " ");
        console::printAt(row + 1, col, "Enter = accept");
        console::locate(row, col + 2 + width + 2);
        const std::optional<std::string> line = console::readLine(20);
        console::clearLine(row + 1);
        if (!line || line->find_first_not_of(" \t") == std::string::npos) return value;
        if (const auto number = readWholeNumber(*line)) {
            console::clearLine(row + 2);
            return *number;
        }
        message(row + 2, col, "Not a number: " + printable(*line));
    }
}

} // namespace

void deltaTMenu(DeltaTSettings& settings, const std::filesystem::path& deltaTFile, int row, int col) {
    console::printAt(row, col, "Select Mode   ");
    for (int i = 0; i < 4; ++i) console::printAt(row + 1 + i, col, kMenuLines[i]);
    int choice = -1;
    while (choice < 0) {
        const console::Event e = console::readKey();
        if (e.key == console::Key::Click) {
            if (e.row >= row + 1 && e.row <= row + 4 && e.col >= col && e.col < col + 14)
                choice = e.row - row - 1;
            continue;
        }
        switch (std::toupper(e.key < 128 ? e.key : 0)) {
        case 'A': choice = 0; break;
        case 'F': choice = 1; break;
        case 'C': choice = 2; break;
        case console::Key::Esc: choice = 3; break;
        default: break;
        }
    }
    const int below = row + 6;
    switch (choice) {
    case 0:
        settings.mode = DeltaTMode::Auto;
        return;
    case 3:
        settings.mode = DeltaTMode::Off;
        return;
    case 1: {
        settings.mode = DeltaTMode::Fixed;
        message(below, col, "Enter Delta-T ");
        const std::optional<std::string> line = console::readLine(20);
        settings.a = line ? readFreeNumber(*line) : settings.a;
        return;
    }
    default: break;
    }

    settings.mode = DeltaTMode::Custom;
    std::string problem;
    // A file that is there but could not be read is kept before it is
    // replaced: the coefficients the user saved in it may be worth more
    // than the ones typed now.
    bool keepOldCopy = false;
    if (!readDeltaTCoefficients(deltaTFile, settings, problem)) {
        std::error_code ec;
        keepOldCopy = std::filesystem::exists(deltaTFile, ec);
        if (settings.a == 0.0 && settings.b == 0.0 && settings.c == 0.0) {
            settings.a = kPublishedDeltaTA;
            settings.b = kPublishedDeltaTB;
            settings.c = kPublishedDeltaTC;
            problem += "; the published coefficients are offered";
        }
        message(below + 6, col, printable(problem, 200));
    }
    console::printAt(below, col, "D=A+B*T+C*T^2 ");
    console::printAt(below + 1, col, "T=y from J2000");
    console::printAt(below + 2, col, "Enter A, B, C ");
    settings.a = askCoefficient(below + 3, col, "A=", settings.a, 11, 4);
    settings.b = askCoefficient(below + 3, col, "B=", settings.b, 11, 7);
    settings.c = askCoefficient(below + 3, col, "C=", settings.c, 12, 9);
    if (keepOldCopy) {
        if (!keepBackupCopy(deltaTFile, problem)) {
            message(below + 6, col, problem + "; " + deltaTFile.string() + " not rewritten");
            return;
        }
        message(below + 7, col, "The old file is kept as " + backupName(deltaTFile).string());
    }
    if (!writeDeltaTCoefficients(deltaTFile, settings, problem)) message(below + 6, col, problem);
}

} // namespace tarvo
