// What one redraw of the graphics view shows, before projection: the bodies
// relative to the centre of the view in the frame of the view (equator or
// ecliptic of the shown equinox), and the rotation that brings J2000
// directions (the stars) into the same frame.
#pragma once

#include "tarvo/reductions/run_context.h"
#include "tarvo/views/graphics_view_settings.h"
#include "tarvo/views/sky_projection.h"

#include <string>
#include <vector>

namespace tarvo::views {

struct SceneBody {
    int index = 0;
    std::string name; // 9 characters, trimmed
    std::uint32_t colour = 0xffffff;
    double radiusGm = 0;
    ViewVector position{}; // Gm from the centre, frame of the view
    ViewVector velocity{}; // Gm/day relative to the centre, frame of the view
    double distanceGm = 0;
    bool centre = false; // the centre body itself: not drawn in sky views
    bool hidden = false;
};

struct Scene {
    long double t = 0;            // TT day count
    long double deltaTDays = 0;   // ΔT, 0 with Delta-T off
    double localSiderealTime = 0; // θ of the site (radians), apparent with nutation
    bool ofDate = true;           // the equinox of date, else J2000
    bool ecliptic = false;
    std::string centreName; // "Geo", "Helio", a body's name
    int centreIndex = 0;
    std::vector<SceneBody> bodies;
    // J2000 equator -> frame of the view, as a matrix (rows are the view axes).
    std::array<ViewVector, 3> fromJ2000{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    // The frame of the view -> J2000 equator (the transpose).
    ViewVector toJ2000(const ViewVector& v) const;
    ViewVector fromJ2000Vector(const ViewVector& v) const;
    // The equator and the ecliptic of the shown equinox -> frame of the view (rows).
    std::array<ViewVector, 3> equatorToView{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    std::array<ViewVector, 3> eclipticToView{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    // The zenith and north point of the site in the frame of the view (unit
    // vectors), for the horizontal views.
    ViewVector zenith{0, 0, 1};
    ViewVector northPole{0, 0, 1}; // the celestial pole of date, frame of the view
    double earthVelocity[3] = {
        0, 0, 0}; // the observer's velocity, Gm/day, view frame (aberration of stars)
    bool aberration = false;
};

/*
** buildScene: the bodies of the run as the graphics view shows them.
**
** Given:   the run (table in the equator of date of its frame epoch) and the
**          view settings
** Returned: positions relative to the centre: the page's centre body, the
**          Earth in sky views that are topocentric or horizontal (plus the
**          site); light-time and aberration as the page's switches say in
**          sky views, geometric in the orthographic view; in the equator of
**          date with precession on (nutation as the page says), else J2000;
**          ecliptic when the view's "Ecliptic" is on.
*/
Scene buildScene(const RunContext& run, const GraphicsViewSettings& view);

} // namespace tarvo::views
