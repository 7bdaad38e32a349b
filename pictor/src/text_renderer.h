// Text rows on the canvas: scalable fonts through FreeType and fontconfig,
// the built-in bitmap font when no scalable font can be found. Glyphs are
// rendered aliased (monochrome), so every text pixel has the text colour.
#pragma once
#include <string>
#include <string_view>

#include "canvas.h"
#include "paint_style.h"

namespace pictor {

struct FontRequest {
    std::string face = "Arial"; // substituted by fontconfig when missing
    int cellHeightPx = 16;      // > 0: ascent + descent; < 0: em height; 0: 16
    int averageWidthPx = 0;     // average character width; 0: natural for the height
    int weight = 400;           // 100 (thin) .. 900 (black)
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    double angleDegrees = 0; // baseline direction, counter-clockwise on the screen
};

// Draws the text (UTF-8; a byte that is no UTF-8 reads as Latin-1) as one
// line with the top-left corner of its first character cell at (x, y):
// line breaks are not interpreted. With an opaque background the
// character cells are filled with the background colour first.
void drawTextRow(Canvas& canvas, const FontRequest& font, std::string_view text, int x, int y,
                 uint32_t pixel, Background background);

// The advance of the text along its baseline in pixels: how far the row
// that drawTextRow draws reaches.
double textAdvancePx(const FontRequest& font, std::string_view text);

// True when fontconfig finds a scalable font for the default face.
bool scalableFontsAvailable();

// Tests: draw with the built-in font even when scalable fonts exist.
void useBuiltinFontOnly(bool on);

// Decodes UTF-8, reading every byte that starts no valid sequence as the
// Latin-1 character of that value.
std::u32string decodeText(std::string_view text);

} // namespace pictor
