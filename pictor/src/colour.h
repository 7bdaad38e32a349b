// Colour values of the interface and the pixel words of the canvas.
#pragma once
#include <cstdint>

namespace pictor {

// Interface colours: red in bits 0-7, green 8-15, blue 16-23.
constexpr int kMaxColour = 16777215;

inline bool isValidColour(long long colour) {
    return colour >= 0 && colour <= kMaxColour;
}

// Canvas pixels are 0x00RRGGBB words, the layout of 24-bit X11 visuals.
inline uint32_t pixelFromColour(int colour) {
    const auto c = static_cast<uint32_t>(colour);
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

inline int colourFromPixel(uint32_t pixel) {
    return static_cast<int>(((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16));
}

} // namespace pictor
