// Writing the canvas as a BMP picture: 14-byte file header, 40-byte
// information header, 24-bit pixel rows bottom-up, each padded to 4 bytes.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "canvas.h"

namespace pictor {

// Colour bits the canvas holds per pixel (its words carry 8 unused bits),
// and so the depth of saved pictures.
constexpr int kCanvasColourBits = 24;

// The save depth for a canvas of the given colour bits: rounded up to the
// next of 1, 4, 8, 16, 24 or 32.
int saveDepthFor(int canvasBits);

// The top-left width x height pixels of the canvas as a 24-bit BMP file.
std::vector<uint8_t> encodeBmp24(const Canvas& canvas, int width, int height);

// Writes the bytes to path, replacing an existing file only once the new
// one is complete (a temporary file beside it is renamed into place).
// Returns 0, or the errno of the failed file operation.
int writeFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

} // namespace pictor
