// The geometry of one path picture: the region around the path, the map and
// crop rectangle it is cut from, the window size, the canvas position of a
// place, the shadow outline of a point, and the grid steps. Map longitudes
// run 0 to 360 from the date line eastwards (longitude + 180), map
// colatitudes 0 to 180 from the north pole.
#pragma once

#include "umbravue/mapper_options.h"
#include "umbravue/path_file.h"

#include "tarvo/views/world_map_files.h"

#include <vector>

namespace umbravue {

struct PathBox {
    double lonMin = 0, lonMax = 0;     // map longitudes (degrees)
    double colatMin = 0, colatMax = 0; // map colatitudes (degrees)
    double lonSpan() const { return lonMax - lonMin; }
    double colatSpan() const { return colatMax - colatMin; }
};

// The points' extent widened by the margins; then by 1 degree of longitude
// and 0.6 of colatitude on both sides until it spans 11 degrees of longitude
// or more, and with the world view by 10 and 6 until it spans 120.
PathBox pathBox(const std::vector<PathPoint>& points, const MapperOptions& options);

// The small map for a region wider than 180 or taller than 90 degrees, the
// medium one above 90 or 45, else the big one (the medium one when the big
// one is not installed); the world view always takes the biggest available.
tarvo::WorldMap chooseMap(const PathBox& box, bool worldView, bool bigInstalled);

struct Crop {
    tarvo::WorldMap map = tarvo::WorldMap::Small;
    int mapWidth = 0, mapHeight = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // map pixels; x may run beyond the map (wrapped)
    int width() const { return x2 - x1; }
    int height() const { return y2 - y1; }
    // The shown region in map longitudes and colatitudes.
    double lonLeft() const { return 360.0 * x1 / mapWidth; }
    double lonRight() const { return 360.0 * x2 / mapWidth; }
    double colatTop() const { return 180.0 * y1 / mapHeight; }
    double colatBottom() const { return 180.0 * y2 / mapHeight; }
};

// The crop rectangle: centred on the box, its size that of the box, then
// widened to the aspect w : h = 0.9 mapW : mapH. A crop taller than it can
// be inside the map is moved down or up into it (a region beyond the pole
// would show nothing); across the date line it stays as it is and is cut
// from both ends of the map (drawCrop).
Crop cropFor(const PathBox& box, tarvo::WorldMap map);

struct WindowCells {
    int cols = 0, rows = 0;
};

// The window in character cells: the usable screen (pixels) in cells less
// the frame overhead, one column and one row less; the world view asks for
// the whole big map instead; each capped by the largest width and height.
WindowCells windowCells(int cellWidth, int cellHeight, int screenWidth, int screenHeight,
                        int frameOverhead, const MapperOptions& options);

struct CanvasPoint {
    int x = 0, y = 0;
};

// Canvas pixel of a map longitude and colatitude: x = round(W (round(mapW
// lon / 360) - x1) / w), y likewise.
CanvasPoint toCanvas(const Crop& crop, int canvasWidth, int canvasHeight, double mapLon,
                     double mapColat);

// Pixels per kilometre across (kx, from 40075 km for 360 degrees) and down
// (ky, from 20004 km for 180 degrees).
struct Scales {
    double kx = 0, ky = 0;
};
Scales pixelScales(const Crop& crop, int canvasWidth, int canvasHeight);

/*
** shadowShape: the outline of the shadow at one path point, in pixels.
**
** Given:   the point (its direction θ, width a, forward and backward extents
**          b, c and extension d, km), the scales, the extension flag
** Returned: R = round(kx a); blend factors along = |cos θ| kx + (1 - |cos θ|)
**          ky and across = |sin θ| kx + (1 - |sin θ|) ky; forward F =
**          round(along |b|), backward B = round(along |c|), side S =
**          round(|a| across / 2), each at least 1; extension E = round(|d|
**          across / 2) when the flag is on, else 0; a negative R fills red
**          inside a black outline, otherwise black inside red; the brush is
**          solid when |R| < 6, hatched otherwise.
*/
struct ShadowShape {
    int R = 0, F = 1, B = 1, S = 1, E = 0;
    bool redFill = false;
    bool solid = false;
};
ShadowShape shadowShape(const PathPoint& point, const Scales& scales, bool extension);

// The polar radius of the outline at φ degrees (2 to 360) from the forward
// direction: the quarter ellipse of the quadrant, semi-axes F and S (0-90),
// B and S (90-270), F and S (270-360).
double outlineRadius(double phiDeg, const ShadowShape& shape);

struct GridSteps {
    int lonDeg = 1, latDeg = 1;
};
// From the larger span s of the shown region (whole degrees): above 120, 15
// and 10; 25 to 120, 5 and 5; 11 to 24, 2 and 2; else 1 and 1.
GridSteps gridSteps(const Crop& crop);

} // namespace umbravue
