// The small built-in font that serves when no scalable font is installed.
#pragma once
#include <cstdint>

namespace pictor {

constexpr int kBitmapFontFirstChar = 32;
constexpr int kBitmapFontGlyphCount = 95; // ' ' .. '~'
constexpr int kBitmapFontCellWidth = 7;   // pixels
constexpr int kBitmapFontCellHeight = 13; // pixels
constexpr int kBitmapFontAscent = 10;     // pixels from the cell top to the baseline

extern const uint8_t kBitmapFontGlyphs[kBitmapFontGlyphCount][kBitmapFontCellHeight];

} // namespace pictor
