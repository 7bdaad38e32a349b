// The MPC's orbit catalogues read line by line in their fixed columns.
#include "mpc_orbit_import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace builder::mpc {
namespace {

namespace fs = std::filesystem;

// Longest line either catalogue writes, with room to spare; a longer one is
// not a catalogue line.
constexpr std::size_t kMaximumLineLength = 400;
constexpr std::size_t kMpcorbMinimumLength = 103;  // through a
constexpr std::size_t kCometElsMinimumLength = 79; // through i

// Value of a base-62 digit: 0-9, A-Z (10-35), a-z (36-61); -1 for others.
int base62(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 36;
    return -1;
}

bool digits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string trim(std::string_view s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string_view::npos) return {};
    return std::string(s.substr(a, s.find_last_not_of(' ') - a + 1));
}

// Columns first ... last (1-based, inclusive) of a line, blank past its end.
std::string columns(const std::string& line, std::size_t first, std::size_t last) {
    if (line.size() < first) return {};
    return line.substr(first - 1, std::min(last, line.size()) - first + 1);
}

class LineError {
  public:
    LineError(const fs::path& file, long line) : file_(file), line_(line) {}
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(file_.string() + " line " + std::to_string(line_) + ": " + what);
    }
    // The number in columns first ... last; `blank` when they are empty and allowed to be.
    double number(const std::string& line, std::size_t first, std::size_t last, const char* name,
                  bool optional = false, double blank = 0) const {
        const std::string text = trim(columns(line, first, last));
        if (text.empty()) {
            if (optional) return blank;
            fail(std::string(name) + " (columns " + std::to_string(first) + "-" +
                 std::to_string(last) + ") is blank");
        }
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (end != text.c_str() + text.size() || !std::isfinite(value))
            fail(std::string(name) + " (columns " + std::to_string(first) + "-" +
                 std::to_string(last) + ") is no number: \"" + text + "\"");
        return value;
    }

  private:
    const fs::path& file_;
    long line_;
};

// Calls `use(line number, line)` for every line of a catalogue, after
// checks that it is a text file of a sane size and its lines are lines.
template <class Use> void forEachLine(const fs::path& file, const char* what, Use use) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file, error);
    if (error)
        throw std::runtime_error("cannot read " + file.string() + " (" + error.message() + ")");
    if (size > maximumCatalogueBytes)
        throw std::runtime_error(file.string() + ": " + std::to_string(size) +
                                 " bytes is too large for " + what);
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::string line;
    long number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > kMaximumLineLength)
            throw std::runtime_error(file.string() + " line " + std::to_string(number) + ": " +
                                     std::to_string(line.size()) + " characters is not a line of " +
                                     what);
        for (unsigned char c : line)
            if (c < 32 && c != '\t')
                throw std::runtime_error(file.string() + " line " + std::to_string(number) +
                                         ": a control character; this is not a text file of " +
                                         what);
        if (!use(number, line)) return;
    }
}

void checkAngle(const LineError& at, double value, double upper, const char* name) {
    if (!(value >= 0 && value <= upper))
        at.fail(std::string(name) + " " + std::to_string(value) + " lies outside 0 ... " +
                std::to_string(static_cast<int>(upper)) + " degrees");
}

} // namespace

bool unpackNumber(std::string_view p, int& number) {
    if (p.size() != 5) return false;
    if (p[0] == '~') {
        int value = 0;
        for (std::size_t k = 1; k < 5; ++k) {
            const int d = base62(p[k]);
            if (d < 0) return false;
            value = value * 62 + d;
        }
        number = 620000 + value;
        return true;
    }
    const int head = base62(p[0]);
    if (head < 0 || !digits(p.substr(1))) return false;
    number = head * 10000 + std::atoi(std::string(p.substr(1)).c_str());
    return number > 0;
}

bool unpackDesignation(std::string_view p, std::string& designation) {
    if (p.size() != 7) return false;
    // Survey designations: "PLS2040" 2040 P-L, "T1S3138" 3138 T-1.
    const std::string_view head = p.substr(0, 3);
    if ((head == "PLS" || head == "T1S" || head == "T2S" || head == "T3S") && digits(p.substr(3))) {
        const std::string survey = head == "PLS" ? "P-L" : "T-" + std::string(1, head[1]);
        designation = std::string(p.substr(3)) + " " + survey;
        return true;
    }
    const char century = p[0];
    if (century < 'A' || century > 'L' || !digits(p.substr(1, 2))) return false;
    const char halfMonth = p[3], second = p[6];
    if (!std::isupper(static_cast<unsigned char>(halfMonth)) || halfMonth == 'I' ||
        !std::isupper(static_cast<unsigned char>(second)) || second == 'I')
        return false;
    const int tens = base62(p[4]);
    if (tens < 0 || !std::isdigit(static_cast<unsigned char>(p[5]))) return false;
    const int cycle = tens * 10 + (p[5] - '0');
    const int year = (century - 'A' + 10) * 100 + std::atoi(std::string(p.substr(1, 2)).c_str());
    designation = std::to_string(year) + " " + halfMonth + second;
    if (cycle > 0) designation += std::to_string(cycle);
    return true;
}

double julianDateOfDay(int year, int month, int day) {
    const int a = (14 - month) / 12;
    const long y = year + 4800 - a, m = month + 12 * a - 3;
    const long dayNumber = day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
    return static_cast<double>(dayNumber) - 0.5;
}

bool unpackEpoch(std::string_view p, double& julianDate) {
    if (p.size() != 5 || p[0] < 'I' || p[0] > 'L' || !digits(p.substr(1, 2))) return false;
    const int year = (p[0] - 'A' + 10) * 100 + std::atoi(std::string(p.substr(1, 2)).c_str());
    const int month = base62(p[3]), day = base62(p[4]);
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day > kDays[month - 1]) return false;
    julianDate = julianDateOfDay(year, month, day);
    return true;
}

std::vector<MinorPlanetOrbit> readMpcorb(const fs::path& file) {
    const char* what = "an MPC orbit file";
    // Records follow the header's closing line of dashes; a file without a
    // header (an excerpt) holds records from its first line.
    long first = 1;
    forEachLine(file, what, [&](long k, const std::string& line) {
        if (line.rfind("-----", 0) == 0) first = k + 1;
        return first == 1 && k < 200;
    });
    std::vector<MinorPlanetOrbit> orbits;
    forEachLine(file, what, [&](long k, const std::string& line) {
        if (k < first || trim(line).empty()) return true; // blank lines separate the file's parts
        const LineError at(file, k);
        if (line.size() < kMpcorbMinimumLength)
            at.fail("the record ends at column " + std::to_string(line.size()) +
                    " (an orbit runs to column 103 at least): the file is truncated or not in "
                    "the MPC's orbit format");
        MinorPlanetOrbit o;
        const std::string packed = trim(columns(line, 1, 7));
        if (packed.size() == 5) {
            if (!unpackNumber(packed, o.number)) at.fail("\"" + packed + "\" is no packed number");
        } else if (!unpackDesignation(packed, o.designation)) {
            at.fail("\"" + packed + "\" is no packed number or designation");
        }
        const std::string epoch = columns(line, 21, 25);
        if (!unpackEpoch(epoch, o.epochJd)) at.fail("\"" + epoch + "\" is no packed epoch");
        o.hasMagnitude = !trim(columns(line, 9, 13)).empty();
        o.absoluteMagnitude = at.number(line, 9, 13, "H", true);
        o.slope = at.number(line, 15, 19, "G", true, 0.15);
        o.meanAnomaly = at.number(line, 27, 35, "M");
        o.perihelion = at.number(line, 38, 46, "the argument of perihelion");
        o.node = at.number(line, 49, 57, "the node");
        o.inclination = at.number(line, 60, 68, "the inclination");
        o.eccentricity = at.number(line, 71, 79, "e");
        o.semiMajorAxis = at.number(line, 93, 103, "a");
        checkAngle(at, o.meanAnomaly, 360, "M");
        checkAngle(at, o.perihelion, 360, "the argument of perihelion");
        checkAngle(at, o.node, 360, "the node");
        checkAngle(at, o.inclination, 180, "the inclination");
        if (!(o.eccentricity >= 0 && o.eccentricity < 1))
            at.fail("e " + std::to_string(o.eccentricity) + " is no elliptic orbit's");
        if (!(o.semiMajorAxis > 0)) at.fail("a is not positive");
        const std::string u = columns(line, 106, 106);
        if (u.size() == 1 && std::isdigit(static_cast<unsigned char>(u[0])))
            o.uncertainty = u[0] - '0';
        o.readable = trim(columns(line, 167, 194));
        orbits.push_back(std::move(o));
        return true;
    });
    if (orbits.empty())
        throw std::runtime_error(file.string() + ": no orbit records (not an MPC orbit file?)");
    return orbits;
}

std::vector<CometOrbit> readCometEls(const fs::path& file) {
    std::vector<CometOrbit> comets;
    forEachLine(file, "an MPC comet file", [&](long k, const std::string& line) {
        if (trim(line).empty()) return true;
        const LineError at(file, k);
        if (line.size() < kCometElsMinimumLength)
            at.fail("the record ends at column " + std::to_string(line.size()) +
                    " (a comet's orbit runs to column 79 at least): the file is truncated or "
                    "not in the MPC's comet format");
        CometOrbit c;
        const double year = at.number(line, 15, 18, "the perihelion year");
        const double month = at.number(line, 20, 21, "the perihelion month");
        const double day = at.number(line, 23, 29, "the perihelion day");
        if (year != std::floor(year) || month < 1 || month > 12 || month != std::floor(month) ||
            day < 0 || day >= 32)
            at.fail("the perihelion date is no date");
        c.perihelionJd =
            julianDateOfDay(static_cast<int>(year), static_cast<int>(month), 1) + day - 1;
        c.perihelionDistance = at.number(line, 31, 39, "q");
        c.eccentricity = at.number(line, 42, 49, "e");
        c.perihelion = at.number(line, 52, 59, "the argument of perihelion");
        c.node = at.number(line, 62, 69, "the node");
        c.inclination = at.number(line, 72, 79, "the inclination");
        checkAngle(at, c.perihelion, 360, "the argument of perihelion");
        checkAngle(at, c.node, 360, "the node");
        checkAngle(at, c.inclination, 180, "the inclination");
        if (!(c.perihelionDistance > 0)) at.fail("q is not positive");
        if (!(c.eccentricity >= 0)) at.fail("e is negative");
        const double epochYear = at.number(line, 82, 85, "the epoch year", true);
        if (epochYear > 0) {
            const double epochMonth = at.number(line, 86, 87, "the epoch month");
            const double epochDay = at.number(line, 88, 89, "the epoch day");
            if (epochMonth < 1 || epochMonth > 12 || epochDay < 1 || epochDay > 31)
                at.fail("the epoch is no date");
            c.epochJd = julianDateOfDay(static_cast<int>(epochYear), static_cast<int>(epochMonth),
                                        static_cast<int>(epochDay));
        } else {
            c.epochJd = std::floor(c.perihelionJd - 0.5) + 0.5; // 0h of the perihelion day
        }
        c.absoluteMagnitude = at.number(line, 92, 95, "H", true);
        c.slope = at.number(line, 97, 100, "G", true, 4);
        c.designation = trim(columns(line, 103, 158));
        if (c.designation.empty()) at.fail("the designation (columns 103-158) is blank");
        comets.push_back(std::move(c));
        return true;
    });
    if (comets.empty())
        throw std::runtime_error(file.string() + ": no comet orbits (not an MPC comet file?)");
    return comets;
}

} // namespace builder::mpc
