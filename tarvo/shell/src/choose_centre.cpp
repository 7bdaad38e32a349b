// Key C: the centre of the page.
#include "run_state.h"

#include "tarvo/shell/barycentre.h"
#include "tarvo/shell/centre_dialog.h"

namespace tarvo::runloop {

// Key C: planet-centric positions about a body the user names, about the
// barycentre, or about a fixed point; the Earth means geocentric.
void chooseCentre(Run& r) {
    Session& s = r.s;
    if (r.settings.planetCentric) {
        r.settings.planetCentric = false;
        return;
    }
    clearScreen();
    const int lastMajor = s.bodies.layout.lastMajor;
    const int barycentre = s.bodies.layout.bodyCount + 1; // the pseudo-body "Baryc"
    const CentreChoice choice =
        selectCentre(lastMajor, bodyName(s.bodies, lastMajor), s.toggles.ecliptic != 0,
                     static_cast<double>(s.frame.obliquityJ2000.cos),
                     static_cast<double>(s.frame.obliquityJ2000.sin),
                     static_cast<double>(r.engine.model.coefficients.astronomicalUnit), barycentre);
    if (!choice.chosen) return;
    r.settings.topocentric = false;
    s.toggles.horizon = 0;
    if (choice.index == s.bodies.layout.earthIndex) {
        r.settings.planetCentric = false;
        s.toggles.geocentric = -1;
        return;
    }
    r.settings.planetCentric = true;
    r.settings.centreBody = choice.index == barycentre ? kBarycentreCentre : choice.index;
    if (choice.index < 0)
        r.settings.fixedCentre = {choice.fixedPoint[0], choice.fixedPoint[1], choice.fixedPoint[2]};
}

} // namespace tarvo::runloop
