#include "tarvo/shell/extra_options.h"

#include "console/console.h"
#include "tarvo/dynamics/physical_constants.h"
#include "fileio/data_tree.h"
#include "fileio/format_mask.h"
#include "tarvo/shell/help.h"
#include "fileio/text_util.h"

#include <cmath>
#include <cstring>
#include <fstream>

namespace tarvo {

namespace {

constexpr int kFirstRow = 4;
constexpr int kColumn = 20;

std::int32_t flip(std::int32_t v) {
    return v ? 0 : -1;
}

const char* onOff(std::int32_t v) {
    return v ? " On" : "Off";
}

struct Line {
    char key;
    std::string label;
    std::string status;
    bool on;
};

std::vector<Line> lines(const ExtraOptions& o) {
    std::string tidal = o.tidalValue == 0
                            ? std::string("Default")
                            : formatMask("##.## ", static_cast<long double>(o.tidalValue));
    const char* order = o.integrationOrder == 0    ? "14  Normal"
                        : o.integrationOrder == -1 ? "16  Medium"
                                                   : "18    High";
    return {
        {'A', " A. Moon Tid. Accel: ", tidal, o.tidalValue != 0},
        {'B', " B. Planet Perturb: ", o.planetPerturb ? "Unlocked" : "  Locked",
         o.planetPerturb != 0},
        {'C', " C. Minor B. Perturb:    ", onOff(o.minorPerturb), o.minorPerturb != 0},
        {'D', " D. Relativ. Perturb:    ", onOff(o.relativityMinor), o.relativityMinor != 0},
        {'E', " E. Pure Newt.PointMass: ", onOff(o.pureNewtonian), o.pureNewtonian != 0},
        {'F', " F. Solar Mass Loss: ", o.solarMassLoss ? " Forced" : "Ignored",
         o.solarMassLoss != 0},
        {'G', " G. Integ. Order: ", order, o.integrationOrder != 0},
        {'H', " H. Extended Precis: ", o.extendedPrecision ? "   Full" : "Pl.-Sun",
         o.extendedPrecision != 0},
        {'I', " I. Trap Collisions: ", onOff(o.trapCollisions), o.trapCollisions != 0},
        {'J', " J. Skip Rotations : ", onOff(o.skipRotations), o.skipRotations != 0},
        {'L', " L. Add Lieske Prec: ", onOff(o.lieskePrecession), o.lieskePrecession != 0},
        {'Y', " Y. NonGrav.Perturb: ", o.yarkovsky ? "Yarkov. " : "Marsden ", o.yarkovsky != 0},
        {'^', " ^. Single Impulse flag: ", onOff(o.singleImpulse), o.singleImpulse != 0},
        {'<', " <. Asymm. model for Ai: ", onOff(o.asymmetricModel), o.asymmetricModel != 0},
    };
}

void draw(const ExtraOptions& o) {
    using namespace console::Color;
    console::setColor(LightGrey, Black);
    console::clear();
    console::setColor(White, Black);
    console::printAt(2, kColumn, "Extra Options");
    int row = kFirstRow;
    for (const auto& l : lines(o)) {
        console::setColor(l.on ? LightCyan : LightGreen, Black);
        console::printAt(row++, kColumn, l.label + l.status);
    }
    console::setColor(Yellow, Black);
    console::printAt(row + 1, kColumn, " Esc.                 Accept ");
}

// Prompt on the rows below the options; returns the typed line (empty on Esc).
std::string promptBelow(const std::vector<std::string>& text) {
    int row = kFirstRow + 17;
    console::setColor(console::Color::White, console::Color::Black);
    for (const auto& t : text) console::printAt(row++, kColumn, t);
    console::locate(row - 1, kColumn + static_cast<int>(text.back().size()));
    auto answer = console::readLine(20);
    return answer ? *answer : std::string();
}

// An answer refused: said under the prompt until a key is pressed.
void refuseAnswer(const std::string& answer) {
    console::setColor(console::Color::LightRed, console::Color::Black);
    console::printAt(kFirstRow + 22, kColumn, "Not a usable value: " + trim(answer));
    console::printAt(kFirstRow + 23, kColumn, "Press a key to continue");
    console::readKey();
}

void openCollisionLogs(const DataDirectories& dirs) {
    (void)dirs; // the logs belong to the working directory
    std::ofstream("COLLIS.LOG", std::ios::binary) << "     TJ2000          #1      #2   \r\n";
    std::ofstream("EJECTED.LOG", std::ios::binary) << "     TJ2000          #\r\n";
}

} // namespace

std::int32_t nextIntegrationOrder(std::int32_t order) {
    return order == 0 ? -1 : order == -1 ? 1 : 0;
}

bool toggleExtraOption(ExtraOptions& o, char key) {
    switch (key) {
    case 'B':
        o.planetPerturb = flip(o.planetPerturb);
        return true;
    case 'C':
        o.minorPerturb = flip(o.minorPerturb);
        return true;
    case 'D':
        o.relativityMinor = flip(o.relativityMinor);
        return true;
    case 'E':
        o.pureNewtonian = flip(o.pureNewtonian);
        return true;
    case 'F':
        o.solarMassLoss = flip(o.solarMassLoss);
        return true;
    case 'G':
        o.integrationOrder = nextIntegrationOrder(o.integrationOrder);
        return true;
    case 'H':
        o.extendedPrecision = flip(o.extendedPrecision);
        return true;
    case 'I':
        o.trapCollisions = flip(o.trapCollisions);
        return true;
    case 'J':
        o.skipRotations = flip(o.skipRotations);
        return true;
    case 'L':
        o.lieskePrecession = flip(o.lieskePrecession);
        return true;
    case 'Y':
        o.yarkovsky = flip(o.yarkovsky);
        return true;
    case '^':
        o.singleImpulse = flip(o.singleImpulse);
        if (o.singleImpulse) o.asymmetricModel = 0;
        return true;
    case '<':
        o.asymmetricModel = flip(o.asymmetricModel);
        if (o.asymmetricModel) o.singleImpulse = 0;
        return true;
    default:
        return false;
    }
}

double ejectionCutoff(double typedAu, long double astronomicalUnitGm) {
    const double cutoff = std::fabs(typedAu) * static_cast<double>(astronomicalUnitGm);
    return (cutoff <= 1e-6 || !std::isfinite(cutoff)) ? 9.9e99 : cutoff;
}

void resetForMainMenu(ExtraOptions& o) {
    o.solarMassLoss = 0;
    o.skipRotations = 0;
    o.pureNewtonian = 0;
}

void extraOptionsScreen(ExtraOptions& o, bool tidalEditable, const DataDirectories& dirs,
                        int helpLanguage) {
    for (;;) {
        draw(o);
        console::Event e = console::readKey();
        int key = e.key;
        if (key == console::Key::Esc) return;
        if (e.key == console::Key::Click || e.key == console::Key::RightClick) {
            const int index = e.row - kFirstRow;
            if (index < 0 || index >= static_cast<int>(std::strlen(kExtraOptionKeys))) continue;
            if (e.key == console::Key::RightClick) {
                showHelp(dirs, helpLanguage, helpExtraOptions, index + 1);
                continue;
            }
            key = kExtraOptionKeys[index];
        }
        if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
        if (key > 127 || !std::strchr(kExtraOptionKeys, key)) continue;
        if (key == 'A') {
            if (!tidalEditable) continue;
            std::string answer =
                promptBelow({"DE406 Def: 25.83 arcsecs/Cy^2", "DE431 Def: 25.82 arcsecs/Cy^2",
                             "Input val.(ENTER for Default)", "? "});
            const double value = std::fabs(readFreeNumber(answer));
            if (std::isfinite(value))
                o.tidalValue = value;
            else
                refuseAnswer(answer); // the value stays as it was
            continue;
        }
        toggleExtraOption(o, static_cast<char>(key));
        if (key == 'I' && o.trapCollisions) {
            std::string answer =
                promptBelow({"Set distance for the cutoff", " of ejected bodies (AU)",
                             "Input val.(ENTER for no cut) ", "? "});
            o.ejectionCutoffGm = ejectionCutoff(readFreeNumber(answer), astronomicalUnit);
            openCollisionLogs(dirs);
        }
    }
}

} // namespace tarvo
