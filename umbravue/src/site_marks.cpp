#include "umbravue/site_marks.h"

#include "fileio/text_util.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace umbravue {

namespace {

// One number field at `pos` (blanks and one comma before it skipped).
bool nextNumber(const std::string& line, std::size_t& pos, double& value) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos < line.size() && line[pos] == ',') ++pos;
    std::size_t used = 0;
    value = tarvo::readFreeNumber(std::string_view(line).substr(pos), &used);
    if (used == 0 || !std::isfinite(value)) return false;
    pos += used;
    return true;
}

} // namespace

SitesLoad readSiteMarks(const std::filesystem::path& file) {
    SitesLoad load;
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        load.message = file.string() + " not found: no sites are marked";
        return load;
    }
    if (size > kSitesFileBytesLimit) {
        load.message = file.string() + " is too large for a sites file (" + std::to_string(size) +
                       " bytes): no sites are marked";
        return load;
    }
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::getline(in, line); // heading
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (tarvo::trim(line).empty()) continue;
        std::size_t pos = 0;
        double lat = 0, lon = 0, radius = 0;
        if (!nextNumber(line, pos, lat) || !nextNumber(line, pos, lon) ||
            !nextNumber(line, pos, radius) || std::fabs(lat) > 90 || lon < -180 || lon > 360) {
            ++load.skippedLines;
            continue;
        }
        if (load.sites.size() >= kSitesLimit) {
            load.message = file.string() + ": only the first " + std::to_string(kSitesLimit) +
                           " sites are marked";
            break;
        }
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t' || line[pos] == ','))
            ++pos;
        SiteMark site{lat, lon > 180 ? lon - 360 : lon,
                      static_cast<int>(std::lround(std::clamp(radius, 0.0, 50.0))),
                      tarvo::trim(line.substr(std::min(pos, line.size())))};
        if (site.name.size() > 40) site.name.resize(40);
        load.sites.push_back(std::move(site));
    }
    if (load.skippedLines > 0 && load.message.empty())
        load.message = file.string() + ": " + std::to_string(load.skippedLines) +
                       " line(s) without a latitude, longitude and radius skipped";
    return load;
}

} // namespace umbravue
