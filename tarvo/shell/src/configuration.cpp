#include "tarvo/shell/configuration.h"

#include "fileio/atomic_file.h"
#include "fileio/file_problem.h"
#include "fileio/format_mask.h"
#include "fileio/text_util.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace fs = std::filesystem;

namespace tarvo {

const char* const kConfigurationKeys[kConfigurationLines] = {
    "Geocentric",     "Precession",    "Ecliptic",        "Aberration",     "Light-Time",
    "Orthogonal",     "Decimal_Units", "Refract_RiseSet", "Limb_RiseSet",   "Nutation",
    "Horizon",        "Polar_View",    "Help_Language",   "Adapt.Stepsize", "Date in Images",
    "Yarkovsky n.G.", "Windows 10",    "IAU_Reductions"};

namespace {

constexpr std::uintmax_t kMaxConfigBytes = 64 * 1024;

std::array<std::int32_t*, kConfigurationLines> fields(DisplayToggles& t) {
    return {&t.geocentric, &t.precession,   &t.ecliptic,       &t.lightTime,    &t.aberration,
            &t.orthogonal, &t.decimalUnits, &t.refractRiseSet, &t.limbRiseSet,  &t.nutation,
            &t.horizon,    &t.polarView,    &t.helpLanguage,   &t.adaptiveStep, &t.dateInImages,
            &t.yarkovsky,  &t.windows10,    &t.iauReductions};
}

bool getLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// The value of a toggle line: a whole number leading the line.
bool leadingWholeNumber(const std::string& line, std::int32_t& value) {
    std::size_t used = 0;
    const double v = readFreeNumber(line, &used);
    if (used == 0 || !std::isfinite(v) || v != std::floor(v) || std::fabs(v) > 2147483647.0)
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

} // namespace

ConfigurationLoad loadConfiguration(const fs::path& file, DisplayToggles& toggles) {
    ConfigurationLoad result;
    toggles = DisplayToggles{};
    std::error_code ec;
    // A file that cannot even be looked at (a folder without permission on
    // the way) is not missing: the user's settings may be in it.
    if (!fs::exists(file, ec)) {
        if (ec && ec != std::errc::no_such_file_or_directory) {
            result.fileFound = true;
            result.warning =
                file.string() + " cannot be looked at (" + ec.message() + "); defaults used";
            result.keepOldCopy = true;
        }
        return result;
    }
    result.fileFound = true;
    if (const std::string problem = readProblem(file); !problem.empty()) {
        result.warning = file.string() + " " + problem + "; defaults used";
        result.keepOldCopy = true;
        return result;
    }
    std::string damaged;
    auto damage = [&](int line) {
        if (!damaged.empty()) damaged += ", ";
        damaged += std::to_string(line);
    };
    if (fs::file_size(file, ec) > kMaxConfigBytes) {
        result.warning = file.string() + " is too large to be a configuration file; defaults used";
        result.keepOldCopy = true;
        return result;
    }
    std::ifstream in(file, std::ios::binary);
    std::string line;
    getLine(in, line); // header
    auto values = fields(toggles);
    for (int i = 0; i < kConfigurationLines; ++i) {
        std::int32_t v = 0;
        const bool present = getLine(in, line);
        // An older file ends before the newer lines: they keep their defaults.
        if (i >= kOptionalConfigurationLines && (!present || trim(line).empty())) break;
        if (!present || !leadingWholeNumber(line, v)) {
            damage(i + 2);
            continue;
        }
        *values[i] = v;
        ++result.linesTaken;
    }
    if (toggles.helpLanguage < 0 || toggles.helpLanguage >= kHelpLanguages)
        toggles.helpLanguage = 0;
    if (!damaged.empty()) {
        result.warning =
            file.string() + ": missing or damaged line(s) " + damaged + "; their defaults are used";
        result.keepOldCopy = true;
    }
    return result;
}

std::string saveConfiguration(const fs::path& file, const DisplayToggles& toggles, bool keepOldCopy,
                              std::string* backupNote) {
    DisplayToggles copy = toggles;
    auto values = fields(copy);
    std::string text = "Value     Toggle\r\n";
    for (int i = 0; i < kConfigurationLines; ++i) {
        // " -1" or " 0", padded with blanks to the next multiple of 14 columns.
        std::string value = " " + freeForm(*values[i]) + " ";
        value.append((14 - value.size() % 14) % 14, ' ');
        text += value + kConfigurationKeys[i] + "\r\n";
    }
    std::string message;
    std::error_code ec;
    if (keepOldCopy && fs::is_regular_file(file, ec)) {
        if (!keepBackupCopy(file, message))
            return message + "; " + file.string() + " not rewritten";
        if (backupNote)
            *backupNote = "the file read at start-up is kept as " + backupName(file).string();
    }
    return writeFileAtomically(file, text, message) ? "" : message;
}

NonGravLawParameters loadNonGravParameters(const fs::path& file) {
    NonGravLawParameters p;
    std::error_code ec;
    if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) > kMaxConfigBytes) return p;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    int number = 0;
    double* targets[] = {&p.r0, &p.m, &p.scaleExponent, &p.n, &p.k};
    while (getLine(in, line)) {
        ++number;
        if (number < 28 || (number > 32 && number < 36)) continue;
        std::size_t used = 0;
        const double v = readFreeNumber(line, &used);
        if (used == 0 || !std::isfinite(v)) break; // keep what was read so far
        if (number <= 32) {
            *targets[number - 28] = v;
        } else {
            p.alpha = v;
            break;
        }
    }
    if (p.alpha == 0.0) p.alpha = 0.111262;
    return p;
}

} // namespace tarvo
