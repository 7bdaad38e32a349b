// The arrangement of the graphics view: how many character cells the
// graphics area takes from the console, the font of the canvas, the zoom
// level; pure functions of the console size and the field.
#pragma once

namespace tarvo {

struct GraphicsArea {
    int columns = 0;
    int rows = 0;
    bool tooFewRows = false; // fewer than 4 rows: the window is not opened
};

/*
** graphicsArea: the cells of the graphics area.
**
** Given:   console size in cells; full screen; plain sky map (field twice as
**          wide as high)
** Returned: in a window, R = min(rows - 2, 41), R - 1 rows (round(26 (R - 1) / 41)
**          for the plain sky map) and round((R - 1) 88 / 41) columns, at most
**          columns - 24; in full screen the whole console.  Fewer than 4 rows
**          (or columns) is tooFewRows.
*/
GraphicsArea graphicsArea(int consoleColumns, int consoleRows, bool fullScreen, bool plainSkyMap);

// Font height of the canvas: H / 512 + 6200 / H + 1 (integer divisions); H > 0.
int canvasFontHeight(int canvasHeightPx);

// Zoom level shown: round(2 log2(reference / halfHeight)).
int zoomLevel(double zoomReference, double halfHeight);
// Zooming in stops when reference / halfHeight reaches this.
inline constexpr double kZoomLimit = 4999000.0;

// A metric of the graphics library: an error code (>= 999000000) or a
// value that is no size (below 1) is not taken as a size.
bool usableCanvasSize(int value);

} // namespace tarvo
