// Clearing, the last point referenced, lines and pixels.
#include <cmath>

#include <algorithm>
#include <cstdint>

#include "angles.h"
#include "api_common.h"
#include "colour.h"
#include "pictor.h"
#include "raster_fill.h"
#include "raster_line.h"
#include "screen_update.h"
#include "window_table.h"

using namespace pictor;

namespace {

// Line from the LPR to (x, y) pixels with the one-pixel end rule; the LPR moves there.
void lineFromLpr(WindowRecord& w, long long x, long long y) {
    long long phase = 0;
    drawLine(w.canvas, w.stroke(), {w.lprX, w.lprY}, {x, y}, false, phase);
    requestRectUpdate(w, w.lprX, w.lprY, x, y);
    w.lprX = x;
    w.lprY = y;
}

// Pixel offset along an angle, by the library's rounding: floor(scale *
// floor(round(offset * scale) / scale)) on each axis.
long long angleOffsetPixels(double offset, double scale) {
    return WindowRecord::clampPixel(
        std::floor(scale * std::floor(std::nearbyint(offset * scale) / scale)));
}

} // namespace

extern "C" {

int GfxCLSEx(int window) {
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    fillRect(w->canvas, w->fill(), {-1, -1, w->canvas.width + 1, w->canvas.height + 1});
    w->lprX = w->lprY = 0;
    refreshWindow(*w, false);
    return 0;
}
int GfxCLS(void) {
    return GfxCLSEx(currentWindowNumber());
}

int DrawFromEx(int window, int x, int y) {
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    w->lprX = w->toPixelX(x);
    w->lprY = w->toPixelY(y);
    return 0;
}
int DrawFrom(int x, int y) {
    return DrawFromEx(currentWindowNumber(), x, y);
}

int DrawToEx(int window, int x, int y) {
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    lineFromLpr(*w, w->toPixelX(x), w->toPixelY(y));
    return 0;
}
int DrawTo(int x, int y) {
    return DrawToEx(currentWindowNumber(), x, y);
}

int DrawLineEx(int window, int x1, int y1, int x2, int y2) {
    const int moved = DrawFromEx(window, x1, y1);
    return moved != 0 ? moved : DrawToEx(window, x2, y2);
}
int DrawLine(int x1, int y1, int x2, int y2) {
    return DrawLineEx(currentWindowNumber(), x1, y1, x2, y2);
}

int DrawPixelEx(int window, int x, int y, int colour) {
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    if (!isValidColour(colour)) return PICTOR_ERR_ARGUMENT;
    const long long px = w->toPixelX(x), py = w->toPixelY(y);
    if (w->canvas.contains(static_cast<int>(std::clamp<long long>(px, -1, INT32_MAX)),
                           static_cast<int>(std::clamp<long long>(py, -1, INT32_MAX))))
        w->canvas.set(static_cast<int>(px), static_cast<int>(py), pixelFromColour(colour));
    requestRectUpdate(*w, px, py, px, py);
    return 0;
}
int DrawPixel(int x, int y, int colour) {
    return DrawPixelEx(currentWindowNumber(), x, y, colour);
}

int DrawAngleEx(int window, double angle, int length) {
    int error = 0;
    WindowRecord* w = drawableWindow(window, error);
    if (!w) return error;
    if (!std::isfinite(angle)) return PICTOR_ERR_ARGUMENT;
    const Offset o = directionOffset(normalisedDirection(angle), length);
    lineFromLpr(*w, w->lprX + angleOffsetPixels(o.dx, w->xScale),
                w->lprY + angleOffsetPixels(o.dy, w->yScale));
    return 0;
}
int DrawAngle(double angle, int length) {
    return DrawAngleEx(currentWindowNumber(), angle, length);
}

int CalcPointEx(int window, int* x, int* y, double angle, int length) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    if (!x || !y || !std::isfinite(angle)) return PICTOR_ERR_ARGUMENT;
    const Offset o = directionOffset(normalisedDirection(angle), length);
    const auto moved = [](int v, double offset, double scale) {
        const double p =
            std::floor((std::floor(v * scale) + std::nearbyint(offset * scale)) / scale);
        return static_cast<int>(std::clamp(p, double(INT32_MIN), double(INT32_MAX)));
    };
    *x = moved(*x, o.dx, w->xScale);
    *y = moved(*y, o.dy, w->yScale);
    return 0;
}
int CalcPoint(int* x, int* y, double angle, int length) {
    return CalcPointEx(currentWindowNumber(), x, y, angle, length);
}

int GfxLPREx(int window, int* x, int* y) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    if (!x || !y) return PICTOR_ERR_ARGUMENT;
    const auto logical = [](long long p, double scale) {
        return static_cast<int>(
            std::clamp(std::round(p / scale), double(INT32_MIN), double(INT32_MAX)));
    };
    *x = logical(w->lprX, w->xScale);
    *y = logical(w->lprY, w->yScale);
    return 0;
}
int GfxLPR(int* x, int* y) {
    return GfxLPREx(currentWindowNumber(), x, y);
}

} // extern "C"
