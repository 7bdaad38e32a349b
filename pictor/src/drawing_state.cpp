#include "drawing_state.h"

#include <cmath>
#include <cstdlib>

#include "angles.h"
#include "raster_line.h"

namespace pictor {

int penPixelWidth(const WindowRecord& w, int width) {
    if (width <= 0) return width < -kMaxPenPixels ? kMaxPenPixels : -width;
    const double px = std::nearbyint(((w.xScale + w.yScale) / 2.0) * width / 5.0);
    return px > kMaxPenPixels ? kMaxPenPixels : static_cast<int>(px);
}

namespace {
constexpr int kPixelSizeFlag = 1000000;
constexpr double kFontWidthFactor = 0.39; // logical font width to average character width

int fontPixels(int value, double scale, double factor) {
    if (value >= kPixelSizeFlag) return value - kPixelSizeFlag;
    const double px = std::nearbyint(scale * value * factor);
    if (px > 1e6) return 1000000;
    if (px < -1e6) return -1000000;
    return static_cast<int>(px);
}
} // namespace

void applyFontSizes(WindowRecord& w) {
    FontRecord& f = w.font;
    f.heightPx = fontPixels(f.height, w.yScale, 1.0);
    f.widthPx = fontPixels(f.width, w.xScale, kFontWidthFactor);
    // The baseline turns in tenths of a degree.
    f.directionDegrees = std::nearbyint(normalisedDirection(f.angle) * 10.0) / 10.0;
}

FontRequest fontRequestOf(const WindowRecord& w) {
    FontRequest r;
    r.face = w.font.face;
    r.cellHeightPx = w.font.heightPx;
    r.averageWidthPx = w.font.widthPx;
    r.weight = w.font.weight;
    r.italic = (w.font.effects & 1) != 0;
    r.underline = (w.font.effects & 2) != 0;
    r.strikeOut = (w.font.effects & 4) != 0;
    r.angleDegrees = w.font.directionDegrees;
    return r;
}

} // namespace pictor
