// The key-action screen: every key of the run with its label and status;
// a click on a line acts as its key, a right click shows its help.
#include "run_state.h"

#include "fileio/format_mask.h"
#include <cstring>
#include <iterator>

namespace tarvo::runloop {

using namespace console::Color;

namespace {

struct KeyLine {
    char key;
    const char* label;
};
constexpr KeyLine kKeyLines[] = {
    {'W', " W   Graph.Window   "}, {'O', " O   Orthogonal     "}, {'^', " ^   Disp.Velocity  "},
    {'H', " H   Heliocentric   "}, {'T', " T   Topocentric    "}, {'C', " C   Plan.Centric   "},
    {'E', " E   Ecliptic       "}, {'Z', " Z   Horizontal     "}, {'%', " %   Refrac Ri/Set  "},
    {')', " )   Limb  Ri/Set   "}, {'R', " R   Ref.Equinox  "},   {'P', " P   Precession     "},
    {'N', " N   Nutation       "}, {'A', " A   Aberration     "}, {'L', " L   Light-time     "},
    {'D', " D   Delta-T        "}, {'B', " B   Back-step      "}, {'M', " M   Decim. Units   "},
    {'X', " X   Osc.Elements   "}, {'V', " V   Adap.Stepsize  "}, {'/', " /   Hide Planets   "},
    {'!', " !   Extra Options "},  {'U', " U   Time Unit      "}, {'S', " S   Step Scaling  "},
    {'F', " F   File Output   "},  {'G', " G   Geogr. Coord."},   {'J', " J   Jump to Date"},
    {'Y', " Y   Cl.Approaches"},   {'I', " I   MinMaxZer "},      {'*', " *   Add Asteroids"},
    {'@', " @   Add Comet    "},   {'#', " #   Save Prefer. "},   {'K', " K   Dist. Unit     "},
};
constexpr int kKeyRows = 17;

std::string onOff(bool on) {
    return on ? "On  " : "Off ";
}

std::string statusOf(const Run& r, char key) {
    const DisplayToggles& t = r.s.toggles;
    const RunSettings& k = r.settings;
    switch (key) {
    case 'O':
        return onOff(t.orthogonal);
    case '^':
        return onOff(k.showVelocities);
    case 'H':
        return onOff(!t.geocentric);
    case 'T':
        return onOff(k.topocentric);
    case 'C':
        return onOff(k.planetCentric);
    case 'E':
        return onOff(t.ecliptic);
    case 'Z':
        return onOff(t.horizon);
    case '%':
        return onOff(t.refractRiseSet);
    case ')':
        return onOff(t.limbRiseSet);
    case 'R':
        return equinoxStatus(k);
    case 'P':
        return precessionStatus(k.precession);
    case 'N':
        return nutationStatus(t);
    case 'A':
        return onOff(t.aberration);
    case 'L':
        return onOff(t.lightTime);
    case 'D':
        return deltaTStatus(k.deltaT);
    case 'B':
        return onOff(k.backward);
    case 'M':
        return onOff(t.decimalUnits);
    case 'X':
        return onOff(k.elementsPage);
    case 'V':
        // On also when the collision trap forces the adaptive step.
        return onOff(r.s.integration.adaptive);
    case 'K':
        return k.distancesInGm ? "Gm  " : "AU  ";
    case 'U':
        return kTimeUnits[static_cast<std::size_t>(k.timeUnit)].label;
    case 'S':
        return formatMask("####.###", static_cast<long double>(k.scaleFactor));
    case 'F':
        return onOff(k.fileOutput);
    default:
        return "";
    }
}

void drawKeyActions(const Run& r) {
    console::setSize(kRunColumns, 27);
    clearScreen();
    console::setColor(White, Black);
    console::printAt(2, 6, "Key    Action     Status");
    console::printAt(2, 56, "Key    Action     Status");
    int index = 0;
    for (const auto& line : kKeyLines) {
        const int row = 4 + index % kKeyRows;
        const int col = index < kKeyRows ? 6 : 56;
        console::setColor(LightCyan, Black);
        console::printAt(row, col, line.label);
        console::setColor(Yellow, Black);
        console::printAt(row, col + static_cast<int>(std::strlen(line.label)),
                         statusOf(r, line.key));
        ++index;
    }
    console::setColor(LightCyan, Black);
    console::printAt(21, 6, "Esc  Main Menu");
    console::setColor(White, Black);
    console::printAt(23, 6, " Press a Key to select Option, Spacebar for Next Step");
}

// The key of the key-action line under a click, or 0.
char keyAt(int row, int col) {
    const int index = (row - 4) + (col >= 56 ? kKeyRows : 0);
    if (row < 4 || row >= 4 + kKeyRows || index < 0 ||
        index >= static_cast<int>(std::size(kKeyLines)))
        return 0;
    return kKeyLines[index].key;
}

} // namespace

// The key-action screen until a key steps or ends the run.
RunCommand keyActionScreen(Run& r) {
    for (;;) {
        drawKeyActions(r);
        console::Event e = console::readKey();
        int key = e.key;
        if (e.key == console::Key::Click || e.key == console::Key::RightClick) {
            const char k = keyAt(e.row, e.col);
            if (!k) continue;
            if (e.key == console::Key::RightClick) {
                showRunHelp(r, k);
                continue;
            }
            key = k;
        }
        RunCommand c = act(r, key);
        if (c != RunCommand::none) return c;
    }
}

} // namespace tarvo::runloop
