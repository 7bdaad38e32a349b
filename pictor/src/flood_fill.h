// Flood fill of a connected area of the canvas, by spans on an explicit
// stack (no recursion: a 9600 x 6000 canvas fills in constant stack).
#pragma once
#include <cstdint>

#include "canvas.h"
#include "paint_style.h"

namespace pictor {

enum class FloodMode {
    UpToBorder = 0,  // every 4-connected pixel that is not the border colour
    SameSurface = 1, // every 4-connected pixel that has the surface colour
};

// Fills from (x, y); returns false, painting nothing, when the start pixel
// lies off the canvas or is not part of the area (a border pixel, or not
// of the surface colour). The area is decided on the picture as it was
// before the fill, so hatched or same-coloured brushes cannot loop.
bool floodFill(Canvas& canvas, const FillStyle& brush, int x, int y, FloodMode mode,
               uint32_t colourPixel);

} // namespace pictor
