#include "tarvo/shell/elements_page.h"

#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/page_elements.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>

namespace tarvo {

namespace {
constexpr std::size_t kRows = 26; // the key line is the 27th
constexpr std::size_t kColumns = 108;
} // namespace

ElementRow bodyElementRow(const Session& s, int i, long double auGm) {
    const BodyTable& b = s.bodies;
    const IntegrationState& st = s.integration;
    const int earth = b.layout.earthIndex;
    const long double perDay = 1.0L / (static_cast<long double>(st.direction) * st.step);
    const long double toKmPerSecond = perDay / kmPerSecondToGmPerDay;
    const ElementFrame frame = eclipticElementFrame();
    const long double jd = st.epoch + kJulianDateJ2000;
    // Relative to the central body: the Sun, or the Earth for bodies
    // stored geocentric.
    const bool geocentric = isStoredGeocentric(b, i, st.satelliteMode);
    const int central = geocentric ? -1 : 0;
    std::array<long double, 3> p{b.posX[i], b.posY[i], b.posZ[i]};
    std::array<long double, 3> v{b.velX[i], b.velY[i], b.velZ[i]};
    if (central == 0) {
        p = {p[0] - b.posX[0], p[1] - b.posY[0], p[2] - b.posZ[0]};
        v = {v[0] - b.velX[0], v[1] - b.velY[0], v[2] - b.velZ[0]};
    }
    rotateToJ2000(s.frame, p);
    rotateToJ2000(s.frame, v);
    for (auto& x : v) x *= toKmPerSecond;
    const long double centralMass = geocentric ? b.mass[earth] : b.mass[0];
    const long double k = geocentric ? elementGravityConstant(ElementMode::Satellite)
                     : elementGravityConstant(ElementMode::FullFile, b.mass[0]);
    const long double ratio = centralMass > 0 ? b.mass[i] / centralMass : 0.0L;
    ElementRow row;
    row.elements = pageElements(k, ratio, auGm, frame, CartesianState{p, v});
    row.geocentric = geocentric;
    row.isMoon = i == b.layout.moonIndex;
    row.astronomicalUnitGm = static_cast<double>(auGm);
    row.julianDate = jd;
    return row;
}

std::string elementsTitle(const Session& s) {
    return elementTitleLine(ElementPageTitle{}, s.integration.epoch + kJulianDateJ2000);
}

std::vector<std::string> elementsPageLines(const Session& s, const RunSettings& run, long double auGm,
                                           const std::vector<bool>& shown) {
    const BodyTable& b = s.bodies;
    const IntegrationState& st = s.integration;
    const int n = b.layout.bodyCount;
    const long double jd = st.epoch + kJulianDateJ2000;
    const bool universal = run.deltaT.mode != DeltaTMode::Off;
    const long double dT = universal ? deltaT(st.epoch, run.deltaT) : 0.0L;
    const CalendarTime c = daysToCalendar(st.epoch - dT + 0.5L);
    const TimeUnit& unit = kTimeUnits[static_cast<std::size_t>(std::clamp(run.timeUnit, 0, 4))];

    std::vector<std::string> lines;
    lines.push_back(elementsTitle(s));
    lines.push_back(elementLegendLine());
    lines.push_back(elementDateLine(c.dateText, c.timeText, c.millisecond / 10, jd - dT, n,
                                    static_cast<double>(run.scaleFactor * st.nominalStep * unit.perDay),
                                    std::string(1, unit.label[0])));
    lines.push_back(elementColumnHeader(ElementDisplay::SemiMajorAxis, ""));

    std::size_t remaining = 0;
    for (int i = 1; i <= n; ++i)
        if (static_cast<std::size_t>(i) >= shown.size() || shown[static_cast<std::size_t>(i)]) ++remaining;
    for (int i = 1; i <= n; ++i) {
        if (static_cast<std::size_t>(i) < shown.size() && !shown[static_cast<std::size_t>(i)]) continue;
        if (lines.size() + (remaining == 1 ? 1 : 2) > kRows) {
            lines.push_back("... and " + std::to_string(remaining) + " more bodies");
            break;
        }
        --remaining;
        const ElementRow row = bodyElementRow(s, i, auGm);
        std::string line = bodyName(b, i) + elementRowText(ElementDisplay::SemiMajorAxis, ElementForm::Screen, row);
        if (line.size() > kColumns) line.resize(kColumns);
        lines.push_back(line);
    }
    return lines;
}

} // namespace tarvo
