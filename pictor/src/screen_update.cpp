#include "screen_update.h"

#include <algorithm>

namespace pictor {

namespace {
void repaintWhole(WindowRecord& w) {
    if (w.screen && w.showState == 5)
        w.screen->present(w.canvas, {0, 0, w.canvas.width, w.canvas.height});
}
} // namespace

void requestRectUpdate(WindowRecord& w, long long x1, long long y1, long long x2, long long y2) {
    if (x1 == 0 && y1 == 0 && x2 == 0 && y2 == 0) {
        repaintWhole(w);
        return;
    }
    if (!w.autoUpdate) return;
    x1 = std::max(x1, 0LL);
    y1 = std::max(y1, 0LL);
    x2 = std::max(x2, 0LL);
    y2 = std::max(y2, 0LL);
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    if (x2 == 0) x2 = w.canvas.width;
    if (y2 == 0) y2 = w.canvas.height;
    const long long pen = w.pen.widthPx;
    if (pen == 0) {
        if (x1 == x2) ++x2;
        if (y1 == y2) ++y2;
    }
    // The visible part starts at the canvas origin (no scrolling), so the
    // canvas rectangle is the screen rectangle.
    x1 -= pen;
    x2 += pen;
    y1 -= pen;
    y2 += pen;
    if (!w.screen || w.showState != 5) return;
    const auto clampTo = [](long long v, int limit) {
        return static_cast<int>(std::clamp(v, 0LL, (long long)limit));
    };
    const PixelRect rect{clampTo(x1, w.canvas.width), clampTo(y1, w.canvas.height),
                         clampTo(x2, w.canvas.width), clampTo(y2, w.canvas.height)};
    if (!rect.empty()) w.screen->present(w.canvas, rect);
}

void refreshWindow(WindowRecord& w, bool force) {
    if (w.autoUpdate || force) repaintWhole(w);
}

} // namespace pictor
