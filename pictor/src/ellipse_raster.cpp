#include "ellipse_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <vector>

#include "bezier_path.h"
#include "raster_fill.h"
#include "raster_line.h"

namespace pictor {

namespace {

// Pixels of the line from a to b, in order, both ends included.
void appendLinePixels(PixelPoint a, PixelPoint b, std::vector<PixelPoint>& out) {
    const long long dx = b.x - a.x, dy = b.y - a.y;
    const long long steps = std::max(std::llabs(dx), std::llabs(dy));
    for (long long i = 0; i <= steps; ++i) {
        const PixelPoint p{
            steps == 0 ? a.x : a.x + (2 * i * dx + (dx >= 0 ? steps : -steps)) / (2 * steps),
            steps == 0 ? a.y : a.y + (2 * i * dy + (dy >= 0 ? steps : -steps)) / (2 * steps)};
        if (out.empty() || out.back().x != p.x || out.back().y != p.y) out.push_back(p);
    }
}

// The closed outline as offsets from the centre, clockwise from 9 o'clock.
std::vector<PixelPoint> outlineOffsets(double rx, double ry) {
    const std::vector<CubicBezier> quarter{ellipseOutline({0, 0}, rx, ry)[0]}; // left to top
    const std::vector<PixelPoint> corners = roundToPixels(flattenPath(quarter));
    std::vector<PixelPoint> q;
    for (size_t i = 0; i + 1 < corners.size(); ++i) appendLinePixels(corners[i], corners[i + 1], q);
    if (q.empty()) q = corners;
    std::vector<PixelPoint> ring(q.begin(), q.end());                          // left -> top
    for (size_t i = q.size() - 1; i-- > 0;) ring.push_back({-q[i].x, q[i].y}); // top -> right
    for (size_t i = 1; i < q.size(); ++i) ring.push_back({-q[i].x, -q[i].y});  // right -> bottom
    for (size_t i = q.size() - 1; i-- > 1;) ring.push_back({q[i].x, -q[i].y}); // bottom -> left
    return ring;
}

} // namespace

void drawEllipse(Canvas& canvas, const StrokeStyle& pen, const FillStyle& brush, long long cx,
                 long long cy, double rx, double ry) {
    // Outlines far larger than the canvas are drawn as clipped line chains.
    const double reach = 4.0 * std::max(canvas.width, canvas.height) + 64.0;
    if (rx > reach || ry > reach) {
        fillAndStrokeClosedPath(canvas, pen, brush,
                                ellipseOutline({double(cx), double(cy)}, rx, ry));
        return;
    }
    const std::vector<PixelPoint> ring = outlineOffsets(rx, ry);
    // Fill every row between its leftmost and rightmost outline pixel.
    std::map<long long, std::pair<long long, long long>> rows;
    for (const PixelPoint& p : ring) {
        auto [it, fresh] = rows.try_emplace(p.y, p.x, p.x);
        if (!fresh) {
            it->second.first = std::min(it->second.first, p.x);
            it->second.second = std::max(it->second.second, p.x);
        }
    }
    const bool outlined = pen.style != kPenInvisible && pen.style != kPenInvisibleStored;
    for (const auto& [dy, span] : rows) {
        const long long y = cy + dy;
        if (y < 0 || y >= canvas.height) continue;
        const long long from = cx + span.first + (outlined ? 1 : 0);
        const long long to = cx + span.second + (outlined ? 0 : 1);
        if (to > from)
            fillSpan(canvas, brush, static_cast<int>(y),
                     static_cast<int>(std::clamp<long long>(from, -1, canvas.width)),
                     static_cast<int>(std::clamp<long long>(to, -1, canvas.width)));
    }
    std::vector<PixelPoint> chain;
    chain.reserve(ring.size());
    for (const PixelPoint& p : ring) chain.push_back({cx + p.x, cy + p.y});
    strokePixelChain(canvas, pen, chain);
}

} // namespace pictor
