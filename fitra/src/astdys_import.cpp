#include "fitra/astdys_import.h"

#include "fileio/format_mask.h"
#include "fileio/text_output.h"
#include "fileio/text_util.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>
#include <optional>

namespace fitra {

namespace {

constexpr long double kGmPerAu = 149.5978707L;
constexpr std::size_t kHeaderLines = 7;

std::string_view cols(const std::string& line, std::size_t c1, std::size_t c2) {
    if (c1 > line.size()) return {};
    return std::string_view(line).substr(c1 - 1, std::min(c2, line.size()) - c1 + 1);
}
std::optional<double> num(const std::string& line, std::size_t c1, std::size_t c2) {
    return tarvo::readWholeNumber(cols(line, c1, c2));
}
double numOr0(const std::string& line, std::size_t c1, std::size_t c2) {
    return num(line, c1, c2).value_or(0.0);
}

bool printable(const std::string& line) {
    for (unsigned char c : line)
        if ((c < 0x20 && c != '\t') || c == 0x7f) return false;
    return true;
}

std::string siteTriple(const Station& s) {
    return tarvo::formatMask("##.###### ", s.rhoSinPhi) +
           tarvo::formatMask("##.###### ", s.rhoCosPhi) +
           tarvo::formatMask("###.#####", s.longitudeDeg);
}

// Splits seconds into the packed sexagesimal h.mmss form.
long double packSeconds(long double total) {
    const long double h = std::floor(total / 3600.0L);
    const long double m = std::floor((total - 3600.0L * h) / 60.0L);
    const long double s = total - 3600.0L * h - 60.0L * m;
    return h + m / 100.0L + s / 10000.0L;
}

struct Record {
    std::string pos;
    std::string resid;
    std::string mag; // empty: no magnitude
};

} // namespace

ImportReport importAstDysFile(const std::filesystem::path& input, const StationTable& stations,
                              const TimeOffsetTable& timeOffsets, const AstDysOptions& options) {
    ImportReport report;
    std::vector<std::string> lines;
    if (!readObservationLines(input, lines, report.message)) return report;
    auto skip = [&](std::size_t lineNo, const std::string& why) {
        ++report.skipped;
        if (report.skipReasons.size() < 20)
            report.skipReasons.push_back("line " + std::to_string(lineNo) + ": " + why);
    };
    auto julian = [](double y, double m, double d) {
        return tarvo::kJulianDateJ2000 + tarvo::calendarToDays(y, m, d);
    };
    auto packedDate = [&](long double jd) {
        jd += observationTimeOffset(timeOffsets, static_cast<double>(jd)) / 86400.0L;
        const tarvo::CalendarDate cal = tarvo::jdToDate(jd);
        return 10000.0L * cal.year + 100.0L * cal.month + cal.day;
    };
    std::vector<Record> records;
    bool radar = false;
    for (std::size_t i = kHeaderLines; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::size_t lineNo = i + 1;
        if (!printable(line)) {
            skip(lineNo, "not text");
            continue;
        }
        if (!line.empty() && line[0] == '!') {
            radar = true;
            i += 2;
            continue;
        }
        if (tarvo::trim(line).empty()) {
            skip(lineNo, "blank");
            continue;
        }
        if (radar) {
            const auto y = num(line, 18, 21), mo = num(line, 23, 24), d = num(line, 26, 27);
            const auto h = num(line, 29, 30), mi = num(line, 32, 33), s = num(line, 35, 36);
            const auto v = num(line, 38, 52), w = num(line, 64, 72);
            if (!y || !mo || !d || !h || !mi || !s || !v || !w || *mo < 1 || *mo > 12 || *d < 1 ||
                *d > 31 || line.size() < 106) {
                skip(lineNo, "not a radar record");
                continue;
            }
            const bool range = line[11] == 'R';
            long double value = *v / 1e6L, u = numOr0(line, 90, 98) / 1e6L, sigma = 1;
            if (!range) {
                sigma = value < 0 ? -1 : 1;
                value = std::fabs(value * 1e6L / 86400.0L);
                u = u * 1e6L / 86400.0L;
            }
            const long double date =
                packedDate(julian(*y, *mo, *d + *h / 24.0 + *mi / 1440.0 + *s / 86400.0));
            std::string out = tarvo::formatMask("#########.########", date) +
                              tarvo::formatMask("####.######### ", -value) +
                              (range ? " 0" : (sigma < 0 ? "-1" : " 1"));
            out.resize(std::max<std::size_t>(out.size(), 40), ' ');
            out += tarvo::formatMask(" ##.#### ", *w * 1.414L);
            out += siteTriple(stations.lookup(std::string(cols(line, 104, 106))));
            out += " " + siteTriple(stations.lookup(std::string(cols(line, 100, 102))));
            records.push_back({out,
                               tarvo::formatMask("#########.######## ", date) +
                                   tarvo::formatMask(" ##.###^^^^", u) + (range ? "R" : "V"),
                               std::string()});
            ++report.radar;
            ++report.observations;
            continue;
        }
        // Optical.
        const auto y = num(line, 18, 21), mo = num(line, 23, 24), d = num(line, 26, 35);
        if (!y || !mo || !d || *mo < 1 || *mo > 12 || *d < 1 || *d >= 32 || line.size() < 183) {
            skip(lineNo, "not an optical record");
            continue;
        }
        const auto rh = num(line, 51, 52), rm = num(line, 54, 55), rs = num(line, 57, 62);
        const auto dd = num(line, 105, 106), dm = num(line, 108, 109), ds = num(line, 111, 115);
        if (!rh || !rm || !rs || !dd || !dm || !ds || *rh >= 24 || *rm >= 60 || *rs >= 60 ||
            *dd > 90 || *dm >= 60 || *ds >= 60) {
            skip(lineNo, "blank or unreadable right ascension or declination");
            continue;
        }
        const double rmsA = std::fabs(numOr0(line, 76, 82)),
                     rmsD = std::fabs(numOr0(line, 129, 135));
        const double w = std::sqrt((rmsA * rmsA + rmsD * rmsD) / 2);
        const double biasA = numOr0(line, 87, 93), biasD = numOr0(line, 140, 146);
        const std::string code(cols(line, 181, 183));
        const char accepted = line.size() >= 195 ? line[194] : '1';
        long double date = packedDate(julian(*y, *mo, *d));
        if (options.discardPoor && (accepted == '0' || w > 10)) date = -date;
        const int c = options.catalogBias;
        long double raSeconds = 3600.0L * *rh + 60.0L * *rm + *rs + biasA * c / 15.0L;
        if (raSeconds < 0) raSeconds += 86400;
        long double sign = line[103] == '-' ? -1 : 1;
        long double decSeconds = 3600.0L * *dd + 60.0L * *dm + *ds + sign * c * biasD;
        if (decSeconds < 0) {
            decSeconds = -decSeconds;
            sign = -sign;
        }
        std::string out = tarvo::formatMask("#########.####### ", date) +
                          tarvo::formatMask("###.######## ", packSeconds(raSeconds)) +
                          tarvo::formatMask("+##.####### ", sign * packSeconds(decSeconds)) +
                          tarvo::formatMask("###.## ", w);
        if (line[13] == 'S') {
            if (i + 1 >= lines.size() || lines[i + 1].size() < 71) {
                skip(lineNo, "spacecraft record without its second line");
                continue;
            }
            const std::string& s = lines[++i];
            const bool au = s[34] == '2';
            const char* mask = au ? "#####.####### " : "####.######## ";
            long double xyz[3] = {numOr0(s, 37, 47), numOr0(s, 49, 59), numOr0(s, 61, 71)};
            for (auto& v : xyz) v *= au ? kGmPerAu : 1e-6L;
            xyz[0] += 1000;
            for (auto v : xyz) out += tarvo::formatMask(mask, v);
            ++report.spacecraft;
        } else if (code == "247") {
            if (i + 1 >= lines.size()) {
                skip(lineNo, "roving-observer record without its second line");
                continue;
            }
            const std::string& v = lines[++i];
            const auto lon = num(v, 35, 44), lat = num(v, 46, 55);
            if (!lon || !lat || std::fabs(*lat) > 90) {
                skip(lineNo + 1, "unreadable roving-observer position");
                continue;
            }
            const long double phi = *lat * 3.14159265358979323846264338327950288L / 180,
                              h = numOr0(v, 58, 62) / 1e9L;
            const long double a = 0.006378137L, e2 = 0.006694378L,
                              n = std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
            Station roving{"247", *lon < 0 ? *lon + 360 : *lon,
                           static_cast<double>(((a / n + h) * std::cos(phi)) / a),
                           static_cast<double>(((a * (1 - e2) / n + h) * std::sin(phi)) / a)};
            out += siteTriple(roving);
            ++report.roving;
        } else {
            out += siteTriple(stations.lookup(code));
        }
        std::string magLine;
        if (const double m = numOr0(line, 157, 160); m != 0)
            magLine = tarvo::formatMask("#########.####### ", date) + tarvo::formatMask(" ##.#", m);
        records.push_back({out,
                           tarvo::formatMask("#########.######## ", date) +
                               tarvo::formatMask(" ###.###", numOr0(line, 95, 102)) +
                               tarvo::formatMask(" ###.###", numOr0(line, 148, 155)),
                           magLine});
        ++report.observations;
    }
    if (records.empty()) {
        report.message = input.string() + " holds no AstDys observation record";
        return report;
    }
    // Date order: the lines compared as text from their second column (the
    // sign of an excluded date is ignored), residuals carried along.
    std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) {
        return std::string_view(a.pos).substr(1) < std::string_view(b.pos).substr(1);
    });
    const std::string stem = fileStem(input);
    const auto dir = input.parent_path();
    std::vector<std::string> pos{"1 Topocentric Observations of " + stem,
                                 std::string("-1 from NeoDys Database (Time is ") +
                                     (timeOffsets.universalTime ? "UT" : "TT") + ")",
                                 "2 in the format hh.mmsssss dd.mmssss"};
    std::vector<std::string> tp2, resid, mag;
    for (std::size_t k = 0; k < records.size(); ++k) {
        pos.push_back(records[k].pos);
        tp2.push_back(records[k].pos);
        if (!records[k].mag.empty()) mag.push_back(records[k].mag);
        resid.push_back(tarvo::formatMask("##### ", static_cast<long double>(k + 4)) +
                        records[k].resid);
    }
    pos.push_back("0");
    report.positionsFile = dir / (stem + ".POS");
    std::string message;
    if (!tarvo::writeTextFileAtomically(dir / (stem + ".TP2"), tp2, message) ||
        !tarvo::writeTextFileAtomically(dir / "MILRESID.DAT", resid, message) ||
        !tarvo::writeTextFileAtomically(dir / (stem + ".MAG"), mag, message) ||
        !tarvo::writeTextFileAtomically(report.positionsFile, pos, message)) {
        report.message = message;
        return report;
    }
    report.written = true;
    report.message = std::to_string(report.observations) + " observations written to " +
                     report.positionsFile.filename().string() + ", " +
                     std::to_string(report.skipped) + " lines skipped";
    return report;
}

} // namespace fitra
