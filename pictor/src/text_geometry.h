// Geometry of a text row drawn at an angle: where along and across the
// baseline a glyph pixel falls on the canvas.
#pragma once
#include <cmath>

#include "canvas.h"
#include "paint_style.h"
#include "raster_fill.h"

namespace pictor {

struct TextFrame {
    PointF topLeft;     // pixel position of the first cell's top-left corner
    PointF along{1, 0}; // unit vector in the writing direction (screen, y down)
    PointF down{0, 1};  // unit vector from the cell top towards the baseline

    explicit TextFrame(PointF origin, double angleDegrees) : topLeft(origin) {
        const double a = angleDegrees * M_PI / 180.0;
        along = {std::cos(a), -std::sin(a)};
        down = {std::sin(a), std::cos(a)};
    }
    PointF at(double u, double v) const {
        return {topLeft.x + along.x * u + down.x * v, topLeft.y + along.y * u + down.y * v};
    }
    // Fills the band from u0 to u1 along and v0 to v1 across (pixels).
    void fillBand(Canvas& canvas, double u0, double u1, double v0, double v1,
                  uint32_t pixel) const {
        FillStyle solid;
        solid.pixel = pixel;
        // Pixel centres are the integer points: a cell [0, n) covers centres 0..n-1.
        const PointF shift{-0.5, -0.5};
        std::vector<PointF> band{at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)};
        for (PointF& p : band) {
            p.x += shift.x;
            p.y += shift.y;
        }
        fillPolygon(canvas, solid, band);
    }
};

} // namespace pictor
