// The cells of the graphics area, the canvas font and the zoom level.
#include "tarvo/views/graphics_layout.h"

#include <algorithm>
#include <cmath>

namespace tarvo {

GraphicsArea graphicsArea(int consoleColumns, int consoleRows, bool fullScreen, bool plainSkyMap) {
    GraphicsArea a;
    if (fullScreen) {
        a.columns = consoleColumns;
        a.rows = consoleRows;
    } else {
        const int r = std::min(consoleRows - 2, 41);
        const int rows = r - 1;
        a.rows = plainSkyMap ? static_cast<int>(std::lround(26.0 * rows / 41.0)) : rows;
        a.columns =
            std::min(static_cast<int>(std::lround(rows * 88.0 / 41.0)), consoleColumns - 24);
    }
    a.tooFewRows = a.rows < 4 || a.columns < 4;
    return a;
}

int canvasFontHeight(int h) {
    return h <= 0 ? 12 : h / 512 + 6200 / h + 1;
}

int zoomLevel(double zoomReference, double halfHeight) {
    if (!(halfHeight > 0) || !(zoomReference > 0)) return 0;
    return static_cast<int>(std::lround(2.0 * std::log2(zoomReference / halfHeight)));
}

bool usableCanvasSize(int value) {
    return value >= 1 && value < 999000000;
}

} // namespace tarvo
