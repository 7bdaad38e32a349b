#include "fitra/positions_file.h"

#include "fileio/text_util.h"
#include "fitra/mpc_import.h"
#include "tarvo/reductions/time_scales.h"

#include <cmath>
#include <fstream>
#include <sstream>

namespace fitra {

namespace {

constexpr long double kGmPerAu = 149.5978707L;
constexpr long double kDegToRad = 3.14159265358979323846264338327950288L / 180.0L;

long double fix(long double x) {
    return std::trunc(x);
}

long double roundTo(long double x, int decimals) {
    const long double scale = std::pow(10.0L, decimals);
    return std::round(x * scale) / scale;
}

bool readLines(const std::filesystem::path& file, std::vector<std::string>& lines,
               std::string& message) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        message = "No file " + file.string();
        return false;
    }
    if (size > kPositionsFileBytesLimit) {
        message = file.string() + " is too large (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return true;
}

} // namespace

long double packedDateToDays(long double d) {
    const long double y = std::floor(d / 10000.0L);
    const long double m = std::floor((d - 10000.0L * y) / 100.0L);
    const long double day = d - 10000.0L * y - 100.0L * m;
    return tarvo::calendarToDays(static_cast<double>(y), static_cast<double>(m),
                                 static_cast<double>(day)) +
           (day - static_cast<double>(day));
}

long double unpackSexagesimal(long double x) {
    const long double a = fix(x);
    const long double f = roundTo((x - a) * 100.0L, 11);
    const long double b = fix(f);
    const long double c = (f - b) * 100.0L;
    return a + b / 60.0L + c / 3600.0L;
}

bool readPositionsFile(const std::filesystem::path& file, const PositionsOptions& options,
                       PositionsFile& out, std::string& message) {
    std::vector<std::string> lines;
    if (!readLines(file, lines, message)) return false;
    if (lines.size() < 3) {
        message =
            file.string() + " is too short: three header lines and the observations are needed";
        return false;
    }
    PositionsFile read;
    {
        std::size_t used = 0;
        read.calendarDates = tarvo::readFreeNumber(lines[0], &used) != 0.0;
        std::istringstream words(lines[0]);
        for (std::string w; words >> w;) read.objectName = w.substr(0, 8);
        read.siteMode = static_cast<int>(tarvo::readFreeNumber(lines[1]));
        const std::string third = tarvo::trim(lines[2]);
        read.angleFormat = third.empty() ? 0 : third[0] - '0';
        if (read.angleFormat < 0 || read.angleFormat > 2) {
            message = file.string() + ": line 3 does not start with the angle format 0, 1 or 2";
            return false;
        }
    }
    auto skip = [&](std::size_t lineNo, const std::string& why) {
        ++read.skippedLines;
        if (read.skipReasons.size() < 20)
            read.skipReasons.push_back("line " + std::to_string(lineNo) + ": " + why);
    };
    const std::size_t siteFields = read.siteMode > 0 ? 3 : read.siteMode < 0 ? 3 : 0;
    std::size_t next = 3;
    bool ended = false;
    for (; next < lines.size(); ++next) {
        const std::size_t lineNo = next + 1;
        const std::string text = tarvo::trim(lines[next]);
        if (text.empty()) {
            skip(lineNo, "blank");
            continue;
        }
        int bad = 0;
        const auto n = tarvo::readFreeNumbers(text, &bad);
        if (bad != 0 || n.empty()) {
            skip(lineNo, "not numbers");
            continue;
        }
        if (n[0] == 0.0) {
            ended = true;
            ++next;
            break;
        }
        if (n.size() < 4 + siteFields) {
            skip(lineNo, "too few fields");
            continue;
        }
        Observation o;
        o.lineNo = static_cast<int>(lineNo);
        o.rawDate = n[0];
        long double d = n[0];
        const long double sign = d < 0 ? -1.0L : 1.0L;
        d = std::fabs(d);
        if (read.calendarDates) {
            const long double y = std::floor(d / 10000.0L),
                              m = std::floor((d - 10000.0L * y) / 100.0L);
            if (y < -4000 || y > 10000 || m < 0 || m > 12) {
                skip(lineNo, "bad date");
                continue;
            }
            d = tarvo::kJulianDateJ2000 + packedDateToDays(d);
        }
        o.excluded = sign < 0;
        o.obsTime = roundTo(d - tarvo::kJulianDateJ2000, 9);
        if (options.universalTime && options.deltaT) o.obsTime += options.deltaT(o.obsTime);
        o.obsA = n[1];
        o.obsB = n[2];
        o.obsWeight = n[3];
        if (read.siteMode > 0) {
            o.siteS1 = n[4] * kDegToRad;
            o.siteS2 = n[5] * kDegToRad;
            o.siteS3 = n[6] / 1e9L;
        } else if (read.siteMode < 0) {
            o.siteS1 = n[4];
            o.siteS2 = n[5];
            o.siteS3 = std::fabs(n[4]) < 1 ? n[6] * kDegToRad : n[6];
        }
        if (options.orthogonal) {
            if (read.angleFormat != 0) {
                o.obsA *= kGmPerAu;
                o.obsB *= kGmPerAu;
                o.obsWeight *= kGmPerAu;
            }
        } else if (o.obsA < 0) { // radar
            if (o.obsB == 0) {
                o.obsKind = -1;
                o.obsA = -o.obsA;
            } else {
                o.obsKind = 1;
                o.obsA = -o.obsA * (o.obsB < 0 ? -1 : 1);
            }
            if (read.siteMode < 0 && n.size() >= 10) {
                o.siteB1 = n[7];
                o.siteB2 = n[8];
                o.siteB3 = n[9] * kDegToRad;
            }
        } else if (read.angleFormat == 1) {
            o.obsA *= 15.0L;
        } else if (read.angleFormat == 2) {
            o.obsA = unpackSexagesimal(o.obsA) * (options.equatorial ? 15.0L : 1.0L);
            o.obsB = unpackSexagesimal(o.obsB);
        }
        if (o.obsKind == 0 && !options.orthogonal &&
            (!std::isfinite(o.obsA) || !std::isfinite(o.obsB) || std::fabs(o.obsB) > 90.0L)) {
            skip(lineNo, "angle out of range");
            continue;
        }
        if (options.weighted && !options.orthogonal) {
            if (!(o.obsWeight > 0)) {
                skip(lineNo, "standard deviation of zero or less");
                continue;
            }
            o.weightFactor = (o.obsKind == 0    ? 1378.8L
                              : o.obsKind == -1 ? 1e6L
                                                : 86400.0L) /
                             o.obsWeight;
        }
        if (options.randomExclude && !read.observations.empty() && options.uniform) {
            const int r = static_cast<int>(std::floor(100.0 * options.uniform()));
            if (options.excludePercent > r) continue;
        }
        read.observations.push_back(o);
    }
    if (!ended) skip(lines.size(), "no terminating line \"0\"");
    // Site mode 0: one site for every observation from the line after the "0".
    if (read.siteMode == 0) {
        long double lat = 0, lon = 0;
        for (; next < lines.size(); ++next) {
            const auto n = tarvo::readFreeNumbers(tarvo::trim(lines[next]));
            if (n.size() >= 2) {
                lat = n[0] * kDegToRad;
                lon = n[1] * kDegToRad;
                break;
            }
        }
        for (auto& o : read.observations) {
            o.siteS1 = lat;
            o.siteS2 = lon;
            o.siteS3 = 0;
        }
    }
    if (read.observations.empty()) {
        message = file.string() + " holds no observation";
        return false;
    }
    // Magnitudes: pairs in the order of the observations that have one.
    std::vector<std::string> magLines;
    std::string magMessage;
    auto magFile = file.parent_path() / (fileStem(file) + ".MAG");
    if (std::filesystem::exists(magFile) && readLines(magFile, magLines, magMessage)) {
        std::size_t k = 0;
        auto nextPair = [&](long double& date, long double& mag) {
            for (; k < magLines.size(); ++k) {
                const auto n = tarvo::readFreeNumbers(tarvo::trim(magLines[k]));
                if (n.size() >= 2) {
                    date = n[0];
                    mag = n[1];
                    ++k;
                    return true;
                }
            }
            return false;
        };
        long double date = 0, mag = 0;
        bool have = nextPair(date, mag);
        for (auto& o : read.observations) {
            if (have && date == o.rawDate) {
                o.magnitude = mag;
                o.hasMag = true;
                have = nextPair(date, mag);
            }
        }
    }
    out = std::move(read);
    message = std::to_string(out.observations.size()) + " observations read from " +
              file.filename().string();
    if (out.skippedLines > 0) message += ", " + std::to_string(out.skippedLines) + " lines skipped";
    return true;
}

} // namespace fitra
