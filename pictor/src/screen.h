// Showing a canvas on the screen. The canvas itself always stays in
// memory; a screen window only ever shows a copy of it. Without a display
// (no X11 at build time, no DISPLAY, or off-screen requested) windows have
// no screen window and drawing goes to the canvas alone.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "canvas.h"

namespace pictor {

class ScreenWindow {
  public:
    virtual ~ScreenWindow() = default;
    virtual void show(bool visible) = 0;
    // Copies the rectangle of the canvas to the screen at once.
    virtual void present(const Canvas& canvas, PixelRect rect) = 0;
    // Moves the pointer to canvas pixel (x, y).
    virtual void warpPointer(int x, int y) = 0;
    // Platform handle (X11 window id), 0 when there is none.
    virtual intptr_t handle() const = 0;
};

struct ScreenRequest {
    int window = 0;                 // window number
    int x = 0, y = 0;               // position hint on the screen, pixels
    int width = 0;                  // pixels
    int height = 0;                 // pixels
    const Canvas* canvas = nullptr; // repainted when the screen asks for it
};

// What the screen reports back: keys and clicks for the host's input
// queue, and pointer moves for the cursor queries.
struct ScreenEvent {
    enum Kind { Key, LeftClick, RightClick, PointerMoved, PointerLeft };
    ScreenWindow* source = nullptr;
    Kind kind = Key;
    int key = 0;      // host key code for Key
    int x = 0, y = 0; // canvas pixels for clicks and pointer moves
};

using ScreenFactory = std::function<std::unique_ptr<ScreenWindow>(const ScreenRequest&)>;
using ScreenEventSink = std::function<void(const ScreenEvent&)>;

// Opens a screen window for the request when screens are wanted and a
// display is reachable; nullptr otherwise.
std::unique_ptr<ScreenWindow> openScreenWindow(const ScreenRequest& request);

// Whether windows opened from now on should appear on the screen (the
// host asks for it; off by default).
bool& screenWanted();

// Delivers every pending screen event to the sink, without waiting.
void pumpScreenEvents(const ScreenEventSink& sink);

// Tests: replaces how screen windows are made (nullptr restores the
// display backend) and how events are pumped.
void setScreenFactory(ScreenFactory factory);

// X11 backend (x11_screen.cpp, or none when built without X11).
std::unique_ptr<ScreenWindow> openX11Window(const ScreenRequest& request);
void pumpX11Events(const ScreenEventSink& sink);

} // namespace pictor
