// One graphics window: its canvas, drawing state and screen window.
#pragma once
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>

#include "canvas.h"
#include "paint_style.h"
#include "screen.h"
#include "stretch_copy.h"

namespace pictor {

struct PenRecord {
    int colour = 0;        // window-text colour: black
    int style = kPenSolid; // invisible stored as 99
    int width = 1;         // logical units
    int widthPx = 0;       // pixels; 0 draws the thinnest line
};

struct BrushRecord {
    int colour = 0xF0F0F0;   // menu colour: light grey
    int style = kBrushSolid; // hollow stored as 99
    int hatch = kHatchHorizontal;
};

struct FontRecord {
    std::string face = "Arial"; // at most 32 bytes
    int characterSet = 0;
    int width = 64;   // logical units (as given)
    int height = 64;  // logical units (as given)
    int weight = 500; // 100..1000 after widening weights below 10
    int colour = 0;
    int effects = 0;             // 1 italic, 2 underlined, 4 struck out
    double angle = 0;            // as given
    int heightPx = 0;            // cell height in pixels (< 0: em height)
    int widthPx = 0;             // average character width in pixels, 0 natural
    double directionDegrees = 0; // baseline direction, counter-clockwise, tenths kept
};

struct MouseState {
    bool over = false; // pointer over the client area
    int x = 0, y = 0;  // client pixels
    int buttons = 0;
};

// LPR and converted coordinates may lie far off the canvas; they are kept
// within +-2^40 pixels so that no arithmetic on them can overflow.
constexpr double kPixelLimit = 1099511627776.0;

struct WindowRecord {
    int number = 0;
    bool open = false; // the open flag: -1 in GfxMetrics terms once created
    intptr_t parent = 0;
    int showState = 0; // 0 hidden, 5 shown
    int style = 0;
    int extendedStyle = 0;
    bool autoUpdate = true;
    bool transparentBackground = true;
    int threadState = 1;
    int positionX = 0, positionY = 0; // in the parent, pixels
    Canvas canvas;
    int visibleWidth = 0, visibleHeight = 0; // pixels
    int scrollX = 0, scrollY = 0;            // pixels
    long long lprX = 0, lprY = 0;            // canvas pixels
    int logicalWidth = 1024, logicalHeight = 1024;
    double xScale = 1.0, yScale = 1.0; // canvas pixels per logical unit
    PenRecord pen;
    BrushRecord brush;
    int backgroundColour = 0xF0F0F0;
    FontRecord font;
    StretchMode stretchMode = StretchMode::Halftone;
    bool worldCoordinates = false; // set only by the world-coordinate operation
    bool recordingClip = false;    // set only by the clip-outline operation
    MouseState mouse;
    std::unique_ptr<ScreenWindow> screen;

    long long toPixelX(double v) const { return clampPixel(std::floor(v * xScale)); }
    long long toPixelY(double v) const { return clampPixel(std::floor(v * yScale)); }
    static long long clampPixel(double p) {
        if (!(p > -kPixelLimit)) return static_cast<long long>(-kPixelLimit);
        if (p > kPixelLimit) return static_cast<long long>(kPixelLimit);
        return static_cast<long long>(p);
    }
    Background background() const;
    StrokeStyle stroke() const;
    FillStyle fill() const;
};

} // namespace pictor
