// TARVO.CFG: the display and computation toggles kept between runs, and the
// non-gravitational law parameters read from FITRA.CFG.
//
// TARVO.CFG is a header line "Value     Toggle" and eighteen lines of a value
// and a key. Values are taken by position; the keys are never compared, so
// the file must keep the order below. Toggles use -1 for on and 0 for off.
// The eighteenth line (the reduction model) is newer than the others: a file
// without it reads as before and keeps that toggle's default.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tarvo {

struct DisplayToggles {
    std::int32_t geocentric = -1;
    std::int32_t precession = -1;
    std::int32_t ecliptic = 0;
    std::int32_t lightTime = -1;  // kept on the line keyed "Aberration"
    std::int32_t aberration = -1; // kept on the line keyed "Light-Time"
    std::int32_t orthogonal = 0;
    std::int32_t decimalUnits = 0;
    std::int32_t refractRiseSet = -1;
    std::int32_t limbRiseSet = -1;
    std::int32_t nutation = -1;
    std::int32_t horizon = 0;
    std::int32_t polarView = 0;
    std::int32_t helpLanguage = 0; // 0 English, 1 Italiano, 2 Deutsch
    std::int32_t adaptiveStep = 0;
    std::int32_t dateInImages = 0;
    std::int32_t yarkovsky = 0; // 0 "Marsden " law, otherwise "Yarkov. "
    std::int32_t windows10 = 0; // console size correction; kept for the file's sake
    std::int32_t iauReductions = -1; // -1 the IAU 2006/2000A model, 0 the 1980 nutation model

    bool operator==(const DisplayToggles&) const = default;
};

inline constexpr int kConfigurationLines = 18;
// Lines from this one on may be missing (files written before they existed).
inline constexpr int kOptionalConfigurationLines = 17;
inline constexpr int kHelpLanguages = 3;

// The keys written after each value, in file order.
extern const char* const kConfigurationKeys[kConfigurationLines];

struct ConfigurationLoad {
    bool fileFound = false;
    int linesTaken = 0;  // values read from the file
    std::string warning; // set once when lines were missing or damaged
    // The file exists but was not read whole (unreadable, too large, damaged
    // lines): what the user saved in it is not all in the toggles, so the
    // file is copied to TARVO.CFG.bak before it is next rewritten.
    bool keepOldCopy = false;
};

// Defaults, then TARVO.CFG when it exists. A missing or damaged line keeps
// its default; the warning says which lines. A help language other than
// 0..2 becomes 0.
ConfigurationLoad loadConfiguration(const std::filesystem::path& file, DisplayToggles& toggles);

// Writes TARVO.CFG anew through a temporary file renamed into place; with
// `keepOldCopy` the file there is first copied to TARVO.CFG.bak, and
// `backupNote` (when given) receives a sentence naming the copy. Returns ""
// or a message naming the file; nothing is written when the copy fails.
std::string saveConfiguration(const std::filesystem::path& file, const DisplayToggles& toggles,
                              bool keepOldCopy = false, std::string* backupNote = nullptr);

// Parameters of the g(r) law of the non-gravitational forces.
struct NonGravLawParameters {
    double r0 = 2.808; // AU
    double m = 2.15;
    double scaleExponent = 1.0;
    double n = 5.093;
    double k = 4.6142;
    double alpha = 0.111262;
};

// FITRA.CFG lines 28-32 (r0, m, scale exponent, n, k) and 36 (alpha), each a
// number and a label. A missing file leaves the defaults; a short or damaged
// file keeps what was read before the damage; alpha 0 becomes 0.111262.
NonGravLawParameters loadNonGravParameters(const std::filesystem::path& file);

} // namespace tarvo
