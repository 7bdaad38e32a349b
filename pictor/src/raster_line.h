// Aliased lines on the canvas with the pen's width and dash pattern.
#pragma once
#include <vector>

#include "canvas.h"
#include "paint_style.h"

namespace pictor {

struct PixelPoint {
    long long x = 0; // canvas pixels, may lie far outside the canvas
    long long y = 0;
};

// Draws the line from a to b. A one-pixel pen leaves the end pixel unset
// unless includeEnd is true, so that chained lines set each joint once; a
// wide pen paints its round tip at both ends and every pixel whose centre
// lies within half its width of the line between them. patternPhase (pixels) carries the dash
// pattern from one line of a chain to the next.
void drawLine(Canvas& canvas, const StrokeStyle& pen, PixelPoint a, PixelPoint b, bool includeEnd,
              long long& patternPhase);

// Draws the chain of lines through the points; a closed chain returns to
// the first point, an open one sets its last point too.
void strokePolyline(Canvas& canvas, const StrokeStyle& pen, const std::vector<PixelPoint>& points,
                    bool closed);

// Paints the given closed chain of pixels in order with the pen: one pixel
// each, the dash pattern counting along them; a wide pen runs along the
// chain as along a closed polyline.
void strokePixelChain(Canvas& canvas, const StrokeStyle& pen, const std::vector<PixelPoint>& chain);

// Widest pen tip drawn, in pixels: wider pens are drawn this wide, which
// already covers the largest canvas from any point on it.
constexpr int kMaxPenPixels = 32768;

// The pixel offsets of a round pen tip of the given width, one span per
// row: dy, then dx from and to (inclusive).
struct TipSpan {
    int dy, dxFirst, dxLast;
};
std::vector<TipSpan> penTip(int widthPx);

} // namespace pictor
