// The start of a run: the start date inside the data set's years, or a
// state or element file of the working directory with its minor or all
// bodies.
#include "run_state.h"

#include "fileio/data_tree.h"
#include "fileio/text_util.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/element_file.h"
#include "tarvo/libraries/state_file.h"
#include "tarvo/shell/time_prompts.h"
#include <algorithm>
#include <cmath>
#include <filesystem>

namespace tarvo::runloop {

namespace fs = std::filesystem;
using namespace console::Color;

namespace {

// The state and element files of the working directory a menu choice
// offers; names beginning FINAL or STARTING are left out, DEMO.TVX first.
std::vector<std::string> stateFileChoices(const std::vector<std::string>& extensions) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(fs::current_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string upper = upperCase(name);
        const bool offered = std::any_of(extensions.begin(), extensions.end(), [&](const auto& x) {
            return upper.size() >= x.size() &&
                   upper.compare(upper.size() - x.size(), x.size(), x) == 0;
        });
        if (!offered) continue;
        if (upper.rfind("FINAL", 0) == 0 || upper.rfind("STARTING", 0) == 0) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    auto demo = std::find_if(names.begin(), names.end(),
                             [](const std::string& n) { return upperCase(n) == "DEMO.TVX"; });
    if (demo != names.end()) std::rotate(names.begin(), demo, demo + 1);
    return names;
}

// Minor-body files: states (.TVX) and elements (.TVE); full files: .TVF
// and .ELE. A name typed without an extension is a state file.
std::string chooseStateFile(bool full) {
    const std::vector<std::string> extensions =
        full ? std::vector<std::string>{".TVF", ".ELE"} : std::vector<std::string>{".TVX", ".TVE"};
    console::setSize(81, 27);
    clearScreen();
    auto names = stateFileChoices(extensions);
    console::setColor(White, Black);
    console::printAt(
        2, 4, "Files " + extensions[0] + " and " + extensions[1] + " in the working directory:");
    console::setColor(LightCyan, Black);
    for (std::size_t i = 0; i < names.size() && i < 60; ++i)
        console::printAt(4 + static_cast<int>(i % 20), 4 + 25 * static_cast<int>(i / 20), names[i]);
    console::setColor(White, Black);
    console::printAt(25, 4, "File name ? ");
    auto answer = console::readLine(60);
    std::string name = answer ? trim(*answer) : "";
    if (name.size() < 2) return "";
    if (name.find('.') == std::string::npos) name += extensions[0];
    // "one" finds ONE.TVX, as the names are listed: a case-insensitive
    // match in the file's directory when the exact name is not there.
    const std::filesystem::path typed(name);
    const std::filesystem::path folder = typed.has_parent_path() ? typed.parent_path() : ".";
    if (const auto found = findDataFile(folder, typed.filename().string()))
        return typed.has_parent_path() ? found->string() : found->filename().string();
    return name;
}

// The rotation from the ecliptic of a frame epoch (JD2000) to the J2000
// ecliptic, for element records referred to another epoch.
EclipticRotation eclipticRotation(const PrecessionTable& table) {
    return [&table](long double frameEpoch, Rotation3& toJ2000) {
        FrameState frame;
        computeFrame(frame, frameEpoch, FrameOptions{}, table);
        for (int k = 0; k < 3; ++k) {
            std::array<long double, 3> v{};
            v[static_cast<std::size_t>(k)] = 1;
            eclipticOfDateToJ2000(frame, v[0], v[1], v[2]);
            for (int i = 0; i < 3; ++i)
                toJ2000[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] =
                    v[static_cast<std::size_t>(i)];
        }
        return true;
    };
}

// An element file becomes the state file DAT.TMP of the working directory;
// a parabola whose iteration ran out of rounds is said so on a line of its
// own, and the run goes on with the last iterate.
bool convertToStateFile(Run& r, const std::string& name, StateFileKind kind, bool satellite,
                        int dataSet, ElementConversionOutcome& outcome) {
    ElementFileConversion conversion;
    conversion.kind = kind;
    conversion.satelliteMode = satellite;
    conversion.astronomicalUnit = forceCoefficientsForDataSet(dataSet).astronomicalUnit;
    conversion.maxRecords = static_cast<std::size_t>(r.s.bodies.maxBodies);
    conversion.eclipticRotation = eclipticRotation(r.s.precessionTable);
    outcome = convertElementFile(name, kConvertedStateFile, conversion);
    if (!outcome.ok) {
        showError(outcome.message);
        return false;
    }
    if (!outcome.message.empty()) {
        clearScreen();
        console::setColor(LightRed, Black);
        console::printAt(10, 2, outcome.message);
        pressAKey(12, "  Press a key to continue  ");
    }
    return true;
}

// Minor bodies that start inside an attracting body of the table (a library
// asteroid that the data set already carries as a perturber, say) would be
// flung away by its point-mass pull: they are left out, and named.
// Positions are those of the table, the Moon's geocentric.
std::string leaveOutBodiesInsideAttractors(BodyTable& t, int firstNew) {
    std::string names;
    const BodyLayout& l = t.layout;
    for (int i = t.layout.bodyCount; i >= firstNew; --i) {
        for (int j = 1; j < firstNew; ++j) {
            if (t.mass[j] <= 0.0L || t.radius[j] <= 0.0) continue;
            long double dx = t.posX[i] - t.posX[j], dy = t.posY[i] - t.posY[j],
                        dz = t.posZ[i] - t.posZ[j];
            if (j == l.moonIndex && !l.noMoon)
                dx -= t.posX[l.earthIndex], dy -= t.posY[l.earthIndex], dz -= t.posZ[l.earthIndex];
            if (dx * dx + dy * dy + dz * dz >= static_cast<long double>(t.radius[j] * t.radius[j]))
                continue;
            names += (names.empty() ? "" : ", ") + trim(bodyName(t, i)) + " (inside " +
                     trim(bodyName(t, j)) + ")";
            removeBody(t, i);
            break;
        }
    }
    return names;
}

} // namespace

std::string leaveOutInsideAttractors(BodyTable& t, int firstNew) {
    return leaveOutBodiesInsideAttractors(t, firstNew);
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

bool startFromStateFile(Run& r, int choice) {
    const bool full = choice == 11;
    const std::string name = chooseStateFile(full);
    if (name.empty()) return false;
    return startFromNamedFile(r, name, full);
}

bool startFromNamedFile(Run& r, const std::string& name, bool full) {
    Session& s = r.s;
    const StateFileKind kind = full ? StateFileKind::Full : StateFileKind::MinorBody;
    const StateFileKindCheck check = recogniseStateFile(name, kind);
    if (!check.ok) {
        showError(check.message);
        return false;
    }
    const bool satellite = !full && check.satelliteFile;

    // The data set: the one chosen in the menu (3 before any), data set 2
    // when the file's epoch lies outside its years, 10 for satellites.
    std::string message;
    int dataSet = s.menuDataSet >= 1 && s.menuDataSet <= 9 ? s.menuDataSet : 3;
    if (satellite) dataSet = 10;
    if (!r.engine.scan(dataSet, message)) {
        showError(message);
        return false;
    }
    const int year = yearOf(check.julianDate - kJ2000);
    if (dataSet != 10 && (year < r.engine.epochs.firstYear || year > r.engine.epochs.lastYear)) {
        dataSet = 2;
        if (!r.engine.scan(dataSet, message)) {
            showError(message);
            return false;
        }
    }
    if (satellite) useSatelliteCapacity(r);

    // Element files go through the state file DAT.TMP.
    std::string stateFile = name;
    ElementConversionOutcome converted;
    if (check.elementFile) {
        if (!convertToStateFile(r, name, kind, satellite, dataSet, converted)) return false;
        stateFile = kConvertedStateFile;
    }
    StateFileContents contents;
    if (!readStateFile(stateFile, kind, static_cast<std::size_t>(s.bodies.maxBodies), contents,
                       message)) {
        showError(message);
        return false;
    }
    const long double epoch = contents.julianDate - kJ2000;
    if (full) {
        if (!r.engine.loadFullFile(stateFile, dataSet, message)) {
            showError(message);
            return false;
        }
        if (converted.perihelionBelowQuarterAu) r.engine.limitStepForPerihelion();
        // An element file's bodies came from it, not from its DAT.TMP.
        r.engine.sources.record(s.bodies, 0, s.bodies.layout.bodyCount, name);
        return true;
    }
    if (!r.engine.loadMajorBodies(dataSet, epoch, message)) {
        showError(message);
        return false;
    }
    if (converted.perihelionBelowQuarterAu) r.engine.limitStepForPerihelion();
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
    settings.nonGravAlpha = s.nonGravLaw.alpha;
    const int before = t.layout.bodyCount;
    StateLoadResult loaded = loadStateFile(stateFile, settings, t);
    if (!loaded.ok) {
        showError(loaded.message);
        return false;
    }
    r.engine.coloursInUse = loaded.colourCodes;
    r.engine.sources.record(t, before + 1, t.layout.bodyCount, name);
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
    // (Satellites are geocentric: their own checks apply.)
    const std::string leftOut =
        settings.satelliteMode ? "" : leaveOutBodiesInsideAttractors(t, before + 1);
    if (!leftOut.empty()) {
        clearScreen();
        console::setColor(LightRed, Black);
        console::printAt(9, 2, "  Left out, starting inside a body already integrated:");
        console::printAt(10, 2, "  " + leftOut.substr(0, 76));
        pressAKey(12, "  Press a key to continue  ");
    }
    s.integration.derived = deriveConstants(t);
    r.engine.renewFrame(s.integration.epoch);
    return true;
}

void useSatelliteCapacity(Run& r) {
    BodyTable& t = r.s.bodies;
    if (r.savedMaxBodies == 0) r.savedMaxBodies = t.maxBodies;
    if (static_cast<int>(t.mass.size()) < satelliteModeMaxBodies + 3) {
        // A small table grows to hold the satellites; its colours stay.
        BodyTable bigger;
        const CapacityResult made = createBodyTable(satelliteModeMaxBodies, bigger);
        if (made.ok) {
            for (std::size_t i = 0; i < t.color.size(); ++i) bigger.color[i] = t.color[i];
            for (std::size_t i = t.color.size(); i < bigger.color.size(); ++i)
                bigger.color[i] = t.color[i % t.color.size()];
            t = std::move(bigger);
        }
    }
    t.maxBodies = std::min(satelliteModeMaxBodies, static_cast<int>(t.mass.size()) - 3);
}

} // namespace tarvo::runloop
