#include "tarvo/shell/ephemeris_page.h"

#include "fileio/text_util.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/iau_reductions.h"
#include "tarvo/reductions/time_scales.h"
#include "tarvo/shell/barycentre.h"
#include "tarvo/shell/output_frame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tarvo {

namespace {

using Vec = PlaceVector;

Vec minus(const Vec& a, const Vec& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec plus(const Vec& a, const Vec& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
double norm(const Vec& a) {
    return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
}

// One double vector between frames (the array rotations with one entry).
void toJ2000(const FrameState& frame, Vec& v) {
    rotateToJ2000(frame, 0, &v[0], &v[1], &v[2]);
}
void toDate(const FrameState& frame, Vec& v, bool ecliptic = false) {
    rotateToDate(frame, 0, 0, &v[0], &v[1], &v[2], ecliptic);
}

// Absolute states of the table in its own frame (equator of date of the
// frame epoch), Gm, Gm/day and Gm/day²; bodies stored relative to the
// Earth get the Earth's state added.
struct TableStates {
    std::vector<Vec> p, v, a;
};

TableStates tableStates(const Session& s) {
    const BodyTable& b = s.bodies;
    const IntegrationState& st = s.integration;
    const int n = b.layout.bodyCount;
    const auto count = static_cast<std::size_t>(n + 1);
    TableStates out{std::vector<Vec>(count), std::vector<Vec>(count), std::vector<Vec>(count)};
    // Step velocities are direction * v * h.
    const long double perDay = 1.0L / (static_cast<long double>(st.direction) * st.step);
    const int earth = b.layout.earthIndex;
    for (int i = 0; i <= n; ++i) {
        long double x = b.posX[i], y = b.posY[i], z = b.posZ[i];
        long double vx = b.velX[i], vy = b.velY[i], vz = b.velZ[i];
        if (i != earth && earth <= n && isStoredGeocentric(b, i, st.satelliteMode)) {
            x += b.posX[earth], y += b.posY[earth], z += b.posZ[earth];
            vx += b.velX[earth], vy += b.velY[earth], vz += b.velZ[earth];
        }
        const auto k = static_cast<std::size_t>(i);
        out.p[k] = {static_cast<double>(x), static_cast<double>(y), static_cast<double>(z)};
        out.v[k] = {static_cast<double>(vx * perDay), static_cast<double>(vy * perDay),
                    static_cast<double>(vz * perDay)};
    }
    // Point-mass accelerations by the Sun and the massive bodies: they only
    // enter the light-time correction (τ a, τ ~ minutes).  A body inside an
    // attracting body's radius feels no point-mass pull from it: that is
    // the same asteroid loaded twice (a perturber of the data set chosen
    // again from the library, metres from it), whose pull would be absurd
    // and throw its place across the sky.
    const int lastMassive = std::min(b.layout.lastMassive, n);
    for (int i = 0; i <= n; ++i) {
        Vec acc{};
        for (int j = 0; j <= lastMassive; ++j) {
            if (j == i || b.mass[j] <= 0) continue;
            const Vec d = minus(out.p[static_cast<std::size_t>(j)], out.p[static_cast<std::size_t>(i)]);
            const double r = norm(d);
            if (r <= 0 || r < b.radius[static_cast<std::size_t>(j)]) continue;
            const double gm = static_cast<double>(gravitationalConstant * b.mass[j]) / (r * r * r);
            for (int k = 0; k < 3; ++k) acc[k] += gm * d[k];
        }
        out.a[static_cast<std::size_t>(i)] = acc;
    }
    return out;
}

} // namespace

PageSettings pageSettings(const Session& s, const RunSettings& run, int centre) {
    const DisplayToggles& t = s.toggles;
    PageSettings p;
    const int earth = s.bodies.layout.earthIndex;
    if (run.planetCentric && centre != earth) {
        p.centre = CentreKind::BodyCentric;
        p.centreBodyName = centre == kBarycentreCentre ? std::string(kBarycentreName)
                           : centre < 0                ? std::string("Fixed    ")
                                                       : bodyName(s.bodies, centre);
    } else if (t.geocentric || run.planetCentric) {
        p.centre = run.topocentric ? CentreKind::Topocentric : CentreKind::Geocentric;
    } else {
        p.centre = CentreKind::Heliocentric;
    }
    p.orthogonal = t.orthogonal != 0;
    p.frame = t.horizon       ? CoordinateFrame::Horizontal
              : t.ecliptic    ? CoordinateFrame::Ecliptic
                              : CoordinateFrame::Equatorial;
    // Nutation on means the equinox of date whatever the reference equinox
    // says; a reference year is a mean equinox; J2000 chosen is J2000.
    const bool precession = run.precession != PrecessionState::off;
    const bool nutation = precession && t.nutation != 0;
    const bool year = precession && !nutation && run.referenceEquinox > 0;
    const bool j2000 = !precession || (!nutation && run.referenceEquinox == 0);
    p.precession = !j2000 || p.frame == CoordinateFrame::Horizontal;
    p.nutation = nutation || (p.frame == CoordinateFrame::Horizontal && t.nutation != 0);
    p.referenceYear = year && p.frame != CoordinateFrame::Horizontal ? run.referenceYear : 0.0;
    if (p.referenceYear == 0.0 && year && p.frame != CoordinateFrame::Horizontal)
        p.referenceYear = 1e-9; // year 0 chosen: still a year, not the date
    p.lightTime = t.lightTime != 0;
    p.aberration = p.lightTime && t.aberration != 0;
    p.decimalUnits = t.decimalUnits != 0;
    p.showVelocity = run.showVelocities;
    p.distancesInAu = !run.distancesInGm;
    p.deltaTOn = run.deltaT.mode != DeltaTMode::Off;
    p.dataSetName = dataSetLabel(s.integration.dataSet);
    p.model = effectiveReductionModel(t.iauReductions ? ReductionModel::iau2006
                                                      : ReductionModel::nutation1980,
                                      s.integration.epoch);
    return p;
}

int pageCentre(const Session& s, const RunSettings& run) {
    const int n = s.bodies.layout.bodyCount;
    const int earth = s.bodies.layout.earthIndex <= n ? s.bodies.layout.earthIndex : 0;
    if (run.planetCentric && run.centreBody >= 0 && run.centreBody <= n) return run.centreBody;
    if (run.planetCentric && run.centreBody < 0) // the fixed point or the barycentre
        return run.centreBody == kBarycentreCentre ? kBarycentreCentre : -1;
    if (s.toggles.geocentric || run.topocentric || s.toggles.horizon) return earth;
    return 0;
}

namespace {

OutputEquinox outputEquinox(const PageSettings& p) {
    if (!p.precession) return OutputEquinox::j2000;
    if (p.referenceYear != 0.0) return OutputEquinox::referenceYear;
    return OutputEquinox::ofDate;
}

std::string padTo(std::string text, std::size_t width) {
    if (text.size() > width) text.resize(width);
    return text;
}

} // namespace

std::string dataSetLabel(int dataSet) {
    static const char* const kNames[] = {"DE431L", "DE431M", "DE431S", "D431NM", "PL431 ",
                                         "DE431MB", "DE406M", "DE406S", "PL406 ", "PLXSH "};
    return dataSet >= 1 && dataSet <= 10 ? kNames[dataSet - 1] : "      ";
}

EphemerisPage assembleEphemerisPage(const Session& s, const RunSettings& run, long double auGm) {
    const BodyTable& b = s.bodies;
    const IntegrationState& st = s.integration;
    const int n = b.layout.bodyCount;
    const long double t = st.epoch;
    const int earth = b.layout.earthIndex <= n ? b.layout.earthIndex : 0;
    const int moon = b.moonIntegrated() ? b.layout.moonIndex : -1;
    const bool lieske = run.precession == PrecessionState::lieske && s.extraOptions.lieskePrecession;

    const int centre = pageCentre(s, run);

    EphemerisPage page;
    page.settings = pageSettings(s, run, centre);
    page.astronomicalUnitGm = static_cast<double>(auGm);
    page.centreIndex = centre;
    page.site = {static_cast<double>(s.site.latitude), static_cast<double>(s.site.longitude),
                 static_cast<double>(s.site.height), s.site.name};
    const PageSettings& ps = page.settings;
    const bool topocentric = run.topocentric && centre == earth;
    const bool nutationOfDate = ps.nutation;

    // Time: ΔT, the frame of the output epoch (the site and the horizontal
    // coordinates live in it) and the sidereal time.  The IAU model has its
    // own matrix of the date and sidereal time; the 1980 model the frame
    // state of the reductions.
    const bool iau = ps.model == ReductionModel::iau2006;
    const long double dT = ps.deltaTOn ? deltaT(t, run.deltaT) : 0.0L;
    const FrameState dateFrame =
        iau ? FrameState{}
            : outputFrame(OutputEquinox::ofDate, t, 0.0, nutationOfDate, lieske, s.precessionTable);
    const IauFrame iauDate =
        iau ? computeIauFrame(t, nutationOfDate, &s.nutationTable) : IauFrame{};
    const double equationOfEquinoxes = !nutationOfDate ? 0.0
                                       : iau           ? iauDate.equationOfEquinoxes
                                                       : dateFrame.equationOfEquinoxes;
    const double greenwich =
        iau ? static_cast<double>(greenwichSiderealTimeIau(t - dT, t, equationOfEquinoxes)) : 0.0;
    const ObserverState site =
        iau ? observerStateAt(page.site, greenwich + page.site.longitude, topocentric)
            : observerVector(page.site, t, dT, equationOfEquinoxes, topocentric);
    page.time.t = t;
    page.time.deltaTDays = dT;
    page.time.stepDays = static_cast<long double>(run.scaleFactor) * st.nominalStep *
                         static_cast<long double>(st.direction);
    const double siteLongitude = topocentric ? page.site.longitude : 0.0;
    page.time.siderealTime =
        iau ? static_cast<double>(
                  std::fmod(greenwich + siteLongitude + 2 * std::numbers::pi, 2 * std::numbers::pi))
            : static_cast<double>(apparentSiderealTime(t - dT, siteLongitude, equationOfEquinoxes));
    // A vector between J2000 and the equator of the output epoch.
    auto dateToJ2000 = [&](Vec v) {
        if (iau) return multiplyTransposed(iauDate.toDate, v);
        toJ2000(dateFrame, v);
        return v;
    };
    auto j2000ToDate = [&](Vec v) {
        if (iau) return multiply(iauDate.toDate, v);
        toDate(dateFrame, v);
        return v;
    };

    // The observer's motion in the table's frame.
    const TableStates states = tableStates(s);
    auto siteInTable = [&](Vec v) {
        v = dateToJ2000(v);
        toDate(s.frame, v);
        return v;
    };
    const Vec siteP = siteInTable(site.position), siteV = siteInTable(site.velocity),
              siteA = siteInTable(site.acceleration);
    // The fixed point (J2000 equator, Gm) is at rest in the table's frame.
    const auto e = static_cast<std::size_t>(earth);
    Vec fixedPoint{run.fixedCentre[0], run.fixedCentre[1], run.fixedCentre[2]};
    toDate(s.frame, fixedPoint);
    const auto c = static_cast<std::size_t>(std::max(centre, 0));
    // The barycentre moves uniformly: its velocity, no acceleration.
    const bool minorPerturb = s.extraOptions.minorPerturb != 0;
    const auto at = [](const std::vector<Vec>& v) {
        return [&v](int i) { return v[static_cast<std::size_t>(i)]; };
    };
    const Vec baryP = massiveBarycentre<Vec>(b, minorPerturb, at(states.p));
    const Vec baryV = massiveBarycentre<Vec>(b, minorPerturb, at(states.v));
    const Vec observerP = centre == kBarycentreCentre ? baryP
                          : centre < 0                ? fixedPoint
                                                      : plus(states.p[c], siteP);
    const ObserverMotion observer =
        centre == kBarycentreCentre ? ObserverMotion{baryV, Vec{}}
        : centre < 0                ? ObserverMotion{Vec{}, Vec{}}
                     : ObserverMotion{plus(states.v[c], siteV), plus(states.a[c], siteA)};
    const Vec moonObserverP = plus(states.p[e], siteP);
    const ObserverMotion moonObserver{plus(states.v[e], siteV), plus(states.a[e], siteA)};
    const CorrectionSwitches switches{ps.lightTime, ps.aberration};

    const auto count = static_cast<std::size_t>(n + 1);
    std::vector<double> x(count), y(count), z(count), vx(count), vy(count), vz(count);
    page.bodies.resize(count);
    for (int i = 0; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        PageBody& body = page.bodies[k];
        body.index = i;
        body.name = bodyName(b, i);
        body.centre = i == centre; // also topocentric: the Earth below the site is no body to show
        const bool fromEarth = i == moon || (st.satelliteMode && i > b.layout.lastMajor);
        RelativeState rel;
        rel.position = minus(states.p[k], fromEarth ? moonObserverP : observerP);
        rel.velocity = minus(states.v[k], fromEarth ? moonObserver.velocity : observer.velocity);
        rel.acceleration =
            minus(states.a[k], fromEarth ? moonObserver.acceleration : observer.acceleration);
        body.trueDistanceGm = norm(rel.position);
        if (!body.centre && ps.lightTime) {
            const ObserverMotion& seenFrom = fromEarth ? moonObserver : observer;
            const RelativeState firstOrder = lightTimeCorrected(rel, seenFrom, switches);
            rel.velocity = firstOrder.velocity; // the rates need no more
            rel.position = firstOrder.position;
            if (iau) {
                // The rigorous place: light-time, deflection, aberration.
                const ApparentPlaceInput in{states.p[k],
                                            states.v[k],
                                            states.a[k],
                                            fromEarth ? moonObserverP : observerP,
                                            seenFrom.velocity,
                                            states.p[0],
                                            states.v[0],
                                            states.a[0],
                                            i == 0};
                const ApparentPlaceResult place =
                    apparentPlace(in, true, ps.aberration, page.astronomicalUnitGm);
                for (int c = 0; c < 3; ++c)
                    rel.position[c] = place.direction[c] * place.lightTimeDistanceGm;
            }
        }
        x[k] = rel.position[0], y[k] = rel.position[1], z[k] = rel.position[2];
        vx[k] = rel.velocity[0], vy[k] = rel.velocity[1], vz[k] = rel.velocity[2];
    }

    // Frame epoch -> J2000 -> output frame.
    const auto last = static_cast<std::size_t>(n);
    rotateToJ2000(s.frame, last, x.data(), y.data(), z.data());
    rotateToJ2000(s.frame, last, vx.data(), vy.data(), vz.data());
    const bool ecliptic = ps.frame == CoordinateFrame::Ecliptic;
    const OutputEquinox equinox = outputEquinox(ps);
    if (equinox == OutputEquinox::j2000) {
        if (ecliptic) {
            const double ce = static_cast<double>(s.frame.obliquityJ2000.cos);
            const double se = static_cast<double>(s.frame.obliquityJ2000.sin);
            for (std::size_t k = 0; k < count; ++k) {
                const Vec p = equatorToEcliptic({x[k], y[k], z[k]}, ce, se);
                const Vec v = equatorToEcliptic({vx[k], vy[k], vz[k]}, ce, se);
                x[k] = p[0], y[k] = p[1], z[k] = p[2], vx[k] = v[0], vy[k] = v[1], vz[k] = v[2];
            }
        }
    } else if (iau) {
        // ICRS -> the mean equator of the reference year or the equator of
        // date (true with nutation), and on to its ecliptic.
        const IauFrame out =
            equinox == OutputEquinox::ofDate ? iauDate : iauReferenceYearFrame(ps.referenceYear);
        const Matrix3 m = ecliptic ? eclipticOfDate(out.toDate, out.obliquity) : out.toDate;
        multiply(m, last, x.data(), y.data(), z.data());
        multiply(m, last, vx.data(), vy.data(), vz.data());
    } else {
        const FrameState out =
            equinox == OutputEquinox::ofDate
                ? dateFrame
                : outputFrame(equinox, t, ps.referenceYear, false, lieske, s.precessionTable);
        rotateToDate(out, 0, last, x.data(), y.data(), z.data(), ecliptic);
        rotateToDate(out, 0, last, vx.data(), vy.data(), vz.data(), ecliptic);
    }

    const bool horizontal = ps.frame == CoordinateFrame::Horizontal;
    const RiseSetToggles riseSet{s.toggles.refractRiseSet != 0, s.toggles.limbRiseSet != 0};
    const Vec sunP = states.p[0];
    const Vec moonP = moon >= 0 ? states.p[static_cast<std::size_t>(moon)] : Vec{};
    for (std::size_t k = 0; k < count; ++k) {
        PageBody& body = page.bodies[k];
        body.position = {x[k], y[k], z[k]};
        body.velocity = {vx[k], vy[k], vz[k]};
        body.angles = sphericalAngles(body.position);
        // atan2 of a y a hair below zero plus 2π rounds to 2π itself, which the
        // masks would print as 360: such a direction is at 0.
        if (body.angles.longitude >= 2.0 * std::numbers::pi) body.angles.longitude = 0.0;
        body.rates = angleRates(body.position, body.velocity);
        if (!horizontal || body.centre) continue;
        HorizontalRow& h = body.horizontal;
        h.name = body.name;
        h.place = toHorizontal(body.angles.longitude, body.angles.latitude, page.site.latitude,
                               site.localSiderealTime);
        const int i = body.index;
        const bool fromEarth = i == moon;
        MagnitudeData data{b.absMag[k], b.isComet[k] != 0, b.massField[k]};
        h.phase = phaseAndMagnitude(i, states.p[k], fromEarth ? moonObserverP : observerP, sunP,
                                    moonP, data, page.astronomicalUnitGm, moon >= 0);
        // A satellite in the Earth's shadow is not seen.
        if (st.satelliteMode && i > b.layout.lastMajor && h.phase.magnitudeShown &&
            inEarthShadow(minus(states.p[k], states.p[e]), minus(sunP, states.p[e])))
            h.phase.magnitude = 99.9;
        // Rise, transit and set of the geometric geocentric state of date.
        Vec gp = minus(states.p[k], states.p[e]), gv = minus(states.v[k], states.v[e]);
        toJ2000(s.frame, gp), toJ2000(s.frame, gv);
        gp = j2000ToDate(gp), gv = j2000ToDate(gv);
        const double h0 =
            horizonDepression(page.site.heightGm, b.radius[k], body.trueDistanceGm, riseSet);
        const RiseSetEvent events[] = {RiseSetEvent::Rise, RiseSetEvent::Transit, RiseSetEvent::Set};
        std::string* texts[] = {&h.rise, &h.transit, &h.set};
        for (int ev = 0; ev < 3; ++ev) {
            const RiseSetResult r = riseTransitSet(events[ev], t, gp, gv, page.site,
                                                   site.localSiderealTime, true, h0);
            *texts[ev] = riseSetText(r, dT, true, page.site.longitude);
        }
    }
    return page;
}

std::vector<std::string> bodyRows(const EphemerisPage& page, const PageBody& body) {
    const PageSettings& ps = page.settings;
    if (body.centre) return {body.name + "     -- centre of the coordinates --"};
    if (ps.frame == CoordinateFrame::Horizontal) return {horizontalRow(body.horizontal)};
    if (ps.orthogonal) {
        const OrthogonalRow row{body.name, body.position, body.velocity};
        std::vector<std::string> rows{orthogonalRow(row, ps.distancesInAu, page.astronomicalUnitGm)};
        if (ps.showVelocity) rows.push_back(orthogonalVelocityRow(row, ps.distancesInAu));
        return rows;
    }
    const AngularRow row{body.name, body.angles, body.trueDistanceGm, body.rates};
    return {angularRow(ps, row, page.astronomicalUnitGm)};
}

std::vector<std::string> ephemerisPageLines(const EphemerisPage& page, const std::vector<bool>& shown) {
    const PageSettings& ps = page.settings;
    std::vector<std::string> lines = headerLines(ps, page.site);
    lines.push_back(timeLine(ps, page.site, page.time));
    lines.push_back("");
    if (ps.frame == CoordinateFrame::Horizontal) {
        lines.push_back(horizontalHeader());
    } else if (ps.orthogonal) {
        lines.push_back(orthogonalHeader(ps.distancesInAu));
        if (ps.showVelocity) lines.push_back(orthogonalVelocityHeader(ps.distancesInAu));
    } else {
        lines.push_back(angularHeader(ps));
    }
    // Bodies in table order while they fit; the last free row then counts
    // the rest instead of showing a body.
    const std::size_t room = static_cast<std::size_t>(kPageRows - 1);
    std::size_t remaining = 0;
    for (const PageBody& body : page.bodies)
        if (shown.size() <= static_cast<std::size_t>(body.index) || shown[static_cast<std::size_t>(body.index)])
            ++remaining;
    for (const PageBody& body : page.bodies) {
        const auto k = static_cast<std::size_t>(body.index);
        if (k < shown.size() && !shown[k]) continue;
        const std::vector<std::string> rows = bodyRows(page, body);
        const bool lastBody = remaining == 1;
        if (lines.size() + rows.size() + (lastBody ? 0 : 1) > room) {
            lines.push_back("... and " + std::to_string(remaining) +
                            " more bodies (file output writes every body)");
            break;
        }
        for (const auto& r : rows) lines.push_back(padTo(r, kPageColumns));
        --remaining;
    }
    for (auto& l : lines) l = padTo(l, kPageColumns);
    return lines;
}

RecordTimeUnit recordTimeUnit(TimeRecording recording) {
    switch (recording) {
    case TimeRecording::julianDate: return RecordTimeUnit::JulianDate;
    case TimeRecording::julianYears: return RecordTimeUnit::JulianYears;
    case TimeRecording::julianCenturies: return RecordTimeUnit::JulianCenturies;
    case TimeRecording::julianMillennia: return RecordTimeUnit::JulianMillennia;
    default: return RecordTimeUnit::Calendar;
    }
}

namespace {
struct PageClock {
    long double julianDate;
    std::string label, dateText, timeText;
};
PageClock pageClock(const EphemerisPage& page) {
    const PageSettings& ps = page.settings;
    const bool local = ps.frame == CoordinateFrame::Horizontal;
    const long double days = page.time.t - (ps.deltaTOn ? page.time.deltaTDays : 0.0L);
    const CalendarTime c = daysToCalendar(days + 0.5L, local, page.site.longitude);
    return {days + kJulianDateJ2000, local ? "LT" : ps.deltaTOn ? "UT" : "TT", c.dateText,
            c.timeText};
}
} // namespace

std::string pageRecordTime(const EphemerisPage& page, RecordTimeUnit unit) {
    const PageClock c = pageClock(page);
    return recordTime(unit, c.julianDate, c.dateText, c.timeText);
}

namespace {
std::string pageListingTime(const EphemerisPage& page, RecordTimeUnit unit) {
    const PageClock c = pageClock(page);
    return listingTime(unit, c.julianDate, c.dateText, c.timeText);
}
} // namespace

std::vector<std::string> outputLogOpening(const EphemerisPage& page) {
    if (page.settings.orthogonal) return {};
    const PageClock c = pageClock(page);
    return outputLogHeader(page.settings, c.dateText, c.label, c.timeText);
}

std::string bodyRecord(const EphemerisPage& page, const PageBody& body, RecordTimeUnit unit) {
    const PageSettings& ps = page.settings;
    if (ps.frame == CoordinateFrame::Horizontal)
        return horizontalListingRecord(pageListingTime(page, unit), body.horizontal);
    const std::string time = pageRecordTime(page, unit);
    if (ps.orthogonal)
        return orthogonalFileRecord(time, {body.name, body.position, body.velocity},
                                    ps.distancesInAu, page.astronomicalUnitGm);
    return recordLine(time, bodyRows(page, body).front());
}

std::string bodyFileHeader(const EphemerisPage& page, RecordTimeUnit unit) {
    const PageSettings& ps = page.settings;
    if (ps.frame == CoordinateFrame::Horizontal) return horizontalListingHeader();
    return ps.orthogonal ? orthogonalFileHeader(unit) : std::string();
}

} // namespace tarvo
