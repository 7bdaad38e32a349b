// The console library's way into pictor: window 0, its events and mouse.
#include "host_events.h"
#include "pictor.h"
#include "screen.h"
#include "window_table.h"

using namespace pictor;

extern "C" {

int PictorHostOpen(int widthPx, int heightPx, int onScreen) {
    screenWanted() = onScreen != 0;
    const int result =
        OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, widthPx, heightPx, PICTOR_STYLE_VISIBLE);
    return result;
}

void PictorHostClose(void) {
    if (GfxIsOpen(0)) GfxWindowEx(0, 1);
}

int PictorHostPollEvent(struct PictorHostEvent* ev) {
    pumpHostEvents();
    PictorHostEvent taken{};
    if (!takeHostEvent(taken)) {
        if (ev) *ev = PictorHostEvent{PICTOR_EVENT_NONE, 0, 0, 0};
        return 0;
    }
    if (ev) *ev = taken;
    return 1;
}

void PictorHostSetMouse(int x, int y, int buttons) {
    WindowRecord* w = windowEntry(0);
    if (!w) return;
    w->mouse.x = x;
    w->mouse.y = y;
    w->mouse.buttons = buttons;
    w->mouse.over = true; // positions off the canvas read as "not over the drawing"
}

} // extern "C"
