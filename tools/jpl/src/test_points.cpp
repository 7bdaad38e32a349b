#include "jpl/test_points.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "containers.h"
#include "jpl/ephemeris.h"

namespace jpl {
namespace {

constexpr std::size_t maximumFileBytes = 64u << 20;  // the full DE test-point files are under 1 MB

bool parseInteger(const std::string& field, int& value)
{
    char* end = nullptr;
    const long parsed = std::strtol(field.c_str(), &end, 10);
    if (end == field.c_str() || *end != '\0' || parsed < -1000000 || parsed > 1000000) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseNumber(std::string field, long double& value)
{
    for (char& c : field)
        if (c == 'D' || c == 'd') c = 'E';  // Fortran exponents
    char* end = nullptr;
    value = std::strtold(field.c_str(), &end);
    return end != field.c_str() && *end == '\0' && std::isfinite(static_cast<double>(value));
}

bool parseLine(const std::string& line, TestPoint& point)
{
    std::istringstream fields(line);
    std::string de, date, jd, target, centre, component, value, extra;
    if (!(fields >> de >> date >> jd >> target >> centre >> component >> value) || (fields >> extra)) return false;
    return parseInteger(de, point.denum) && date.size() == 10 && parseNumber(jd, point.jd) &&
           parseInteger(target, point.target) && parseInteger(centre, point.centre) &&
           parseInteger(component, point.component) && parseNumber(value, point.value) && point.target >= 1 &&
           point.target <= 15 && point.centre >= 0 && point.centre <= 13 && point.component >= 1 &&
           point.component <= 6 && (point.date = date, true);
}

}  // namespace

bool readTestPoints(const std::filesystem::path& file, std::vector<TestPoint>& points, std::string& message)
{
    std::vector<unsigned char> bytes;
    if (!detail::readWholeFile(file, maximumFileBytes, bytes, message)) return false;
    const std::string text(bytes.begin(), bytes.end());
    const bool hasHeader = text.find("\nEOT") != std::string::npos || text.rfind("EOT", 0) == 0;

    std::vector<TestPoint> read;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    bool inHeader = hasHeader;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (inHeader) {
            if (line.rfind("EOT", 0) == 0) inHeader = false;
            continue;
        }
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        TestPoint point;
        if (!parseLine(line, point)) {
            message = file.string() + ": line " + std::to_string(number) + " is not a test point";
            return false;
        }
        point.line = number;
        read.push_back(point);
    }
    if (read.empty()) {
        message = file.string() + ": holds no test points";
        return false;
    }
    points = std::move(read);
    return true;
}

bool evaluateTestPoint(Ephemeris& ephemeris, const TestPoint& point, long double& value, std::string& message)
{
    const int index = point.component - 1;
    if (point.target == 14 || point.target == 15) {
        // Nutations give dpsi, deps, then their rates in components 1-4;
        // librations three angles and three rates.
        const Series series = point.target == 14 ? Series::Nutations : Series::Librations;
        SeriesValue v;
        if (!ephemeris.evaluate(series, point.jd, v, message)) return false;
        const int n = v.components;
        if (index >= 2 * n) {
            message = "component " + std::to_string(point.component) + " of " + seriesName(series) + " does not exist";
            return false;
        }
        value = index < n ? v.value[index] : v.rate[index - n];
        return true;
    }
    if (point.centre < 1) {
        message = "test point of line " + std::to_string(point.line) + " has no centre body";
        return false;
    }
    StateVector s;
    if (!ephemeris.state(static_cast<Body>(point.target), static_cast<Body>(point.centre), point.jd, s, message))
        return false;
    value = index < 3 ? s.position[index] : s.velocity[index - 3];
    return true;
}

}  // namespace jpl
