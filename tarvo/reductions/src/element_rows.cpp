// The elements page: title, legend, date and column lines, the row strings
// of the four displays in their screen and file masks, OSCEL.DAT records and
// the per-body element files.
#include "tarvo/reductions/page_elements.h"
#include "fileio/format_mask.h"

#include <cmath>
#include <cstdio>

namespace tarvo {

namespace {

// "* 0.000000"-style numbers: fixed decimals, right-aligned, blank filled.
std::string fixedRightAligned(long double value, int width, int decimals) {
    char text[96];
    std::snprintf(text, sizeof text, "%*.*Lf", width, decimals, value);
    return text;
}

std::string firstCharacters(const std::string& text, std::size_t count) {
    std::string s = text.substr(0, std::min(count, text.size()));
    s.resize(count, ' ');
    return s;
}

} // namespace

std::string periodField(long double period) {
    if (!(period > 0.0L) || period >= 9999999999.0L) return std::string(13, ' ');
    const char* mask = period < 100.0L     ? " ###.########"
                       : period < 1000.0L  ? " ####.#######"
                       : period < 10000.0L ? " #####.######"
                                           : " ##########.#";
    return formatMask(mask, period);
}

std::string elementRowText(ElementDisplay display, ElementForm form, const ElementRow& row) {
    const OsculatingElements& e = row.elements;
    const bool screen = form == ElementForm::Screen;
    std::string s;
    if (display == ElementDisplay::StateVector) {
        const char* positionMask = screen ? " #####.######## " : form == ElementForm::OscelDat ? " #####.########" : " ######.############";
        const char* velocityMask = screen ? "#####.#########" : form == ElementForm::OscelDat ? " ####.#########" : " #####.############";
        for (long double c : row.planeState.position) s += formatMask(positionMask, c);
        for (long double c : row.planeState.velocity) s += formatMask(velocityMask, c);
        return s;
    }
    // Lengths in AU, or in thousands of km for geocentric rows; periods in
    // years, or in days for geocentric rows.
    const long double lengthScale = row.geocentric ? row.astronomicalUnitGm * 1000.0L : 1.0L;
    const long double periodScale = row.geocentric ? 1.0L : 1.0L / 365.25L;
    const long double a = e.semiMajorAxis == parabolicSemiMajorAxis ? e.semiMajorAxis : e.semiMajorAxis * lengthScale;
    const long double period = orbitalPeriodDays(e) * periodScale;

    s += formatMask(screen ? "###.######## " : "###.######### ", e.eccentricity);
    const char* angleMask = screen ? "###.###### " : "###.####### ";
    s += formatMask(angleMask, e.inclination) + formatMask(angleMask, e.argumentOfPerihelion) +
         formatMask(angleMask, e.ascendingNode);

    switch (display) {
    case ElementDisplay::SemiMajorAxis: {
        const long double size = std::fabs(a);
        if (size < 1000.0L) s += formatMask(screen ? "####.########  " : "####.#########  ", a);
        else if (size < 10000.0L) s += formatMask(screen ? "#####.#######  " : "#####.########  ", a);
        else if (size < 1e7L) s += formatMask(screen ? "########.####  " : "########.#####  ", a);
        else s += std::string(screen ? 15 : 17, ' ');
        s += formatMask(screen ? "###.######  " : "###.#######  ", perihelionLongitude(e));
        s += screen ? fixedRightAligned(e.meanAnomaly, 11, 6) : fixedRightAligned(e.meanAnomaly, 12, 7);
        break;
    }
    case ElementDisplay::Perihelion: {
        s += formatMask(screen ? "###.######## " : "###.######### ", e.perihelionDistance * lengthScale);
        if (screen && row.isMoon) s += std::string(11, ' ');
        else s += formatMask(screen ? " ###.####  " : " ###.#####  ", tisserandParameter(e));
        const long double sincePerihelion = timeSincePerihelion(e); // JD - Tp, days
        const bool wide = sincePerihelion >= 100000.0L || sincePerihelion <= -1000000.0L;
        s += formatMask(wide ? (screen ? "########.####" : "#########.####") : (screen ? "######.######" : "#######.######"),
                        sincePerihelion);
        break;
    }
    case ElementDisplay::Moid: {
        const long double size = std::fabs(a);
        if (size < 10000.0L) s += formatMask(screen ? "####.########  " : "####.#########  ", a);
        else if (size < 1e7L) s += formatMask(screen ? "#######.#####  " : "#######.######  ", a);
        else s += std::string(screen ? 20 : 16, ' ');
        if (row.moid) {
            s += formatMask(row.moid->distance >= 0.01 ? " ###.######" : " #.########", row.moid->distance);
            if (row.moid->notConverged) s += "*";
            s += formatMask(screen ? "  ###.#####" : " ###.#####", row.moid->longitudeDeg);
        } else {
            s += std::string(22, ' ');
        }
        break;
    }
    case ElementDisplay::StateVector: break;
    }
    return s + periodField(period);
}

std::string elementTitleLine(const ElementPageTitle& t, long double julianDate) {
    std::string plane = t.plane == ReferencePlane::Equator    ? " Equator. "
                        : t.plane == ReferencePlane::Ecliptic ? " Ecliptic "
                        : t.plane == ReferencePlane::MeanPlane
                            ? " MeanPlane"
                            : " " + firstCharacters(t.centreName, 6) + "Orb";
    const std::string kind = t.barycentric ? " Barycentric" : " Osculating";
    const std::string equinox = t.fixedEquinoxYear != 0.0 ? "(" + formatMask("#####.#", t.fixedEquinoxYear) + ")"
                                : t.equinoxOfDate         ? "  (Date) "
                                                          : "(J2000.0)";
    return plane + kind + " Elements " + equinox + " at JD " + formatMask("#######.######  ", julianDate);
}

std::string elementLegendLine() { return " Elements in green are Geocentric, a/q in 1000Km, T0 in d "; }

std::string elementDateLine(const std::string& dateText, const std::string& timeText, int hundredths,
                            long double julianDate, int bodyCount, double step, const std::string& stepUnit) {
    std::string line = "Date:" + dateText + ":" + timeText + "." + formatMask("00", hundredths) + " JD :" +
                       formatMask("##########.######", julianDate);
    if (bodyCount <= 18) line += "Step :" + formatMask("#####.### ", step) + stepUnit.substr(0, 1);
    return line;
}

std::string elementColumnHeader(ElementDisplay display, const std::string& referenceName) {
    std::string h = "Body           ";
    if (display == ElementDisplay::StateVector)
        return h + " X               Y               Z              Vx             Vy             Vz";
    h += "e           i          w          Node        ";
    switch (display) {
    case ElementDisplay::SemiMajorAxis: h += "    a           ϖ          M0           T0"; break;
    case ElementDisplay::Perihelion: h += "  q          Tiss        JD-Tp          T0"; break;
    case ElementDisplay::Moid: h += "   a         " + firstCharacters(referenceName, 5) + " Moid    Long.        T0"; break;
    case ElementDisplay::StateVector: break;
    }
    return h;
}

std::string oscelRecord(double objectNumber, const std::string& name, const std::string& fileString) {
    return formatMask("#######  ", objectNumber) + firstCharacters(name, 9) + fileString;
}

std::vector<std::string> elementFileHeader(const std::string& titleLine, const std::string& name, RecordTimeUnit unit,
                                           ElementDisplay display, const std::string& referenceName) {
    const char* timeTitle = unit == RecordTimeUnit::JulianDate        ? "        JD  "
                            : unit == RecordTimeUnit::JulianYears     ? "        Jy  "
                            : unit == RecordTimeUnit::JulianCenturies ? "       JCy  "
                            : unit == RecordTimeUnit::JulianMillennia ? "       JMy  "
                                                                      : "      Date       ";
    std::string columns = timeTitle;
    if (display == ElementDisplay::StateVector) {
        columns += "               X                   Y                   Z                   Vx                 Vy"
                   "                  Vz";
    } else {
        columns += "            e            i           w          Node          ";
        columns += display == ElementDisplay::SemiMajorAxis ? "   a           Plon          M0          T0"
                   : display == ElementDisplay::Perihelion
                       ? " q           Tiss           JD-Tp       T0"
                       : "  a           " + firstCharacters(referenceName, 5) + "_Moid  Long          T0";
    }
    return {titleLine + " of " + name, "", columns};
}

std::string elementFileRecord(const std::string& timeColumn, const std::string& fileString) {
    return timeColumn + fileString;
}

} // namespace tarvo
