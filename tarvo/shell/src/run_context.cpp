// runContext: what the searches and views of a run see of it.
#include "run_state.h"

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
    if (centre < 0) {
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
