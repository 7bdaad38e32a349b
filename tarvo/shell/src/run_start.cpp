// The start of a run: the start date inside the data set's years, or a
// state file of the working directory with its minor or all bodies.
#include "run_state.h"

#include "fileio/text_util.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/state_file.h"
#include "tarvo/shell/time_prompts.h"
#include <algorithm>
#include <cmath>
#include <filesystem>

namespace tarvo::runloop {

namespace fs = std::filesystem;
using namespace console::Color;

namespace {

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

} // namespace

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

} // namespace tarvo::runloop
