// The spatial records of MINDIST.DAT (see close_approach_record.h).
#include "close_approach_record.h"

#include "fileio/format_mask.h"
#include "fileio/text_output.h"
#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/time_scales.h"

#include <cmath>
#include <numbers>

namespace tarvo {

namespace {

constexpr long double kDegree = 180.0L / std::numbers::pi_v<long double>;

// -log10 |q|, 99.99 for 0 and never more than 99.99.
long double minusLog(long double q) {
    if (q == 0.0L || !std::isfinite(static_cast<double>(q))) return 99.99L;
    return std::min(99.99L, -std::log10(std::fabs(q)));
}

} // namespace

std::vector<std::string> spatialHeader(bool farthest, bool adaptive, bool ecliptic) {
    std::string title = farthest ? "  Conditions of maximum spatial distance"
                                 : "  Conditions of minimum spatial distance";
    if (adaptive) title += ", Adaptive stepsize ON";
    const std::string frame =
        ecliptic ? "  Heliocentric positions, ecliptic longitude and latitude of date; times TT"
                 : "  Heliocentric positions, right ascension and declination of date; times TT";
    const std::string l1 = ecliptic ? "Lon" : " RA", l2 = ecliptic ? "Lat" : "Dec",
                      l3 = ecliptic ? "Lat2" : "Dec2";
    const std::string columns = "   #1      #2        Date       TT           JD2000       Dm (Gm) "
                                "  V(km/s)  pImp  pDefl     pDa    pDn  Err(Gm)    " +
                                l1 + "  (°) " + l2 + "      " + l3 + "    r1    (AU)  r2  ";
    return {title, frame, columns};
}

std::string bodyColumn(const BodyTable& table, int i) {
    const double number = table.objectNumber[static_cast<std::size_t>(i)];
    if (number >= 1.0 && number < 1e6 && number == std::floor(number))
        return formatMask("###### ", number);
    return formatMask("#####", i) + "C ";
}

std::string spatialRecord(const SpatialRecordContext& c, const SpatialEvent& ev, const Encounter& q,
                          const std::array<long double, 3>& r1,
                          const std::array<long double, 3>& r2, long double stepLength,
                          bool shortened) {
    const BodyTable& t = *c.table;
    const auto ia = static_cast<std::size_t>(ev.a), ib = static_cast<std::size_t>(ev.b);
    // The warning mark has a column of its own, after the first body.
    std::string line = bodyColumn(t, ev.a) + (ev.warning ? "*" : " ") + bodyColumn(t, ev.b);
    const CalendarTime when = daysToCalendar(ev.time + 0.5L);
    line += when.dateText + " " + when.timeText + " ";
    line += formatMask("##########.##### ", ev.time);
    const bool earthMoon = (ev.a == t.layout.earthIndex && ev.b == t.layout.moonIndex) ||
                           (ev.b == t.layout.earthIndex && ev.a == t.layout.moonIndex);
    line += formatMask(" ####.###### ", ev.distance * (earthMoon ? 1000.0L : 1.0L));
    std::array<long double, 3> dv;
    for (std::size_t k = 0; k < 3; ++k) dv[k] = ev.stateB.v[k] - ev.stateA.v[k];
    const long double speed =
        std::sqrt(dv[0] * dv[0] + dv[1] * dv[1] + dv[2] * dv[2]) / kmPerSecondToGmPerDay;
    line += formatMask("###.#### ", speed);
    const long double radii = static_cast<long double>(t.radius[ia]) + t.radius[ib];
    line += formatMask("##.## ", std::log10(ev.distance / (radii + 1e-24L)));
    line += formatMask("###.## ", minusLog(q.q3));
    line += q.bound ? " b" : (q.q1 < 0.0L ? " -" : " +");
    line += formatMask("###.## ", minusLog(q.q1));
    line += formatMask("###.## ", minusLog(q.q2));
    const long double years = std::fabs(ev.time - c.libraryEpoch) / 365.25L;
    const long double s1 = (years * t.A3[ia] + t.A2[ia]) / 1e6L;
    const long double s2 = (years * t.A3[ib] + t.A2[ib]) / 1e6L;
    line += formatMask("#.###### ", std::sqrt(s1 * s1 + s2 * s2));
    // Equator of the frame to the ecliptic (or left in the equator).
    auto angles = [&](const std::array<long double, 3>& r, long double& lon, long double& lat) {
        long double x = r[0], y = r[1], z = r[2];
        if (c.ecliptic) {
            const long double ye = c.cosObliquity * y + c.sinObliquity * z;
            z = -c.sinObliquity * y + c.cosObliquity * z;
            y = ye;
        }
        lon = std::atan2(y, x) * kDegree;
        if (lon < 0.0L) lon += 360.0L;
        lat = std::atan2(z, std::sqrt(x * x + y * y)) * kDegree;
    };
    long double lon1, lat1, lon2, lat2;
    angles(r1, lon1, lat1);
    angles(r2, lon2, lat2);
    line += formatMask("###.#### ", lon1) + formatMask("###.#### ", lat1) +
            formatMask("###.#### ", lat2);
    const auto length = [](const std::array<long double, 3>& r) {
        return std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    };
    line +=
        formatMask("##.###### ", length(r1) / c.au) + formatMask("##.###### ", length(r2) / c.au);
    line += bodyName(t, ev.a) + " " + bodyName(t, ev.b);
    if (shortened && stepLength > 0.0L && c.nominalStep > stepLength)
        line += " S" + formatMask("#.#", std::log10(c.nominalStep / stepLength));
    return line;
}

SearchSummary finishCloseApproachFiles(const BodyTable& table, const std::vector<char>& hadEvent,
                                       int events, const std::filesystem::path& closapp,
                                       const std::filesystem::path& mindist) {
    std::vector<std::string> lines;
    for (int i = 0; i < static_cast<int>(hadEvent.size()) && i <= table.layout.bodyCount; ++i)
        if (hadEvent[static_cast<std::size_t>(i)]) {
            const double number = table.objectNumber[static_cast<std::size_t>(i)];
            lines.push_back(formatMask("#####  ", number > 0 ? number : i) + bodyName(table, i));
        }
    SearchSummary summary;
    summary.events = events;
    std::string problem;
    if (!writeTextFileAtomically(closapp, lines, problem))
        summary.message = "CLOSAPP.LST could not be written: " + problem;
    summary.viewFile = mindist.string();
    return summary;
}

} // namespace tarvo
