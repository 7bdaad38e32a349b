// GEOLOC.CRD: the observing site as start-up reads it.
#include "fileio/text_util.h"
#include "tarvo/reductions/site_files.h"

#include <cmath>
#include <fstream>

namespace tarvo {

namespace {

// The file holds two short lines; anything larger is not one of ours.
constexpr std::uintmax_t kMaxSiteFileBytes = 1 << 20;

bool readLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

} // namespace

SiteFileStatus readSiteFile(const std::filesystem::path& file, SiteRecord& site,
                            std::string& message) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        message = "cannot read " + file.string();
        return SiteFileStatus::Unreadable;
    }
    if (size > kMaxSiteFileBytes) {
        message = file.string() + " is too large (" + std::to_string(size) + " bytes)";
        return SiteFileStatus::Damaged;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        message = "cannot open " + file.string();
        return SiteFileStatus::Unreadable;
    }
    std::string line;
    if (!readLine(in, line)) {
        message = file.string() + " is empty";
        return SiteFileStatus::Damaged;
    }
    // Files written before the longitude field was widened hold a west
    // longitude beyond -100 as "%-120.500000", the mark of an overflowing
    // field: the number after the mark is whole and reads as it stands.
    for (char& c : line)
        if (c == '%') c = ' ';
    int nonNumeric = 0;
    const auto v = readFreeNumbers(line, &nonNumeric);
    if (v.size() < 3 || nonNumeric > 0) {
        message = file.string() + " line 1: latitude, longitude and height expected";
        return SiteFileStatus::Damaged;
    }
    if (!(std::fabs(v[0]) <= 90) || !(std::fabs(v[1]) <= 360) || !std::isfinite(v[2])) {
        message = file.string() + " line 1: latitude or longitude out of range";
        return SiteFileStatus::Damaged;
    }
    SiteRecord read;
    read.latitudeDeg = v[0];
    read.longitudeDeg = v[1];
    read.heightM = v[2];
    if (readLine(in, line)) read.label = trim(line);
    site = std::move(read);
    return SiteFileStatus::Read;
}

} // namespace tarvo
