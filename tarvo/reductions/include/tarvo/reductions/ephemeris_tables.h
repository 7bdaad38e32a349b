// The ephemeris page and its output records: header and time lines, the
// angular, orthogonal and horizontal tables, OUTPUT.LOG and the per-body
// ".OUT" files.  Every function here turns numbers into the lines of the
// page or of a file; the run loop draws them and appends them to files.
//
// Numbers go through the suite's format masks (tarvo/shell/format_mask.h):
// a value too wide for its mask is written whole after a "%".
#pragma once

#include "tarvo/reductions/iau_reductions.h"
#include "tarvo/reductions/places.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

enum class CentreKind { Heliocentric, Geocentric, Topocentric, BodyCentric };
enum class CoordinateFrame { Ecliptic, Equatorial, Horizontal };
enum class RecordTimeUnit { Calendar, JulianDate, JulianYears, JulianCenturies, JulianMillennia };

// The display settings the page reads (set by the keys of the run loop).
struct PageSettings {
    CentreKind centre = CentreKind::Geocentric;
    std::string centreBodyName; // BodyCentric: the 9-character name
    bool orthogonal = false;
    CoordinateFrame frame = CoordinateFrame::Equatorial;
    bool precession = true;
    bool nutation = true;
    double referenceYear = 0.0; // 0: equinox of date
    bool lightTime = true;
    bool aberration = true;
    bool decimalUnits = false;
    bool showVelocity = false;
    bool distancesInAu = true;
    bool deltaTOn = true;       // Delta-T not Off: times are UT
    std::string dataSetName;    // "DE431M" ...
    ReductionModel model = ReductionModel::iau2006; // the model in effect (named in the header)
};

// The header strings of the page (rebuilt when a setting changes).
struct HeaderStrings {
    std::string centre;     // "Geocentric  ", "Heliocentric ", "Topocentric ", name + "Centric "
    std::string kind;       // "Orthogonal " or "  Angular  "
    std::string frame;      // " Ecliptic  ", "Equatorial " or "Horizontal "
    std::string trueOrMean; // "True " or "Mean "
    std::string equinox;    // "of Date ", "of " + year, "of J2000"
    std::string correction; // " (Geometric Positions)  " ...
    std::string note;       // " - Apparent Coordinates -  ", "- Astrometric Coordinates -",
                            // "  - Moon is Geocentric -   " or empty
    std::string model;      // "IAU 2006/2000A" or "1980 nutation"
};
HeaderStrings headerStrings(const PageSettings& settings);

// Header lines of the page: line 1 the coordinates and equinox with the data
// set, line 2 the correction state, the note and the reduction model; in
// topocentric mode a third line with the site.
std::vector<std::string> headerLines(const PageSettings& settings, const ObserverSite& site);
// "Lat = 51.478N   Lon =   0.002W   Alt =    46 m     Greenwich"
std::string siteLine(const ObserverSite& site);

// The instant of the time line.
struct PageTime {
    long double t = 0.0L;          // TT day count
    long double deltaTDays = 0.0L; // ΔT (0 when Delta-T is off)
    long double stepDays = 1.0L;   // integration step (signed)
    double siderealTime = 0.0;     // GST, or LST in topocentric mode, radians
};
// "UT:   2024/04/08: 18:00:00.0  Step= 0.10000JD: 2460409.2500000  Mon  GST:07:11:37.1  DeltaT =      69.2 s"
std::string timeLine(const PageSettings& settings, const ObserverSite& site, const PageTime& time);

// ---- the angular table ------------------------------------------------------------

std::string angularHeader(const PageSettings& settings);

// One body of the angular table (equatorial or ecliptic).
struct AngularRow {
    std::string name;          // 9 characters
    SphericalAngles angles;    // α, δ (or λ, β), radians
    double trueDistanceGm = 0; // geometric distance
    AngleRates rates;          // used when velocities are shown
};
std::string angularRow(const PageSettings& settings, const AngularRow& row, double astronomicalUnitGm);

// Sexagesimal texts: hours (or degrees) of a positive angle, "18 26 42.1234"
// with the seconds' decimals given; signed degrees "+23 26 21.448".
std::string sexagesimalHours(double radians, int secondDecimals);
std::string sexagesimalDegrees(double radians, int secondDecimals, bool explicitSign);

// ---- the horizontal table ---------------------------------------------------------

struct HorizontalRow {
    std::string name;
    HorizontalPlace place;
    PhaseAndMagnitude phase;
    std::string rise, transit, set; // riseSetText
};
std::string horizontalHeader();
std::string horizontalRow(const HorizontalRow& row);
// The listing of one body in horizontal coordinates (its ".OUT" file): the
// header line and one record, the time column in the listing's own masks
// (calendar date and time, or JD, Jy, JCy, JMy from J2000) and the fields
// in the order azimuth, altitude, phase, magnitude, elongations, events.
std::string horizontalListingHeader();
std::string horizontalListingRecord(const std::string& timeColumn, const HorizontalRow& row);

// ---- the orthogonal table ---------------------------------------------------------

struct OrthogonalRow {
    std::string name;
    PlaceVector position{}; // Gm
    PlaceVector velocity{}; // Gm/day
};
std::string orthogonalHeader(bool distancesInAu);
std::string orthogonalRow(const OrthogonalRow& row, bool distancesInAu, double astronomicalUnitGm);
// The velocity table: km/s when the distances are in AU, Gm/day otherwise.
std::string orthogonalVelocityHeader(bool distancesInAu);
std::string orthogonalVelocityRow(const OrthogonalRow& row, bool distancesInAu);

// ---- output records -----------------------------------------------------------------

// The time column of a record in the chosen unit.
std::string recordTime(RecordTimeUnit unit, long double julianDate, const std::string& dateText,
                       const std::string& timeText);
// The time column of a horizontal listing (one more decimal than recordTime).
std::string listingTime(RecordTimeUnit unit, long double julianDate, const std::string& dateText,
                        const std::string& timeText);

// A record of the angular or horizontal output: the time column followed by
// the fields of the screen row (the row without its 10-character name column).
std::string recordLine(const std::string& timeColumn, const std::string& screenRow);

// OUTPUT.LOG's opening lines (two header lines, a blank, the date line, a blank).
std::vector<std::string> outputLogHeader(const PageSettings& settings, const std::string& dateText,
                                         std::string_view timeLabel, const std::string& timeText);

// Per-body orthogonal files: the column header and one record.
std::string orthogonalFileHeader(RecordTimeUnit unit);
std::string orthogonalFileRecord(const std::string& time, const OrthogonalRow& row, bool distancesInAu,
                                 double astronomicalUnitGm);

/*
** outputFileNames: the ".OUT" file of each body.
**
** Given:   the 9-character names of the bodies, in table order
** Returned: one file name per body: the first 8 characters, trimmed and
**          upper-cased, + ".OUT"; characters that cannot stand in a file
**          name ("/", "\", control characters and the like) become "_", an
**          empty name becomes "BODY", and a name already taken by an earlier
**          body gets "_" + its body number (repeated until free), so that
**          two bodies never share a file.  Depends only on the list, so
**          every page gives the same names.
*/
std::vector<std::string> outputFileNames(const std::vector<std::string>& names);

// Appends lines (CR LF) to a file, opened and closed here; false with a
// message naming the file when it cannot be written.
bool appendLines(const std::string& path, const std::vector<std::string>& lines, std::string& message);

} // namespace tarvo
