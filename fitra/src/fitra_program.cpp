#include "fitra/fitra_program.h"

#include "console/console.h"
#include "console/programs.h"
#include "fileio/format_mask.h"
#include "fileio/help_records.h"
#include "fileio/text_util.h"
#include "fitra/astdys_import.h"
#include "fitra/fit_stage.h"
#include "fitra/least_squares.h"
#include "fitra/mpc_import.h"
#include "fitra/observation_tables.h"
#include "fitra/positions_file.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>

namespace fitra {

namespace {

using namespace console;

const char* onOff(int v) {
    return v ? "On " : "Off";
}

void message(const std::string& text) {
    ConsoleMessageBox(text, 0, "MESSAGE BOX");
}

std::optional<double> askNumber(int row, const std::string& prompt) {
    printAt(row, 2, prompt);
    clearToEndOfLine();
    const auto answer = readLine(20);
    if (!answer || tarvo::trim(*answer).empty()) return std::nullopt;
    return tarvo::readFreeNumber(*answer);
}

std::filesystem::path configFile(const tarvo::DataDirectories& dirs) {
    if (auto f = tarvo::findDataFile(dirs.cfg, "FITRA.CFG")) return *f;
    return dirs.cfg / "FITRA.CFG";
}

void saveConfiguration(const tarvo::DataDirectories& dirs, const FitraSettings& s) {
    std::string text;
    if (!writeFitraConfiguration(configFile(dirs), s, text)) message(text);
}

// The title screen: TITLE.F81 of ASC when the tree has one, then the program's lines.
void showTitle(const tarvo::DataDirectories& dirs) {
    setColor(Color::LightGrey, Color::Black);
    clear();
    int row = 2;
    if (auto title = tarvo::findDataFile(dirs.asc, "TITLE.F81")) {
        std::ifstream in(*title, std::ios::binary);
        std::string line;
        for (int i = 0; i < 5 && std::getline(in, line); ++i)
            printAt(row++, 2, tarvo::trim(line).substr(0, 78));
    } else {
        setColor(Color::Yellow, Color::Black);
        printAt(row++, 2, "FITRA 12.1  Orbit Determination");
        setColor(Color::LightGrey, Color::Black);
    }
    row += 2;
    for (const char* line : {"Determination and/or Optimization of the Orbital Elements",
                             " of a Solar System minor Body from a set of Observations.",
                             "Based on a full Numerical Integration of the N-body system",
                             "  and a Newton-Gauss Iterative Least-squares Algorithm."})
        printAt(row++, 10, line);
    printAt(row + 2, 10, " Press any key to continue ... ");
    readKey();
}

// ---- the toggle screen -------------------------------------------------------

struct ToggleRow {
    char key;
    std::string label;
    std::function<std::string(const FitraSettings&)> status;
};

std::string equinoxText(const FitraSettings& s) {
    if (s.referenceEquinox == -1) return "Date    ";
    if (s.referenceEquinox == 0) return "J2000.0 ";
    return tarvo::formatMask("####.##.",
                             {s.fixedEquinoxYear, s.fixedEquinoxMonth + s.fixedEquinoxDay / 100});
}

std::string minorPlanetsText(int v) {
    switch (v) {
    case -1:
        return " 3 ";
    case 1:
        return "B16";
    case 2:
        return " 35";
    default:
        return "Off";
    }
}

std::string tripleText(int v) {
    return v == -1 ? "On " : v == 1 ? "Fix" : "Off";
}

std::vector<ToggleRow> toggleRows() {
    auto flag = [](int FitraSettings::*m) {
        return [m](const FitraSettings& s) { return std::string(onOff(s.*m)); };
    };
    auto none = [](const FitraSettings&) { return std::string(); };
    return {
        {'O', "O     Orthogonal Coord.      ", flag(&FitraSettings::orthogonal)},
        {'G', "G     Geocentric Coord.      ", flag(&FitraSettings::geocentric)},
        {'Q', "Q     Equatorial Coord.      ", flag(&FitraSettings::equatorial)},
        {'P', "P     Reference Equinox      ", equinoxText},
        {'M', "M     Astrometric Coord.     ", flag(&FitraSettings::astrometric)},
        {'A', "A     Apparent Coordin.      ", flag(&FitraSettings::apparent)},
        {'T', "T     Topocentric Coord.     ", flag(&FitraSettings::topocentric)},
        {'N', "N     Only Angular Part      ", flag(&FitraSettings::angularOnly)},
        {'R', "R     Relativ. Perturb.      ", flag(&FitraSettings::relativistic)},
        {'S', "S     Earth's Satellite      ", flag(&FitraSettings::satellite)},
        {'Z', "Z     Universal Time         ", flag(&FitraSettings::universalTime)},
        {'W', "W     Weighted Fitting       ",
         [](const FitraSettings& s) {
             return std::string(onOff(s.weighted)) + tarvo::formatMask(" WF##.###", s.weightFactor);
         }},
        {'D', "D     Starting Dist ",
         [](const FitraSettings& s) {
             return tarvo::formatMask("####.######", s.startDistanceAu) + " AU";
         }},
        {'U', "U     Auto Starting Cond.    ", flag(&FitraSettings::autoStarting)},
        {'*', "*     M.Carlo Random Runs    ", flag(&FitraSettings::monteCarloRuns)},
        {'-', "-     M.C. Random Exclude    ", flag(&FitraSettings::monteCarloExclude)},
        {'#', "#     Edit Config File      ", none},
        {'I', "I     Import MPC format     ", none},
        {'$', "$     Import AstDys file    ", none},
        {'E', "E     Edit Positions File   ", none},
        {'F', "F     Positions Filename    ", [](const FitraSettings& s) { return s.dataFile; }},
    };
}

// The right-hand column: options of the dynamical model and of the fit.
std::vector<ToggleRow> optionRows() {
    auto flag = [](int FitraSettings::*m) {
        return [m](const FitraSettings& s) { return std::string(onOff(s.*m)); };
    };
    return {
        {'X', "X  A0 Fix  ", flag(&FitraSettings::fixA0)},
        {'B', "B Add Body ", flag(&FitraSettings::addBody)},
        {'C', "C Cst.File ", flag(&FitraSettings::customFile)},
        {'L', "L Minor Pl.",
         [](const FitraSettings& s) { return minorPlanetsText(s.minorPlanets); }},
        {'V', "V  Ad.Step ", flag(&FitraSettings::adaptiveStep)},
        {'K', "K Fit Kepl.", flag(&FitraSettings::fitKeplerian)},
        {'+', "+ Fit Ext. ", flag(&FitraSettings::fitExtra)},
        {'^', "^ Impulse  ", [](const FitraSettings& s) { return tripleText(s.impulse); }},
        {'<', "< Asymm.Ai ", [](const FitraSettings& s) { return tripleText(s.asymmetric); }},
        {'Y', " Y  Yark.  ", flag(&FitraSettings::yarkovsky)},
        {'H', " H  Help  ",
         [](const FitraSettings& s) {
             static const char* const names[] = {"Engl", "Ital", "Deut"};
             return std::string(names[std::clamp(s.helpLanguage, 0, 2)]);
         }},
    };
}

constexpr int kFirstToggleRow = 3;
constexpr int kOptionColumn = 52;
constexpr int kSlotColumn = 72;

void drawToggleScreen(const FitraSettings& s, const std::string& note) {
    setColor(Color::LightGrey, Color::Black);
    clear();
    setColor(Color::Yellow, Color::Black);
    printAt(1, 2, "Toggle       Action          Status");
    printAt(1, kOptionColumn, "  Fitted Par. ");
    setColor(Color::LightGrey, Color::Black);
    const auto rows = toggleRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        printAt(kFirstToggleRow + static_cast<int>(i), 2, rows[i].label + rows[i].status(s));
    const auto options = optionRows();
    for (std::size_t i = 0; i < options.size(); ++i)
        printAt(kFirstToggleRow + static_cast<int>(i), kOptionColumn,
                options[i].label + " " + options[i].status(s));
    // The fitted-parameter column: the slot labels, "*" where fitted.
    for (int slot = 1; slot <= kSlotCount; ++slot)
        printAt(kFirstToggleRow + slot - 1, kSlotColumn,
                std::string(s.fittedSlots[slot] ? "*" : " ") + slotLabel(slot, s));
    const bool haveTvx = std::filesystem::exists("STARTING.TVX");
    printAt(kFirstToggleRow + static_cast<int>(options.size()) + 2, 42,
            haveTvx && s.fitExtra
                ? " File STARTING.TVX  is Pos&Vel vector "
                : std::string(" File STARTING.DAT ") +
                      (s.fitKeplerian ? " is Kepl. elements " : " is Pos&Vel vector "));
    const int bottom = kFirstToggleRow + static_cast<int>(rows.size()) + 1;
    printAt(bottom, 2, "Enter = Accept Options                   ");
    printAt(bottom, 45, "Esc = Quit");
    if (!note.empty()) {
        setColor(Color::LightRed, Color::Black);
        printAt(bottom + 1, 2, note.substr(0, 78));
        setColor(Color::LightGrey, Color::Black);
    }
}

// The key of a click on a row of the toggle screen, 0 when none.
int keyOfClick(const Event& e) {
    const auto rows = toggleRows();
    const auto options = optionRows();
    const int i = e.row - kFirstToggleRow;
    if (e.col >= kOptionColumn && i >= 0 && i < static_cast<int>(options.size()))
        return options[i].key;
    if (e.col < kOptionColumn && i >= 0 && i < static_cast<int>(rows.size())) return rows[i].key;
    return 0;
}

// The tables an import needs; false with the reason in `why`.
bool importTables(const tarvo::DataDirectories& dirs, const FitraSettings& s,
                  StationTable& stations, TimeOffsetTable& offsets, std::string& why) {
    const auto codes = tarvo::findDataFile(dirs.cfg, "OBSCODES.TXT");
    if (!codes || !readStationTable(*codes, stations, why)) {
        if (!codes) why = "no OBSCODES.TXT in " + dirs.cfg.string();
        return false;
    }
    const char* tableName = s.universalTime ? "DUT1.DAT" : "LEAPSECS.DAT";
    const auto table = tarvo::findDataFile(dirs.cfg, tableName);
    const bool read = table && (s.universalTime ? readDut1(*table, offsets, why)
                                                : readLeapSeconds(*table, offsets, why));
    if (!read && !table) why = std::string("no ") + tableName + " in " + dirs.cfg.string();
    return read;
}

// After an import: the new positions file is the data file, with the toggles it needs.
void useImported(FitraSettings& s, const ImportReport& report) {
    s.dataFile = report.positionsFile.filename().string();
    s.equatorial = s.astrometric = s.topocentric = s.angularOnly = s.relativistic = s.geocentric =
        -1;
    s.orthogonal = s.satellite = s.apparent = 0;
    s.referenceEquinox = 0;
}

std::string importAstDys(const tarvo::DataDirectories& dirs, FitraSettings& s) {
    const std::string chosen =
        pickFile(filesWithExtension(".", ".RWO"), "AstDys observation files (*.RWO)");
    if (chosen.empty()) return {};
    std::string why;
    StationTable stations;
    TimeOffsetTable offsets;
    if (!importTables(dirs, s, stations, offsets, why)) return "Not imported: " + why;
    const ImportReport report =
        importAstDysFile(chosen, stations, offsets, {s.discardPoor != 0, s.catalogBias});
    if (!report.written) return "Not imported: " + report.message;
    useImported(s, report);
    return report.message;
}

// Imports an MPC file and makes its positions file the data file; the note says what happened.
std::string importMpc(const tarvo::DataDirectories& dirs, FitraSettings& s) {
    auto names = filesWithExtension(".", ".MPC");
    for (const auto& n : filesWithExtension(".", ".OBS")) names.push_back(n);
    std::sort(names.begin(), names.end());
    const std::string chosen = pickFile(names, "MPC observation files (*.MPC, *.OBS)");
    if (chosen.empty()) return {};
    std::string why;
    StationTable stations;
    TimeOffsetTable offsets;
    const auto codes = tarvo::findDataFile(dirs.cfg, "OBSCODES.TXT");
    if (!codes || !readStationTable(*codes, stations, why))
        return "Not imported: " +
               (codes ? why : std::string("no OBSCODES.TXT in ") + dirs.cfg.string());
    const char* tableName = s.universalTime ? "DUT1.DAT" : "LEAPSECS.DAT";
    const auto table = tarvo::findDataFile(dirs.cfg, tableName);
    const bool read = table && (s.universalTime ? readDut1(*table, offsets, why)
                                                : readLeapSeconds(*table, offsets, why));
    if (!read)
        return "Not imported: " +
               (table ? why : std::string("no ") + tableName + " in " + dirs.cfg.string());
    const ImportReport report = importMpcFile(chosen, stations, offsets);
    if (!report.written) return "Not imported: " + report.message;
    s.dataFile = report.positionsFile.filename().string();
    s.equatorial = s.astrometric = s.topocentric = s.angularOnly = s.relativistic = s.geocentric =
        -1;
    s.orthogonal = s.satellite = s.apparent = 0;
    s.referenceEquinox = 0;
    return report.message;
}

// The observations of the data file, a page at a time; false when the user pressed Esc.
bool listObservations(const PositionsFile& f) {
    const int perPage = gridRows() - 6;
    const auto& obs = f.observations;
    for (std::size_t first = 0; first < obs.size(); first += static_cast<std::size_t>(perPage)) {
        setColor(Color::LightGrey, Color::Black);
        clear();
        setColor(Color::Yellow, Color::Black);
        printAt(1, 2,
                "Observations of " + f.objectName + "  (" + std::to_string(obs.size()) + ", TT)");
        printAt(2, 2, " Line  JD - 2451545.0      RA (deg)      Dec (deg)   Mag   Site");
        setColor(Color::LightGrey, Color::Black);
        for (int i = 0; i < perPage && first + i < obs.size(); ++i) {
            const Observation& o = obs[first + i];
            std::string site = o.siteS1 >= 1
                                   ? "spacecraft"
                                   : (o.siteS1 == 0 && o.siteS2 == 0 ? "geocentre" : "ground");
            std::string kind = o.obsKind == 0 ? "" : o.obsKind < 0 ? " range" : " rate";
            printAt(3 + i, 2,
                    tarvo::formatMask("#####  ", o.lineNo) +
                        tarvo::formatMask("######.########  ", o.obsTime) +
                        tarvo::formatMask("###.######  ", o.obsA) +
                        tarvo::formatMask("+##.######  ", o.obsB) +
                        (o.hasMag ? tarvo::formatMask("##.#", o.magnitude) : "    ") + "  " + site +
                        kind + (o.excluded ? " excluded" : ""));
        }
        printAt(gridRows() - 2, 2, " Any key: next page    Esc: stop ");
        if (readKey().key == Key::Esc) return false;
    }
    return true;
}

} // namespace

std::vector<std::string> filesWithExtension(const std::filesystem::path& dir,
                                            const std::string& extension) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
        if (!e.is_regular_file(ec)) continue;
        if (tarvo::upperCase(e.path().extension().string()) == tarvo::upperCase(extension))
            names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    if (names.size() > 511) names.resize(511);
    return names;
}

std::string pickFile(const std::vector<std::string>& names, const std::string& title) {
    const std::size_t keys = std::strlen(kPickerKeys);
    std::size_t page = 0;
    while (true) {
        setColor(Color::LightGrey, Color::Black);
        clear();
        setColor(Color::Yellow, Color::Black);
        printAt(1, 2, title);
        setColor(Color::LightGrey, Color::Black);
        if (names.empty()) printAt(3, 3, "No such file in this directory.");
        const std::size_t first = page * keys;
        for (std::size_t i = 0; i < keys && first + i < names.size(); ++i)
            printAt(3 + static_cast<int>(i % 18), 3 + 26 * static_cast<int>(i / 18),
                    std::string(1, kPickerKeys[i]) + "  " + names[first + i].substr(0, 20));
        printAt(gridRows() - 2, 2,
                names.size() > keys ? " Key: choose   PgDn: more   Esc: back "
                                    : " Key: choose   Esc: back ");
        const Event e = readKey();
        if (e.key == Key::Esc) return {};
        if (e.key == Key::PgDn && (page + 1) * keys < names.size()) ++page;
        if (e.key == Key::PgUp && page > 0) --page;
        if (isCharacterKey(e.key) && e.key < 128 && e.key > 0) {
            const char* at = std::strchr(kPickerKeys, std::toupper(e.key));
            if (at) {
                const std::size_t index = first + static_cast<std::size_t>(at - kPickerKeys);
                if (index < names.size()) return names[index];
            }
        }
    }
}

void showFitraHelp(const tarvo::DataDirectories& dirs, int language, const std::string& screen,
                   int keyPosition) {
    static const char* const prefixes[] = {"", "I", "D"};
    const std::string name =
        std::string(prefixes[std::clamp(language, 0, 2)]) + "HELP" + screen + ".HLP";
    auto text = tarvo::readHelpRecordFile(dirs.hlp, name, keyPosition);
    ConsoleMessageBox(text ? *text : "No help available", 0, "Help message");
}

int runFitra(const tarvo::DataDirectories& dirs) {
    FitraSettings s;
    showTitle(dirs);
    std::string note;
    readFitraConfiguration(configFile(dirs), s, note);
    while (true) {
        drawToggleScreen(s, note);
        note.clear();
        Event e = readKey();
        int key = e.key;
        if (key == Key::Click) {
            // A click on the W row changes the weight factor instead of the toggle.
            if (e.col >= kSlotColumn && e.row >= kFirstToggleRow && e.row < kFirstToggleRow + 9) {
                // Slots 1 to 9 are toggled by a click on their label.
                int& slot = s.fittedSlots[e.row - kFirstToggleRow + 1];
                slot = ~slot;
                continue;
            }
            key = keyOfClick(e);
            if (key == 'W' && e.row == kFirstToggleRow + 11 && e.col > 31) {
                s.weightFactor *= std::pow(2.0, e.col > 40 ? 0.2 : -0.2);
                continue;
            }
        }
        if (key == Key::Esc) return 0;
        if (key == Key::Enter) {
            saveConfiguration(dirs, s);
            PositionsOptions options;
            options.orthogonal = s.orthogonal;
            options.equatorial = s.equatorial;
            options.universalTime = s.universalTime;
            options.weighted = s.weighted;
            options.randomExclude = s.monteCarloExclude;
            const tarvo::DeltaTSettings automatic;
            options.deltaT = [automatic](long double t) { return tarvo::deltaT(t, automatic); };
            PositionsFile file;
            std::string why;
            auto path = tarvo::findDataFile(".", s.dataFile);
            if (!path || !readPositionsFile(*path, options, file, why)) {
                note = path ? why
                            : "No data file " + s.dataFile + ": import one (I) or choose one (F)";
                continue;
            }
            StartingConditions start;
            if (!s.autoStarting) {
                auto startFile = tarvo::findDataFile(".", "STARTING.DAT");
                std::string startWhy;
                if (!startFile || !readStartingConditions(*startFile, start, startWhy)) {
                    note =
                        startFile ? startWhy : "No STARTING.DAT: switch Auto Starting Cond. on (U)";
                    continue;
                }
            }
            // Esc ends the listing; the fit follows either way.
            listObservations(file);
            if (runFit(dirs, s, file, s.autoStarting ? nullptr : &start) == FitOutcome::quit)
                return 0;
            note = why;
            continue;
        }
        if (key == '\\') {
            Event next = readKey();
            int k = next.key == Key::Click ? keyOfClick(next) : std::toupper(next.key);
            const char* at = k > 0 && k < 128 ? std::strchr(kToggleKeys, k) : nullptr;
            if (at && k)
                showFitraHelp(dirs, s.helpLanguage, "FT1", static_cast<int>(at - kToggleKeys) + 1);
            continue;
        }
        if (key <= 0 || key >= 128) continue;
        key = std::toupper(key);
        switch (key) {
        case '0':
            // AF: fitting it holds A1..A3 (it scales them together).
            if (!s.satellite) {
                s.fittedSlots[10] = ~s.fittedSlots[10];
                if (s.fittedSlots[10] && !s.impulse && !s.asymmetric)
                    s.fittedSlots[7] = s.fittedSlots[8] = s.fittedSlots[9] = 0;
            }
            break;
        case 'J':
            s.fittedSlots[13] = ~s.fittedSlots[13];
            break;
        case 'O':
            s.orthogonal = ~s.orthogonal;
            if (s.orthogonal) s.angularOnly = 0;
            break;
        case 'G':
            s.geocentric = ~s.geocentric;
            if (!s.geocentric) s.apparent = s.topocentric = 0;
            break;
        case 'Q':
            s.equatorial = ~s.equatorial;
            break;
        case 'P':
            s.referenceEquinox = s.referenceEquinox == 1 ? -1 : s.referenceEquinox + 1;
            if (s.referenceEquinox == 1) {
                const int row = kFirstToggleRow + 22;
                auto y = askNumber(row, "Year ? ");
                auto m = y ? askNumber(row, "Month ? ") : std::nullopt;
                auto d = m ? askNumber(row, "Day ? ") : std::nullopt;
                if (d) {
                    s.fixedEquinoxYear = *y;
                    s.fixedEquinoxMonth = *m;
                    s.fixedEquinoxDay = *d;
                } else {
                    s.referenceEquinox = -1;
                }
            }
            break;
        case 'M':
            s.astrometric = ~s.astrometric;
            if (s.astrometric) s.apparent = 0;
            break;
        case 'A':
            s.apparent = ~s.apparent;
            break;
        case 'T':
            s.topocentric = ~s.topocentric;
            break;
        case 'N':
            s.angularOnly = ~s.angularOnly;
            break;
        case 'R':
            s.relativistic = ~s.relativistic;
            break;
        case 'S':
            s.satellite = ~s.satellite;
            if (s.satellite) s.fixA0 = s.impulse = s.asymmetric = 0;
            break;
        case 'Z':
            s.universalTime = ~s.universalTime;
            break;
        case 'W':
            s.weighted = ~s.weighted;
            break;
        case 'D':
            if (auto v = askNumber(kFirstToggleRow + 22, "Starting Dist (AU) ? "); v && *v > 0)
                s.startDistanceAu = *v;
            break;
        case 'U':
            s.autoStarting = ~s.autoStarting;
            break;
        case '*':
            s.monteCarloRuns = ~s.monteCarloRuns;
            break;
        case '-':
            s.monteCarloExclude = ~s.monteCarloExclude;
            break;
        case '#': {
            saveConfiguration(dirs, s);
            const auto run = editTextFile(configFile(dirs));
            if (run.started)
                readFitraConfiguration(configFile(dirs), s, note);
            else
                note = "FITRA.CFG written: " + run.message;
            break;
        }
        case 'I':
            note = importMpc(dirs, s);
            break;
        case '$':
            note = importAstDys(dirs, s);
            break;
        case 'E': {
            const auto run = editTextFile(s.dataFile);
            if (!run.started) note = run.message;
            break;
        }
        case 'F': {
            const std::string chosen =
                pickFile(filesWithExtension(".", ".POS"), "Positions files (*.POS)");
            if (!chosen.empty()) s.dataFile = chosen;
            break;
        }
        case 'X':
            s.fixA0 = ~s.fixA0;
            if (s.fixA0) {
                printAt(kFirstToggleRow + 23, 2, "(-1 for Parab.)");
                if (auto v = askNumber(kFirstToggleRow + 22, " Fixed value ? "))
                    s.fixedA0 = *v;
                else
                    s.fixA0 = 0;
            }
            break;
        case 'B':
            s.addBody = ~s.addBody;
            if (s.addBody && (s.minorPlanets == 1 || s.minorPlanets == 2)) s.minorPlanets = -1;
            break;
        case 'C':
            s.customFile = ~s.customFile;
            if (s.customFile) s.minorPlanets = 0;
            break;
        case 'L':
            s.minorPlanets = s.minorPlanets == 0    ? -1
                             : s.minorPlanets == -1 ? 2
                             : s.minorPlanets == 2  ? 1
                                                    : 0;
            if (s.customFile) s.minorPlanets = 0;
            if (s.minorPlanets > 0) s.fitExtra = s.addBody = 0;
            break;
        case 'V':
            s.adaptiveStep = ~s.adaptiveStep;
            break;
        case 'K':
            s.fitKeplerian = ~s.fitKeplerian;
            if (s.fitKeplerian) s.fixA0 = 0;
            break;
        case '+':
            if (!s.fitExtra && !std::filesystem::exists("STARTING.TVX"))
                note = " Missing File   STARTING.TVX  ";
            else
                s.fitExtra = ~s.fitExtra;
            break;
        case '^':
            s.impulse = s.impulse == 1 ? -1 : s.impulse + 1;
            if (s.impulse) s.asymmetric = 0;
            break;
        case '<':
            s.asymmetric = s.asymmetric == 1 ? -1 : s.asymmetric + 1;
            if (s.asymmetric) s.impulse = 0;
            break;
        case 'Y':
            s.yarkovsky = ~s.yarkovsky;
            break;
        case 'H':
            s.helpLanguage = (s.helpLanguage + 1) % 3;
            break;
        default:
            break;
        }
    }
}

} // namespace fitra
