#include "bezier_path.h"

#include <algorithm>
#include <cmath>

namespace pictor {

std::vector<CubicBezier> ellipseOutline(PointF c, double rx, double ry) {
    const double kx = kQuarterArcControl * rx, ky = kQuarterArcControl * ry;
    const PointF left{c.x - rx, c.y}, top{c.x, c.y - ry}, right{c.x + rx, c.y},
        bottom{c.x, c.y + ry};
    return {
        {left, {left.x, left.y - ky}, {top.x - kx, top.y}, top},
        {top, {top.x + kx, top.y}, {right.x, right.y - ky}, right},
        {right, {right.x, right.y + ky}, {bottom.x + kx, bottom.y}, bottom},
        {bottom, {bottom.x - kx, bottom.y}, {left.x, left.y + ky}, left},
    };
}

namespace {
double distance(PointF a, PointF b) {
    return std::hypot(b.x - a.x, b.y - a.y);
}

PointF pointAt(const CubicBezier& b, double t) {
    const double u = 1 - t;
    const double w0 = u * u * u, w1 = 3 * u * u * t, w2 = 3 * u * t * t, w3 = t * t * t;
    return {w0 * b.p0.x + w1 * b.p1.x + w2 * b.p2.x + w3 * b.p3.x,
            w0 * b.p0.y + w1 * b.p1.y + w2 * b.p2.y + w3 * b.p3.y};
}
} // namespace

std::vector<PointF> flattenPath(const std::vector<CubicBezier>& path) {
    std::vector<PointF> points;
    if (path.empty()) return points;
    points.push_back(path.front().p0);
    for (const CubicBezier& b : path) {
        const double length = distance(b.p0, b.p1) + distance(b.p1, b.p2) + distance(b.p2, b.p3);
        // A chord over an arc of curvature radius r strays r (1 - cos(phi/2));
        // 1.5 sqrt(length) chords keep that below a quarter pixel.
        const int segments =
            std::clamp(static_cast<int>(std::ceil(1.5 * std::sqrt(length))), 2, 65536);
        for (int i = 1; i <= segments; ++i) points.push_back(pointAt(b, double(i) / segments));
    }
    return points;
}

std::vector<PixelPoint> roundToPixels(const std::vector<PointF>& points) {
    constexpr double kLimit = 1099511627776.0; // 2^40 pixels
    std::vector<PixelPoint> pixels;
    pixels.reserve(points.size());
    for (const PointF& p : points) {
        const PixelPoint q{std::llround(std::clamp(p.x, -kLimit, kLimit)),
                           std::llround(std::clamp(p.y, -kLimit, kLimit))};
        if (pixels.empty() || pixels.back().x != q.x || pixels.back().y != q.y) pixels.push_back(q);
    }
    return pixels;
}

void fillAndStrokeClosedPath(Canvas& canvas, const StrokeStyle& pen, const FillStyle& brush,
                             const std::vector<CubicBezier>& path) {
    std::vector<PointF> points = flattenPath(path);
    fillPolygon(canvas, brush, points);
    std::vector<PixelPoint> outline = roundToPixels(points);
    if (outline.size() > 1 && outline.back().x == outline.front().x &&
        outline.back().y == outline.front().y)
        outline.pop_back();
    strokePolyline(canvas, pen, outline, true);
}

} // namespace pictor
