// The toggles and options of a fit, and FITRA.CFG, which keeps them between
// sessions (tarvo reads the options both programs share from it too).
// Booleans are kept as the suite keeps them: -1 true, 0 false.
#pragma once

#include <array>
#include <filesystem>
#include <string>

namespace fitra {

struct FitraSettings {
    int orthogonal = 0, geocentric = -1, equatorial = -1;
    int referenceEquinox = 0; // -1 date, 0 J2000.0, 1 a fixed epoch
    double fixedEquinoxYear = 2000, fixedEquinoxMonth = 1, fixedEquinoxDay = 1.5;
    int astrometric = 0, apparent = 0, topocentric = 0, angularOnly = -1, relativistic = -1;
    int adaptiveStep = 0, autoStarting = -1, universalTime = 0, weighted = 0;
    double weightFactor = 1;
    double startDistanceAu = 1;
    int satellite = 0, customFile = 0, addBody = 0, fitKeplerian = 0;
    int minorPlanets = 0; // 0 off, -1 3, 1 16, 2 35
    int earthJ2 = -1, customColor = 0, skipFirst = 0;
    double nonGravR0 = 2.808, nonGravM = 2.15, nonGravB = 1, nonGravN = 5.093, nonGravK = 4.6142;
    int catalogBias = 1, discardPoor = -1;
    double nonGravA = 0.111262;
    int helpLanguage = 0;
    double removalThreshold = 3;
    // Toggles of the screen not kept in the file.
    int monteCarloRuns = 0, monteCarloExclude = 0, fixA0 = 0, fitExtra = 0, yarkovsky = 0;
    int impulse = 0, asymmetric = 0;
    double fixedA0 = 0;
    // The parameter slots 1..13 the fit corrects (-1 fitted, 0 held); the
    // state or elements by default.
    std::array<int, 14> fittedSlots{0, -1, -1, -1, -1, -1, -1, 0, 0, 0, 0, 0, 0, 0};
    std::string dataFile = "DEMO.POS";
};

// The rules that keep the toggles consistent after reading the file.
void applyConsistencyRules(FitraSettings& s);

// Reads FITRA.CFG by label (an entry whose label is unknown is taken by its
// position). A missing file keeps the defaults and returns true with an
// empty message; a file that is too large or not text is refused with a
// message naming it, and `settings` is unchanged.
bool readFitraConfiguration(const std::filesystem::path& file, FitraSettings& settings,
                            std::string& message);

// The text of FITRA.CFG (CR LF line ends).
std::string formatFitraConfiguration(const FitraSettings& settings);
// Writes FITRA.CFG through a temporary file renamed into place.
bool writeFitraConfiguration(const std::filesystem::path& file, const FitraSettings& settings,
                             std::string& message);

} // namespace fitra
