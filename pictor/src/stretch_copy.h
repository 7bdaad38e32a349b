// Copying a rectangle of a picture onto the canvas, scaled to a target size.
#pragma once
#include "canvas.h"
#include "picture.h"

namespace pictor {

enum class StretchMode {
    Halftone,       // shrinking averages every source pixel a target pixel covers
    ColourOnColour, // every target pixel takes the source pixel under its centre
};

struct SourceRect {
    long long x = 0, y = 0; // top-left picture pixel
    long long width = 0, height = 0;
};

struct TargetRect {
    long long x = 0, y = 0; // top-left canvas pixel
    long long width = 0, height = 0;
};

// Copies the source rectangle of the picture onto the target rectangle of
// the canvas. Target pixels off the canvas, and those whose source lies
// outside the picture, are left as they are. Empty rectangles copy nothing.
void stretchCopy(Canvas& canvas, TargetRect target, const Picture& picture, SourceRect source,
                 StretchMode mode);

} // namespace pictor
