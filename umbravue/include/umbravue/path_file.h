// Shadow-path files (*.OCC) as the eclipse and occultation search writes
// them. Each event starts with a header line: the path column heading, the
// event's line from column 85 (the title is columns 86-145) and Delta-T in
// seconds at its end. The event's points follow, one a line, in fixed
// columns: 1-12 date, 14-21 time (UT), 22-31 longitude (degrees, east
// positive), 32-40 latitude, 41-46 azimuth of the occulted body at the
// point (degrees, from the south through the west), 47-51 its altitude,
// 52-59 Wmin, 60-67 HWmin, 68-75 HWmax, 76-83 HWerr (km). A further header
// line (any line whose leading number is 0) starts the next event.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace umbravue {

struct PathPoint {
    std::string time;      // hh:mm:ss, the time label
    double mapLon = 0;     // longitude + 180 (0 to 360, east to the right; unwrapped across 360)
    double mapColat = 0;   // 90 - latitude (0 at the north pole)
    double thetaDeg = 0;   // direction in the graphics library's angles: 90 - azimuth, in [0, 360)
    double widthKm = 0;    // a: the shadow's width Wmin (negative: the umbra misses the ground)
    double forwardKm = 0;  // b: HWmin
    double backwardKm = 0; // c: HWmax
    double errorKm = 0;    // d: HWerr
};

struct PathEvent {
    std::string title; // columns 86-145 of the header, trimmed
    double deltaTSeconds = 0;
    std::string date; // of the event's first point, trimmed
    std::vector<PathPoint> points;
};

inline constexpr std::uintmax_t kPathFileBytesLimit = 64u << 20;
inline constexpr std::size_t kPathLineLength = 154;    // what a point line's fields fill
inline constexpr std::size_t kHeaderLineLength = 1024; // header lines are cut here

struct PathFileLoad {
    bool ok = false;               // false: nothing read (missing, oversized, unreadable)
    bool missing = false;          // the file does not exist
    std::vector<PathEvent> events; // in file order; events without points are kept
    std::size_t skippedLines = 0;  // points too short or out of range
    std::string message;           // empty, or what was wrong, naming the file
};

// Reads the file; `thinning` n keeps every (n+1)-th point of an event.
// Delta-T is read as the last number of the header line. A point line cut
// before its latitude, or whose longitude or latitude is out of range or
// not a number, is skipped and counted; widths beyond 40000 km are taken as
// damage and skipped too. Longitudes are made continuous from the event's
// first point, so a path across the antimeridian stays one piece (mapLon may
// run beyond 360 or below 0).
PathFileLoad readPathFile(const std::filesystem::path& file, int thinning);

// Makes the map longitudes of `points` continuous from the first point
// (each within 180 degrees of the one before).
void unwrapLongitudes(std::vector<PathPoint>& points);

} // namespace umbravue
