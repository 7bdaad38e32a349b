// Shared checks of the exported operations.
#pragma once
#include "pictor.h"
#include "window_table.h"

namespace pictor {

// The window for a drawing operation, or nullptr with the code to answer:
// 999000090 when it is not open, 999000048 while a clip outline records.
inline WindowRecord* drawableWindow(int window, int& error) {
    WindowRecord* w = openWindow(window);
    error = !w ? PICTOR_ERR_WINDOW : w->recordingClip ? PICTOR_ERR_MODE : 0;
    return error ? nullptr : w;
}

} // namespace pictor
