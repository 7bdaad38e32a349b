// Circles and ellipses around a pixel centre, outlined and filled with
// exact mirror symmetry: one quadrant of the Bézier outline is rasterised
// and mirrored into the other three.
#pragma once
#include "canvas.h"
#include "paint_style.h"

namespace pictor {

// Draws the ellipse centred on pixel (cx, cy) with half-axes rx and ry
// (pixels): the inside filled with the brush, the outline with the pen.
void drawEllipse(Canvas& canvas, const StrokeStyle& pen, const FillStyle& brush, long long cx,
                 long long cy, double rx, double ry);

} // namespace pictor
