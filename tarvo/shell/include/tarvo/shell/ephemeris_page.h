// The ephemeris page of the run loop: the display copies of the body table
// (relative to the chosen centre, corrected for light-time and aberration,
// in the output frame) and the lines of the page and of the output records
// made from them with the reductions' table functions.
#pragma once

#include "tarvo/reductions/ephemeris_tables.h"
#include "tarvo/reductions/places.h"
#include "tarvo/shell/file_output.h"
#include "tarvo/shell/run_settings.h"
#include "tarvo/shell/session.h"

#include <string>
#include <vector>

namespace tarvo {

inline constexpr int kPageColumns = 108;
inline constexpr int kPageRows = 27;

// One body of the page, everything in double precision.
struct PageBody {
    int index = 0;
    std::string name;           // 9 characters
    bool centre = false;        // the page's centre: no numbers
    PlaceVector position{};     // corrected, relative to the observer, output frame, Gm
    PlaceVector velocity{};     // Gm/day
    double trueDistanceGm = 0;  // geometric distance from the observer
    SphericalAngles angles;     // α, δ (λ, β), output frame
    AngleRates rates;
    HorizontalRow horizontal;   // horizontal coordinates only
};

struct EphemerisPage {
    PageSettings settings;
    ObserverSite site;
    PageTime time;
    double astronomicalUnitGm = 149.5978707;
    int centreIndex = 0;
    std::vector<PageBody> bodies; // 0 .. N of the table
};

/*
** assembleEphemerisPage: the display copies of the current step.
**
** Given:
**   s      session: body table (equator of date of the frame epoch s.frame,
**          Moon geocentric), integration state, toggles, site, precession table
**   run    display-only switches of the run (centre, topocentric, equinox,
**          precession state, Delta-T, velocities)
**   auGm   astronomical unit of the data set, Gm
** Returned:
**   (function) page settings, time, and one PageBody per body of the table
** Notes:
**   Centre: the Sun, the Earth (plus the site vector when topocentric) or the
**   planet-centric body; the Moon is always seen from the Earth (and site).
**   Light-time and aberration are the first-order corrections of
**   lightTimeCorrected, with accelerations of the point masses of the Sun
**   and the massive bodies.  The corrected copies go from the frame epoch
**   to J2000 and on to the output frame: J2000 with precession off or J2000
**   chosen; the mean equator of a reference year; otherwise the equator of
**   the output epoch, true (63-term nutation) when nutation is on.
*/
EphemerisPage assembleEphemerisPage(const Session& s, const RunSettings& run, long double auGm);

// The centre of the page: 0 the Sun, the Earth's index (geocentric,
// topocentric, horizontal), a planet-centric body, or -1 for the fixed point.
int pageCentre(const Session& s, const RunSettings& run);
// The page's settings for that centre (the header, the corrections, the frame).
PageSettings pageSettings(const Session& s, const RunSettings& run, int centre);

// The table row of one body (with its name) as the page shows it; for the
// orthogonal table with velocities the second line holds the velocities.
std::vector<std::string> bodyRows(const EphemerisPage& page, const PageBody& body);

/*
** ephemerisPageLines: rows 1 .. kPageRows - 1 of the page (the run loop
** puts its key line on the last row).
**
** Header lines, the time line, a blank, the table header(s) and the bodies
** in table order, hidden planets left out.  When the bodies need more rows
** than are left, the page shows as many as fit and its last line says how
** many more there are (file output writes them all).
*/
std::vector<std::string> ephemerisPageLines(const EphemerisPage& page,
                                            const std::vector<bool>& shown);

// ---- output records ------------------------------------------------------------

RecordTimeUnit recordTimeUnit(TimeRecording recording);
// The time column of a record (the page's time scale: UT with Delta-T, TT without).
std::string pageRecordTime(const EphemerisPage& page, RecordTimeUnit unit);
// OUTPUT.LOG's opening lines; empty when the quantities are not angular.
std::vector<std::string> outputLogOpening(const EphemerisPage& page);
// A body's record for its ".OUT" file: the time, then the fields of its row;
// in horizontal coordinates the file is a listing of the body in its own
// layout (horizontalListingRecord).
std::string bodyRecord(const EphemerisPage& page, const PageBody& body, RecordTimeUnit unit);
// Header line of a new ".OUT" file (orthogonal records and horizontal
// listings; empty for angular records).
std::string bodyFileHeader(const EphemerisPage& page, RecordTimeUnit unit);

// Header name of data set 1 .. 10.
std::string dataSetLabel(int dataSet);

} // namespace tarvo
