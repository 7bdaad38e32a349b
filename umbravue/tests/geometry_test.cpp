// The geometry of a path picture. Oracles: the rules of the region, map and
// crop worked by hand for small cases, and the outline's radius against the
// ellipse it stands for.
#include "umbravue/path_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace umbravue;
using tarvo::WorldMap;

PathPoint at(double lon, double lat, double width = 100) {
    PathPoint p;
    p.mapLon = lon + 180;
    p.mapColat = 90 - lat;
    p.widthKm = width;
    p.forwardKm = p.backwardKm = width;
    return p;
}

TEST(PathRegion, ANarrowPathIsWidenedByADegreeUntilItSpansEleven) {
    MapperOptions o;
    o.lonMarginDeg = 0;
    o.latMarginDeg = 0;
    const PathBox box = pathBox({at(10, 40), at(12, 41)}, o);
    // 2 degrees, then 4, 6, 8, 10, 12: five widenings of 1 and 0.6.
    EXPECT_DOUBLE_EQ(box.lonSpan(), 12.0);
    EXPECT_NEAR(box.colatSpan(), 1.0 + 5 * 1.2, 1e-12);
    o.worldView = true;
    EXPECT_GE(pathBox({at(10, 40), at(12, 41)}, o).lonSpan(), 120.0);
}

TEST(PathRegion, MapsByTheRegionsSize) {
    MapperOptions o;
    const PathBox wide = pathBox({at(-100, 0), at(100, 10)}, o); // 200 degrees
    EXPECT_EQ(chooseMap(wide, false, true), WorldMap::Small);
    EXPECT_EQ(chooseMap(wide, true, true), WorldMap::Big);
    EXPECT_EQ(chooseMap(wide, true, false), WorldMap::Medium);
    const PathBox middle = pathBox({at(-50, 0), at(50, 10)}, o);
    EXPECT_EQ(chooseMap(middle, false, true), WorldMap::Medium);
    const PathBox small = pathBox({at(-5, 0), at(5, 10)}, o);
    EXPECT_EQ(chooseMap(small, false, true), WorldMap::Big);
    EXPECT_EQ(chooseMap(small, false, false), WorldMap::Medium);
}

TEST(PathRegion, CropHasTheAspectOfNineTenthsOfTheMap) {
    PathBox box{100, 120, 40, 50}; // 20 x 10 degrees
    const Crop c = cropFor(box, WorldMap::Big);
    // w = 20 * 9600 / 360 = 533, h = 10 * 6000 / 180 = 333; 333 * 0.9 * 1.6 =
    // 480 < 533, so h = round(6000 * 533 / 8640) = 370.
    EXPECT_EQ(c.width(), 533);
    EXPECT_EQ(c.height(), 370);
    EXPECT_EQ(c.x1, 2667); // round(round(9600 * 110 / 360) - 533 / 2)
    EXPECT_NEAR((c.lonLeft() + c.lonRight()) / 2, 110, 0.05);
    // A region beyond the north pole is moved down into the map.
    const Crop polar = cropFor({100, 120, -5, 5}, WorldMap::Big);
    EXPECT_EQ(polar.y1, 0);
}

TEST(PathRegion, WindowCellsFromTheScreenCappedByTheOptions) {
    MapperOptions o;
    o.maxWidthPx = 1600;
    o.maxHeightPx = 1000;
    const WindowCells cells = windowCells(8, 16, 1920, 1080, 0, o);
    EXPECT_EQ(cells.cols, 200);
    EXPECT_EQ(cells.rows, 62);
    const WindowCells small = windowCells(8, 16, 640, 384, 0, o);
    EXPECT_EQ(small.cols, 79);
    EXPECT_EQ(small.rows, 23);
}

TEST(PathShadow, ColoursAndBrushFollowTheWidth) {
    Scales k{0.5, 0.5};
    PathPoint p = at(0, 0, 100);
    ShadowShape s = shadowShape(p, k, false);
    EXPECT_EQ(s.R, 50);
    EXPECT_FALSE(s.redFill);
    EXPECT_FALSE(s.solid);
    EXPECT_EQ(s.S, 25);
    EXPECT_EQ(s.E, 0);
    p.widthKm = -20; // the umbra misses the ground: red inside black
    s = shadowShape(p, k, false);
    EXPECT_TRUE(s.redFill);
    EXPECT_FALSE(s.solid);
    p.widthKm = -10; // |R| = 5 < 6: solid
    s = shadowShape(p, k, false);
    EXPECT_TRUE(s.solid);
    p.widthKm = 0.1; // the sides are at least one pixel
    EXPECT_EQ(shadowShape(p, k, false).S, 1);
    p.errorKm = 40;
    EXPECT_EQ(shadowShape(p, k, true).E, 10);
}

TEST(PathShadow, OutlineIsTheEllipseOfEachQuadrant) {
    ShadowShape s;
    s.F = 30;
    s.B = 10;
    s.S = 20;
    EXPECT_NEAR(outlineRadius(0.0001, s), 30, 1e-3);
    EXPECT_NEAR(outlineRadius(90, s), 20, 1e-9);
    EXPECT_NEAR(outlineRadius(180, s), 10, 1e-9);
    EXPECT_NEAR(outlineRadius(270, s), 20, 1e-9);
    EXPECT_NEAR(outlineRadius(360, s), 30, 1e-9);
    // A point of the forward quadrant lies on x²/F² + y²/S² = 1.
    const double phi = 40 * M_PI / 180, r = outlineRadius(40, s);
    EXPECT_NEAR(std::pow(r * std::cos(phi) / 30, 2) + std::pow(r * std::sin(phi) / 20, 2), 1,
                1e-12);
}

TEST(PathGrid, StepsByTheLargerSpan) {
    auto crop = [](double lonSpan) {
        Crop c;
        c.mapWidth = 360;
        c.mapHeight = 180;
        c.x2 = static_cast<int>(lonSpan);
        c.y2 = 5;
        return c;
    };
    EXPECT_EQ(gridSteps(crop(150)).lonDeg, 15);
    EXPECT_EQ(gridSteps(crop(150)).latDeg, 10);
    EXPECT_EQ(gridSteps(crop(60)).lonDeg, 5);
    EXPECT_EQ(gridSteps(crop(20)).lonDeg, 2);
    EXPECT_EQ(gridSteps(crop(8)).lonDeg, 1);
}

} // namespace
