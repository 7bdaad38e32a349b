// The osculating-elements page of the run loop (key X): the elements of
// every body in the reductions' row layout, heliocentric (the Moon and
// satellites geocentric), referred to the J2000 ecliptic, display 0
// (a, longitude of perihelion, M0, period).
#pragma once

#include "tarvo/reductions/page_elements.h"
#include "tarvo/shell/run_settings.h"
#include "tarvo/shell/session.h"

#include <string>
#include <vector>

namespace tarvo {

/*
** elementsPageLines: rows 1 .. 26 of the elements page.
**
** Given:
**   s      session: body table in the equator of date of s.frame (Moon
**          geocentric), masses, integration state
**   run    Delta-T (the date line is in UT with it, TT without), time unit
**   auGm   astronomical unit of the data set, Gm
**   shown  per body: false leaves it out (hidden planets); may be short
** Returned:
**   title, legend, date line, column header and one row per body after the
**   Sun while they fit; the last row then counts the rest.
** Notes: states go to the J2000 equator (rotateToJ2000 of the frame epoch),
**   velocities from the table's step velocities (km/s); k is the Gaussian
**   constant scaled to the data set's solar mass, times the geocentric
**   factor for the Moon, and the body's own mass enters by its ratio to the
**   central mass.
*/
// The element row of body i (1 .. N) of the table, as described below.
ElementRow bodyElementRow(const Session& s, int i, long double auGm);

// The title line of the page at the current epoch.
std::string elementsTitle(const Session& s);

std::vector<std::string> elementsPageLines(const Session& s, const RunSettings& run, long double auGm,
                                           const std::vector<bool>& shown);

} // namespace tarvo
