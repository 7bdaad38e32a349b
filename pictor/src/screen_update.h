// Bringing the screen up to date after drawing into the canvas.
#pragma once
#include "window_record.h"

namespace pictor {

// A drawing operation touched the rectangle between pixel corners (x1, y1)
// and (x2, y2). While auto-update is on the rectangle is normalised,
// widened by the pen and repainted at once; all four corners 0 asks for a
// whole-window repaint, which happens even with auto-update off.
void requestRectUpdate(WindowRecord& w, long long x1, long long y1, long long x2, long long y2);

// GfxRefresh: repaints the whole window when auto-update is on or force
// is set; otherwise does nothing.
void refreshWindow(WindowRecord& w, bool force);

} // namespace pictor
