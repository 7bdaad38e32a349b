#include "tarvo/shell/elements_page.h"

#include "console/keys.h"
#include "fileio/text_util.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/iau_reductions.h"
#include "tarvo/reductions/time_scales.h"
#include "tarvo/shell/barycentre.h"
#include "tarvo/shell/output_frame.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace tarvo {

namespace {

using Vec3 = std::array<long double, 3>;

constexpr std::size_t kColumns = 108;
constexpr const char* kEarthMoonBarycentreName = "EMbaryc  ";

// The table's states in the axes of the elements: absolute positions (Gm)
// and velocities (Gm/day), the Moon and satellites as stored (geocentric).
struct AxesStates {
    std::vector<Vec3> p, v;
};

// `target` (the 1980 model's frame) or `iau` (the IAU model's matrix) turns
// the J2000 vectors to the mean equator of the date; neither: J2000.
AxesStates statesInElementAxes(const Session& s, const FrameState* target, const Matrix3* iau) {
    const BodyTable& b = s.bodies;
    const IntegrationState& st = s.integration;
    const int n = b.layout.bodyCount;
    // Step velocities are direction * v * h.
    const long double perDay = 1.0L / (static_cast<long double>(st.direction) * st.step);
    AxesStates out{std::vector<Vec3>(static_cast<std::size_t>(n + 1)),
                   std::vector<Vec3>(static_cast<std::size_t>(n + 1))};
    for (int i = 0; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        out.p[k] = {b.posX[i], b.posY[i], b.posZ[i]};
        out.v[k] = {b.velX[i] * perDay, b.velY[i] * perDay, b.velZ[i] * perDay};
        for (Vec3* x : {&out.p[k], &out.v[k]}) {
            rotateToJ2000(s.frame, *x);
            if (target) rotateToDate(*target, *x);
            if (iau) {
                const Vec3 j = *x;
                for (int r = 0; r < 3; ++r)
                    (*x)[r] = (*iau)[r][0] * j[0] + (*iau)[r][1] * j[1] + (*iau)[r][2] * j[2];
            }
        }
    }
    return out;
}

Vec3 minus(const Vec3& a, const Vec3& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

} // namespace

bool centreBodySet(const RunSettings& run) {
    return run.planetCentric && run.centreBody >= 0;
}

ElementsPage assembleElementsPage(const Session& s, const RunSettings& run, long double auGm) {
    const BodyTable& b = s.bodies;
    const IntegrationState& st = s.integration;
    const ElementPageSettings& es = run.elements;
    const int n = b.layout.bodyCount;
    const int earth = b.layout.earthIndex <= n ? b.layout.earthIndex : -1;
    const int moon = b.moonIntegrated() ? b.layout.moonIndex : -1;
    const long double t = st.epoch;

    ElementsPage page;
    page.display = static_cast<ElementDisplay>(std::clamp(es.display, 0, 3));
    page.julianDate = t + kJulianDateJ2000;
    const CalendarTime c = daysToCalendar(t + 0.5L);
    page.dateText = c.dateText;
    page.timeText = c.timeText;

    // The axes: J2000, or the mean equator and ecliptic of the date (or of
    // the reference year).
    // The IAU model's mean equator of date includes the frame bias.
    const bool yearEquinox = es.equinoxOfDate && run.referenceEquinox > 0;
    const bool iau = effectiveReductionModel(s.toggles.iauReductions ? ReductionModel::iau2006
                                                                     : ReductionModel::nutation1980,
                                             t) == ReductionModel::iau2006;
    FrameState target;
    IauFrame iauTarget;
    if (es.equinoxOfDate && iau) {
        iauTarget = yearEquinox ? iauReferenceYearFrame(run.referenceYear)
                                : computeIauFrame(t, false, &s.nutationTable);
    } else if (es.equinoxOfDate) {
        const bool lieske =
            run.precession == PrecessionState::lieske && s.extraOptions.lieskePrecession;
        target = outputFrame(yearEquinox ? OutputEquinox::referenceYear : OutputEquinox::ofDate, t,
                             run.referenceYear, false, lieske, s.precessionTable);
    }
    const AxesStates states =
        statesInElementAxes(s, es.equinoxOfDate && !iau ? &target : nullptr,
                            es.equinoxOfDate && iau ? &iauTarget.toDate : nullptr);
    ElementFrame frame = eclipticElementFrame();
    if (es.equinoxOfDate) {
        frame.cosObliquity =
            iau ? std::cos(iauTarget.meanObliquity) : static_cast<double>(target.obliquity.cos);
        frame.sinObliquity =
            iau ? std::sin(iauTarget.meanObliquity) : static_cast<double>(target.obliquity.sin);
    }
    frame.plane = static_cast<ReferencePlane>(std::clamp(es.plane, -1, 2));

    // The display state of every row: heliocentric, or geocentric as stored;
    // barycentric about "Baryc" (the barycentre of the massive bodies).
    const auto count = static_cast<std::size_t>(n + 1);
    std::vector<CartesianState> display(count);
    std::vector<bool> geocentric(count, false);
    const bool barycentre = es.earthMoonBarycentre && moon >= 0 && earth >= 0;
    const bool barycentric = run.planetCentric && run.centreBody == kBarycentreCentre;
    Vec3 originP = states.p[0], originV = states.v[0];
    if (barycentric) {
        const bool minorPerturb = s.extraOptions.minorPerturb != 0;
        auto absolute = [&](const std::vector<Vec3>& x) {
            return [&](int i) {
                const auto k = static_cast<std::size_t>(i);
                Vec3 a = x[k];
                if (i != earth && earth >= 0 && isStoredGeocentric(b, i, st.satelliteMode))
                    for (std::size_t j = 0; j < 3; ++j)
                        a[j] += x[static_cast<std::size_t>(earth)][j];
                return a;
            };
        };
        originP = massiveBarycentre<Vec3>(b, minorPerturb, absolute(states.p));
        originV = massiveBarycentre<Vec3>(b, minorPerturb, absolute(states.v));
    }
    for (int i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        geocentric[k] = isStoredGeocentric(b, i, st.satelliteMode);
        Vec3 p = states.p[k], v = states.v[k];
        if (!geocentric[k]) p = minus(p, originP), v = minus(v, originV);
        if (barycentre && i == earth) {
            const long double f = b.mass[moon] / (b.mass[earth] + b.mass[moon]);
            const auto m = static_cast<std::size_t>(moon);
            for (int j = 0; j < 3; ++j) p[j] += f * states.p[m][j], v[j] += f * states.v[m][j];
        }
        for (auto& x : v) x /= kmPerSecondToGmPerDay;
        display[k] = CartesianState{p, v};
    }

    // Plane records: the centre's orbit (the Earth's without a centre, none
    // for the Moon) and the mean plane of the major bodies.
    const bool centreSet = centreBodySet(run) && run.centreBody <= n;
    const int orbitBody = centreSet ? run.centreBody : earth;
    if (frame.plane == ReferencePlane::CentreOrbit && orbitBody > 0 && orbitBody != moon) {
        const auto k = static_cast<std::size_t>(orbitBody);
        frame.centreOrbit =
            orbitPlane(minus(states.p[k], states.p[0]), minus(states.v[k], states.v[0]),
                       frame.cosObliquity, frame.sinObliquity);
    }
    if (frame.plane == ReferencePlane::MeanPlane) {
        std::vector<long double> x(count), y(count), z(count), vx(count), vy(count), vz(count);
        for (std::size_t k = 0; k < count; ++k) {
            x[k] = states.p[k][0], y[k] = states.p[k][1], z[k] = states.p[k][2];
            vx[k] = states.v[k][0], vy[k] = states.v[k][1], vz[k] = states.v[k][2];
        }
        const BodyStates all{x, y, z, vx, vy, vz, {b.mass.data(), count}};
        frame.meanPlane = invariablePlane(all, std::min(b.layout.lastMajor, n), earth, moon,
                                          frame.cosObliquity, frame.sinObliquity);
    }

    // Elements of every row.
    const long double sunMass = b.mass[0];
    auto elementsOf = [&](int i) {
        const auto k = static_cast<std::size_t>(i);
        long double ratio = 0.0L;
        if (i == moon)
            ratio = b.mass[earth] > 0 ? b.mass[moon] / b.mass[earth] : 0.0L;
        else if (i <= b.layout.lastMajor && sunMass > 0)
            ratio = (barycentre && i == earth ? b.mass[earth] + b.mass[moon] : b.mass[i]) / sunMass;
        const long double k1 = geocentric[k] ? elementGravityConstant(ElementMode::Satellite)
                               : st.dataSet == 10
                                   ? elementGravityConstant(ElementMode::MinorBody)
                                   : elementGravityConstant(ElementMode::FullFile, sunMass);
        return pageElements(k1, ratio, auGm, frame, display[k]);
    };

    // MOID reference: the centre body in its own orbit plane, else the Earth.
    int reference = earth;
    if (frame.plane == ReferencePlane::CentreOrbit && centreSet && run.centreBody != moon &&
        run.centreBody > 0)
        reference = run.centreBody;
    page.referenceName = reference > 0 ? bodyName(b, reference) : std::string("     ");
    if (barycentre && reference == earth) page.referenceName = kEarthMoonBarycentreName;
    const bool moidWanted =
        page.display == ElementDisplay::Moid && reference > 0 &&
        (frame.plane == ReferencePlane::Ecliptic || frame.plane == ReferencePlane::CentreOrbit);
    const MoidOrbit referenceOrbit = moidWanted ? moidOrbit(elementsOf(reference)) : MoidOrbit{};

    for (int i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        ElementsPageBody body;
        body.index = i;
        body.name = barycentre && i == earth ? kEarthMoonBarycentreName : bodyName(b, i);
        body.objectNumber = k < b.objectNumber.size() ? b.objectNumber[k] : 0.0;
        body.shown = !b.isHidden(i);
        ElementRow& row = body.row;
        row.elements = elementsOf(i);
        row.geocentric = geocentric[k];
        row.isMoon = i == moon;
        row.astronomicalUnitGm = static_cast<double>(auGm);
        row.julianDate = page.julianDate;
        row.planeState = toElementPlane(frame, display[k]);
        if (moidWanted && body.shown && i != moon && !geocentric[k])
            row.moid = moid(moidOrbit(row.elements), referenceOrbit);
        page.bodies.push_back(std::move(body));
    }

    ElementPageTitle title;
    title.plane = frame.plane;
    title.barycentric = barycentric;
    title.centreName = orbitBody > 0 ? bodyName(b, orbitBody) : "";
    title.equinoxOfDate = es.equinoxOfDate;
    title.fixedEquinoxYear = yearEquinox ? run.referenceYear : 0.0;
    page.title = elementTitleLine(title, page.julianDate);
    const TimeUnit& unit = kTimeUnits[static_cast<std::size_t>(std::clamp(run.timeUnit, 0, 4))];
    page.dateLine =
        elementDateLine(c.dateText, c.timeText, c.millisecond / 10, page.julianDate, n,
                        static_cast<double>(run.scaleFactor * st.nominalStep * unit.perDay),
                        std::string(1, unit.label[0]));
    return page;
}

std::vector<std::string> elementsPageLines(const ElementsPage& page) {
    std::vector<std::string> lines{page.title, elementLegendLine(), page.dateLine,
                                   elementColumnHeader(page.display, page.referenceName)};
    const std::size_t rows = std::min<std::size_t>(page.bodies.size(), kElementBodyRows);
    for (std::size_t k = 0; k < rows; ++k) {
        const ElementsPageBody& body = page.bodies[k];
        std::string line = body.name + elementRowText(page.display, ElementForm::Screen, body.row);
        if (line.size() > kColumns) line.resize(kColumns);
        lines.push_back(line);
    }
    return lines;
}

std::string oscelText(const ElementsPage& page) {
    std::string text;
    for (const ElementsPageBody& body : page.bodies)
        text += oscelRecord(body.objectNumber, body.name,
                            elementRowText(page.display, ElementForm::OscelDat, body.row)) +
                "\r\n"; // text files of the suite end their lines with CR LF
    return text;
}

std::vector<std::string> elementFileLines(const ElementsPage& page, const ElementsPageBody& body,
                                          RecordTimeUnit unit, bool headers) {
    std::vector<std::string> lines;
    if (headers)
        lines =
            elementFileHeader(page.title, trim(body.name), unit, page.display, page.referenceName);
    lines.push_back(
        elementFileRecord(recordTime(unit, page.julianDate, page.dateText, page.timeText),
                          elementRowText(page.display, ElementForm::BodyFile, body.row)));
    return lines;
}

void stepReferencePlane(ElementPageSettings& settings, bool centreSet) {
    int plane = std::clamp(settings.plane, -1, 2) - 1;
    if (plane < -1) plane = 2;
    if (plane == 1 && !centreSet) plane = 0;
    settings.plane = plane;
}

ElementKeyAction elementsPageKey(int key, RunSettings& run, bool hasMoon) {
    if (key == ' ' || key == console::Key::Enter) return ElementKeyAction::nextStep;
    if (key == '?' || key == console::Key::F1) return ElementKeyAction::help;
    if (key <= 0 || key > 127) return ElementKeyAction::leave;
    ElementPageSettings& es = run.elements;
    switch (std::toupper(key)) {
    case '&':
        es.display = (std::clamp(es.display, 0, 3) + 1) % 4;
        return ElementKeyAction::redraw;
    case 'Q':
        stepReferencePlane(es, centreBodySet(run));
        return ElementKeyAction::redraw;
    case 'E':
        if (!hasMoon) return ElementKeyAction::leave;
        es.earthMoonBarycentre = !es.earthMoonBarycentre;
        return ElementKeyAction::redraw;
    case 'D':
        es.equinoxOfDate = !es.equinoxOfDate;
        if (es.equinoxOfDate && run.precession == PrecessionState::off)
            run.precession = PrecessionState::on;
        return ElementKeyAction::redraw;
    case 'B':
        run.backward = !run.backward;
        return ElementKeyAction::redraw;
    case 'F':
        return ElementKeyAction::fileOutput;
    case 'M':
        return ElementKeyAction::dump;
    default:
        return ElementKeyAction::leave;
    }
}

std::vector<ElementMenuLine> elementMenuLines(bool hasMoon) {
    std::vector<ElementMenuLine> lines{
        {23, 2, '&', "&   Toggle (a,M0), (q,Tp), (Moid, L) or (R, V) "},
        {24, 2, 'Q', "Q   Toggle Eclip. Equat. or MeanPlane Elements "},
        {25, 2, 'M', "M   Dump screen to file "},
        {26, 2, 'D', "D   Equin. of Date "},
        {23, 56, 'B', "B   Back-step "},
        {25, 56, 'F', "F   File Output "},
        {27, 2, ' ', " Press Spacebar for Next Step, Any Other Key for Normal Ephemeris Output "},
    };
    if (hasMoon) lines.insert(lines.begin() + 5, {24, 56, 'E', "E   Toggle EM Baryc"});
    return lines;
}

int elementMenuKeyAt(int row, int col, bool hasMoon) {
    for (const ElementMenuLine& l : elementMenuLines(hasMoon))
        if (row == l.row && col >= l.col && col < l.col + static_cast<int>(l.text.size()))
            return l.key;
    return 0;
}

} // namespace tarvo
