// Answer suffixes, FILTER.AST and the clones of an asteroid.
#include "tarvo/libraries/minor_body_clones.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

std::string trimmed(const std::string& s) {
    const auto a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

constexpr const char* kFilterLabels[8] = {"Absolute magnitude H",     "Diameter (km)",
                                          "Semi-major axis a (AU)",   "Eccentricity e",
                                          "Perihelion q (AU)",        "Inclination i (deg)",
                                          "Arg. of perihelion (deg)", "Ascending node (deg)"};

} // namespace

AnswerSuffixes splitAnswerSuffixes(const std::string& answer) {
    AnswerSuffixes out;
    out.body = trimmed(answer);
    for (;;) {
        const auto slash = out.body.find_last_of('/');
        if (slash == std::string::npos || slash + 1 >= out.body.size()) break;
        const char kind =
            static_cast<char>(std::toupper(static_cast<unsigned char>(out.body[slash + 1])));
        const std::string rest = trimmed(out.body.substr(slash + 2));
        const bool number = std::all_of(rest.begin(), rest.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
        if (kind == 'F' && rest.empty() && !out.filter) {
            out.filter = true;
        } else if ((kind == 'C' || kind == 'K' || kind == 'L') && number && rest.size() <= 9 &&
                   out.clones == CloneNaming::None) {
            out.clones = kind == 'C'   ? CloneNaming::Numbered
                         : kind == 'K' ? CloneNaming::Kept
                                       : CloneNaming::Grey;
            const int n = rest.empty() ? 0 : std::atoi(rest.c_str());
            out.cloneCount = std::clamp(n, minimumClones, maximumClones);
        } else {
            break;
        }
        out.body = trimmed(out.body.substr(0, slash));
    }
    return out;
}

bool readAsteroidFilter(const fs::path& file, AsteroidFilter& filter, std::string& message) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error) {
        message = file.string() + ": cannot be opened (" + error.message() + ")";
        return false;
    }
    if (size > maximumFilterFileBytes) {
        message = file.string() + ": " + std::to_string(size) +
                  " bytes is too large for a filter of nine lines";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::getline(in, line); // the header
    AsteroidFilter read;
    for (int k = 0; k < 8; ++k) {
        const std::string where = file.string() + " line " + std::to_string(k + 2);
        if (!std::getline(in, line)) {
            message = where + ": missing; the filter needs a header and eight lines of limits (" +
                      kFilterLabels[k] + " and on)";
            return false;
        }
        if (line.find('\0') != std::string::npos) {
            message = where + ": not a text line";
            return false;
        }
        const char* at = line.c_str();
        char* end = nullptr;
        for (double& limit : read.limits[static_cast<std::size_t>(k)]) {
            limit = std::strtod(at, &end);
            if (end == at || !std::isfinite(limit)) {
                message = where + " (" + kFilterLabels[k] +
                          "): a lower and an upper limit are needed, \"" +
                          trimmed(line).substr(0, 40) + "\"";
                return false;
            }
            at = end;
        }
    }
    filter = read;
    return true;
}

std::string defaultAsteroidFilterText() {
    std::string text =
        "  Lower     Upper   (upper below 0: line not applied; 0: no upper limit)\r\n";
    for (const char* label : kFilterLabels)
        text += "      0        -1   " + std::string(label) + "\r\n";
    return text;
}

bool passesFilter(const AsteroidFilter& filter, const AsteroidElementsDecoded& a) {
    const std::array<double, 8> values{a.absoluteMagnitude,
                                       a.diameterKm,
                                       a.semiMajorAxis,
                                       a.eccentricity,
                                       a.semiMajorAxis * (1 - a.eccentricity),
                                       a.inclination,
                                       a.perihelion,
                                       a.node};
    for (std::size_t k = 0; k < 8; ++k) {
        const double lower = filter.limits[k][0], upper = filter.limits[k][1];
        if (upper < 0) continue;
        if (values[k] < lower || (upper != 0 && values[k] > upper)) return false;
    }
    return true;
}

double NormalDeviates::next() {
    if (haveSpare_) {
        haveSpare_ = false;
        return spare_;
    }
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    double u = 0, v = 0, s = 0;
    do {
        u = uniform(engine_);
        v = uniform(engine_);
        s = u * u + v * v;
    } while (s >= 1 || s == 0);
    const double factor = std::sqrt(-2 * std::log(s) / s);
    spare_ = v * factor;
    haveSpare_ = true;
    return u * factor;
}

std::string cloneDeviationColour(int q) {
    int red = 0, green = 0, blue = 0;
    if (q < 100) {
        red = std::max(q, 0), green = 99;
    } else if (q < 200) {
        red = 99, green = q - 100;
    } else if (q < 300) {
        red = 99, blue = q - 200;
    } else if (q < 400) {
        red = 399 - q, blue = 99;
    } else {
        blue = 99;
    }
    char code[8];
    std::snprintf(code, sizeof code, "%02d%02d%02d", blue, green, red);
    return code;
}

std::vector<AsteroidElementsDecoded> makeClones(int number, const AsteroidRecord& record,
                                                const DifferenceRecord& difference,
                                                CloneNaming naming, int count,
                                                NormalDeviates& deviates) {
    std::vector<AsteroidElementsDecoded> clones;
    clones.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        std::array<double, 7> w{};
        if (k > 0)
            for (std::size_t j = 0; j < 7; ++j) w[j] = deviates.next() * (j == 0 ? 1.0 : 0.125);
        AsteroidElementsDecoded c = decodeElements(number, record, &difference, 1, &w);
        double sum = 0;
        for (double x : w) sum += x * x;
        if (naming != CloneNaming::Kept) {
            const std::string n = std::to_string(k);
            const std::string head =
                record.name.substr(0, std::min<std::size_t>(2, record.name.size()));
            c.name = (head + n + record.name.substr(head.size())).substr(0, libraryNameLength);
            c.colourCode = naming == CloneNaming::Grey
                               ? "808080"
                               : cloneDeviationColour(static_cast<int>(std::min(100 * sum, 1e6)));
        }
        clones.push_back(std::move(c));
    }
    return clones;
}

} // namespace tarvo
