// Circles, arcs, filled rectangles, flood fills and text rows.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "angles.h"
#include "api_common.h"
#include "bezier_path.h"
#include "colour.h"
#include "drawing_state.h"
#include "ellipse_arc.h"
#include "ellipse_raster.h"
#include "flood_fill.h"
#include "screen_update.h"
#include "string_handover.h"
#include "text_renderer.h"

using namespace pictor;

namespace {
constexpr double kSmallestSweepDegrees = 0.01;

int clampToInt(long long v, long long low, long long high) {
    return static_cast<int>(std::clamp(v, low, high));
}
} // namespace

extern "C" {

int DrawCircleEx(int window, int radius) {
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    const double r = std::fabs(double(radius));
    drawEllipse(w->canvas, w->stroke(), w->fill(), w->lprX, w->lprY, r * w->xScale, r * w->yScale);
    refreshWindow(*w, false);
    return 0;
}
int DrawCircle(int radius) {
    return DrawCircleEx(currentWindowNumber(), radius);
}

int DrawArcEx(int window, int width, int height, double startAngle, double endAngle) {
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    if (!std::isfinite(startAngle) || !std::isfinite(endAngle)) return PICTOR_ERR_ARGUMENT;
    double start = std::fmod(angleInDegrees(startAngle), 360.0);
    double end = std::fmod(angleInDegrees(endAngle), 360.0);
    if (start < 0) start += 360.0;
    if (end < 0) end += 360.0;
    if (end < start) end += 360.0;
    const double sweep = std::max(end - start, kSmallestSweepDegrees);
    // Half-axes in whole pixels, by integer halving, at least 1.
    const long long a = std::max<long long>(
        1, WindowRecord::clampPixel(std::floor(std::fabs(double(width)) * w->xScale)) / 2);
    const long long b = std::max<long long>(
        1, WindowRecord::clampPixel(std::floor(std::fabs(double(height)) * w->yScale)) / 2);
    const PointF centre{double(w->lprX), double(w->lprY)};
    strokePolyline(w->canvas, w->stroke(),
                   roundToPixels(ellipseArc(centre, double(a), double(b), start, sweep)), false);
    refreshWindow(*w, false);
    return 0;
}
int DrawArc(int width, int height, double startAngle, double endAngle) {
    return DrawArcEx(currentWindowNumber(), width, height, startAngle, endAngle);
}

int DrawAreaEx(int window, int width, int height) {
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    if (width == 0 || height == 0) return 0;
    const long long pw = WindowRecord::clampPixel(std::nearbyint(width * w->xScale));
    const long long ph = WindowRecord::clampPixel(std::nearbyint(height * w->yScale));
    const long long x0 = std::min(w->lprX, w->lprX + pw), x1 = std::max(w->lprX, w->lprX + pw);
    const long long y0 = std::min(w->lprY, w->lprY + ph), y1 = std::max(w->lprY, w->lprY + ph);
    const long long wl = w->canvas.width + 1, hl = w->canvas.height + 1;
    fillRect(w->canvas, w->fill(),
             {clampToInt(x0, -1, wl), clampToInt(y0, -1, hl), clampToInt(x1, -1, wl),
              clampToInt(y1, -1, hl)});
    requestRectUpdate(*w, x0, y0, x1, y1);
    return 0;
}
int DrawArea(int width, int height) {
    return DrawAreaEx(currentWindowNumber(), width, height);
}

int DrawFloodEx(int window, int mode, int colour) {
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    if ((mode != 0 && mode != 1) || !isValidColour(colour)) return PICTOR_ERR_ARGUMENT;
    if (w->lprX < 0 || w->lprY < 0 || w->lprX >= w->canvas.width || w->lprY >= w->canvas.height)
        return PICTOR_ERR_PLATFORM;
    const bool filled = floodFill(
        w->canvas, w->fill(), static_cast<int>(w->lprX), static_cast<int>(w->lprY),
        mode == 0 ? FloodMode::UpToBorder : FloodMode::SameSurface, pixelFromColour(colour));
    if (!filled) return PICTOR_ERR_PLATFORM;
    refreshWindow(*w, false);
    return 0;
}
int DrawFlood(int mode, int colour) {
    return DrawFloodEx(currentWindowNumber(), mode, colour);
}

int DrawTextRowEx(int window, const char* text, int flags) {
    StringArgument textArg(text);
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    if (textArg.missing()) return PICTOR_ERR_ARGUMENT;
    (void)flags; // alignment and shadow flags are not used by the programs: drawn as flags 0
    constexpr long long kFar = 1LL << 30; // text this far off the canvas cannot reach it
    drawTextRow(w->canvas, fontRequestOf(*w), textArg.view(), clampToInt(w->lprX, -kFar, kFar),
                clampToInt(w->lprY, -kFar, kFar), pixelFromColour(w->font.colour), w->background());
    refreshWindow(*w, false);
    return 0;
}
int DrawTextRow(const char* text, int flags) {
    return DrawTextRowEx(currentWindowNumber(), text, flags);
}

int PictorTextWidthEx(int window, const char* text) {
    StringArgument textArg(text);
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    if (textArg.missing()) return PICTOR_ERR_ARGUMENT;
    const double px = textAdvancePx(fontRequestOf(*w), textArg.view());
    return static_cast<int>(std::lround(std::ceil(px) / w->xScale));
}
int PictorTextWidth(const char* text) {
    return PictorTextWidthEx(currentWindowNumber(), text);
}

} // extern "C"
