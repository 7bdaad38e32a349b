// Window management: opening, actions, options, metrics, refresh, cursor.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

#include "angles.h"
#include "colour.h"
#include "drawing_state.h"
#include "host_events.h"
#include "pictor.h"
#include "screen_update.h"
#include "string_handover.h"
#include "window_table.h"

using namespace pictor;

namespace {

// Parent client size used for "0 means up to the parent's edge" when the
// parent is not a window this library can measure: a full-HD console.
constexpr int kNominalParentWidth = 1920;  // pixels
constexpr int kNominalParentHeight = 1080; // pixels
constexpr int kMinWindowSide = 32;         // pixels
constexpr int kShowAction = 5;

// The string hand-over marker is looked up once, when the library loads.
__attribute__((constructor)) void lookUpHandoverMarker() {
    (void)stringHandover();
}

void setDefaults(WindowRecord& w) {
    w.visibleWidth = w.canvas.width;
    w.visibleHeight = w.canvas.height;
    w.logicalWidth = 1024;
    w.logicalHeight = 1024;
    w.xScale = w.canvas.width / 1024.0;
    w.yScale = w.canvas.height / 1024.0;
    w.autoUpdate = true;
    w.transparentBackground = true;
    w.pen = PenRecord{};
    w.pen.widthPx = penPixelWidth(w, w.pen.width);
    w.brush = BrushRecord{};
    w.backgroundColour = w.brush.colour;
    w.font = FontRecord{};
    applyFontSizes(w);
    w.lprX = w.lprY = 0;
}

int performAction(WindowRecord& w, int action) {
    switch (action) {
    case 0:
    case -6:
        w.showState = 0;
        if (w.screen) w.screen->show(false);
        return 0;
    case 5:
    case -1:
        w.showState = kShowAction;
        if (w.screen) w.screen->show(true);
        return 0;
    case 1:
        closeWindowRecord(w);
        return 0;
    case 2:
    case -4:
        w.autoUpdate = false;
        return 0;
    case 3:
    case -3:
        w.autoUpdate = true;
        requestRectUpdate(w, 0, 0, 0, 0);
        return 0;
    default:
        return PICTOR_ERR_ARGUMENT;
    }
}

int setLogicalSize(WindowRecord& w, bool horizontal, int value) {
    if (w.worldCoordinates) return PICTOR_ERR_MODE;
    if (value < 0) return PICTOR_ERR_ARGUMENT;
    if (value == 0) {
        w.logicalWidth = w.canvas.width;
        w.logicalHeight = w.canvas.height;
        w.xScale = w.yScale = 1.0;
        return 0;
    }
    int& logical = horizontal ? w.logicalWidth : w.logicalHeight;
    int& otherLogical = horizontal ? w.logicalHeight : w.logicalWidth;
    double& scale = horizontal ? w.xScale : w.yScale;
    double& otherScale = horizontal ? w.yScale : w.xScale;
    if (value == PICTOR_KEEP_ASPECT) {
        scale = (double(logical) / double(otherLogical)) * otherScale;
        return 0;
    }
    logical = value;
    scale = double(horizontal ? w.canvas.width : w.canvas.height) / value;
    if (otherScale == 0) {
        otherLogical = value;
        otherScale = scale;
    }
    return 0;
}

int libraryOption(int code, int value, bool& handled) {
    handled = true;
    switch (code) {
    case PICTOR_OPT_RADIANS:
        angleOptions().radians = value != 0;
        return 0;
    case PICTOR_OPT_ZERO_DIRECTION:
        switch (value) {
        case 0:
        case 9:
            angleOptions().zeroOffsetDegrees = 0;
            return 0;
        case 12:
            angleOptions().zeroOffsetDegrees = 90;
            return 0;
        case 3:
            angleOptions().zeroOffsetDegrees = 180;
            return 0;
        case 6:
            angleOptions().zeroOffsetDegrees = 270;
            return 0;
        default:
            return PICTOR_ERR_ARGUMENT;
        }
    case PICTOR_OPT_COUNTER_CLOCKWISE:
        angleOptions().counterClockwise = value != 0;
        return 0;
    case PICTOR_OPT_STRING_HANDOVER:
        stringHandover() = value != 0;
        return 0;
    case PICTOR_OPT_THREADED:
        return 0; // windows always live on the caller's thread
    default:
        handled = false;
        return 0;
    }
}

int mouseCoordinate(int window, bool horizontal) {
    pumpHostEvents();
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    const MouseState& m = w->mouse;
    if (!m.over || m.x < 0 || m.y < 0 || m.x >= w->visibleWidth || m.y >= w->visibleHeight)
        return PICTOR_MOUSE_OUTSIDE;
    const double p = horizontal ? m.x + w->scrollX : m.y + w->scrollY;
    return static_cast<int>(std::floor(p / (horizontal ? w->xScale : w->yScale)));
}

} // namespace

extern "C" {

int OpenGfxEx(int window, intptr_t parent, int x, int y, int width, int height, int style) {
    if (window < 0 || window > kMaxWindowNumber) return PICTOR_ERR_WINDOW;
    if (parent == 0 || parent == -1) return PICTOR_ERR_ARGUMENT;
    growWindowTable(window);
    WindowRecord& w = *windowEntry(window);
    if (w.open) performAction(w, 1);
    if (width < 1)
        width = static_cast<int>(std::clamp<long long>((long long)kNominalParentWidth + width - x,
                                                       INT32_MIN, INT32_MAX));
    if (height < 1)
        height = static_cast<int>(std::clamp<long long>(
            (long long)kNominalParentHeight + height - y, INT32_MIN, INT32_MAX));
    width = std::max(width, kMinWindowSide);
    height = std::max(height, kMinWindowSide);
    if (width % 2 != 0) --width;
    if (width > kMaxCanvasSide || height > kMaxCanvasSide) return PICTOR_ERR_PLATFORM;
    try {
        w.canvas.resize(width, height, 0);
    } catch (const std::bad_alloc&) {
        closeWindowRecord(w);
        return PICTOR_ERR_PLATFORM;
    }
    w.parent = parent;
    w.style = style;
    w.positionX = x;
    w.positionY = y;
    setDefaults(w);
    w.screen = openScreenWindow({window, x, y, width, height, &w.canvas});
    w.open = true;
    GfxCLSEx(window);
    if (style & PICTOR_STYLE_VISIBLE) performAction(w, kShowAction);
    return 0;
}

int OpenGfx(intptr_t parent, int x, int y, int width, int height, int style) {
    return OpenGfxEx(currentWindowNumber(), parent, x, y, width, height, style);
}

int GfxWindowEx(int window, int action) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    return performAction(*w, action);
}
int GfxWindow(int action) {
    return GfxWindowEx(currentWindowNumber(), action);
}

int GfxOptionEx(int window, int code, int value) {
    if (window < 0 || window > kMaxWindowNumber) return PICTOR_ERR_WINDOW;
    bool handled = false;
    const int result = libraryOption(code, value, handled);
    if (handled) return result;
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    switch (code) {
    case PICTOR_OPT_LOGICAL_WIDTH:
        return setLogicalSize(*w, true, value);
    case PICTOR_OPT_LOGICAL_HEIGHT:
        return setLogicalSize(*w, false, value);
    default:
        return 0; // the library's further options do not concern these programs
    }
}
int GfxOption(int code, int value) {
    return GfxOptionEx(currentWindowNumber(), code, value);
}

int GfxMetricsEx(int window, int code) {
    if (code == 10) return window;
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    switch (code) {
    case 1:
        return w->logicalWidth;
    case 2:
        return w->canvas.width;
    case 3:
        return w->positionX;
    case 6:
        return w->logicalHeight;
    case 7:
        return w->canvas.height;
    case 8:
        return w->positionY;
    case 99:
        return w->autoUpdate ? -1 : 0;
    case 101:
        return w->transparentBackground ? -1 : 0;
    case 111:
        return w->showState;
    case 141:
        return w->visibleWidth;
    case 142:
        return w->visibleHeight;
    case 201:
        return w->brush.style;
    case 202:
        return w->brush.hatch;
    case 203:
        return w->brush.colour;
    case 301:
        return w->pen.style;
    case 302:
        return w->pen.width;
    case 303:
        return w->pen.colour;
    case 401:
        return w->font.height;
    case 402:
        return w->font.width;
    case 403:
        return w->font.weight;
    case 404:
        return w->font.effects;
    case 405:
        return static_cast<int>(std::lround(w->font.angle));
    case 406:
        return w->font.colour;
    default:
        return (code >= 500 && code <= 519) ? 0 : PICTOR_ERR_ARGUMENT;
    }
}
int GfxMetrics(int code) {
    return GfxMetricsEx(currentWindowNumber(), code);
}

int GfxRefreshEx(int window, int force) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    refreshWindow(*w, force != 0);
    return 0;
}
int GfxRefresh(int force) {
    return GfxRefreshEx(currentWindowNumber(), force);
}

int MouseOverXEx(int window) {
    return mouseCoordinate(window, true);
}
int MouseOverX(void) {
    return MouseOverXEx(currentWindowNumber());
}
int MouseOverYEx(int window) {
    return mouseCoordinate(window, false);
}
int MouseOverY(void) {
    return MouseOverYEx(currentWindowNumber());
}

int GfxSyncCursorEx(int window) {
    WindowRecord* w = openWindow(window);
    if (!w) return PICTOR_ERR_WINDOW;
    const long long cx = w->lprX - w->scrollX, cy = w->lprY - w->scrollY;
    if (cx < 0 || cy < 0 || cx >= w->visibleWidth || cy >= w->visibleHeight) return PICTOR_ERR_MODE;
    w->mouse.over = true;
    w->mouse.x = static_cast<int>(cx);
    w->mouse.y = static_cast<int>(cy);
    if (w->screen) w->screen->warpPointer(w->mouse.x, w->mouse.y);
    return 0;
}
int GfxSyncCursor(void) {
    return GfxSyncCursorEx(currentWindowNumber());
}

int UseGfxWindow(int window) {
    if (window < 0 || window >= windowTableSize()) return PICTOR_ERR_ARGUMENT;
    currentWindowNumber() = window;
    return 0;
}

int GfxIsOpen(int window) {
    return openWindow(window) ? -1 : 0;
}

intptr_t hGfxEx(int window) {
    WindowRecord* w = openWindow(window);
    return (w && w->screen) ? w->screen->handle() : 0;
}
intptr_t hGfx(void) {
    return hGfxEx(currentWindowNumber());
}

} // extern "C"
