// How the raster routines paint: the pen for outlines, the brush for areas.
#pragma once
#include <cstdint>

namespace pictor {

enum PenStyleCode : int {
    kPenSolid = 0,
    kPenDashed = 1,
    kPenDotted = 2,
    kPenDashDot = 3,
    kPenDashDotDot = 4,
    kPenInvisible = 5,
    kPenInvisibleStored = 99
};

enum BrushStyleCode : int {
    kBrushSolid = 0,
    kBrushHollow = 1,
    kBrushHatched = 2,
    kBrushHollowStored = 99
};

enum HatchCode : int {
    kHatchHorizontal = 0,
    kHatchVertical = 1,
    kHatchFallingDiagonal = 2, // top-left to bottom-right
    kHatchRisingDiagonal = 3,  // bottom-left to top-right
    kHatchCross = 4,
    kHatchDiagonalCross = 5
};

struct Background {
    uint32_t pixel = 0;  // canvas pixel word
    bool opaque = false; // fills gaps of hatches, styled lines and text cells
};

struct StrokeStyle {
    uint32_t pixel = 0;
    int style = kPenSolid; // PenStyleCode
    int widthPx = 1;       // 0 and 1 both draw one-pixel lines
    Background background;
};

struct FillStyle {
    uint32_t pixel = 0;
    int style = kBrushSolid; // BrushStyleCode
    int hatch = kHatchHorizontal;
    Background background;
};

} // namespace pictor
