#include "fitra/fitra_settings.h"

#include "fileio/atomic_file.h"
#include "fileio/format_mask.h"
#include "fileio/labelled_values.h"

#include <cmath>
#include <fstream>
#include <functional>
#include <vector>

namespace fitra {

namespace {

constexpr std::uintmax_t kConfigBytesLimit = 64 * 1024;

struct Entry {
    const char* label;
    std::function<double&(FitraSettings&)> number; // for real-valued entries
    std::function<int&(FitraSettings&)> flag;      // for integer entries
};

#define REAL(label, member)                                                                        \
    Entry {                                                                                        \
        label, [](FitraSettings& s) -> double& { return s.member; }, nullptr                       \
    }
#define FLAG(label, member)                                                                        \
    Entry {                                                                                        \
        label, nullptr, [](FitraSettings& s) -> int& { return s.member; }                          \
    }

// The entries of the file, in its order; nullptr label: a comment line.
const std::vector<Entry>& entries() {
    static const std::vector<Entry> list = {
        FLAG("Orthogonal", orthogonal),
        FLAG("Geocentric", geocentric),
        FLAG("Equatorial", equatorial),
        FLAG("Ref. Equinox", referenceEquinox),
        FLAG("Astrometric", astrometric),
        FLAG("Apparent", apparent),
        FLAG("Topocentric", topocentric),
        FLAG("Angular", angularOnly),
        FLAG("Relat. Perturb.", relativistic),
        FLAG("Adaptive Stepsize", adaptiveStep),
        FLAG("Auto Starting", autoStarting),
        FLAG("Universal Time", universalTime),
        FLAG("Weighted Fitting", weighted),
        REAL("Weight Factor", weightFactor),
        REAL("Start. Dist.", startDistanceAu),
        FLAG("Satellite", satellite),
        FLAG("Custom File", customFile),
        FLAG("Add Body", addBody),
        FLAG("Fit Kepl. Elem.", fitKeplerian),
        FLAG("  Minor Pl.", minorPlanets),
        FLAG("Earth J2 Pert.", earthJ2),
        FLAG("Custom Color (0=Default)", customColor),
        FLAG("Skip 1st observation", skipFirst),
        Entry{"' ... Non Gravitational Constants follow", nullptr, nullptr},
        Entry{"' ... for the generalized law ", nullptr, nullptr},
        Entry{"' ... A*(r/r_o)^{-m} [1 + b (r/r_o)^n]^{-k}", nullptr, nullptr},
        REAL("r_o (default is 2.808)", nonGravR0),
        REAL("m (default is 2.15)", nonGravM),
        REAL("b (default is 1)", nonGravB),
        REAL("n (default is 5.093)", nonGravN),
        REAL("k (default is 4.6142)", nonGravK),
        Entry{"'... New parameters in Fitra80 follow", nullptr, nullptr},
        FLAG("Catalog Bias correction   (AstDys files)", catalogBias),
        FLAG("Discard poor observations (Astdys files)", discardPoor),
        REAL("A in non-g law above (default is 0.111262)", nonGravA),
        FLAG("Help_Language", helpLanguage),
        REAL("Data removal threshold relative to sigmas", removalThreshold),
    };
    return list;
}

bool isComment(const Entry& e) {
    return e.label[0] == '\'';
}

} // namespace

void applyConsistencyRules(FitraSettings& s) {
    if (s.referenceEquinox == 1) s.referenceEquinox = -1; // a fixed epoch is asked for, not stored
    if (s.referenceEquinox < -1 || s.referenceEquinox > 1) s.referenceEquinox = 0;
    if (s.minorPlanets < -1 || s.minorPlanets > 2) s.minorPlanets = 0;
    if (s.helpLanguage < 0 || s.helpLanguage > 2) s.helpLanguage = 0;
    if (s.skipFirst != 0) s.skipFirst = -1;
    if (s.orthogonal) s.angularOnly = 0;
    if (!s.geocentric) s.astrometric = s.apparent = s.topocentric = 0;
    if (s.astrometric) s.apparent = 0;
    if (s.customFile) s.minorPlanets = 0;
    if (s.satellite) {
        s.fixA0 = 0;
        s.geocentric = -1;
        s.startDistanceAu = 5e-5;
    }
}

bool readFitraConfiguration(const std::filesystem::path& file, FitraSettings& settings,
                            std::string& message) {
    message.clear();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return true;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size > kConfigBytesLimit) {
        message =
            file.string() + (ec ? " cannot be read" : " is too large") + ": the defaults are kept";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        for (unsigned char c : line)
            if (c < 0x20 && c != '\t' && c != '\r') {
                message = file.string() + " is not a text file: the defaults are kept";
                return false;
            }
        lines.push_back(line);
    }
    const auto values = tarvo::parseLabelledValues(lines, 1);
    std::vector<std::string> known;
    for (const auto& e : entries())
        if (!isComment(e)) known.push_back(e.label);
    FitraSettings read = settings;
    std::size_t position = 0, found = 0;
    for (const auto& e : entries()) {
        if (isComment(e)) continue;
        if (const auto v = tarvo::labelledValue(values, e.label, position, known)) {
            if (e.number)
                e.number(read) = *v;
            else
                e.flag(read) = static_cast<int>(std::lround(*v));
            ++found;
        }
        ++position;
    }
    applyConsistencyRules(read);
    settings = read;
    if (found < known.size())
        message = file.string() + ": " + std::to_string(known.size() - found) +
                  " entries missing, defaults used";
    return true;
}

std::string formatFitraConfiguration(const FitraSettings& settings) {
    FitraSettings s = settings;
    std::string text = "Value        Toggle\r\n";
    for (const auto& e : entries()) {
        if (isComment(e)) {
            text += std::string(e.label) + "\r\n";
            continue;
        }
        std::string value;
        if (std::string(e.label) == "Weight Factor")
            value = tarvo::formatMask("##.##", e.number(s));
        else if (e.number)
            value = tarvo::numberPrintForm(e.number(s));
        else
            value = tarvo::numberPrintForm(e.flag(s));
        text += tarvo::labelledLine(value, e.label) + "\r\n";
    }
    return text;
}

bool writeFitraConfiguration(const std::filesystem::path& file, const FitraSettings& settings,
                             std::string& message) {
    return tarvo::writeFileAtomically(file, formatFitraConfiguration(settings), message);
}

} // namespace fitra
