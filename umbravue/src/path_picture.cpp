// drawPathPicture: the drawing steps of a path picture, through pictor.
#include "umbravue/path_picture.h"

#include "tarvo/views/world_map_check.h"

#include "console/console.h"
#include "fileio/format_mask.h"
#include "fileio/text_util.h"
#include "pictor.h"

#include <algorithm>
#include <cmath>

namespace umbravue {

namespace {

constexpr int kBlack = 0x000000, kRed = 0x0000FF, kWhite = 0xFFFFFF; // red in bits 0-7
constexpr int kSolid = 0, kDotted = 2, kHatched = 2, kHatchRisingRight = 3;

int roundToInt(double v) {
    return static_cast<int>(std::lround(v));
}

void textAt(int x, int y, const std::string& text) {
    DrawFrom(x, y);
    DrawTextRow(text.c_str(), 0);
}

// The value of a map longitude as a longitude of the Earth, -180 < L <= 180.
int earthLongitude(int mapLon) {
    int l = ((mapLon - 180) % 360 + 360) % 360;
    return l > 180 ? l - 360 : l;
}

std::string degrees(int value) {
    return std::to_string(value) + "\u00B0";
}

std::string deltaTText(double seconds) {
    return " DeltaT=" + tarvo::trim(tarvo::formatMask("######.#", seconds)) + "s";
}

void drawSites(const Crop& crop, int W, int H, const std::vector<SiteMark>& sites) {
    Pen(kBlack, kSolid, 0);
    Brush(kBlack, kSolid, 0);
    for (const SiteMark& site : sites) {
        const double colat = 90 - site.latDeg;
        if (colat < crop.colatTop() || colat > crop.colatBottom()) continue;
        for (int turn = -1; turn <= 1; ++turn) {
            const double lon = site.lonDeg + 180 + 360 * turn;
            if (lon < crop.lonLeft() || lon > crop.lonRight()) continue;
            const CanvasPoint p = toCanvas(crop, W, H, lon, colat);
            DrawFrom(p.x, p.y);
            if (site.radiusPx > 0) DrawCircle(site.radiusPx);
            textAt(p.x, p.y + 3, site.name);
        }
    }
}

// An axis of the shadow from the point: its end marked, then the extension.
void axis(CanvasPoint p, double angle, int length, int extension, int markColour) {
    DrawFrom(p.x, p.y);
    DrawAngle(angle, length);
    int x = 0, y = 0;
    GfxLPR(&x, &y);
    DrawPixel(x, y, markColour);
    DrawFrom(x, y);
    if (extension > 0) DrawAngle(angle, extension);
}

void drawShadow(CanvasPoint p, const PathPoint& point, const ShadowShape& s) {
    const int fill = s.redFill ? kRed : kBlack, outline = s.redFill ? kBlack : kRed;
    const double theta = point.thetaDeg;
    Pen(kBlack, kSolid, 0);
    axis(p, theta, s.F, roundToInt(std::sqrt(double(s.F) / s.S) * s.E), outline);
    axis(p, theta + 180, s.B, roundToInt(double(s.B) * s.E / s.S), outline);
    axis(p, theta + 90, s.S, s.E, outline);
    axis(p, theta - 90, s.S, s.E, outline);

    Pen(fill, kSolid, 0);
    int fx = p.x, fy = p.y;
    CalcPoint(&fx, &fy, theta, s.F);
    DrawFrom(fx, fy);
    for (int phi = 2; phi <= 360; phi += 2) {
        int x = p.x, y = p.y;
        CalcPoint(&x, &y, theta + phi, roundToInt(outlineRadius(phi, s)));
        DrawTo(x, y);
    }
    DrawTo(fx, fy);
    DrawPixel(fx, fy, fill);

    // The brush in the fill colour, up to the outline just drawn.
    Brush(fill, s.solid ? kSolid : kHatched, s.solid ? 0 : kHatchRisingRight);
    DrawFrom(p.x, p.y);
    DrawFlood(0, fill);
}

void drawGrid(const Crop& crop, int W, int H) {
    Pen(kBlack, kDotted, 0);
    const GridSteps steps = gridSteps(crop);
    const double left = crop.lonLeft(), right = crop.lonRight();
    for (int L = static_cast<int>(std::ceil(left / steps.lonDeg)) * steps.lonDeg; L <= right;
         L += steps.lonDeg) {
        const int x = roundToInt(W * (L - left) / (right - left));
        DrawLine(x, 0, x, H);
        textAt(x + 6, 12, degrees(earthLongitude(L)));
        textAt(x + 6, H - 18, degrees(earthLongitude(L)));
    }
    const double top = crop.colatTop(), bottom = crop.colatBottom();
    for (int C = std::max(0, static_cast<int>(std::ceil(top / steps.latDeg)) * steps.latDeg);
         C <= std::min(bottom, 180.0); C += steps.latDeg) {
        const int y = roundToInt(H * (C - top) / (bottom - top));
        DrawLine(0, y, W, y);
        textAt(8, y, degrees(90 - C));
        textAt(W - 28, y, degrees(90 - C));
    }
}

// The legend's box is as wide as what it holds: the date and Delta-T at
// its left, the title from x = 140.
void drawLegend(const PathEvent& event, const MapperOptions& o, int W, int H) {
    const std::string deltaT = event.deltaTSeconds != 0 ? deltaTText(event.deltaTSeconds) : "";
    GfxFont("Arial", 0, o.fontHeightPx + 2, 1, kRed, 0, 0.0);
    const int titleWidth = event.title.empty() ? 0 : PictorTextWidth(event.title.c_str());
    GfxFont("Arial", 0, o.fontHeightPx, 1, kBlack, 0, 0.0);
    const int leftWidth =
        std::max(PictorTextWidth(event.date.c_str()), PictorTextWidth(deltaT.c_str()));
    const int width = std::max(leftWidth, titleWidth > 0 ? 100 + titleWidth : 0) + 8;
    const int height = std::max(36, 20 + o.fontHeightPx + 6);
    Brush(kWhite, kSolid, 0);
    DrawFrom(36, 38);
    DrawArea(width, height);
    textAt(40, 40, event.date);
    if (!deltaT.empty()) textAt(40, 60, deltaT);
    if (!event.title.empty()) {
        GfxFont("Arial", 0, o.fontHeightPx + 2, 1, kRed, 0, 0.0);
        textAt(140, 40, event.title);
        GfxFont("Arial", 0, o.fontHeightPx, 1, kBlack, 0, 0.0);
    }
    textAt(W - 160, H - 65, event.date);
    if (!deltaT.empty()) textAt(W - 160, H - 45, deltaT);
}

std::string savePicture(const MapperOptions& o, std::string& message) {
    const int number = PictorFirstFreePicture(o.pictureName.c_str(), ".BMP", 0, 999);
    if (number < 0) {
        message = "All of " + o.pictureName + "000.BMP to " + o.pictureName +
                  "999.BMP exist: the picture is not saved";
        return {};
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", number);
    const std::string name = o.pictureName + digits + ".BMP";
    const int result = SaveGfxWindow(name.c_str());
    if (result >= PICTOR_ERROR_FLOOR || result <= 0) {
        message = name + " could not be saved (error " + std::to_string(result) + ")";
        return {};
    }
    return name;
}

} // namespace

int drawCrop(const Crop& crop, int W, int H, const std::string& mapFile) {
    const int mapW = crop.mapWidth;
    int x1 = crop.x1, x2 = crop.x2;
    const int shift = (x1 >= 0 ? x1 / mapW : -((-x1 + mapW - 1) / mapW)) * mapW;
    x1 -= shift;
    x2 -= shift;
    const int y1 = std::max(crop.y1, 0), y2 = std::min(crop.y2, crop.mapHeight - 1);
    // Rows of a crop beyond the poles: the canvas part they would cover.
    const int top = roundToInt(H * double(y1 - crop.y1) / std::max(crop.height(), 1));
    const int bottom = roundToInt(H * double(y2 - crop.y1) / std::max(crop.height(), 1));
    const int rows = std::max(bottom - top, 1);
    if (x2 <= mapW - 1 || x2 - x1 + 1 >= 2 * mapW) {
        DrawFrom(0, top);
        return CropBitmap(mapFile.c_str(), W, rows, x1, y1, std::min(x2, mapW - 1), y2);
    }
    const int split = roundToInt(W * double(mapW - x1) / (x2 - x1 + 1));
    DrawFrom(0, top);
    int result = CropBitmap(mapFile.c_str(), split, rows, x1, y1, mapW - 1, y2);
    DrawFrom(split, top);
    const int second = CropBitmap(mapFile.c_str(), W - split, rows, 0, y1, x2 - mapW, y2);
    return result != 0 ? result : second;
}

PictureResult drawPathPicture(const PictureInput& in) {
    const MapperOptions& o = *in.options;
    const PathEvent& event = *in.event;
    PictureResult r;
    const PathBox box = pathBox(event.points, o);
    r.crop = cropFor(box, chooseMap(box, o.worldView, in.bigMapInstalled));

    console::ConsoleToolBar(-1, 5);
    const WindowCells cells = windowCells(console::ConsoleMetrics(1), console::ConsoleMetrics(2),
                                          console::ConsoleInfo(34), console::ConsoleInfo(35),
                                          console::ConsoleInfo(25) - console::ConsoleInfo(15), o);
    GfxWindow(1);
    console::pauseMs(100);
    if (console::ConsoleGfx(1, 1, cells.cols, cells.rows) == 0) {
        r.message = "The graphics window could not be opened.";
        return r;
    }
    GfxOption(1, 0);
    GfxOption(6, 0);
    const int W = GfxMetrics(2), H = GfxMetrics(7);
    r.canvasWidth = W;
    r.canvasHeight = H;

    // The sea colour under the map: a crop beyond the poles shows no grey.
    Brush(tarvo::suiteColour(tarvo::kMapSeaRgb), kSolid, 0);
    GfxCLS();
    const std::filesystem::path mapFile = tarvo::worldMapPath(in.imageDirectory, r.crop.map);
    if (drawCrop(r.crop, W, H, mapFile.string()) != 0) {
        const tarvo::WorldMapCheck check = tarvo::checkWorldMap(mapFile, r.crop.map);
        r.message =
            check.good() ? mapFile.string() + ": the map could not be drawn" : check.message;
    }
    const Scales k = pixelScales(r.crop, W, H);

    GfxBkgdColor(16);
    GfxFont("Arial", 0, o.fontHeightPx, 1, kBlack, 0, 0.0);
    GfxWindow(5);
    GfxWindow(2);

    if (o.sites && in.sites) drawSites(r.crop, W, H, *in.sites);
    for (std::size_t i = 0; i < event.points.size(); ++i) {
        const PathPoint& point = event.points[i];
        const CanvasPoint p = toCanvas(r.crop, W, H, point.mapLon, point.mapColat);
        drawShadow(p, point, shadowShape(point, k, o.extension));
        Pen(kBlack, kSolid, 0);
        if (o.labelSpacing >= 0 && i % (static_cast<std::size_t>(o.labelSpacing) + 1) == 0)
            textAt(p.x + o.labelRightPx, p.y - o.labelUpPx, point.time);
        console::pauseMs(10);
    }
    drawGrid(r.crop, W, H);
    drawLegend(event, o, W, H);

    GfxWindow(3);
    std::string saveMessage;
    r.savedAs = savePicture(o, saveMessage);
    if (!saveMessage.empty())
        r.message = r.message.empty() ? saveMessage : r.message + "; " + saveMessage;
    return r;
}

} // namespace umbravue
