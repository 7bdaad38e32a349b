// The world view's frames, drawing and cursor mapping.
#include "tarvo/views/world_view.h"

#include "tarvo/views/world_map_check.h"

#include "pictor.h"

#include <algorithm>
#include <cmath>

namespace tarvo {

namespace {

constexpr int kBlack = 0;
constexpr int kPenSolid = 0, kPenDotted = 2;

int roundToInt(double v) {
    return static_cast<int>(std::lround(v));
}

// Moves the span [first, last] inside [0, size - 1] when it is smaller.
void keepInside(int& first, int& last, int size) {
    const int length = last - first;
    if (length >= size - 1) return;
    if (first < 0) {
        first = 0;
        last = length;
    }
    if (last > size - 1) {
        last = size - 1;
        first = last - length;
    }
}

} // namespace

WorldViewFrame wholeWorldFrame(int canvasWidth, int canvasHeight) {
    WorldViewFrame f;
    f.canvasWidth = canvasWidth;
    f.canvasHeight = canvasHeight;
    const WorldMapFile& small = worldMapFile(WorldMap::Small);
    f.x2 = small.width - 1;
    f.y2 = small.height - 1;
    return f;
}

WorldViewFrame zoomedFrame(int mx, int my, int canvasWidth, int canvasHeight, WorldMap map) {
    WorldViewFrame f;
    f.zoomed = true;
    f.map = map;
    f.canvasWidth = canvasWidth;
    f.canvasHeight = canvasHeight;
    const WorldMapFile& file = worldMapFile(map);
    const double W = canvasWidth, H = canvasHeight;
    f.x2 = roundToInt(file.width * mx / W + W / 4);
    f.x1 = roundToInt(f.x2 - W / 2);
    f.y2 = roundToInt(file.height * my / H + H / 4);
    f.y1 = roundToInt(f.y2 - H / 2);
    keepInside(f.x1, f.x2, file.width);
    keepInside(f.y1, f.y2, file.height);
    return f;
}

LonLatDeg cursorLocation(const WorldViewFrame& f, int mx, int my) {
    const double W = f.canvasWidth, H = f.canvasHeight;
    double lonSpan = 360, latSpan = 180, centreLon = 0, centreLat = 0;
    if (f.zoomed) {
        const WorldMapFile& file = worldMapFile(f.map);
        lonSpan = W * 180.0 / file.width;
        latSpan = H * 90.0 / file.height;
        centreLon = (f.x1 + f.x2) * 180.0 / file.width - 180;
        centreLat = 90 - (f.y1 + f.y2) * 90.0 / file.height;
    }
    return {mx * lonSpan / W + centreLon - lonSpan / 2, latSpan / 2 + centreLat - my * latSpan / H};
}

int drawWorldView(const WorldViewFrame& f, const std::filesystem::path& imageDirectory) {
    const std::string file = worldMapPath(imageDirectory, f.map).string();
    DrawFrom(0, 0);
    const int W = f.canvasWidth, H = f.canvasHeight;
    if (f.zoomed) return CropBitmap(file.c_str(), W, H, f.x1, f.y1, f.x2, f.y2);
    const int result = StretchBitmap(file.c_str(), W, H);
    for (int k = 0; k <= 18; ++k) {
        Pen(kBlack, k % 9 == 0 ? kPenSolid : kPenDotted, 0);
        const int y = roundToInt(k * H / 18.0);
        DrawLine(0, y, W, y);
    }
    for (int k = 0; k <= 24; ++k) {
        Pen(kBlack, k % 12 == 0 ? kPenSolid : kPenDotted, 0);
        const int x = roundToInt(k * W / 24.0);
        DrawLine(x, 0, x, H);
    }
    return result;
}

} // namespace tarvo
