// The answer of the star prompt and the two filter files it can name:
// FILTER.STR (a sky region) and SelStar.dat (a list of star numbers).
#include "tarvo/libraries/star_catalogue.h"

#include "fileio/text_util.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

namespace tarvo {

namespace {

constexpr double kPi = std::numbers::pi;

// Removes every "/X" option (either case) from the answer; true when found.
bool takeOption(std::string& text, char letter) {
    bool found = false;
    for (std::size_t at = 0; (at = text.find('/', at)) != std::string::npos;) {
        if (at + 1 < text.size() &&
            std::toupper(static_cast<unsigned char>(text[at + 1])) == letter) {
            text.erase(at, 2);
            found = true;
        } else {
            ++at;
        }
    }
    return found;
}

int fortieths(double magnitude) {
    const double v = std::clamp(magnitude * 40.0, -1.0e6, 1.0e6);
    return static_cast<int>(std::lround(v));
}

} // namespace

StarRequest parseStarAnswer(const std::string& answer, int faintestFortieths) {
    StarRequest request;
    std::string text = answer;
    request.regionFilter = takeOption(text, 'F');
    request.flaggedOnly = takeOption(text, 'N');
    request.listFilter = takeOption(text, 'S');
    text = trim(text);
    MagnitudeLimits& m = request.limits;
    // "a-b": a minus sign after the first character separates the range.
    const std::size_t dash = text.size() > 1 ? text.find('-', 1) : std::string::npos;
    if (dash != std::string::npos) {
        m.lower = fortieths(readFreeNumber(text.substr(0, dash)));
        m.upper = fortieths(readFreeNumber(text.substr(dash + 1)));
        if (m.lower > m.upper) std::swap(m.lower, m.upper);
    } else {
        m.upper = fortieths(readFreeNumber(text));
    }
    if (m.upper == 0) m.upper = 280;
    if (m.upper < 4) m.upper = 4;
    if (m.upper > faintestFortieths) m.upper = faintestFortieths;
    return request;
}

bool readRegionFilter(const std::filesystem::path& file, RegionFilter& region,
                      std::string& message) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        message = "Cannot read the region filter " + file.string();
        return false;
    }
    std::string lines[3];
    for (auto& line : lines) {
        if (!std::getline(in, line)) {
            message = "The region filter " + file.string() +
                      " needs three lines: a title, RA centre and half-width (h), Dec centre and "
                      "half-width (deg)";
            return false;
        }
        if (line.size() > 4096) line.resize(4096);
    }
    const std::vector<double> ra = readFreeNumbers(lines[1]);
    const std::vector<double> dec = readFreeNumbers(lines[2]);
    auto at = [](const std::vector<double>& v, std::size_t k) { return k < v.size() ? v[k] : 0.0; };
    RegionFilter r;
    double centre = std::fmod(at(ra, 0) * kPi / 12.0, 2.0 * kPi);
    if (centre < 0) centre += 2.0 * kPi;
    r.rightAscensionCentre = centre;
    r.rightAscensionHalfWidth = std::fabs(at(ra, 1)) * kPi / 12.0;
    const double decCentre = at(dec, 0), decHalf = std::fabs(at(dec, 1));
    r.polarDistanceMin = (90.0 + decCentre - decHalf) * kPi / 180.0;
    r.polarDistanceMax = (90.0 + decCentre + decHalf) * kPi / 180.0;
    if (!std::isfinite(r.rightAscensionCentre + r.rightAscensionHalfWidth + r.polarDistanceMin +
                       r.polarDistanceMax)) {
        message = "The region filter " + file.string() + " holds numbers out of range";
        return false;
    }
    region = r;
    return true;
}

std::string defaultRegionFilterText() {
    return "Region of the sky to load (first line: this title)\r\n"
           "5.6 1.5     RA centre and half-width, hours\r\n"
           "3.0 20.0    Dec centre and half-width, degrees\r\n";
}

bool insideRegion(const RegionFilter& region, std::int32_t rightAscension,
                  std::int32_t polarDistance) {
    std::int64_t ra = rightAscension;
    if (ra < 0) ra += kStarAngleFullCircle;
    const double alpha = static_cast<double>(ra) / kStarAngleUnitsPerRadian;
    double d = std::fabs(alpha - region.rightAscensionCentre);
    if (d > kPi) d = 2.0 * kPi - d; // the short way round
    if (d > region.rightAscensionHalfWidth) return false;
    const double p = std::fabs(static_cast<double>(polarDistance)) / kStarAngleUnitsPerRadian;
    return p >= region.polarDistanceMin && p <= region.polarDistanceMax;
}

std::vector<std::int64_t> readSelectionFile(const std::filesystem::path& file) {
    std::vector<std::int64_t> numbers;
    std::ifstream in(file, std::ios::binary);
    if (!in) return numbers;
    std::string line;
    bool ended = false;
    while (!ended && std::getline(in, line)) {
        for (double v : readFreeNumbers(line)) {
            if (v == 0 || !std::isfinite(v)) {
                ended = true;
                break;
            }
            if (std::fabs(v) < 9.0e15)
                numbers.push_back(static_cast<std::int64_t>(std::llround(v)));
        }
    }
    // The list is walked in order against ascending sequence numbers; a file
    // written in any order must select the same stars.
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

} // namespace tarvo
