#include "umbravue/path_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace umbravue {

namespace {

int roundToInt(double v) {
    return static_cast<int>(std::lround(v));
}

} // namespace

PathBox pathBox(const std::vector<PathPoint>& points, const MapperOptions& options) {
    PathBox box;
    if (points.empty()) return box;
    box.lonMin = box.lonMax = points[0].mapLon;
    box.colatMin = box.colatMax = points[0].mapColat;
    for (const PathPoint& p : points) {
        box.lonMin = std::min(box.lonMin, p.mapLon);
        box.lonMax = std::max(box.lonMax, p.mapLon);
        box.colatMin = std::min(box.colatMin, p.mapColat);
        box.colatMax = std::max(box.colatMax, p.mapColat);
    }
    box.lonMin -= options.lonMarginDeg;
    box.lonMax += options.lonMarginDeg;
    box.colatMin -= options.latMarginDeg;
    box.colatMax += options.latMarginDeg;
    auto widen = [&box](double lon, double colat) {
        box.lonMin -= lon;
        box.lonMax += lon;
        box.colatMin -= colat;
        box.colatMax += colat;
    };
    while (box.lonSpan() < 11) widen(1, 0.6);
    if (options.worldView)
        while (box.lonSpan() < 120) widen(10, 6);
    return box;
}

tarvo::WorldMap chooseMap(const PathBox& box, bool worldView, bool bigInstalled) {
    using tarvo::WorldMap;
    if (!worldView && (box.lonSpan() > 180 || box.colatSpan() > 90)) return WorldMap::Small;
    if (!worldView && (box.lonSpan() > 90 || box.colatSpan() > 45)) return WorldMap::Medium;
    return bigInstalled ? WorldMap::Big : WorldMap::Medium;
}

Crop cropFor(const PathBox& box, tarvo::WorldMap map) {
    Crop c;
    c.map = map;
    c.mapWidth = tarvo::worldMapFile(map).width;
    c.mapHeight = tarvo::worldMapFile(map).height;
    const double mapW = c.mapWidth, mapH = c.mapHeight;
    const double cLon = (box.lonMin + box.lonMax) / 2, cColat = (box.colatMin + box.colatMax) / 2;
    const int cx = roundToInt(mapW * cLon / 360), cy = roundToInt(mapH * cColat / 180);
    int w = roundToInt(box.lonSpan() * mapW / 360), h = roundToInt(box.colatSpan() * mapH / 180);
    if (h * 0.9 * mapW / mapH < w)
        h = roundToInt(mapH * w / (0.9 * mapW));
    else
        w = roundToInt(h * 0.9 * mapW / mapH);
    c.x1 = roundToInt(cx - w / 2.0);
    c.x2 = c.x1 + w;
    c.y1 = roundToInt(cy - h / 2.0);
    c.y2 = c.y1 + h;
    if (h < c.mapHeight) {
        if (c.y1 < 0) c.y1 = 0, c.y2 = h;
        if (c.y2 > c.mapHeight - 1) c.y2 = c.mapHeight - 1, c.y1 = c.y2 - h;
    }
    return c;
}

WindowCells windowCells(int cellWidth, int cellHeight, int screenWidth, int screenHeight,
                        int frameOverhead, const MapperOptions& options) {
    const int cw = std::max(cellWidth, 1), ch = std::max(cellHeight, 1);
    WindowCells cells{screenWidth / cw, screenHeight / ch - frameOverhead / ch};
    if (options.worldView) cells = {9601 / cw, 6001 / ch};
    cells.cols -= 1;
    cells.rows -= 1;
    if (cells.cols * cw > options.maxWidthPx) cells.cols = options.maxWidthPx / cw;
    if (cells.rows * ch > options.maxHeightPx) cells.rows = options.maxHeightPx / ch;
    cells.cols = std::max(cells.cols, 8);
    cells.rows = std::max(cells.rows, 4);
    return cells;
}

CanvasPoint toCanvas(const Crop& c, int W, int H, double mapLon, double mapColat) {
    const double mx = std::round(c.mapWidth * mapLon / 360),
                 my = std::round(c.mapHeight * mapColat / 180);
    return {roundToInt(W * (mx - c.x1) / std::max(c.width(), 1)),
            roundToInt(H * (my - c.y1) / std::max(c.height(), 1))};
}

Scales pixelScales(const Crop& c, int W, int H) {
    return {W * double(c.mapWidth) / (40075.0 * std::max(c.width(), 1)),
            H * double(c.mapHeight) / (20004.0 * std::max(c.height(), 1))};
}

ShadowShape shadowShape(const PathPoint& p, const Scales& k, bool extension) {
    const double theta = p.thetaDeg * std::numbers::pi / 180;
    const double cTheta = std::fabs(std::cos(theta)), sTheta = std::fabs(std::sin(theta));
    const double along = cTheta * k.kx + (1 - cTheta) * k.ky;
    const double across = sTheta * k.kx + (1 - sTheta) * k.ky;
    ShadowShape s;
    s.R = roundToInt(k.kx * p.widthKm);
    s.F = std::max(1, roundToInt(along * std::fabs(p.forwardKm)));
    s.B = std::max(1, roundToInt(along * std::fabs(p.backwardKm)));
    s.S = std::max(1, roundToInt(std::fabs(p.widthKm) * 0.5 * across));
    s.E = extension ? roundToInt(std::fabs(p.errorKm) * 0.5 * across) : 0;
    s.redFill = s.R < 0;
    s.solid = std::abs(s.R) < 6;
    return s;
}

double outlineRadius(double phiDeg, const ShadowShape& s) {
    const double F = s.F, B = s.B, S = s.S;
    auto rad = [](double deg) { return deg * std::numbers::pi / 180; };
    if (phiDeg <= 90) {
        const double p = rad(phiDeg);
        return F * S / std::hypot(F * std::sin(p), S * std::cos(p));
    }
    if (phiDeg <= 180) {
        const double psi = rad(phiDeg - 90);
        return B * S / std::hypot(S * std::sin(psi), B * std::cos(psi));
    }
    if (phiDeg <= 270) {
        const double psi = rad(phiDeg - 180);
        return B * S / std::hypot(B * std::sin(psi), S * std::cos(psi));
    }
    const double psi = rad(phiDeg - 270);
    return F * S / std::hypot(S * std::sin(psi), F * std::cos(psi));
}

GridSteps gridSteps(const Crop& c) {
    const int s =
        static_cast<int>(std::max(c.lonRight() - c.lonLeft(), c.colatBottom() - c.colatTop()));
    if (s > 120) return {15, 10};
    if (s >= 25) return {5, 5};
    if (s >= 11) return {2, 2};
    return {1, 1};
}

} // namespace umbravue
