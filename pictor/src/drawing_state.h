// Derived drawing state of a window: pen and font sizes in pixels.
#pragma once
#include "text_renderer.h"
#include "window_record.h"

namespace pictor {

// Pen width in pixels for a logical width: widths of 0 or less are that
// many pixels with the sign dropped; a positive width w becomes
// round(((x scale + y scale) / 2) * w / 5).
int penPixelWidth(const WindowRecord& w, int width);

// Recomputes the font's pixel sizes and direction from its logical values:
// height round(y scale * height), width round(x scale * width * 0.39),
// values of 1000000 or more being pixels + 1000000.
void applyFontSizes(WindowRecord& w);

// What the text renderer needs of the window's font.
FontRequest fontRequestOf(const WindowRecord& w);

} // namespace pictor
