#include "umbravue/path_file.h"

#include "fileio/text_util.h"

#include <cmath>
#include <fstream>

namespace umbravue {

namespace {

constexpr double kLargestWidthKm = 40000;

std::string columns(const std::string& line, std::size_t first, std::size_t last) {
    if (line.size() < first) return {};
    return line.substr(first - 1, last - first + 1);
}

// The last number of a line (Delta-T at the end of a header).
double lastNumber(const std::string& line) {
    std::size_t end = line.find_last_not_of(" \t");
    if (end == std::string::npos) return 0;
    std::size_t start = line.find_last_of(" \t,", end);
    start = start == std::string::npos ? 0 : start + 1;
    const double v = tarvo::readFreeNumber(std::string_view(line).substr(start, end - start + 1));
    return std::isfinite(v) ? v : 0;
}

std::optional<double> field(const std::string& line, std::size_t first, std::size_t last) {
    const std::string text = columns(line, first, last);
    if (tarvo::trim(text).empty()) return 0.0;
    std::size_t used = 0;
    const double v = tarvo::readFreeNumber(text, &used);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

PathEvent headerEvent(const std::string& line) {
    PathEvent e;
    e.title = tarvo::trim(columns(line, 86, 145));
    e.deltaTSeconds = lastNumber(line);
    return e;
}

} // namespace

void unwrapLongitudes(std::vector<PathPoint>& points) {
    for (std::size_t i = 1; i < points.size(); ++i) {
        double& lon = points[i].mapLon;
        const double before = points[i - 1].mapLon;
        while (lon - before > 180) lon -= 360;
        while (lon - before < -180) lon += 360;
    }
}

PathFileLoad readPathFile(const std::filesystem::path& file, int thinning) {
    PathFileLoad load;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        load.missing = true;
        load.message = file.string() + " not found";
        return load;
    }
    const auto size = std::filesystem::file_size(file, ec);
    if (ec || size > kPathFileBytesLimit) {
        load.message = file.string() +
                       (ec ? " cannot be read"
                           : " is too large for a path file (" + std::to_string(size) + " bytes)");
        return load;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        load.message = file.string() + " cannot be read";
        return load;
    }
    load.ok = true;
    std::size_t recordInEvent = 0;
    const std::size_t keepEvery = static_cast<std::size_t>(std::max(thinning, 0)) + 1;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A header holds the whole event line of the search, as long as it
        // is, with Delta-T after it: it is read whole (up to a bound); point
        // lines end at their last field.
        if (line.size() > kHeaderLineLength) line.resize(kHeaderLineLength);
        if (tarvo::trim(line).empty()) continue;
        if (load.events.empty() || tarvo::readFreeNumber(line) == 0) {
            if (tarvo::readFreeNumber(line) == 0) {
                load.events.push_back(headerEvent(line));
                recordInEvent = 0;
                continue;
            }
            load.events.emplace_back(); // points without a header line first
        }
        if (line.size() > kPathLineLength) line.resize(kPathLineLength);
        const auto lon = field(line, 22, 31), lat = field(line, 32, 40), v = field(line, 41, 46);
        const auto a = field(line, 52, 59), b = field(line, 60, 67), c = field(line, 68, 75),
                   d = field(line, 76, 83);
        const bool complete = line.size() >= 40 && lon && lat && v && a && b && c && d;
        if (!complete || std::fabs(*lon) > 360 || std::fabs(*lat) > 90 ||
            std::fabs(*a) > kLargestWidthKm || std::fabs(*b) > kLargestWidthKm ||
            std::fabs(*c) > kLargestWidthKm || std::fabs(*d) > kLargestWidthKm) {
            ++load.skippedLines;
            continue;
        }
        PathEvent& event = load.events.back();
        if (recordInEvent++ % keepEvery != 0) continue;
        if (event.points.empty()) event.date = tarvo::trim(columns(line, 1, 12));
        PathPoint p;
        p.time = tarvo::trim(columns(line, 14, 21));
        p.mapLon = *lon + 180;
        p.mapColat = 90 - *lat;
        p.thetaDeg = 90 - *v;
        while (p.thetaDeg < 0) p.thetaDeg += 360;
        while (p.thetaDeg >= 360) p.thetaDeg -= 360;
        p.widthKm = *a;
        p.forwardKm = *b;
        p.backwardKm = *c;
        p.errorKm = *d;
        event.points.push_back(p);
    }
    for (PathEvent& e : load.events) unwrapLongitudes(e.points);
    if (load.skippedLines > 0)
        load.message = file.string() + ": " + std::to_string(load.skippedLines) +
                       " damaged point line(s) skipped";
    return load;
}

} // namespace umbravue
