#include "raster_fill.h"

#include <algorithm>
#include <cmath>

namespace pictor {

bool hatchCovers(int hatch, int x, int y) {
    const int px = x & 7, py = y & 7;
    const bool horizontal = py == 0;
    const bool vertical = px == 0;
    const bool falling = ((x - y) & 7) == 0; // top-left to bottom-right
    const bool rising = ((x + y) & 7) == 7;  // bottom-left to top-right
    switch (hatch) {
    case kHatchHorizontal:
        return horizontal;
    case kHatchVertical:
        return vertical;
    case kHatchFallingDiagonal:
        return falling;
    case kHatchRisingDiagonal:
        return rising;
    case kHatchCross:
        return horizontal || vertical;
    case kHatchDiagonalCross:
        return falling || rising;
    default:
        return false;
    }
}

void fillSpan(Canvas& canvas, const FillStyle& brush, int y, int x0, int x1) {
    if (y < 0 || y >= canvas.height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, canvas.width);
    if (x1 <= x0) return;
    uint32_t* row = canvas.row(y);
    switch (brush.style) {
    case kBrushSolid:
        std::fill(row + x0, row + x1, brush.pixel);
        break;
    case kBrushHatched:
        for (int x = x0; x < x1; ++x) {
            if (hatchCovers(brush.hatch, x, y))
                row[x] = brush.pixel;
            else if (brush.background.opaque)
                row[x] = brush.background.pixel;
        }
        break;
    default:
        break; // hollow: nothing painted
    }
}

void fillRect(Canvas& canvas, const FillStyle& brush, PixelRect rect) {
    const int y0 = std::max(rect.y0, 0), y1 = std::min(rect.y1, canvas.height);
    for (int y = y0; y < y1; ++y) fillSpan(canvas, brush, y, rect.x0, rect.x1);
}

namespace {
// ceil(x) limited to -1..limit+1, so huge shapes never overflow an int.
int clampedCeil(double x, int limit) {
    return static_cast<int>(std::ceil(std::clamp(x, -1.0, limit + 1.0)));
}

struct Crossing {
    double x;
    int winding; // +1 for a downward edge, -1 for an upward one
};
} // namespace

void fillPolygon(Canvas& canvas, const FillStyle& brush, const std::vector<PointF>& polygon) {
    if (polygon.size() < 3 || brush.style == kBrushHollow || brush.style == kBrushHollowStored)
        return;
    double minY = polygon[0].y, maxY = polygon[0].y;
    for (const auto& p : polygon) {
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const int rowFirst = clampedCeil(minY, canvas.height);
    const int rowLast = std::min(canvas.height - 1, clampedCeil(maxY, canvas.height));
    std::vector<Crossing> crossings;
    const size_t n = polygon.size();
    for (int y = std::max(rowFirst, 0); y <= rowLast; ++y) {
        crossings.clear();
        for (size_t i = 0; i < n; ++i) {
            const PointF& a = polygon[i];
            const PointF& b = polygon[(i + 1) % n];
            if (a.y == b.y) continue;
            const bool down = a.y < b.y;
            const PointF& top = down ? a : b;
            const PointF& bottom = down ? b : a;
            // Half-open in y: the top end counts, the bottom end does not.
            if (y < top.y || y >= bottom.y) continue;
            const double t = (y - top.y) / (bottom.y - top.y);
            crossings.push_back({top.x + t * (bottom.x - top.x), down ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].winding;
            if (winding == 0) continue;
            // Pixel x is inside when its centre x lies in [enter, exit).
            const int x0 = clampedCeil(crossings[i].x, canvas.width);
            const int x1 = clampedCeil(crossings[i + 1].x, canvas.width);
            fillSpan(canvas, brush, y, x0, x1);
        }
    }
}

} // namespace pictor
