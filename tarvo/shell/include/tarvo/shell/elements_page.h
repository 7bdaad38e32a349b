// The osculating-elements page of the run loop (key X): the elements of
// every body in the reductions' row layout, heliocentric (the Moon and
// satellites geocentric), in one of four displays and four reference
// planes, with its key menu, the OSCEL.DAT dump and the element records of
// the bodies' files.
#pragma once

#include "tarvo/reductions/ephemeris_tables.h"
#include "tarvo/reductions/page_elements.h"
#include "tarvo/shell/run_settings.h"
#include "tarvo/shell/session.h"

#include <string>
#include <vector>

namespace tarvo {

// Body rows on the 27-row page: rows 5 .. 22; the key menu fills 23 .. 27.
inline constexpr int kElementBodyRows = 18;

struct ElementsPageBody {
    int index = 0;    // in the body table, 1 .. N
    std::string name; // 9 characters; "EMbaryc  " for the Earth-Moon barycentre
    double objectNumber = 0;
    bool shown = true; // hidden bodies are dim, get no MOID and no file records
    ElementRow row;
};

struct ElementsPage {
    ElementDisplay display = ElementDisplay::SemiMajorAxis;
    std::string title;                    // row 1
    std::string dateLine;                 // row 3
    std::string referenceName;            // the MOID reference body
    long double julianDate = 0;           // TT
    std::string dateText, timeText;       // TT
    std::vector<ElementsPageBody> bodies; // 1 .. N
};

/*
** assembleElementsPage: the elements of every body at the current step.
**
** Given:
**   s      session: body table in the equator of date of s.frame (Moon and
**          satellites geocentric), masses, integration state
**   run    the page's settings (display, plane, equinox, barycentre), the
**          centre body, the reference equinox and the time unit
**   auGm   astronomical unit of the data set, Gm
** Returned: title, date line and one row per body after the Sun.
** Notes: states are heliocentric (geocentric for the Moon and satellites)
**   in the J2000 equator, or the mean equator of the date (of the reference
**   year when one is chosen) with the equinox-of-date switch; the ecliptic is
**   then the one of that epoch.  k is the Gaussian constant scaled to the
**   data set's solar mass (times the geocentric factor for geocentric rows);
**   the mass ratio is m/m_Sun for major bodies, m_Moon/m_Earth for the Moon,
**   (m_Earth + m_Moon)/m_Sun for the barycentre and 0 for minor bodies.  The
**   orbit plane is that of the centre body (the Earth's when no centre is
**   set; the ecliptic when the centre is the Moon), the mean plane that of
**   the major bodies' angular momentum.  MOID (display 2) against the centre
**   body in plane 1 with a centre set, the Earth otherwise, for shown
**   heliocentric rows in planes 0 and 1.
*/
ElementsPage assembleElementsPage(const Session& s, const RunSettings& run, long double auGm);

// Rows 1 .. 4 and one row per body while they fit (kElementBodyRows).
std::vector<std::string> elementsPageLines(const ElementsPage& page);

// OSCEL.DAT: one record per body, shown or not.
std::string oscelText(const ElementsPage& page);

// The lines a body's file receives at this step: the three header lines
// first when `headers`, then the record (time column in `unit`, TT).
std::vector<std::string> elementFileLines(const ElementsPage& page, const ElementsPageBody& body,
                                          RecordTimeUnit unit, bool headers);

// ---- the key menu ------------------------------------------------------------

// Plane 1 needs a centre body: planet-centric about a body, not the fixed point.
bool centreBodySet(const RunSettings& run);

// Q: plane 2 -> 1 -> 0 -> -1 -> 2, plane 1 skipped without a centre body.
void stepReferencePlane(ElementPageSettings& settings, bool centreSet);

enum class ElementKeyAction { nextStep, redraw, leave, fileOutput, dump, help };

// What a key (or the key of a clicked menu line) does on the elements page;
// toggles are applied to `run` here. `hasMoon`: the data set has a Moon.
ElementKeyAction elementsPageKey(int key, RunSettings& run, bool hasMoon);

struct ElementMenuLine {
    int row, col;
    char key;
    std::string text;
};
// The key menu under the rows (E only with a Moon), in screen order.
std::vector<ElementMenuLine> elementMenuLines(bool hasMoon);
// The key of the menu line under a click, or 0.
int elementMenuKeyAt(int row, int col, bool hasMoon);

// Help records of the page (HELP4.HLP), one per key of this string.
inline constexpr const char* kElementPageKeys = "&BEQFMD ";

} // namespace tarvo
