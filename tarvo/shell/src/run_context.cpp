// runContext: what the searches and views of a run see of it.
#include "run_state.h"

#include "tarvo/shell/barycentre.h"
#include "tarvo/shell/ephemeris_page.h"

namespace tarvo::runloop {

RunContext runContext(Run& r) {
    Session& s = r.s;
    RunContext context(s.bodies, s.integration, s.frame, r.engine.model.coefficients,
                       s.precessionTable, s.dirs);
    context.site = {static_cast<double>(s.site.latitude), static_cast<double>(s.site.longitude),
                    static_cast<double>(s.site.height), s.site.name};
    const int centre = pageCentre(s, r.settings);
    context.page = pageSettings(s, r.settings, centre);
    const int earth = s.bodies.layout.earthIndex;
    if (centre == kBarycentreCentre) {
        // The barycentre where it stands now (J2000 equator of the table):
        // it moves uniformly by metres a day.
        context.centre.kind = CentreSelection::Kind::FixedPoint;
        const BodyTable& b = s.bodies;
        std::array<long double, 3> p = massiveBarycentre<std::array<long double, 3>>(
            b, s.extraOptions.minorPerturb != 0, [&](int i) {
                std::array<long double, 3> v{b.posX[i], b.posY[i], b.posZ[i]};
                if (isStoredGeocentric(b, i, s.integration.satelliteMode)) {
                    const int e = b.layout.earthIndex;
                    v = {v[0] + b.posX[e], v[1] + b.posY[e], v[2] + b.posZ[e]};
                }
                return v;
            });
        rotateToJ2000(s.frame, p);
        context.centre.fixedPoint = {static_cast<double>(p[0]), static_cast<double>(p[1]),
                                     static_cast<double>(p[2])};
    } else if (centre < 0) {
        context.centre.kind = CentreSelection::Kind::FixedPoint;
        context.centre.fixedPoint = r.settings.fixedCentre;
    } else if (centre == 0) {
        context.centre.kind = CentreSelection::Kind::Sun;
    } else if (centre == earth) {
        context.centre.kind = CentreSelection::Kind::Earth;
        context.centre.topocentric = context.page.centre == CentreKind::Topocentric;
    } else {
        context.centre.kind = CentreSelection::Kind::Body;
        context.centre.bodyIndex = centre;
    }
    context.deltaT = r.settings.deltaT;
    context.helpLanguage = s.toggles.helpLanguage;
    context.ecliptic = s.toggles.ecliptic != 0;
    context.stars = &s.stars;
    context.stepScaleFactor = r.settings.scaleFactor;
    context.timeUnit = r.settings.timeUnit;
    context.backStep = r.settings.backward;
    context.dateInImages = s.toggles.dateInImages != 0;
    context.polarView = s.toggles.polarView != 0;
    return context;
}

} // namespace tarvo::runloop
