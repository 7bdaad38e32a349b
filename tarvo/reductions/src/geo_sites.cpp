// GEOSITES.DAT: the location library of named sites.
#include "fileio/file_problem.h"
#include "fileio/text_util.h"
#include "tarvo/reductions/site_files.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <system_error>

namespace tarvo {

namespace {

constexpr std::size_t kLongestLine = 256;

std::string rightTrimmed(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' || text.back() == '\t'))
        text.remove_suffix(1);
    return std::string(text);
}

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

} // namespace

std::string formatGeoSiteLine(const GeoSite& s) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "%7.3f%8.3f%6d", s.latitudeDeg, s.longitudeDeg, s.heightM);
    return padded(s.name, 24) + " " + padded(s.region, 19) + " " + numbers;
}

std::optional<GeoSite> parseGeoSiteLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (line.size() < 60 || line.size() > kLongestLine) return std::nullopt;
    GeoSite s;
    s.name = rightTrimmed(line.substr(0, 24));
    s.region = rightTrimmed(line.substr(25, 19));
    const auto latitude = readWholeNumber(line.substr(45, 7));
    const auto longitude = readWholeNumber(line.substr(52, 8));
    if (s.name.empty() || !latitude || !longitude) return std::nullopt;
    if (std::fabs(*latitude) > 90.0 || std::fabs(*longitude) > 360.0) return std::nullopt;
    const std::string heightText = trim(line.substr(60));
    double height = 0.0;
    if (!heightText.empty()) {
        const auto h = readWholeNumber(heightText);
        if (!h || *h < -12000.0 || *h > 10000.0) return std::nullopt;
        height = *h;
    }
    s.latitudeDeg = *latitude;
    s.longitudeDeg = *longitude;
    s.heightM = static_cast<int>(std::lround(height));
    return s;
}

GeoSitesLoad readGeoSites(const std::filesystem::path& file) {
    GeoSitesLoad load;
    std::error_code error;
    const auto bytes = std::filesystem::file_size(file, error);
    if (error || !std::filesystem::is_regular_file(file)) {
        load.message = "Cannot read " + file.string();
        return load;
    }
    // Without read permission the file would read as an empty library.
    if (const std::string problem = readProblem(file); !problem.empty()) {
        load.message = file.string() + " " + problem;
        return load;
    }
    if (bytes > kGeoSitesFileBytesLimit) {
        load.message = file.string() + " is too large for a location library";
        return load;
    }
    std::ifstream in(file, std::ios::binary);
    std::string line;
    std::size_t lines = 0;
    while (std::getline(in, line)) {
        if (++lines > kGeoSitesLineLimit) {
            load.message = file.string() + ": only the first " + std::to_string(kGeoSitesLineLimit) + " lines were read";
            break;
        }
        if (trim(line).empty()) continue;
        if (auto s = parseGeoSiteLine(line)) load.sites.push_back(std::move(*s));
        else ++load.skippedLines;
    }
    if (load.skippedLines > 0 && load.message.empty())
        load.message = file.string() + ": " + std::to_string(load.skippedLines) + " damaged lines skipped";
    load.ok = true;
    return load;
}

std::vector<std::size_t> matchGeoSites(const std::vector<GeoSite>& sites, std::string_view answer) {
    const std::string wanted = rightTrimmed(upperCase(answer));
    std::vector<std::size_t> found;
    if (wanted.empty()) return found;
    std::vector<bool> taken(sites.size(), false);
    for (std::size_t i = 0; i < sites.size(); ++i)
        if (upperCase(sites[i].name) == wanted) {
            found.push_back(i);
            taken[i] = true;
        }
    for (std::size_t i = 0; i < sites.size(); ++i) {
        if (taken[i]) continue;
        const auto at = upperCase(sites[i].name).find(wanted);
        if (at != std::string::npos && at < 4) found.push_back(i);
    }
    return found;
}

} // namespace tarvo
