// The shadow-path files (*.OCC) of the eclipse and occultation searches:
// their names, the UT grid of a track's points, the lines of the files, and
// the files of an earlier search. What the path mapper reads.
#pragma once

#include "tarvo/events/shadow_point.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tarvo {

// The column header of the paths (83 characters).
inline constexpr const char* kPathColumnHeader =
    "     Date       UT       long     lat    azim   alt    Wmin   HWmin   HWmax   HWerr";
// Target number of points over a whole passage of the shadow.
inline constexpr int kPathPointsGeocentric = 100;
inline constexpr int kPathPointsTopocentric = 400;

// The counter of the solar-eclipse files after one more eclipse: it counts
// from 1 and loses 1000 whenever it would pass 9999.
int nextPathCounter(int counter);
// "SuMo0001.OCC" for counter 1 (four digits; 0 .. 9999).
std::string solarEclipseFileName(int counter);

/*
** occultationFileName: the file of an occultation of one body by another,
** from their 9-character name fields: the first 7 characters of the
** occulting body's name (characters 5 to 11, the name after the number,
** when it begins with a number), the first 4 of the occulted body's (again
** characters 5 to 11 after a number), blanks trimmed, then ".OCC". Any
** character that is not a letter, a digit, '-' or '_' becomes '_' (comet
** names carry '/'), and an empty result is "OCC". `serial` above 1 adds
** "_2", "_3", ... so that two events of one pair in one search keep their
** own files.
*/
std::string occultationFileName(const std::string& occultingName, const std::string& occultedName,
                                int serial = 1);

// The UT grid of a track: points `spacingMinutes` apart, `perSide` on each
// side of the event's UT rounded to 1/K minute.
struct PathGrid {
    int K = 1;        // points are aligned to 1/K minute of the day
    long M = 1;       // spacing is M/K minutes
    long perSide = 0; // points on each side of the centre
    long double spacingMinutes = 1.0L;
};

/*
** pathGrid: the grid for a passage of half-duration T (days) and a target
** number of points. K runs through 1, 2, 3, 4, 6, 12, 15, 30, 60, then
** doubles; the first K with M = INT(2880 T K / points) >= 1 is taken, and
** perSide = INT(2880 T K / M + 1). A half-duration that is not finite and
** positive gives perSide = 0 (no points).
*/
PathGrid pathGrid(long double halfDurationDays, int points);

// The centre of the grid: the UT day count rounded to the nearest 1/K
// minute of the day.
long double gridCentreUT(long double ut, int K);

/*
** occHeaderLine: the first line of a .OCC file: the column header, a blank,
** the event's line (from column 85), blanks up to column 145 whenever the
** event line is shorter than 60 characters (so that Delta-T always starts
** at column 146), then Delta-T in seconds with " ######.#".
*/
std::string occHeaderLine(const std::string& eventLine, long double deltaTSeconds);

// One point of a track: UT date (year in 6 characters) and time, longitude,
// latitude, azimuth, altitude, Wmin, HWmin, HWmax, HWerr.
std::string occPointLine(long double ut, const ShadowPoint& point);

/*
** insideGeographicWindow: whether a track point (degrees, east positive)
** lies in the window of radius W degrees around the site: |phi - phi_site|
** <= W and cos(phi_site) |lambda - lambda_site| <= W, the longitude
** difference taken across the shorter way round (a site at 179 E sees a
** point at 179 W two degrees away).
*/
bool insideGeographicWindow(long double lonDeg, long double latDeg, long double siteLonDeg,
                            long double siteLatDeg, long double windowDeg);

// The .OCC files of `dir`, sorted by name.
std::vector<std::filesystem::path> existingPathFiles(const std::filesystem::path& dir);

// The warning before a search deletes the .OCC files of an earlier one:
// lists them and asks Y or N. True when there are none or the user agrees.
bool pathFilesMayGo(const std::filesystem::path& dir);

// Deletes every .OCC file of `dir` (TMP.OCC first created, as the mapper's
// pattern always matches one file); false with a message when one stays.
bool deletePathFiles(const std::filesystem::path& dir, std::string& message);

} // namespace tarvo
