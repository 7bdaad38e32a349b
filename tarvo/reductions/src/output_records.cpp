// Output records of the ephemeris: the time column, OUTPUT.LOG's opening
// lines, the per-body orthogonal files and the names of the ".OUT" files.
#include "tarvo/reductions/ephemeris_tables.h"
#include "tarvo/reductions/time_scales.h"
#include "fileio/format_mask.h"
#include "fileio/text_util.h"

#include <array>
#include <cctype>
#include <cmath>
#include <fstream>
#include <set>

namespace tarvo {

namespace {

// The time column in a unit: the calendar text, or JD, Jy, JCy, JMy from
// J2000 in the four masks given.
std::string timeColumnIn(RecordTimeUnit unit, long double jd, const std::string& dateText, const std::string& timeText,
                       const std::array<const char*, 4>& masks) {
    const long double t = jd - kJulianDateJ2000;
    switch (unit) {
    case RecordTimeUnit::Calendar: return dateText + " " + timeText + " ";
    case RecordTimeUnit::JulianDate: return formatMask(masks[0], jd);
    case RecordTimeUnit::JulianYears: return formatMask(masks[1], t / kDaysPerJulianYear);
    case RecordTimeUnit::JulianCenturies: return formatMask(masks[2], t / kDaysPerJulianCentury);
    case RecordTimeUnit::JulianMillennia: return formatMask(masks[3], t / kDaysPerJulianMillennium);
    }
    return {};
}

} // namespace

std::string recordTime(RecordTimeUnit unit, long double jd, const std::string& dateText, const std::string& timeText) {
    return timeColumnIn(unit, jd, dateText, timeText,
                      {"########.#####  ", "#######.######  ", "#####.########  ", "####.#########  "});
}

std::string listingTime(RecordTimeUnit unit, long double jd, const std::string& dateText, const std::string& timeText) {
    return timeColumnIn(unit, jd, dateText, timeText,
                      {"########.######  ", "#######.#######  ", "#####.#########  ", "####.##########  "});
}

std::string recordLine(const std::string& timeColumn, const std::string& screenRow) {
    constexpr std::size_t kNameColumn = 10; // 9-character name and a blank
    return timeColumn + (screenRow.size() > kNameColumn ? screenRow.substr(kNameColumn) : std::string());
}

std::vector<std::string> outputLogHeader(const PageSettings& s, const std::string& dateText, std::string_view timeLabel,
                                         const std::string& timeText) {
    const HeaderStrings h = headerStrings(s);
    return {h.centre + h.kind + h.frame + std::string(10, ' '),
            h.trueOrMean + s.dataSetName + " " + h.equinox + h.correction + "  " + h.model,
            "",
            "Date:" + dateText + "   " + std::string(timeLabel) + "   " + timeText,
            ""};
}

std::string orthogonalFileHeader(RecordTimeUnit unit) {
    const char* label = unit == RecordTimeUnit::Calendar          ? "Date"
                        : unit == RecordTimeUnit::JulianDate      ? "  JD"
                        : unit == RecordTimeUnit::JulianYears     ? "  Jy"
                        : unit == RecordTimeUnit::JulianCenturies ? " JCy"
                                                                  : " JMy";
    return std::string("       ") + label +
           "                   X                 Y                 Z                 R                 Vx"
           "                Vy                Vz               |V|               Vr";
}

std::string orthogonalFileRecord(const std::string& time, const OrthogonalRow& row, bool au, double astronomicalUnitGm) {
    const double lengthScale = au ? 1.0 / astronomicalUnitGm : 1.0;
    const double speedScale = au ? 1.0 / 0.0864 : 1.0; // km/s with AU, Gm/day with Gm
    const auto& p = row.position;
    const auto& v = row.velocity;
    const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    const double speed = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    const double radial = r > 0 ? (p[0] * v[0] + p[1] * v[1] + p[2] * v[2]) / r : 0.0;
    constexpr const char* kMask = " #####.###########";
    std::string line = time;
    for (double c : p) line += formatMask(kMask, c * lengthScale);
    line += formatMask(kMask, r * lengthScale);
    for (double c : v) line += formatMask(kMask, c * speedScale);
    line += formatMask(kMask, speed * speedScale);
    line += formatMask(kMask, radial * speedScale);
    return line;
}

std::vector<std::string> outputFileNames(const std::vector<std::string>& names) {
    std::vector<std::string> files;
    std::set<std::string> taken;
    for (std::size_t b = 0; b < names.size(); ++b) {
        std::string base = upperCase(trim(names[b].substr(0, std::min<std::size_t>(8, names[b].size()))));
        for (char& c : base) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 32 || u == 127 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
                c == '<' || c == '>' || c == '|')
                c = '_';
        }
        if (base.empty() || base == "." || base == "..") base = "BODY";
        std::string candidate = base;
        while (taken.count(candidate)) candidate += "_" + std::to_string(b);
        taken.insert(candidate);
        files.push_back(candidate + ".OUT");
    }
    return files;
}

bool appendLines(const std::string& path, const std::vector<std::string>& lines, std::string& message) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    for (const auto& line : lines) out << line << "\r\n";
    out.flush();
    if (!out) {
        message = "Cannot write " + path;
        return false;
    }
    return true;
}

} // namespace tarvo
