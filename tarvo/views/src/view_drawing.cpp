// One frame of the graphics view.
#include "view_drawing.h"

#include "tarvo/reductions/places.h"
#include "tarvo/reductions/time_scales.h"
#include "view_grid.h"

#include "pictor.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo::views {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kArcsec = kPi / 648000.0;

double dot(const ViewVector& a, const ViewVector& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
ViewVector cross(const ViewVector& a, const ViewVector& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
ViewVector normalised(const ViewVector& v) {
    const double n = std::sqrt(dot(v, v));
    return n > 0 ? ViewVector{v[0] / n, v[1] / n, v[2] / n} : ViewVector{0, 0, 1};
}

std::string trimmed(const std::string& s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

void text(int x, int y, const std::string& t, int colour) {
    GfxFontColor(colour);
    DrawFrom(x, y);
    DrawTextRow(t.c_str(), 0);
}

void inside(int width, int height, const PixelPlace& p, int colour) {
    if (p.x >= 0 && p.y >= 0 && p.x < width && p.y < height) DrawPixel(p.x, p.y, colour);
}

// Plane of the orthographic view: the scene's axes, the mean plane of the
// planets (their total angular momentum about the centre), or the plane of
// one body's orbit about the centre.  Rows are the new axes.
std::array<ViewVector, 3> planeAxes(const Scene& scene, const GraphicsViewSettings& view) {
    std::array<ViewVector, 3> axes{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    if (!view.meanPlane && !view.orbitPlane) return axes;
    ViewVector pole{};
    if (view.orbitPlane) {
        for (const SceneBody& b : scene.bodies)
            if (b.index == view.orbitPlaneBody) pole = cross(b.position, b.velocity);
    } else {
        for (const SceneBody& b : scene.bodies) {
            if (b.index == 0 || b.index > 9) continue; // the planets about the centre
            const ViewVector h = cross(b.position, b.velocity);
            const double weight =
                b.radiusGm > 0 ? b.radiusGm * b.radiusGm * b.radiusGm : 0; // ~ mass
            for (int k = 0; k < 3; ++k)
                pole[static_cast<std::size_t>(k)] += weight * h[static_cast<std::size_t>(k)];
        }
    }
    if (!(dot(pole, pole) > 0)) return axes;
    const ViewVector z = normalised(pole);
    const ViewVector node = normalised(cross({0, 0, 1}, z)); // ascending node on the frame's plane
    const ViewVector x = dot(node, node) > 0.5 ? node : ViewVector{1, 0, 0};
    const ViewVector y = cross(z, x);
    return {x, y, z};
}

ViewVector inAxes(const std::array<ViewVector, 3>& axes, const ViewVector& v) {
    return {dot(axes[0], v), dot(axes[1], v), dot(axes[2], v)};
}

// Annual aberration of a star direction, first order: u + v/c - (u.v/c) u.
ViewVector aberrated(const ViewVector& u, const double velocity[3]) {
    ViewVector w{velocity[0] / kSpeedOfLightGmPerDay, velocity[1] / kSpeedOfLightGmPerDay,
                 velocity[2] / kSpeedOfLightGmPerDay};
    const double along = dot(u, w);
    return normalised(
        {u[0] + w[0] - along * u[0], u[1] + w[1] - along * u[1], u[2] + w[2] - along * u[2]});
}

void drawStars(const Scene& scene, const RunContext& run, const GraphicsViewSettings& view,
               const ViewProjector& projector, int width, int height, DrawMemory& memory) {
    if (!run.stars || (!view.stars && !view.nebulae)) return;
    const StarTable& stars = *run.stars;
    const bool bw = view.blackAndWhite;
    const double t = static_cast<double>(scene.t);
    for (std::size_t i = 0; i < stars.size(); ++i) {
        const bool deepSky = stars.deepSky(i);
        if (deepSky ? !view.nebulae : !view.stars) continue;
        const double m = stars.visualMagnitude(i);
        const StarMark mark = starMark(m, view.starLimit, view.brightness);
        if (!deepSky && !mark.drawn) continue;
        ViewVector u = stars.unitVector(i);
        if (view.properMotion && !deepSky) {
            const auto w = stars.motionVector(i);
            for (int k = 0; k < 3; ++k)
                u[static_cast<std::size_t>(k)] += 2.5e-14 * t * w[static_cast<std::size_t>(k)];
            u = normalised(u);
        }
        u = scene.fromJ2000Vector(u);
        if (scene.aberration) u = aberrated(u, scene.earthVelocity);
        const auto p = projector.place(u);
        if (!p || p->x < 0 || p->y < 0 || p->x >= width || p->y >= height) continue;
        if (deepSky) {
            // The drawn radius is the object's size, in units of 10".
            const int r =
                std::max(2, static_cast<int>(std::lround(stars.uncertainty[i] * 10.0 * kArcsec *
                                                         projector.pixelsPerUnit())));
            const int colour = bw ? 0 : rgb(120, 200, 120);
            Pen(colour, 0, 0);
            BrushStyle(1); // hollow
            DrawFrom(p->x, p->y);
            DrawCircle(std::min(r, 4 * width));
            BrushStyle(0);
        } else {
            const int colour =
                bw ? 0 : starColour(stars.colourClass(i), view.starColours, mark.intensity);
            if (mark.radius == 0) {
                DrawPixel(p->x, p->y, colour);
            } else {
                Pen(colour, 0, 0);
                Brush(colour, 0, 0);
                DrawFrom(p->x, p->y);
                DrawCircle(mark.radius);
            }
        }
        const std::string name = trimmed(stars.name(i));
        const std::string& designation = stars.designation(i);
        memory.drawn.push_back({name, designation, std::to_string(stars.sequence[i]), *p, u});
        // Names and designations go with the stars drawn as discs, so that
        // a chart to magnitude 6 stays readable.
        const bool labelled = deepSky || mark.radius >= 1;
        const bool names = labelled && (deepSky ? view.nebulaNames : view.starNames);
        const int textColour = bw ? 0 : (deepSky ? rgb(120, 200, 120) : rgb(160, 160, 255));
        int dy = -6;
        if (names && !name.empty()) {
            text(p->x + mark.radius + 3, p->y + dy, name, textColour);
            dy += 12;
        }
        if (labelled && view.starDesignations && !designation.empty())
            text(p->x + mark.radius + 3, p->y + dy, designation, bw ? 0 : rgb(200, 160, 80));
    }
    // Constellation labels go with the star names.
    if (view.starNames && view.stars)
        for (std::size_t k = 0; k < kConstellationCount; ++k) {
            const auto& d = stars.labelDirections[k];
            if (d[0] == 0 && d[1] == 0 && d[2] == 0) continue;
            const auto p = projector.place(scene.fromJ2000Vector({d[0], d[1], d[2]}));
            if (p) text(p->x, p->y, stars.constellations[k], bw ? 0 : rgb(200, 90, 90));
        }
}

void drawBodies(const Scene& scene, const GraphicsViewSettings& view,
                const ViewProjector& projector, int width, int height, DrawMemory& memory) {
    const std::array<ViewVector, 3> axes = planeAxes(scene, view);
    const bool bw = view.blackAndWhite;
    const int threshold = view.planetSize == 1 ? 3 : (view.planetSize == 0 ? 2 : 1);
    if (memory.lastBodyPlace.size() < scene.bodies.size())
        memory.lastBodyPlace.resize(scene.bodies.size());
    for (const SceneBody& b : scene.bodies) {
        const auto k = static_cast<std::size_t>(b.index);
        if (b.hidden || (b.centre && projector.sky())) {
            memory.lastBodyPlace[k].reset();
            continue;
        }
        const ViewVector v = projector.sky() ? b.position : inAxes(axes, b.position);
        const auto p = projector.place(v);
        if (!p) {
            memory.lastBodyPlace[k].reset();
            continue;
        }
        int colour = bw ? 0 : static_cast<int>(b.colour & 0xffffff);
        if (memory.spaceOverlapOn) {
            if (b.index >= memory.spaceOverlap[0] && b.index <= memory.spaceOverlap[1])
                colour = rgb(255, 64, 64);
            if (b.index >= memory.spaceOverlap[2] && b.index <= memory.spaceOverlap[3])
                colour = rgb(64, 255, 255);
        }
        const double perUnit = projector.pixelsPerUnit();
        const double radiusPx = projector.sky()
                                    ? (b.distanceGm > 0 ? b.radiusGm / b.distanceGm * perUnit : 0)
                                    : b.radiusGm * perUnit;
        const bool lines = view.trace == TraceMode::lines || view.trace == TraceMode::linesAndMarks;
        if (lines && memory.lastBodyPlace[k]) {
            Pen(colour, 0, 0);
            DrawLine(memory.lastBodyPlace[k]->x, memory.lastBodyPlace[k]->y, p->x, p->y);
        }
        memory.lastBodyPlace[k] = *p;
        if (view.trace == TraceMode::lines) {
            inside(width, height, *p, colour);
        } else if (radiusPx < threshold) {
            inside(width, height, *p, colour);
            if (!bw && threshold == 3) {
                Pen(colour, 0, 0);
                BrushStyle(1);
                DrawFrom(p->x, p->y);
                DrawCircle(threshold - 1);
                BrushStyle(0);
            } else if (!bw && threshold == 2) {
                for (const PixelPlace& q : {PixelPlace{p->x - 1, p->y}, PixelPlace{p->x + 1, p->y},
                                            PixelPlace{p->x, p->y - 1}, PixelPlace{p->x, p->y + 1}})
                    inside(width, height, q, colour);
            }
        } else {
            Pen(colour, 0, 0);
            Brush(colour, 0, 0);
            DrawFrom(p->x, p->y);
            DrawCircle(static_cast<int>(std::min(radiusPx, 4.0 * (width + height))));
        }
        if (view.markRequest) {
            const int white = bw ? 0 : rgb(255, 255, 255);
            Pen(white, 0, 0);
            DrawLine(p->x - 4, p->y, p->x + 5, p->y);
            DrawLine(p->x, p->y - 4, p->x, p->y + 5);
        }
        if (view.planetNames && (view.trace == TraceMode::off || view.markRequest))
            text(p->x + std::max(3, static_cast<int>(radiusPx) + 2), p->y - 6, b.name,
                 bw ? 0 : rgb(255, 255, 0));
        ViewVector direction = b.position;
        memory.drawn.push_back({b.name, "", std::to_string(b.index), *p, direction});
    }
}

} // namespace

StarMark starMark(double magnitude, double limit, int brightness) {
    StarMark mark;
    // Each brightness level moves the scale by a quarter magnitude.
    const double m = magnitude - 0.25 * brightness;
    if (m > limit) return mark;
    mark.drawn = true;
    const double excess = limit - m; // magnitudes above the limit
    mark.radius =
        excess < 1.5 ? 0 : static_cast<int>(std::min(7.0, std::floor((excess - 0.5) / 1.2)));
    mark.intensity = std::clamp(0.35 + 0.65 * excess / 1.5, 0.35, 1.0);
    return mark;
}

int starColour(int colourClass, bool colours, double intensity) {
    // B-V -0.3 blue-white ... 0.6 yellow-white ... 1.5 orange-red.
    int r = 255, g = 255, b = 255;
    if (colours && colourClass > 0) {
        const double bv = std::clamp(colourIndexOf(colourClass), -0.4, 2.0);
        if (bv < 0.0) {
            r = static_cast<int>(170 + 200 * (bv + 0.4)),
            g = static_cast<int>(200 + 130 * (bv + 0.4)), b = 255;
        } else if (bv < 0.6) {
            r = 255, g = static_cast<int>(255 - 20 * bv), b = static_cast<int>(255 - 160 * bv);
        } else {
            const double f = std::min((bv - 0.6) / 1.2, 1.0);
            r = 255, g = static_cast<int>(243 - 110 * f), b = static_cast<int>(159 - 110 * f);
        }
    }
    auto scaled = [&](int c) { return std::clamp(static_cast<int>(c * intensity), 0, 255); };
    return rgb(scaled(r), scaled(g), scaled(b));
}

void drawFrame(const Scene& scene, const RunContext& run, const GraphicsViewSettings& view,
               int width, int height, DrawMemory& memory) {
    const ViewProjector projector(view, scene, width, height);
    memory.drawn.clear();
    if (projector.sky()) {
        drawGrid(scene, view, projector);
        drawStars(scene, run, view, projector, width, height, memory);
    }
    drawBodies(scene, view, projector, width, height, memory);
}

std::string frameDateText(const Scene& scene) {
    const CalendarTime c = daysToCalendar(scene.t - scene.deltaTDays + 0.5L);
    return trimmed(c.dateText) + " " + c.timeText + (scene.deltaTDays != 0 ? " UT" : " TT");
}

} // namespace tarvo::views
