// Filling areas of the canvas with a brush: spans, rectangles, polygons.
#pragma once
#include <vector>

#include "canvas.h"
#include "paint_style.h"

namespace pictor {

struct PointF {
    double x = 0; // pixels; integer values are pixel centres
    double y = 0;
};

// Paints pixels x0..x1-1 of row y with the brush (clipped to the canvas).
void fillSpan(Canvas& canvas, const FillStyle& brush, int y, int x0, int x1);

// Paints the rectangle (clipped to the canvas) with the brush.
void fillRect(Canvas& canvas, const FillStyle& brush, PixelRect rect);

// Paints every pixel whose centre lies inside the closed polygon, by the
// non-zero winding rule.
void fillPolygon(Canvas& canvas, const FillStyle& brush, const std::vector<PointF>& polygon);

// True when the hatch pattern covers canvas pixel (x, y); the 8-pixel
// pattern is anchored at the canvas origin.
bool hatchCovers(int hatch, int x, int y);

} // namespace pictor
