// Cubic Bézier paths: flattening, and the ellipse built of four arcs.
#pragma once
#include <vector>

#include "raster_fill.h"
#include "raster_line.h"

namespace pictor {

struct CubicBezier {
    PointF p0, p1, p2, p3; // pixels
};

// Distance of the inner control points from the axis end points of a
// quarter ellipse, as a fraction of the half-axis: 4/3 (sqrt(2) - 1).
constexpr double kQuarterArcControl = 0.552284749830793;

// The closed outline of the ellipse centred on c with half-axes rx, ry
// (pixels): four quadrant arcs starting at the left end (9 o'clock),
// running clockwise on the screen.
std::vector<CubicBezier> ellipseOutline(PointF c, double rx, double ry);

// Points along the path (a chain: each curve starts where the previous
// ended), fine enough that no chord strays half a pixel from the curve.
std::vector<PointF> flattenPath(const std::vector<CubicBezier>& path);

// Nearest pixels of a flattened path, repeated pixels dropped; coordinates
// are limited to +-2^40 so later arithmetic cannot overflow.
std::vector<PixelPoint> roundToPixels(const std::vector<PointF>& points);

// Fills the inside of the closed path with the brush, then outlines it
// with the pen.
void fillAndStrokeClosedPath(Canvas& canvas, const StrokeStyle& pen, const FillStyle& brush,
                             const std::vector<CubicBezier>& path);

} // namespace pictor
