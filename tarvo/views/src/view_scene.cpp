// The bodies of the run as the graphics view shows them.
#include "view_scene.h"

#include "tarvo/reductions/frames.h"
#include "tarvo/reductions/places.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>

namespace tarvo::views {

namespace {

ViewVector minus(const ViewVector& a, const ViewVector& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
ViewVector plus(const ViewVector& a, const ViewVector& b) {
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
double norm(const ViewVector& a) {
    return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
}

std::string trimmedName(const std::array<char, bodyNameLength>& raw) {
    std::string name(raw.data(), raw.size());
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(name.begin());
    return name;
}

// The frame of the view for J2000 vectors: three basis vectors carried through.
std::array<ViewVector, 3> viewMatrix(const FrameState& shown, bool ofDate, bool ecliptic) {
    std::array<ViewVector, 3> columns{};
    for (int k = 0; k < 3; ++k) {
        double x = k == 0, y = k == 1, z = k == 2;
        if (ofDate) {
            rotateToDate(shown, 0, 0, &x, &y, &z, ecliptic);
        } else if (ecliptic) {
            const double c = static_cast<double>(shown.obliquityJ2000.cos);
            const double s = static_cast<double>(shown.obliquityJ2000.sin);
            const double y2 = y * c + z * s, z2 = z * c - y * s;
            y = y2, z = z2;
        }
        columns[static_cast<std::size_t>(k)] = {x, y, z};
    }
    std::array<ViewVector, 3> rows{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] =
                columns[static_cast<std::size_t>(c)][static_cast<std::size_t>(r)];
    return rows;
}

} // namespace

ViewVector Scene::fromJ2000Vector(const ViewVector& v) const {
    ViewVector out{};
    for (std::size_t r = 0; r < 3; ++r)
        out[r] = fromJ2000[r][0] * v[0] + fromJ2000[r][1] * v[1] + fromJ2000[r][2] * v[2];
    return out;
}

ViewVector Scene::toJ2000(const ViewVector& v) const {
    ViewVector out{};
    for (std::size_t c = 0; c < 3; ++c)
        out[c] = fromJ2000[0][c] * v[0] + fromJ2000[1][c] * v[1] + fromJ2000[2][c] * v[2];
    return out;
}

Scene buildScene(const RunContext& run, const GraphicsViewSettings& view) {
    const BodyTable& b = run.bodies;
    const IntegrationState& st = run.integration;
    const int n = b.layout.bodyCount;
    const int earth = b.layout.earthIndex <= n ? b.layout.earthIndex : 0;
    Scene scene;
    scene.t = st.epoch;
    scene.deltaTDays = run.page.deltaTOn ? deltaT(st.epoch, run.deltaT) : 0.0L;
    scene.ofDate = run.page.precession;
    scene.ecliptic = view.ecliptic && !view.horizontal;

    // The shown frame: the equator of date (nutation as the page has it) or J2000.
    FrameState shown;
    FrameOptions options;
    options.principalNutation = options.fullNutation = run.page.nutation && scene.ofDate;
    computeFrame(shown, scene.ofDate ? st.epoch : 0.0L, options, run.precessionTable);
    scene.fromJ2000 = viewMatrix(shown, scene.ofDate, scene.ecliptic);
    // shown equator (or ecliptic) -> J2000 -> view: fromJ2000 times the transpose.
    auto toView = [&](const std::array<ViewVector, 3>& m) {
        std::array<ViewVector, 3> out{};
        for (std::size_t r = 0; r < 3; ++r)
            for (std::size_t c = 0; c < 3; ++c)
                out[r][c] = scene.fromJ2000[r][0] * m[c][0] + scene.fromJ2000[r][1] * m[c][1] +
                            scene.fromJ2000[r][2] * m[c][2];
        return out;
    };
    scene.equatorToView = toView(viewMatrix(shown, scene.ofDate, false));
    scene.eclipticToView = toView(viewMatrix(shown, scene.ofDate, true));

    // Absolute states in the table's frame, velocities per day.
    const long double perDay = 1.0L / (static_cast<long double>(st.direction) * st.step);
    std::vector<ViewVector> p(static_cast<std::size_t>(n + 1)), v(p.size());
    for (int i = 0; i <= n; ++i) {
        long double x = b.posX[i], y = b.posY[i], z = b.posZ[i];
        long double vx = b.velX[i], vy = b.velY[i], vz = b.velZ[i];
        if (i != earth && isStoredGeocentric(b, i, st.satelliteMode)) {
            x += b.posX[earth], y += b.posY[earth], z += b.posZ[earth];
            vx += b.velX[earth], vy += b.velY[earth], vz += b.velZ[earth];
        }
        const auto k = static_cast<std::size_t>(i);
        p[k] = {static_cast<double>(x), static_cast<double>(y), static_cast<double>(z)};
        v[k] = {static_cast<double>(vx * perDay), static_cast<double>(vy * perDay),
                static_cast<double>(vz * perDay)};
    }

    // The centre: the Earth (and the site) in topocentric and horizontal sky
    // views, else the page's centre.
    const bool sky = !view.orthographic;
    const bool topocentric = sky && (view.topocentric || view.horizontal || run.centre.topocentric);
    int centre = 0;
    ViewVector centreP{}, centreV{};
    switch (topocentric ? CentreSelection::Kind::Earth : run.centre.kind) {
    case CentreSelection::Kind::Sun:
        centre = 0;
        break;
    case CentreSelection::Kind::Earth:
        centre = earth;
        break;
    case CentreSelection::Kind::Body:
        centre = std::clamp(run.centre.bodyIndex, 0, n);
        break;
    case CentreSelection::Kind::FixedPoint:
        centre = -1;
        break;
    }
    scene.centreIndex = centre;
    // The site in the table's frame (it is computed in the equator of date).
    FrameState dateFrame;
    FrameOptions dateOptions;
    dateOptions.principalNutation = dateOptions.fullNutation = run.page.nutation;
    computeFrame(dateFrame, st.epoch, dateOptions, run.precessionTable);
    const ObserverState site =
        observerVector(run.site, st.epoch, scene.deltaTDays,
                       run.page.nutation ? dateFrame.equationOfEquinoxes : 0.0, true);
    const std::array<ViewVector, 3> equatorOfDate = viewMatrix(dateFrame, true, false);
    scene.localSiderealTime = site.localSiderealTime;
    auto dateToTable = [&](ViewVector w) {
        rotateToJ2000(dateFrame, 0, &w[0], &w[1], &w[2]);
        rotateToDate(run.frame, 0, 0, &w[0], &w[1], &w[2]);
        return w;
    };
    if (centre >= 0) {
        centreP = p[static_cast<std::size_t>(centre)];
        centreV = v[static_cast<std::size_t>(centre)];
    } else {
        ViewVector f = run.centre.fixedPoint;
        rotateToDate(run.frame, 0, 0, &f[0], &f[1], &f[2]);
        centreP = f;
    }
    if (topocentric) {
        centreP = plus(centreP, dateToTable(site.position));
        centreV = plus(centreV, dateToTable(site.velocity));
    }
    scene.centreName =
        centre < 0 ? "Fixed" : (centre == 0 ? "Helio" : (centre == earth ? "Geo" : ""));
    if (centre > 0 && centre != earth)
        scene.centreName = trimmedName(b.name[static_cast<std::size_t>(centre)]);

    const CorrectionSwitches switches{run.page.lightTime, run.page.aberration};
    const ObserverMotion observer{centreV, {}};
    scene.aberration = sky && run.page.lightTime && run.page.aberration;
    scene.bodies.reserve(p.size());
    for (int i = 0; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        SceneBody body;
        body.index = i;
        body.name = trimmedName(b.name[k]);
        body.colour = b.color[k];
        body.radiusGm = b.radius[k];
        body.centre = i == centre;
        body.hidden = i < hiddenPlanetSlots && b.hiddenPlanet[k] != 0;
        RelativeState rel;
        rel.position = minus(p[k], centreP);
        rel.velocity = minus(v[k], centreV);
        body.distanceGm = norm(rel.position);
        if (sky && !body.centre && run.page.lightTime)
            rel = lightTimeCorrected(rel, observer, switches);
        ViewVector w = rel.position;
        rotateToJ2000(run.frame, 0, &w[0], &w[1], &w[2]);
        body.position = scene.fromJ2000Vector(w);
        ViewVector wv = rel.velocity;
        rotateToJ2000(run.frame, 0, &wv[0], &wv[1], &wv[2]);
        body.velocity = scene.fromJ2000Vector(wv);
        scene.bodies.push_back(body);
    }
    // The observer's velocity in the view frame, for the aberration of the stars.
    ViewVector ov = centreV;
    rotateToJ2000(run.frame, 0, &ov[0], &ov[1], &ov[2]);
    ov = scene.fromJ2000Vector(ov);
    for (int k = 0; k < 3; ++k) scene.earthVelocity[k] = ov[static_cast<std::size_t>(k)];

    // Zenith and pole of date in the view frame.
    const ViewVector zenithOfDate = unitFromAngles(site.localSiderealTime, run.site.latitude);
    auto ofDateToView = [&](const ViewVector& w) {
        // equator of date -> J2000 (transpose of equatorOfDate) -> view.
        ViewVector j{};
        for (std::size_t c = 0; c < 3; ++c)
            j[c] = equatorOfDate[0][c] * w[0] + equatorOfDate[1][c] * w[1] +
                   equatorOfDate[2][c] * w[2];
        return scene.fromJ2000Vector(j);
    };
    scene.zenith = ofDateToView(zenithOfDate);
    scene.northPole = ofDateToView({0, 0, 1});
    return scene;
}

} // namespace tarvo::views
