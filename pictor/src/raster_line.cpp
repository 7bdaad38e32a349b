#include "raster_line.h"

#include <cmath>

#include "raster_fill.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace pictor {

namespace {

// Dash patterns of the one-pixel styled pens: on, off, on, off ... (pixels).
struct DashPattern {
    std::array<int, 6> runs;
    int count;
};

const DashPattern* dashPattern(int style) {
    static const DashPattern dashed{{18, 6}, 2};
    static const DashPattern dotted{{3, 3}, 2};
    static const DashPattern dashDot{{9, 6, 3, 6}, 4};
    static const DashPattern dashDotDot{{9, 3, 3, 3, 3, 3}, 6};
    switch (style) {
    case kPenDashed:
        return &dashed;
    case kPenDotted:
        return &dotted;
    case kPenDashDot:
        return &dashDot;
    case kPenDashDotDot:
        return &dashDotDot;
    default:
        return nullptr;
    }
}

bool dashIsOn(const DashPattern& pattern, long long phase) {
    int period = 0;
    for (int i = 0; i < pattern.count; ++i) period += pattern.runs[i];
    int at = static_cast<int>(phase % period);
    for (int i = 0; i < pattern.count; ++i) {
        if (at < pattern.runs[i]) return (i % 2) == 0;
        at -= pattern.runs[i];
    }
    return false;
}

void stampTip(Canvas& canvas, const std::vector<TipSpan>& tip, long long x, long long y,
              uint32_t pixel) {
    for (const TipSpan& s : tip) {
        const long long row = y + s.dy;
        if (row < 0 || row >= canvas.height) continue;
        const long long from = std::max<long long>(x + s.dxFirst, 0);
        const long long to = std::min<long long>(x + s.dxLast, canvas.width - 1);
        uint32_t* r = canvas.row(static_cast<int>(row));
        for (long long c = from; c <= to; ++c) r[c] = pixel;
    }
}

} // namespace

std::vector<TipSpan> penTip(int widthPx) {
    std::vector<TipSpan> spans;
    const int w = std::clamp(widthPx, 1, kMaxPenPixels);
    const double centre = (w - 1) / 2.0, radiusSq = (w / 2.0) * (w / 2.0);
    for (int j = 0; j < w; ++j) {
        const double dy = j - centre;
        if (dy * dy > radiusSq) continue;
        // Pixels i with (i - centre)^2 + dy^2 <= r^2; centre and r are
        // multiples of 1/2, so the bounds are exact after the small nudge.
        const double half = std::sqrt(radiusSq - dy * dy);
        const int first = static_cast<int>(std::ceil(centre - half - 1e-9));
        const int last = static_cast<int>(std::floor(centre + half + 1e-9));
        if (first <= last) spans.push_back({j - w / 2, first - w / 2, last - w / 2});
    }
    return spans;
}

namespace {

// Every pixel whose centre lies within half the pen width of the segment
// between the tip centres of a and b.
void wideBody(Canvas& canvas, uint32_t pixel, int w, PixelPoint a, PixelPoint b) {
    const double c = (w % 2 == 0) ? -0.5 : 0.0; // centre of an even tip
    const double ax = double(a.x) + c, ay = double(a.y) + c, bx = double(b.x) + c,
                 by = double(b.y) + c;
    const double length = std::hypot(bx - ax, by - ay);
    if (length == 0) return;
    const double nx = -(by - ay) / length * (w / 2.0), ny = (bx - ax) / length * (w / 2.0);
    FillStyle body;
    body.pixel = pixel;
    fillPolygon(canvas, body,
                {{ax + nx, ay + ny}, {bx + nx, by + ny}, {bx - nx, by - ny}, {ax - nx, ay - ny}});
}

// A wide line: round tips at both ends and the straight body between.
void drawWideLine(Canvas& canvas, const StrokeStyle& pen, PixelPoint a, PixelPoint b) {
    const int w = std::min(pen.widthPx, kMaxPenPixels);
    const std::vector<TipSpan> tip = penTip(w);
    stampTip(canvas, tip, a.x, a.y, pen.pixel);
    stampTip(canvas, tip, b.x, b.y, pen.pixel);
    wideBody(canvas, pen.pixel, w, a, b);
}

// A wide pen along a chain of points: bodies between all neighbours, round
// tips at the ends and at every (width / 16)-th point, which keeps the cost
// near the painted area while the joints stay round within a pixel.
void strokeWideChain(Canvas& canvas, const StrokeStyle& pen, const std::vector<PixelPoint>& points,
                     bool closed) {
    if (points.empty()) return;
    const int w = std::min(pen.widthPx, kMaxPenPixels);
    const std::vector<TipSpan> tip = penTip(w);
    const size_t every = static_cast<size_t>(std::max(1, w / 16));
    for (size_t i = 0; i < points.size(); ++i) {
        if (i % every == 0 || i + 1 == points.size())
            stampTip(canvas, tip, points[i].x, points[i].y, pen.pixel);
        if (i + 1 < points.size()) wideBody(canvas, pen.pixel, w, points[i], points[i + 1]);
    }
    if (closed && points.size() > 1) wideBody(canvas, pen.pixel, w, points.back(), points.front());
}

} // namespace

void drawLine(Canvas& canvas, const StrokeStyle& pen, PixelPoint a, PixelPoint b, bool includeEnd,
              long long& patternPhase) {
    if (pen.style == kPenInvisible || pen.style == kPenInvisibleStored) return;
    if (pen.widthPx > 1) {
        drawWideLine(canvas, pen, a, b);
        patternPhase += std::max(std::llabs(b.x - a.x), std::llabs(b.y - a.y));
        return;
    }
    const DashPattern* dashes = dashPattern(pen.style);
    const long long dx = b.x - a.x, dy = b.y - a.y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const long long steps = std::llabs(major);
    const long long lastStep = includeEnd ? steps : steps - 1;
    const int majorDir = major < 0 ? -1 : 1;
    const long long majorStart = xMajor ? a.x : a.y, minorStart = xMajor ? a.y : a.x;

    // Only steps whose major coordinate lies on the canvas can paint
    // anything: skip the rest without walking them.
    const long long majorLimit = (xMajor ? canvas.width : canvas.height) - 1;
    long long first = 0, last = lastStep;
    if (majorDir > 0) {
        first = std::max(first, -majorStart);
        last = std::min(last, majorLimit - majorStart);
    } else {
        first = std::max(first, majorStart - majorLimit);
        last = std::min(last, majorStart);
    }
    const long long twiceSteps = 2 * steps;
    const long long absMinor = std::llabs(minor);
    const int minorDir = minor < 0 ? -1 : 1;
    // Bresenham's pixel for step i is round(i * minor / steps): the minor
    // offset is floor((2 i |minor| + steps) / (2 steps)). Start it in closed
    // form at the first visible step, then carry the remainder.
    long long off = 0, remainder = 0;
    if (steps > 0 && first <= last) {
        const __int128 numerator = static_cast<__int128>(2) * first * absMinor + steps;
        off = static_cast<long long>(numerator / twiceSteps);
        remainder = static_cast<long long>(numerator % twiceSteps);
    }
    for (long long i = first; i <= last; ++i) {
        const long long m = majorStart + majorDir * i, n = minorStart + minorDir * off;
        const long long x = xMajor ? m : n, y = xMajor ? n : m;
        if (x >= 0 && y >= 0 && x < canvas.width && y < canvas.height) {
            uint32_t& px = canvas.row(static_cast<int>(y))[x];
            if (!dashes || dashIsOn(*dashes, patternPhase + i))
                px = pen.pixel;
            else if (pen.background.opaque)
                px = pen.background.pixel;
        }
        remainder += 2 * absMinor;
        if (remainder >= twiceSteps) {
            remainder -= twiceSteps;
            ++off;
        }
    }
    patternPhase += steps;
}

void strokePixelChain(Canvas& canvas, const StrokeStyle& pen,
                      const std::vector<PixelPoint>& chain) {
    if (pen.style == kPenInvisible || pen.style == kPenInvisibleStored) return;
    if (pen.widthPx > 1) {
        strokeWideChain(canvas, pen, chain, true);
        return;
    }
    const DashPattern* dashes = dashPattern(pen.style);
    long long index = 0;
    for (const PixelPoint& p : chain) {
        const long long i = index++;
        if (p.x < 0 || p.y < 0 || p.x >= canvas.width || p.y >= canvas.height) continue;
        uint32_t& px = canvas.row(static_cast<int>(p.y))[p.x];
        if (!dashes || dashIsOn(*dashes, i))
            px = pen.pixel;
        else if (pen.background.opaque)
            px = pen.background.pixel;
    }
}

void strokePolyline(Canvas& canvas, const StrokeStyle& pen, const std::vector<PixelPoint>& points,
                    bool closed) {
    if (points.empty()) return;
    if (pen.widthPx > 1 && pen.style != kPenInvisible && pen.style != kPenInvisibleStored) {
        strokeWideChain(canvas, pen, points, closed);
        return;
    }
    long long phase = 0;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const bool lastOpen = !closed && i + 2 == points.size();
        drawLine(canvas, pen, points[i], points[i + 1], lastOpen, phase);
    }
    if (closed && points.size() > 1)
        drawLine(canvas, pen, points.back(), points.front(), false, phase);
    if (points.size() == 1) drawLine(canvas, pen, points[0], points[0], true, phase);
}

} // namespace pictor
