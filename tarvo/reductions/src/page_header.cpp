// Header and time lines of the ephemeris page.
#include "tarvo/reductions/ephemeris_tables.h"
#include "tarvo/reductions/time_scales.h"
#include "fileio/format_mask.h"

#include <cmath>
#include <numbers>

namespace tarvo {

namespace {
constexpr double kDegrees = 180.0 / std::numbers::pi;
}

HeaderStrings headerStrings(const PageSettings& s) {
    HeaderStrings h;
    switch (s.centre) {
    case CentreKind::Geocentric: h.centre = "Geocentric  "; break;
    case CentreKind::Heliocentric: h.centre = "Heliocentric "; break;
    case CentreKind::Topocentric: h.centre = "Topocentric "; break;
    case CentreKind::BodyCentric: h.centre = s.centreBodyName + "Centric "; break;
    }
    h.kind = s.orthogonal ? "Orthogonal " : "  Angular  ";
    h.frame = s.frame == CoordinateFrame::Ecliptic     ? " Ecliptic  "
              : s.frame == CoordinateFrame::Equatorial ? "Equatorial "
                                                       : "Horizontal ";
    h.trueOrMean = s.nutation ? "True " : "Mean ";
    if (!s.precession) h.equinox = "of J2000";
    else if (s.referenceYear != 0.0) h.equinox = "of " + formatMask("#####", s.referenceYear);
    else h.equinox = "of Date ";
    h.correction = !s.lightTime   ? " (Geometric Positions)  "
                   : !s.aberration ? " (Corrected for Light-time) "
                                   : " (Corrected for Aberr. & L-time)";
    const bool geocentric = s.centre == CentreKind::Geocentric;
    const bool equatorial = s.frame == CoordinateFrame::Equatorial;
    if (s.centre == CentreKind::Heliocentric || s.centre == CentreKind::BodyCentric)
        h.note = "  - Moon is Geocentric -   ";
    else if (geocentric && equatorial && s.nutation && s.lightTime && s.aberration)
        h.note = " - Apparent Coordinates -  ";
    else if (geocentric && equatorial && !s.precession && s.lightTime && !s.aberration)
        h.note = "- Astrometric Coordinates -";
    h.model = std::string(reductionModelLabel(s.model));
    return h;
}

std::string siteLine(const ObserverSite& site) {
    const double lat = site.latitude * kDegrees, lon = site.longitude * kDegrees;
    return "Lat =" + formatMask("###.###", std::fabs(lat)) + (lat < 0 ? "S" : "N") + "   Lon =" +
           formatMask("####.###", std::fabs(lon)) + (lon < 0 ? "W" : "E") + "   Alt =" +
           formatMask("######", site.heightGm * 1e9) + " m     " + site.label;
}

std::vector<std::string> headerLines(const PageSettings& s, const ObserverSite& site) {
    const HeaderStrings h = headerStrings(s);
    std::vector<std::string> lines;
    lines.push_back(h.centre + h.kind + h.frame + "Coordinates " + h.trueOrMean + "Equinox " + h.equinox + "  " +
                    s.dataSetName);
    lines.push_back(h.correction + "  " + h.note + "  " + h.model);
    if (s.centre == CentreKind::Topocentric) lines.push_back(siteLine(site));
    return lines;
}

std::string timeLine(const PageSettings& s, const ObserverSite& site, const PageTime& time) {
    const bool local = s.frame == CoordinateFrame::Horizontal;
    const long double ut = time.t - (s.deltaTOn ? time.deltaTDays : 0.0L);
    const CalendarTime c = daysToCalendar(ut + 0.5L, local, site.longitude);
    const std::string label = local ? "LT:" : s.deltaTOn ? "UT:" : "TT:";
    std::string line = label + c.dateText + ": " + c.timeText + "." + std::to_string(c.millisecond / 100);
    line += "  Step=" + formatMask(std::fabs(time.stepDays) < 1.0L ? "##.#####" : "####.###", time.stepDays);
    const long double jd = ut + kJulianDateJ2000;
    // The weekday of the instant as the line shows it (to the millisecond):
    // a midnight reached as TT - Delta-T may fall a few nanoseconds short.
    const long double shownJd = std::round(jd * 86400000.0L) / 86400000.0L;
    line += "  JD:" + formatMask("#########.#######  ", jd) + std::string(weekdayName(dayOfWeek(shownJd)));
    if (s.deltaTOn) {
        line += std::string(s.centre == CentreKind::Topocentric ? "  LST:" : "  GST:") +
                formatSiderealTime(time.siderealTime);
        line += "  DeltaT =" + formatMask("########.# s", time.deltaTDays * kSecondsPerDay);
    }
    return line;
}

} // namespace tarvo
