// SITES.CRD: the sites the path mapper marks on its maps. A heading line,
// then one site a line: latitude, longitude (degrees, north and east
// positive), marker radius (pixels), name (the rest of the line), the
// fields separated by commas or blanks.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace umbravue {

struct SiteMark {
    double latDeg = 0, lonDeg = 0;
    int radiusPx = 2;
    std::string name;
};

inline constexpr std::uintmax_t kSitesFileBytesLimit = 4u << 20;
inline constexpr std::size_t kSitesLimit = 100000;

struct SitesLoad {
    std::vector<SiteMark> sites;
    std::size_t skippedLines = 0; // not three numbers, or out of range
    std::string message;          // empty, or what was wrong, naming the file
};

// Reads the sites; a missing, oversized or unreadable file gives none and a
// message. Lines whose first three fields are not numbers, or whose
// latitude or longitude is out of range, are skipped and counted; radii are
// kept within 0 to 50 pixels and names to 40 characters.
SitesLoad readSiteMarks(const std::filesystem::path& file);

} // namespace umbravue
