#include "tarvo/shell/run_loop.h"

#include "console/console.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/state_file.h"
#include "tarvo/reductions/centre_dialog.h"
#include "tarvo/reductions/site_files.h"
#include "tarvo/reductions/time_prompts.h"
#include "tarvo/shell/atomic_file.h"
#include "tarvo/shell/configuration.h"
#include "tarvo/shell/elements_page.h"
#include "tarvo/shell/ephemeris_page.h"
#include "tarvo/shell/file_output.h"
#include "tarvo/shell/format_mask.h"
#include "tarvo/shell/help.h"
#include "tarvo/shell/progress_display.h"
#include "tarvo/shell/run_engine.h"
#include "tarvo/shell/run_settings.h"
#include "tarvo/shell/text_util.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace fs = std::filesystem;

namespace tarvo {

namespace {

using namespace console::Color;

constexpr int kRunColumns = 108;
constexpr long double kJ2000 = 2451545.0L;

enum class RunCommand { none, step, page, endRun };

struct Run {
    Session& s;
    RunEngine engine;
    RunSettings settings;
    FileOutputSettings output;
    long outputPolls = 0;
    explicit Run(Session& session) : s(session), engine(session) {
        settings.precession = s.toggles.precession ? PrecessionState::on : PrecessionState::off;
        if (!s.deltaTTable.empty()) settings.deltaT.observed = &s.deltaTTable;
    }
};

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

int yearOf(long double t) {
    return static_cast<int>(jdToDate(t + kJ2000).year);
}

// ------------------------------------------------------------------ the page

bool hasMoon(const Session& s) {
    return s.bodies.moonIntegrated();
}

// The elements page: title, legend, date and column lines white and
// yellow, geocentric rows green, hidden bodies dim, the key menu below.
void drawElementsPage(const Run& r, const ElementsPage& page) {
    const std::vector<std::string> lines = elementsPageLines(page);
    console::setSize(kRunColumns, kPageRows);
    clearScreen();
    for (std::size_t k = 0; k < lines.size(); ++k) {
        int color = k < 3 ? White : k == 3 ? Yellow : LightGrey;
        if (k > 3) {
            const ElementsPageBody& body = page.bodies[k - 4];
            color = !body.shown ? DarkGrey : body.row.geocentric ? LightGreen : LightGrey;
        }
        console::setColor(color, Black);
        console::printAt(static_cast<int>(k) + 1, 1, lines[k]);
    }
    for (const ElementMenuLine& line : elementMenuLines(hasMoon(r.s))) {
        console::setColor(line.key == ' ' ? White : LightCyan, Black);
        console::printAt(line.row, line.col, line.text);
    }
}

void drawPage(Run& r) {
    const Session& s = r.s;
    const long double au = r.engine.model.coefficients.astronomicalUnit;
    if (r.settings.elementsPage) {
        drawElementsPage(r, assembleElementsPage(s, r.settings, au));
        return;
    }
    const EphemerisPage page = assembleEphemerisPage(s, r.settings, au);
    std::vector<bool> shown(page.bodies.size(), true);
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i] = !s.bodies.isHidden(static_cast<int>(i));
    const std::vector<std::string> lines = ephemerisPageLines(page, shown);
    const std::size_t headerRows = page.settings.centre == CentreKind::Topocentric ? 3 : 2;
    console::setSize(kRunColumns, kPageRows);
    clearScreen();
    for (std::size_t k = 0; k < lines.size(); ++k) {
        // Header and time line white, column headers yellow, the Sun yellow.
        const bool columns =
            k > headerRows && k <= headerRows + 2 && lines[k].rfind("Body", 0) == 0;
        const bool sun = lines[k].rfind(bodyName(s.bodies, 0), 0) == 0 && k > headerRows + 1;
        console::setColor(k <= headerRows ? White : (columns || sun) ? Yellow : LightGrey, Black);
        console::printAt(static_cast<int>(k) + 1, 1, lines[k]);
    }
    console::setColor(LightGreen, Black);
    console::printAt(kPageRows, 2, "Space: next step   Esc: key-action screen   Q: help");
}

// Key M of the elements page: the page drawn once more and every body's
// row written to OSCEL.DAT (created anew).
void dumpElements(Run& r) {
    const ElementsPage page =
        assembleElementsPage(r.s, r.settings, r.engine.model.coefficients.astronomicalUnit);
    drawElementsPage(r, page);
    std::string message;
    if (!writeFileAtomically("OSCEL.DAT", oscelText(page), message)) showError(message);
}

// -------------------------------------------------------------- file output

std::vector<std::string> bodyNames(const Session& s) {
    std::vector<std::string> names;
    for (int i = 0; i <= s.bodies.layout.bodyCount; ++i) names.push_back(bodyName(s.bodies, i));
    return names;
}

// Appends this step's records: OUTPUT.LOG (angular quantities) and one
// ".OUT" file per selected body; the page's centre has nothing to record.
void writeRecords(Run& r) {
    const Session& s = r.s;
    const long double au = r.engine.model.coefficients.astronomicalUnit;
    const RecordTimeUnit unit = recordTimeUnit(r.output.time);
    std::string message;
    bool ok = true;
    std::vector<std::string> log;
    if (r.settings.elementsPage) {
        // The elements page writes element records to the files of the shown bodies.
        const ElementsPage elements = assembleElementsPage(s, r.settings, au);
        for (const ElementsPageBody& body : elements.bodies) {
            const auto k = static_cast<std::size_t>(body.index);
            if (!body.shown || k >= r.output.fileNames.size() || r.output.fileNames[k].empty()) continue;
            ok = ok && appendLines(r.output.fileNames[k],
                                   elementFileLines(elements, body, unit, !r.output.openingWritten), message);
        }
    } else {
        const EphemerisPage page = assembleEphemerisPage(s, r.settings, au);
        if (!r.output.openingWritten) log = outputLogOpening(page);
        const std::string header = bodyFileHeader(page, unit);
        for (const PageBody& body : page.bodies) {
            const auto i = static_cast<std::size_t>(body.index);
            if (body.centre || i >= r.output.fileNames.size() || r.output.fileNames[i].empty())
                continue;
            std::vector<std::string> lines;
            if (!r.output.openingWritten && !header.empty()) lines.push_back(header);
            lines.push_back(bodyRecord(page, body, unit));
            ok = ok && appendLines(r.output.fileNames[i], lines, message);
            if (!page.settings.orthogonal)
                log.push_back(pageRecordTime(page, unit) + bodyRows(page, body).front());
        }
    }
    if (!log.empty()) ok = ok && appendLines("OUTPUT.LOG", log, message);
    r.output.openingWritten = true;
    if (!ok) {
        showError(message);
        r.output.active = false;
    }
    if (--r.output.recordsLeft <= 0) r.output.active = false;
}

void fileOutputDialog(Run& r) {
    Session& s = r.s;
    clearScreen();
    console::setColor(White, Black);
    console::printAt(2, 4, "Screen Output will be suspended and");
    console::printAt(3, 4, "Records will be written to the following files: ");
    console::setColor(LightCyan, Black);
    console::printAt(5, 4, "OUTPUT  .LOG");
    const auto names = outputFileNames(bodyNames(s));
    int row = 6, col = 4;
    for (int i = 0; i < static_cast<int>(names.size()) && row < 20; ++i) {
        console::printAt(row, col, names[static_cast<std::size_t>(i)]);
        col += 18;
        if (col > 90) col = 4, ++row;
    }
    console::setColor(White, Black);
    console::printAt(21, 4, "S  Writes only minor bodies");
    console::printAt(22, 4, "M  Writes only major bodies");
    console::printAt(23, 4, "O.K.?  (Y, N, M or S) ");
    int key = 0;
    do {
        key = std::toupper(console::readKey().key & 0x7f);
    } while (!std::strchr("YNMS\x1b", key));
    if (key == 'N' || key == 27) {
        r.settings.fileOutput = false;
        r.output.active = false;
        return;
    }
    r.output.bodies = static_cast<char>(key);
    console::printAt(24, 4, "Enter number of records [default = 100] ");
    auto answer = console::readLine(10);
    double n = answer ? readFreeNumber(*answer) : 0;
    r.output.recordsLeft = (std::isfinite(n) && n >= 1) ? static_cast<int>(std::min(n, 1e9)) : 100;
    console::clearLine(21);
    console::clearLine(22);
    console::clearLine(23);
    console::clearLine(24);
    console::printAt(21, 4, "Do you want Time to be recorded as:");
    console::printAt(22, 4, "Date   (D)   JD    (J)   Jy    (Y)   JCy   (C)   JMy   (M) ");
    do {
        key = std::toupper(console::readKey().key & 0x7f);
    } while (!std::strchr("DJYCM\x1b", key));
    r.output.time = key == 'J'   ? TimeRecording::julianDate
                    : key == 'Y' ? TimeRecording::julianYears
                    : key == 'C' ? TimeRecording::julianCenturies
                    : key == 'M' ? TimeRecording::julianMillennia
                                 : TimeRecording::date;
    r.output.fileNames = names;
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        const bool major = i <= s.bodies.layout.lastMassive;
        if ((r.output.bodies == 'M' && !major) || (r.output.bodies == 'S' && major))
            r.output.fileNames[static_cast<std::size_t>(i)].clear();
    }
    r.output.openingWritten = false;
    r.output.active = true;
}

// -------------------------------------------------------------- stepping

// Integrates one page interval; shows the integrator's error and goes on.
void stepPage(Run& r) {
    IntegrationState& st = r.s.integration;
    if (r.settings.backward != (st.direction < 0)) r.engine.reverse();
    const long double interval = static_cast<long double>(r.settings.scaleFactor) * st.nominalStep;
    const long double target = st.epoch + (st.direction < 0 ? -interval : interval);
    auto result = r.engine.integrateTo(target, [](long double) { return true; });
    if (result.status != IntegrateStatus::ok) showError(result.message);
    if (const std::string error = r.engine.checkpointIfDue(); !error.empty()) showError(error);
}

// The jump to `target` without the page, with its progress display.
void jump(Run& r, long double target) {
    IntegrationState& st = r.s.integration;
    const long double span = target - st.epoch;
    if (span == 0.0L) return;
    console::setSize(kRunColumns, 27);
    clearScreen();
    const CalendarTime c = daysToCalendar(target + 0.5L);
    console::setColor(White, Black);
    console::printAt(18, 28,
                     std::string("Jumping") + (span < 0 ? " back " : " ") + "to Epoch" +
                         c.dateText.substr(c.dateText.find_first_not_of(' ') == std::string::npos
                                               ? 0
                                               : c.dateText.find_first_not_of(' ') - 1) +
                         " ...");
    ProgressDisplay progress;
    progress.begin(st.epoch, span, st.adaptive, kRunColumns);
    const long double begin = st.epoch;
    const auto started = std::chrono::steady_clock::now();
    long steps = 0;
    auto result = r.engine.integrateTo(target, [&](long double t) {
        // The keyboard is looked at every 64 steps: often enough for a user,
        // and a jump of a few steps never takes a key meant for the page.
        if (++steps % 64 != 0) return true;
        progress.update(t);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const long double years = std::fabs(t - begin) / 365.25L;
        console::setColor(LightGrey, Black);
        console::printAt(
            20, 28,
            "y.d:" + formatMask(" ######.## ", years) +
                " y/s:" + formatMask(" ######.## ", seconds > 0 ? years / seconds : 0.0L) +
                " s/y:" + formatMask(" ####.#### ", years > 0 ? seconds / years : 0.0L));
        return !progress.interrupted();
    });
    if (result.status != IntegrateStatus::ok) showError(result.message);
}

// ------------------------------------------------------ key-action screen

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
    {'@', " @   Add Comet    "},   {'#', " #   Save Prefer. "},
};
constexpr int kKeyRows = 16;

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
        return onOff(t.adaptiveStep);
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

void notYet(const char* what) {
    console::ConsoleMessageBox(std::string(what) + " is not available in this version.", 0,
                               "Not available yet");
}

// Jump to a new date typed by the user.
void jumpToDate(Run& r) {
    clearScreen();
    auto answer = readDate(false, 3);
    if (!answer) return;
    const long double t = dateAnswerTerrestrial(*answer, r.settings.deltaT);
    const EpochTable& e = r.engine.epochs;
    if (!e.epochs.empty() && (yearOf(t) < e.firstYear || yearOf(t) > e.lastYear)) {
        console::printAt(8, 2,
                         "  Allowed Range is  " + std::to_string(e.firstYear) + " to " +
                             std::to_string(e.lastYear));
        pressAKey(10, "  Press a key to continue  ");
        return;
    }
    jump(r, t);
    r.engine.renewFrame(r.s.integration.epoch);
}

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
        if (used == 0 || !std::isfinite(year) || std::fabs(year) > 1e6) return;
        r.settings.referenceEquinox = 1;
        r.settings.referenceYear = year;
    }
    r.s.toggles.nutation = 0;
}

void showRunHelp(const Run& r, char key) {
    const char* at = std::strchr(kRunKeys, key);
    showHelp(r.s.dirs, r.s.toggles.helpLanguage, helpKeyActions,
             at ? static_cast<int>(at - kRunKeys) + 1 : 0);
}

// Key C: planet-centric positions about a body the user names, or about a
// fixed point; the Earth means geocentric.
void chooseCentre(Run& r) {
    Session& s = r.s;
    if (r.settings.planetCentric) {
        r.settings.planetCentric = false;
        return;
    }
    clearScreen();
    const int lastMajor = s.bodies.layout.lastMajor;
    const CentreChoice choice =
        selectCentre(lastMajor, bodyName(s.bodies, lastMajor), s.toggles.ecliptic != 0,
                     static_cast<double>(s.frame.obliquityJ2000.cos),
                     static_cast<double>(s.frame.obliquityJ2000.sin),
                     static_cast<double>(r.engine.model.coefficients.astronomicalUnit));
    if (!choice.chosen) return;
    r.settings.topocentric = false;
    s.toggles.horizon = 0;
    if (choice.index == s.bodies.layout.earthIndex) {
        r.settings.planetCentric = false;
        s.toggles.geocentric = -1;
        return;
    }
    r.settings.planetCentric = true;
    r.settings.centreBody = choice.index;
    if (choice.index < 0)
        r.settings.fixedCentre = {choice.fixedPoint[0], choice.fixedPoint[1], choice.fixedPoint[2]};
}

// Key G: the observing site from an observatory code, the list of places or
// typed by hand; a new site is written to GEOLOC.CRD.
void chooseLocation(Run& r) {
    Session& s = r.s;
    ObserverSite site;
    site.latitude = static_cast<double>(s.site.latitude);
    site.longitude = static_cast<double>(s.site.longitude);
    site.heightGm = static_cast<double>(s.site.height);
    site.label = s.site.name;
    GeoSitesLoad places;
    if (auto file = findDataFile(s.dirs.cfg, "GEOSITES.DAT")) places = readGeoSites(*file);
    LocationFiles files;
    files.observatoryCodes =
        findDataFile(s.dirs.cfg, "OBSCODES.TXT").value_or(s.dirs.cfg / "OBSCODES.TXT");
    files.siteFile = s.dirs.cfg / "GEOLOC.CRD";
    files.geoSites = &places.sites;
    clearScreen();
    if (selectLocation(site, files) != LocationOutcome::Changed) return;
    s.site.latitude = site.latitude;
    s.site.longitude = site.longitude;
    s.site.height = site.heightGm;
    s.site.name = site.label;
}

// Carries out the action of `key`; returns what the loop does next.
RunCommand act(Run& r, int rawKey) {
    Session& s = r.s;
    if (rawKey == ' ') return RunCommand::step;
    if (rawKey == console::Key::Esc) return RunCommand::endRun;
    if (rawKey > 127) return RunCommand::none;
    const char key = static_cast<char>(std::toupper(rawKey));
    if (applyRunToggle(key, r.settings, s.toggles, s.extraOptions.lieskePrecession != 0)) {
        if (key == 'V') r.engine.applyOptions();
        return RunCommand::none;
    }
    switch (key) {
    case 'R':
        referenceEquinoxDialog(r);
        break;
    case 'D':
        deltaTMenu(r.settings.deltaT, s.dirs.cfg / "DELTAT.COF");
        break;
    case '/':
        hidePlanets(r);
        break;
    case '!':
        extraOptionsScreen(s.extraOptions, false, s.dirs, s.toggles.helpLanguage);
        r.engine.applyOptions();
        break;
    case 'S':
        stepScaling(r);
        break;
    case 'F':
        r.settings.fileOutput = !r.settings.fileOutput;
        if (r.settings.fileOutput)
            fileOutputDialog(r);
        else
            r.output.active = false;
        return r.output.active ? RunCommand::page : RunCommand::none;
    case 'J':
        jumpToDate(r);
        return RunCommand::page;
    case '#': {
        const std::string error = saveConfiguration(s.dirs.cfg / "TARVO.CFG", s.toggles);
        console::ConsoleMessageBox(error.empty() ? "Preferences saved in TARVO.CFG" : error, 0,
                                   "Save Prefer.");
        break;
    }
    case 'Q':
        showRunHelp(r, static_cast<char>(std::toupper(console::readKey().key & 0x7f)));
        break;
    case 'W':
        notYet("The graphics window");
        break;
    case 'C':
        chooseCentre(r);
        break;
    case 'G':
        chooseLocation(r);
        break;
    case 'Y':
        notYet("The close-approach search");
        break;
    case 'I':
        notYet("The minimum, maximum and zero search");
        break;
    case '*':
        notYet("The asteroid library");
        break;
    case '@':
        notYet("The comet library");
        break;
    default:
        break;
    }
    return RunCommand::none;
}

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

void showElementHelp(const Run& r, int key) {
    const char* at = key > 0 && key < 128 ? std::strchr(kElementPageKeys, std::toupper(key)) : nullptr;
    showHelp(r.s.dirs, r.s.toggles.helpLanguage, helpEphemerisPage,
             at ? static_cast<int>(at - kElementPageKeys) + 1 : 0);
}

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

void stepLoop(Run& r) {
    for (;;) {
        if (r.output.active) {
            console::setSize(kRunColumns, 27);
            clearScreen();
            console::setColor(Yellow, Black);
            console::printAt(12, 30, "Writing Output to Disk Files ... ");
            console::refresh();
            writeRecords(r);
            // Esc stops the output; looked for every 64 records, like the jump.
            if (++r.outputPolls % 64 == 0)
                if (auto key = console::pollKey(); key && key->key == console::Key::Esc)
                    r.output.active = false;
            if (r.output.active) {
                stepPage(r);
                continue;
            }
            r.settings.fileOutput = false;
        }
        if (!r.s.extraOptions.planetPerturb) r.s.bodies.hiddenPlanet.fill(0);
        drawPage(r);
        console::Event e = console::readKey();
        RunCommand c = RunCommand::none;
        if (r.settings.elementsPage)
            c = elementsPageInput(r, e);
        else if (e.key == ' ')
            c = RunCommand::step;
        else if (e.key == console::Key::Esc)
            c = keyActionScreen(r);
        else if (e.key < 128 && std::toupper(e.key) == 'Q')
            showRunHelp(r, static_cast<char>(std::toupper(console::readKey().key & 0x7f)));
        else
            c = act(r, e.key);
        if (c == RunCommand::endRun) return;
        if (c == RunCommand::step) stepPage(r);
    }
}

void endRun(Run& r) {
    std::string message;
    if (!writeFinalFiles(fs::current_path(), r.engine.snapshot(), message)) showError(message);
    console::setSize(81, 27);
}

// Asks for the start date until one inside the data set's years is given.
bool askStartEpoch(Run& r, long double& t) {
    for (;;) {
        console::setSize(81, 27);
        clearScreen();
        auto answer = readDate(false, 3);
        if (!answer) return false;
        t = dateAnswerTerrestrial(*answer, r.settings.deltaT);
        const EpochTable& e = r.engine.epochs;
        const int year = yearOf(t);
        if (std::isfinite(static_cast<double>(t)) && year >= e.firstYear && year <= e.lastYear)
            return true;
        console::setColor(LightRed, Black);
        console::printAt(9, 2,
                         "  Allowed Range is  " + std::to_string(e.firstYear) + " to " +
                             std::to_string(e.lastYear));
        pressAKey(11, "  Press a key to continue  ");
    }
}

// The state files of the working directory a menu choice offers.
std::vector<std::string> stateFileChoices(const std::string& extension) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(fs::current_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string upper = upperCase(name);
        if (upper.size() < extension.size() ||
            upper.compare(upper.size() - extension.size(), extension.size(), extension) != 0)
            continue;
        if (upper.rfind("FINAL", 0) == 0 || upper.rfind("STARTING", 0) == 0) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    auto demo = std::find_if(names.begin(), names.end(),
                             [](const std::string& n) { return upperCase(n) == "DEMO.TVX"; });
    if (demo != names.end()) std::rotate(names.begin(), demo, demo + 1);
    return names;
}

std::string chooseStateFile(const std::string& extension) {
    console::setSize(81, 27);
    clearScreen();
    auto names = stateFileChoices(extension);
    console::setColor(White, Black);
    console::printAt(2, 4, "Files " + extension + " in the working directory:");
    console::setColor(LightCyan, Black);
    for (std::size_t i = 0; i < names.size() && i < 60; ++i)
        console::printAt(4 + static_cast<int>(i % 20), 4 + 25 * static_cast<int>(i / 20), names[i]);
    console::setColor(White, Black);
    console::printAt(25, 4, "File name ? ");
    auto answer = console::readLine(60);
    std::string name = answer ? trim(*answer) : "";
    if (name.size() < 2) return "";
    if (name.find('.') == std::string::npos) name += extension;
    return name;
}

bool startFromStateFile(Run& r, int choice) {
    Session& s = r.s;
    const bool full = choice == 11;
    const std::string name = chooseStateFile(full ? ".TVF" : ".TVX");
    if (name.empty()) return false;
    StateFileContents contents;
    std::string message;
    if (!readStateFile(name, full ? StateFileKind::Full : StateFileKind::MinorBody,
                       static_cast<std::size_t>(s.bodies.maxBodies), contents, message)) {
        showError(message);
        return false;
    }
    const long double epoch = contents.julianDate - kJ2000;
    int dataSet =
        s.integration.dataSet >= 1 && s.integration.dataSet <= 9 ? s.integration.dataSet : 3;
    if (contents.satelliteFile) dataSet = 10;
    if (!r.engine.scan(dataSet, message)) {
        showError(message);
        return false;
    }
    const int year = yearOf(epoch);
    if (dataSet != 10 && (year < r.engine.epochs.firstYear || year > r.engine.epochs.lastYear)) {
        dataSet = 2;
        if (!r.engine.scan(dataSet, message)) {
            showError(message);
            return false;
        }
    }
    if (!full && !r.engine.loadMajorBodies(dataSet, epoch, message)) {
        showError(message);
        return false;
    }
    if (full) {
        if (!r.engine.loadFullFile(name, dataSet, message)) {
            showError(message);
            return false;
        }
        return true;
    }
    // The minor bodies join the major ones at the file's epoch.
    jump(r, epoch);
    BodyTable& t = s.bodies;
    StateLoadSettings settings;
    settings.kind = StateFileKind::MinorBody;
    settings.dataSet = dataSet;
    settings.firstIndex = t.layout.bodyCount + 1;
    settings.satelliteMode = dataSet == 10;
    settings.extraOptionY = s.extraOptions.yarkovsky != 0;
    settings.astronomicalUnit = r.engine.model.coefficients.astronomicalUnit;
    const int before = t.layout.bodyCount;
    StateLoadResult loaded = loadStateFile(name, settings, t);
    if (!loaded.ok) {
        showError(loaded.message);
        return false;
    }
    // New bodies, heliocentric (geocentric satellites) in the J2000 equator
    // with km/s, become bodies of the table: the frame of date, the table's
    // origin and step velocities.
    const auto first = static_cast<std::size_t>(before + 1);
    const auto last = static_cast<std::size_t>(t.layout.bodyCount);
    rotateToDate(s.frame, first, last, t.posX.data(), t.posY.data(), t.posZ.data());
    rotateToDate(s.frame, first, last, t.velX.data(), t.velY.data(), t.velZ.data());
    const long double stepScale = kmPerSecondToGmPerDay * s.integration.step *
                                  static_cast<long double>(s.integration.direction);
    const int origin = settings.satelliteMode ? -1 : 0;
    for (int i = before + 1; i <= t.layout.bodyCount; ++i) {
        t.velX[i] *= stepScale, t.velY[i] *= stepScale, t.velZ[i] *= stepScale;
        if (origin == 0) {
            t.posX[i] += t.posX[0], t.posY[i] += t.posY[0], t.posZ[i] += t.posZ[0];
            t.velX[i] += t.velX[0], t.velY[i] += t.velY[0], t.velZ[i] += t.velZ[0];
        }
        t.stepMass[i] = t.mass[i] * gravitationalConstant * s.integration.step * s.integration.step;
    }
    s.integration.derived = deriveConstants(t);
    r.engine.renewFrame(s.integration.epoch);
    return true;
}

} // namespace

void runFromMenu(Session& s, int choice) {
    Run r(s);
    r.settings.elements = s.elementPage;
    std::string message;
    if (choice >= 1 && choice <= 9) {
        console::setSize(81, 27);
        clearScreen();
        console::setColor(White, Black);
        console::printAt(12, 30, "Scanning Library ... ");
        console::refresh();
        if (!r.engine.scan(choice, message)) {
            showError(message);
            return;
        }
        long double start = 0;
        if (!askStartEpoch(r, start)) return;
        if (!r.engine.loadMajorBodies(choice, start, message)) {
            showError(message);
            return;
        }
        jump(r, start);
    } else if (choice == 10 || choice == 11) {
        if (!startFromStateFile(r, choice)) return;
    } else {
        notYet(choice == 12 ? "The asteroid library" : "The comet library");
        return;
    }
    r.engine.renewFrame(s.integration.epoch);
    stepLoop(r);
    s.elementPage = r.settings.elements;
    endRun(r);
}

} // namespace tarvo
