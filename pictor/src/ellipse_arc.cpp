#include "ellipse_arc.h"

#include <algorithm>
#include <cmath>

#include "angles.h"

namespace pictor {

std::vector<PointF> ellipseArc(PointF c, double a, double b, double startDegrees,
                               double sweepDegrees) {
    // Steps of at most a third of a pixel along the larger half-axis.
    const double radius = std::max(a, b);
    const double sweepRadians = sweepDegrees * M_PI / 180.0;
    const int steps =
        std::clamp(static_cast<int>(std::ceil(sweepRadians * radius * 3.0)), 1, 20000);
    std::vector<PointF> points;
    points.reserve(static_cast<size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        const double t = startDegrees + sweepDegrees * i / steps;
        const double d = directionOfDegrees(t) * M_PI / 180.0;
        points.push_back({c.x - std::cos(d) * a, c.y - std::sin(d) * b});
    }
    return points;
}

} // namespace pictor
