// The console's link to the graphics library's window: events from the
// graphics window and the mouse position that scripts set.
#pragma once

#include "console/keys.h"

#include <optional>

namespace console {

// True once ConsoleGfx has opened the graphics window in this process, so
// that input loops also watch its events.
bool gfxEventsExpected();
// A key or click from the graphics window, translated to console codes.
std::optional<Event> pollGfxEvent();
// Script clicks: tells the graphics library where the mouse is (buttons:
// 1 left, 2 right, 0 none).
void gfxSetMouse(int x, int y, int buttons);
// Translates a graphics-window key code to the console's key code.
int keyFromGfxKey(int gfxKey);

} // namespace console
