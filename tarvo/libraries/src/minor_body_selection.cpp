// The answers of the asteroid prompt and the temporary files of a selection.
#include "tarvo/libraries/minor_body_selection.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
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

bool allDigits(const std::string& s) {
    return !s.empty() && s.size() <= 9 &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool endsWithList(const std::string& s) {
    return s.size() > 4 && libraryNameKey(s.substr(s.size() - 4)) == ".LST";
}

std::string format(const char* mask, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, mask, value);
    return buffer;
}

// The name, and after it, padded past the 10 characters a plain name may
// have, the colour code of a clone.
std::string nameField(const AsteroidElementsDecoded& a) {
    std::string name = a.name.empty() ? "unnamed" : a.name;
    if (a.colourCode.empty()) return name;
    name.resize(libraryNameLength + 1, ' ');
    return name + a.colourCode;
}

void resolve(const AsteroidLibrary& library, const std::string& raw, const fs::path& directory,
             AsteroidAnswer& result, std::vector<fs::path>& openLists) {
    const std::string answer = trimmed(raw);
    if (answer.empty()) return;
    auto notFound = [&] { result.messages.push_back("Asteroid " + answer + " not in Library"); };

    if (endsWithList(answer)) {
        fs::path file = answer;
        if (file.is_relative()) file = directory / file;
        std::error_code error;
        const fs::path key = fs::weakly_canonical(file, error);
        if (std::find(openLists.begin(), openLists.end(), key) != openLists.end()) {
            result.messages.push_back(file.string() +
                                      ": the list names itself (directly or through another list); "
                                      "its entry is ignored");
            return;
        }
        const std::uintmax_t size = fs::file_size(file, error);
        if (error) {
            result.messages.push_back(file.string() + ": cannot be opened (" + error.message() +
                                      ")");
            return;
        }
        if (size > maximumListFileBytes) {
            result.messages.push_back(file.string() + ": too large for a list of asteroids (" +
                                      std::to_string(size) + " bytes)");
            return;
        }
        std::ifstream in(file, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (text.find('\0') != std::string::npos) {
            result.messages.push_back(file.string() +
                                      ": not a text file of asteroid names and numbers");
            return;
        }
        openLists.push_back(key);
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line))
            resolve(library, line, file.parent_path(), result, openLists);
        openLists.pop_back();
        return;
    }

    AsteroidRecord record;
    if (allDigits(answer)) {
        const int n = std::stoi(answer);
        if (library.find(n, record))
            result.numbers.push_back(n);
        else
            notFound();
        return;
    }
    const auto dash = answer.find('-');
    if (dash != std::string::npos) {
        const std::string from = trimmed(answer.substr(0, dash)),
                          to = trimmed(answer.substr(dash + 1));
        if (allDigits(from) && allDigits(to)) {
            const int first = std::stoi(from), last = std::stoi(to);
            if (last < first || last - first >= maximumRangeLength) {
                result.messages.push_back("Range " + answer + ": give first-last with at most " +
                                          std::to_string(maximumRangeLength) + " numbers");
                return;
            }
            const std::size_t before = result.numbers.size();
            for (int n = first; n <= last; ++n)
                if (library.find(n, record)) result.numbers.push_back(n);
            if (result.numbers.size() == before) notFound();
            return;
        }
    }
    // A name, perhaps followed by words that are not part of it: the longest
    // leading run of words that names a record.
    std::string candidate = answer;
    for (;;) {
        if (const int n = library.findByName(candidate)) {
            result.numbers.push_back(n);
            return;
        }
        const auto blank = candidate.find_last_of(' ');
        if (blank == std::string::npos) break;
        candidate = trimmed(candidate.substr(0, blank));
    }
    notFound();
}

} // namespace

void resolveAsteroidAnswer(const AsteroidLibrary& library, const std::string& answer,
                           const fs::path& directory, AsteroidAnswer& result) {
    std::vector<fs::path> openLists;
    resolve(library, answer, directory, result, openLists);
}

std::string asteroidElementFileText(double epochJd,
                                    const std::vector<AsteroidElementsDecoded>& asteroids) {
    std::string text = format("%.6f", -epochJd) + "\r\n";
    for (const AsteroidElementsDecoded& a : asteroids) {
        text += format("%12.9f ", a.massE24kg) + format("%10.8f ", a.diameterKm * 1e-6 / 2) +
                format("%5.1f ", a.absoluteMagnitude) + "0  " + nameField(a) + "\r\n";
        text += format("%.10f ", a.eccentricity) + format("%.7f ", a.inclination) +
                format("%.7f", a.perihelion) + "\r\n";
        text += format("%.7f ", a.node) + format("%.10f ", a.semiMajorAxis) +
                format("%.7f", a.meanAnomaly) + "  0  0\r\n";
        text += "0 0 0 " + std::to_string(a.number) + "\r\n";
    }
    return text;
}

std::string foundAsteroidListText(const std::vector<AsteroidElementsDecoded>& asteroids) {
    std::string text;
    for (const AsteroidElementsDecoded& a : asteroids) {
        char number[16];
        std::snprintf(number, sizeof number, "%6d ", a.number);
        text += number + a.name + "\r\n";
    }
    return text;
}

std::string cometStateFileText(const CometRecord& c) {
    std::string designation = c.designation;
    std::replace(designation.begin(), designation.end(), '/', '_');
    std::replace(designation.begin(), designation.end(), ',', ' ');
    std::string name = c.name;
    std::replace(name.begin(), name.end(), ',', ' ');
    std::string text = format("%.1f", c.epochJ - 0.5) + "\r\n";
    text += format("%6.2f ", c.slopeK) + format("%.8f ", -cometRadiusGm) +
            format("%6.2f ", c.absoluteMagnitude) + "0  " + name + " " + designation + "\r\n";
    text += format("%.17g ", c.position[0]) + format("%.17g ", c.position[1]) +
            format("%.17g", c.position[2]) + "\r\n";
    text += format("%.17g ", c.velocity[0]) + format("%.17g ", c.velocity[1]) +
            format("%.17g", c.velocity[2]) + "\r\n";
    text += format("%.9g ", c.nonGravitational[0]) + format("%.9g ", c.nonGravitational[1]) +
            format("%.9g", c.nonGravitational[2]) + " 0.111262\r\n";
    return text;
}

} // namespace tarvo
