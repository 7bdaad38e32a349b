// Arcs of an ellipse in the library's angle convention.
#pragma once
#include <vector>

#include "raster_fill.h"

namespace pictor {

// Points along the arc of the ellipse centred on c with half-axes a and b
// (pixels) from startDegrees through sweepDegrees (> 0). The point for an
// angle t is c + (-cos d * a, -sin d * b), d being the direction t names
// under the angle options: the ray from the centre through
// (-cos d * 8000 * a, -sin d * 8000 * b) meets the ellipse there.
std::vector<PointF> ellipseArc(PointF c, double a, double b, double startDegrees,
                               double sweepDegrees);

} // namespace pictor
