#include "fitra/mpc_import.h"

#include "fileio/format_mask.h"
#include "fileio/text_output.h"
#include "fileio/text_util.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

namespace fitra {

namespace {

constexpr long double kGmPerAu = 149.5978707L;
constexpr long double kEarthRadiusGm = 0.006378137L;
constexpr long double kEarthE2 = 0.006694378L;
constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr std::size_t kReasonsKept = 20;

// Columns c1..c2 (1-based, inclusive) of a line; shorter lines give what they have.
std::string_view columns(const std::string& line, std::size_t c1, std::size_t c2) {
    if (c1 > line.size()) return {};
    return std::string_view(line).substr(c1 - 1, std::min(c2, line.size()) - c1 + 1);
}

// A field that must be a number (blanks around it allowed).
std::optional<double> number(const std::string& line, std::size_t c1, std::size_t c2) {
    return tarvo::readWholeNumber(columns(line, c1, c2));
}

bool printable(const std::string& line) {
    for (unsigned char c : line)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

// The object a record belongs to: its number (columns 1-5) when it has one,
// else its provisional designation (6-12).
std::string objectOf(const std::string& line) {
    const std::string number = tarvo::trim(columns(line, 1, 5));
    return number.empty() ? tarvo::trim(columns(line, 6, 12)) : number;
}

struct Reading {
    ImportReport& report;
    void skip(std::size_t lineNo, const std::string& why) {
        ++report.skipped;
        if (report.skipReasons.size() < kReasonsKept)
            report.skipReasons.push_back("line " + std::to_string(lineNo) + ": " + why);
    }
};

struct Angles {
    long double ra = 0, dec = 0; // packed hh.mmsssss, ±dd.mmssss
};

std::optional<Angles> readAngles(const std::string& line, std::string& why) {
    const auto h = number(line, 33, 34), m = number(line, 36, 37), s = number(line, 39, 44);
    const auto d = number(line, 46, 47), dm = number(line, 49, 50), ds = number(line, 52, 56);
    if (!h || !m || !d || !dm) {
        why = "blank or unreadable right ascension or declination";
        return std::nullopt;
    }
    // Seconds may be left out when the position is given to the minute.
    const double sv = s.value_or(0.0), dsv = ds.value_or(0.0);
    const char sign = line[44];
    if (*h < 0 || *h >= 24 || *m < 0 || *m >= 60 || sv < 0 || sv >= 60 || *d < 0 || *d > 90 ||
        *dm < 0 || *dm >= 60 || dsv < 0 || dsv >= 60 ||
        (sign != '+' && sign != '-' && sign != ' ')) {
        why = "right ascension or declination out of range";
        return std::nullopt;
    }
    Angles a;
    a.ra = *h + *m / 100.0L + sv / 10000.0L;
    a.dec = (sign == '-' ? -1.0L : 1.0L) * (*d + *dm / 100.0L + dsv / 10000.0L);
    return a;
}

// Calendar date of columns 16-32 as a Julian date; nullopt when it is no date.
std::optional<long double> readDate(const std::string& line) {
    const auto y = number(line, 16, 19), m = number(line, 21, 22), d = number(line, 24, 32);
    if (!y || !m || !d || *y < 1000 || *y > 3000 || *m < 1 || *m > 12 || *d < 1 || *d >= 32 ||
        std::floor(*y) != *y || std::floor(*m) != *m)
        return std::nullopt;
    return tarvo::kJulianDateJ2000 + tarvo::calendarToDays(*y, *m, *d);
}

std::string groundSite(long double rhoSin, long double rhoCos, long double longitudeDeg) {
    return tarvo::formatMask("##.###### ", rhoSin) + tarvo::formatMask("##.###### ", rhoCos) +
           tarvo::formatMask("###.#####", longitudeDeg);
}

} // namespace

std::string fileStem(const std::filesystem::path& file) {
    const std::string name = file.filename().string();
    return name.substr(0, name.find('.'));
}

bool readObservationLines(const std::filesystem::path& input, std::vector<std::string>& lines,
                          std::string& message) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(input, ec);
    if (ec) {
        message = "No file " + input.string();
        return false;
    }
    if (size > kObservationFileBytesLimit) {
        message = input.string() + " is too large (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::ifstream in(input, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return true;
}

ImportReport importMpcFile(const std::filesystem::path& input, const StationTable& stations,
                           const TimeOffsetTable& timeOffsets) {
    ImportReport report;
    Reading reading{report};
    std::vector<std::string> lines;
    if (!readObservationLines(input, lines, report.message)) return report;

    const std::string stem = fileStem(input);
    std::vector<std::string> pos{"1 Topocentric Observations of " + stem,
                                 std::string("-1 from MPC formatted data  (Time is ") +
                                     (timeOffsets.universalTime ? "UT" : "TT") + ")",
                                 "2 in the format hh.mmsssss dd.mmssss"};
    std::vector<std::string> mag;
    std::string object;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::size_t lineNo = i + 1;
        if (line.find_first_not_of(' ') == std::string::npos) {
            reading.skip(lineNo, "blank");
            continue;
        }
        if (!printable(line)) {
            reading.skip(lineNo, "not text");
            continue;
        }
        if (line.size() != 80) {
            reading.skip(lineNo, "not an 80-column record (" + std::to_string(line.size()) +
                                     " characters)");
            continue;
        }
        const char note = line[14];
        if (note == 's' || note == 'v' || note == 'r') {
            reading.skip(lineNo, "second line without its first");
            continue;
        }
        if (note == 'R') {
            ++report.radar;
            if (i + 1 < lines.size() && lines[i + 1].size() > 14 && lines[i + 1][14] == 'r') ++i;
            continue;
        }
        const auto jd = readDate(line);
        if (!jd) {
            reading.skip(lineNo, "bad date");
            continue;
        }
        std::string why;
        const auto angles = readAngles(line, why);
        if (!angles) {
            reading.skip(lineNo, why);
            continue;
        }
        const std::string code(columns(line, 78, 80));
        const bool twoLines = note == 'S' || note == 'V' || code == "247";
        const std::string* second = nullptr;
        if (twoLines) {
            const char wanted = note == 'S' ? 's' : 'v';
            if (i + 1 >= lines.size() || lines[i + 1].size() < 70 || lines[i + 1][14] != wanted ||
                objectOf(lines[i + 1]) != objectOf(line)) {
                reading.skip(lineNo, note == 'S'
                                         ? "spacecraft record without its second line"
                                         : "roving-observer record without its second line");
                continue;
            }
            second = &lines[++i];
        }
        const std::string thisObject = objectOf(line);
        if (object.empty()) {
            object = thisObject;
        } else if (thisObject != object) {
            report.message = input.string() + " holds observations of more than one object (" +
                             object + ", " + thisObject + " at line " + std::to_string(lineNo) +
                             "): split it by object first";
            return report;
        }

        long double date =
            *jd + observationTimeOffset(timeOffsets, static_cast<double>(*jd)) / 86400.0L;
        const tarvo::CalendarDate cal = tarvo::jdToDate(date);
        const long double packed = 10000.0L * cal.year + 100.0L * cal.month + cal.day;
        std::string out = tarvo::formatMask("#########.####### ", packed) +
                          tarvo::formatMask("###.####### ", angles->ra) +
                          tarvo::formatMask("+##.###### ", angles->dec) + " 1.00 ";

        if (note == 'S') {
            const std::string& s = *second;
            const bool au = s[32] == '2';
            long double xyz[3];
            bool ok = true;
            for (int k = 0; k < 3; ++k) {
                const std::size_t c = 35 + 12 * k;
                const auto v = number(s, c + 1, c + 11);
                if (!v || (s[c - 1] != '+' && s[c - 1] != '-' && s[c - 1] != ' ')) ok = false;
                const long double value = v.value_or(0.0) * (s[c - 1] == '-' ? -1.0L : 1.0L);
                xyz[k] = au ? value * kGmPerAu : value * 1e-6L;
            }
            if (!ok) {
                reading.skip(lineNo + 1, "unreadable spacecraft position");
                continue;
            }
            xyz[0] += 1000.0L;
            const char* mask = au ? "#####.####### " : "####.######## ";
            for (long double v : xyz) out += tarvo::formatMask(mask, v);
            ++report.spacecraft;
        } else if (second != nullptr) {
            const std::string& v = *second;
            const auto lon = number(v, 35, 44), lat = number(v, 46, 55), alt = number(v, 57, 61);
            if (!lon || !lat || *lat < -90 || *lat > 90) {
                reading.skip(lineNo + 1, "unreadable roving-observer position");
                continue;
            }
            // The roving observer's site is its own, never a row of the station table.
            const long double phi = *lat * kPi / 180.0L, h = alt.value_or(0.0) / 1e9L;
            const long double w = std::sqrt(1.0L - kEarthE2 * std::sin(phi) * std::sin(phi));
            const long double rhoSin =
                ((kEarthRadiusGm * (1.0L - kEarthE2) / w + h) * std::sin(phi)) / kEarthRadiusGm;
            const long double rhoCos = ((kEarthRadiusGm / w + h) * std::cos(phi)) / kEarthRadiusGm;
            long double east = *lon;
            if (east < 0) east += 360.0L;
            out += groundSite(rhoSin, rhoCos, east);
            ++report.roving;
        } else {
            bool known = false;
            const Station& st = stations.lookup(code, &known);
            if (!known && report.skipReasons.size() < kReasonsKept)
                report.skipReasons.push_back("line " + std::to_string(lineNo) +
                                             ": unknown station " + code +
                                             ", taken at the geocentre");
            out += groundSite(st.rhoSinPhi, st.rhoCosPhi, st.longitudeDeg);
        }
        pos.push_back(out);
        ++report.observations;
        if (const auto m = number(line, 66, 69); m && *m != 0.0)
            mag.push_back(tarvo::formatMask("#########.####### ", packed) +
                          tarvo::formatMask(" ##.#", *m));
    }
    if (report.observations == 0) {
        report.message = input.string() + " holds no MPC observation record";
        return report;
    }
    pos.push_back("0");
    const auto dir = input.parent_path();
    report.positionsFile = dir / (stem + ".POS");
    std::string message;
    if (!tarvo::writeTextFileAtomically(report.positionsFile, pos, message) ||
        !tarvo::writeTextFileAtomically(dir / (stem + ".MAG"), mag, message)) {
        report.message = message;
        return report;
    }
    report.written = true;
    report.message = std::to_string(report.observations) + " observations written to " +
                     report.positionsFile.filename().string() + ", " +
                     std::to_string(report.skipped) + " lines skipped";
    if (report.radar > 0)
        report.message += ", " + std::to_string(report.radar) + " radar records left out";
    return report;
}

} // namespace fitra
