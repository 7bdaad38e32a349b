// The text companions of a planetary library: description, colours and
// radial-factor parameters.
#include <cmath>
#include <fstream>
#include <sstream>

#include "fileio/file_problem.h"
#include "fileio/text_util.h"
#include "tarvo/libraries/planetary_library.h"

namespace tarvo {
namespace {

constexpr std::uintmax_t maximumTextBytes = 64u << 20;

bool readLines(const std::filesystem::path& file, std::vector<std::string>& lines, std::string& message)
{
    if (const std::string problem = readProblem(file); !problem.empty()) {
        message = file.string() + " " + problem;
        return false;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (size > maximumTextBytes) {
        message = file.string() + ": too large (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::string line;
    lines.clear();
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return true;
}

// `count` free-format numbers (blank or comma separated), then the rest of
// the line as the name. `badField`, when given, receives the index of the
// first field that is missing, no number or not finite (-1 when all are).
std::vector<double> leadingNumbers(const std::string& line, int count, std::string& rest,
                                   int* badField = nullptr) {
    std::vector<double> numbers;
    std::size_t at = 0;
    if (badField) *badField = -1;
    for (int i = 0; i < count; ++i) {
        at = line.find_first_not_of(" \t", at);
        if (at != std::string::npos && line[at] == ',') at = line.find_first_not_of(" \t", at + 1);
        if (at == std::string::npos) {
            if (badField && *badField < 0) *badField = i;
            numbers.push_back(0);
            continue;
        }
        const std::size_t end = line.find_first_of(" \t,", at);
        const auto number = readWholeNumber(std::string_view(line).substr(at, end - at));
        if (!number && badField && *badField < 0) *badField = i;
        numbers.push_back(readFreeNumber(std::string_view(line).substr(at, end - at)));
        at = end == std::string::npos ? line.size() : end;
        if (at < line.size() && line[at] == ',') ++at;
    }
    rest = at < line.size() ? trim(line.substr(at)) : std::string();
    return numbers;
}

std::string nineCharacters(const std::string& name)
{
    std::string n = name.substr(0, 9);
    n.resize(9, ' ');
    return n;
}

}  // namespace

bool readLibraryDescription(const std::filesystem::path& file, int bodiesPerRecord, LibraryDescription& description,
                            std::string& message)
{
    std::vector<std::string> lines;
    if (!readLines(file, lines, message)) return false;
    if (lines.size() < static_cast<std::size_t>(bodiesPerRecord) + 1) {
        message = file.string() + ": describes " + std::to_string(lines.empty() ? 0 : lines.size() - 1) +
                  " bodies; the library holds " + std::to_string(bodiesPerRecord);
        return false;
    }
    LibraryDescription read;
    std::string name;
    static const char* const kFields[6] = {"the mass",           "the radius",
                                           "the radial factor",  "the magnitude",
                                           "the position scale", "the velocity scale"};
    // A field that is no finite number, or a mass or radius below zero,
    // would make the whole data set wrong without a word: refused by line
    // and field. The Sun's mass must be above zero.
    auto refused = [&](int line, int field, const std::string& why) {
        message =
            file.string() + ": line " + std::to_string(line) + ": " + kFields[field] + " " + why;
        return false;
    };
    int bad = -1;
    std::vector<double> v = leadingNumbers(lines[0], 3, name, &bad);
    if (bad >= 0) return refused(1, bad, "is not a number");
    if (!(v[0] > 0)) return refused(1, 0, "must be above zero");
    if (v[1] < 0) return refused(1, 1, "is below zero");
    read.sun = {v[0], v[1], v[2], 0, 1, 1, nineCharacters(name)};
    for (int b = 1; b <= bodiesPerRecord; ++b) {
        v = leadingNumbers(lines[b], 6, name, &bad);
        if (bad >= 0) return refused(b + 1, bad, "is not a number");
        if (v[0] < 0) return refused(b + 1, 0, "is below zero");
        if (v[1] < 0) return refused(b + 1, 1, "is below zero");
        if (v[4] == 0 || v[5] == 0) {
            message = file.string() + ": line " + std::to_string(b + 1) + " gives a scale of 0";
            return false;
        }
        read.bodies.push_back({v[0], v[1], v[2], v[3] / 100, v[4], v[5], nineCharacters(name)});
    }
    description = std::move(read);
    return true;
}

bool readLibraryColours(const std::filesystem::path& file, int bodiesPerRecord, std::vector<std::uint32_t>& colours,
                        std::string& message)
{
    std::vector<std::string> lines;
    if (!readLines(file, lines, message)) return false;
    std::vector<std::uint32_t> read;
    for (std::size_t i = 0; i < lines.size() && i <= static_cast<std::size_t>(bodiesPerRecord); ++i) {
        int nonNumeric = 0;
        const std::vector<double> rgb = readFreeNumbers(lines[i], &nonNumeric);
        bool finite = true;
        for (double v : rgb) finite = finite && std::isfinite(v);
        if (nonNumeric > 0 || !finite) {
            message = file.string() + ": line " + std::to_string(i + 1) + ": \"" +
                      printable(lines[i], 40) + "\" is no red, green and blue";
            return false;
        }
        auto component = [&](std::size_t k) {
            const double c = k < rgb.size() ? rgb[k] : 0;
            return static_cast<std::uint32_t>(c < 0 ? 0 : c > 255 ? 255 : c);
        };
        read.push_back(component(0) | component(1) << 8 | component(2) << 16);
    }
    colours = std::move(read);
    return true;
}

bool readParameterFile(const std::filesystem::path& file, int lastRow, RadialCoefficients& coefficients,
                       std::string& message)
{
    std::vector<std::string> lines;
    if (!readLines(file, lines, message)) return false;
    // Eight numbers per row, however the file breaks its lines.
    std::vector<double> numbers;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        int nonNumeric = 0;
        const std::vector<double> values = readFreeNumbers(lines[n], &nonNumeric);
        bool finite = true;
        for (double v : values) finite = finite && std::isfinite(v);
        if (nonNumeric > 0 || !finite) {
            message = file.string() + ": line " + std::to_string(n + 1) + ": \"" +
                      printable(lines[n], 40) + "\" holds text that is no number";
            return false;
        }
        for (double v : values) numbers.push_back(v);
    }
    RadialCoefficients read;
    const int rows = std::min(lastRow + 1, RadialCoefficients::rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 8; ++c) {
            const std::size_t k = static_cast<std::size_t>(8 * r + c);
            read.row[r][c] = k < numbers.size() ? numbers[k] : 0;
        }
    coefficients = std::move(read);
    return true;
}

}  // namespace tarvo
