// ConsoleGfx and the graphics window's events: the console's side of the
// graphics library's host calls (pictor_host.h).
#include "console/console.h"
#include "gfx_host.h"

#include "pictor_host.h"

#include <algorithm>

namespace console {

namespace {

bool gfxOpened = false; // ConsoleGfx has opened the window at least once

constexpr int kGfxUp = PICTOR_KEY_UP, kGfxEnd = PICTOR_KEY_END;
constexpr int kGfxF1 = PICTOR_KEY_F1, kGfxF12 = PICTOR_KEY_F1 + 11;

} // namespace

int keyFromGfxKey(int gfxKey) {
    if (gfxKey >= kGfxUp && gfxKey <= kGfxEnd) {
        constexpr int named[] = {Key::Up,   Key::Down, Key::Left, Key::Right,
                                 Key::PgUp, Key::PgDn, Key::Home, Key::End};
        return named[gfxKey - kGfxUp];
    }
    if (gfxKey >= kGfxF1 && gfxKey <= kGfxF12) return Key::F1 + (gfxKey - kGfxF1);
    return gfxKey; // characters and the control codes are the same
}

int ConsoleGfx(int, int, int cols, int rows) {
    const int widthPx = std::max(cols, 1) * ConsoleMetrics(1);
    const int heightPx = std::max(rows, 1) * ConsoleMetrics(2);
    // A terminal cannot hold the window: it is an X11 window of its own
    // when the display allows, else off-screen; scripts keep it off-screen.
    const int onScreen = isScriptMode() ? 0 : -1;
    if (PictorHostOpen(widthPx, heightPx, onScreen) != 0) return 0;
    gfxOpened = true;
    return -1;
}

bool gfxEventsExpected() {
    return gfxOpened;
}

std::optional<Event> pollGfxEvent() {
    if (!gfxEventsExpected()) return std::nullopt;
    PictorHostEvent raw{};
    while (PictorHostPollEvent(&raw) == 1) {
        Event event;
        switch (raw.type) {
        case PICTOR_EVENT_KEY:
            event.key = keyFromGfxKey(raw.key);
            break;
        case PICTOR_EVENT_LEFT_CLICK:
            event.key = Key::GfxClick;
            break;
        case PICTOR_EVENT_RIGHT_CLICK:
            event.key = Key::GfxRightClick;
            break;
        default:
            continue; // nothing the console reports
        }
        if (raw.type != PICTOR_EVENT_KEY) {
            event.x = raw.x;
            event.y = raw.y;
        }
        return event;
    }
    return std::nullopt;
}

void gfxSetMouse(int x, int y, int buttons) {
    PictorHostSetMouse(x, y, buttons);
}

} // namespace console
