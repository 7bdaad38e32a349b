// The world view's geometry and the nearest site. Oracles: the plate carrée
// mapping x = (λ + 180) W / 360, y = (90 - φ) H / 180 run backwards (a pixel
// read as a place must land on the same pixel of the map), the zoom's crop
// formula worked by hand, and distances on the sphere for the nearest site.
#include "tarvo/views/nearest_site.h"
#include "tarvo/views/world_view.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace tarvo;

TEST(WorldViewGeometry, WholeWorldSpansTheMapWithZeroZeroAtTheCentre) {
    const WorldViewFrame f = wholeWorldFrame(648, 400);
    const LonLatDeg centre = cursorLocation(f, 324, 200);
    EXPECT_DOUBLE_EQ(centre.lon, 0.0);
    EXPECT_DOUBLE_EQ(centre.lat, 0.0);
    const LonLatDeg corner = cursorLocation(f, 0, 0);
    EXPECT_DOUBLE_EQ(corner.lon, -180.0);
    EXPECT_DOUBLE_EQ(corner.lat, 90.0);
    // 10 degrees a row of the grid: H / 18 pixels.
    EXPECT_NEAR(cursorLocation(f, 324, 400 / 18).lat, 90.0 - 180.0 * (400 / 18) / 400, 1e-12);
}

TEST(WorldViewGeometry, ZoomCropsHalfTheCanvasOfMapPixelsAroundTheClick) {
    // W = 648, H = 400 over the big map 9600 x 6000, click at (324, 100):
    // x2 = round(9600 * 324 / 648 + 162) = 4962, x1 = 4638;
    // y2 = round(6000 * 100 / 400 + 100) = 1600, y1 = 1400.
    const WorldViewFrame f = zoomedFrame(324, 100, 648, 400, WorldMap::Big);
    EXPECT_TRUE(f.zoomed);
    EXPECT_EQ(f.x1, 4638);
    EXPECT_EQ(f.x2, 4962);
    EXPECT_EQ(f.y1, 1400);
    EXPECT_EQ(f.y2, 1600);
    // The clicked place is at the centre of the zoomed view...
    const LonLatDeg clicked = cursorLocation(wholeWorldFrame(648, 400), 324, 100);
    const LonLatDeg centre = cursorLocation(f, 324, 200);
    EXPECT_NEAR(centre.lon, clicked.lon, 360.0 / 9600);
    EXPECT_NEAR(centre.lat, clicked.lat, 180.0 / 6000);
    // ...and every pixel reads as the place of the map pixel it shows.
    for (const auto& [mx, my] : {std::pair{0, 0}, {100, 37}, {647, 399}}) {
        const LonLatDeg at = cursorLocation(f, mx, my);
        const double mapX = (at.lon + 180) * 9600 / 360, mapY = (90 - at.lat) * 6000 / 180;
        EXPECT_NEAR(mapX, f.x1 + mx * (f.x2 - f.x1) / 648.0, 1.0) << mx << "," << my;
        EXPECT_NEAR(mapY, f.y1 + my * (f.y2 - f.y1) / 400.0, 1.0) << mx << "," << my;
    }
}

TEST(WorldViewGeometry, ZoomAtTheMapEdgeStaysInsideThePicture) {
    for (WorldMap map : {WorldMap::Big, WorldMap::Medium}) {
        const WorldMapFile& file = worldMapFile(map);
        const WorldViewFrame topLeft = zoomedFrame(0, 0, 648, 400, map);
        EXPECT_EQ(topLeft.x1, 0);
        EXPECT_EQ(topLeft.y1, 0);
        EXPECT_EQ(topLeft.x2, 324);
        EXPECT_EQ(topLeft.y2, 200);
        const WorldViewFrame bottomRight = zoomedFrame(647, 399, 648, 400, map);
        EXPECT_EQ(bottomRight.x2, file.width - 1);
        EXPECT_EQ(bottomRight.y2, file.height - 1);
        EXPECT_EQ(bottomRight.x2 - bottomRight.x1, 324);
        // The top edge of the moved crop reads as the pole.
        EXPECT_DOUBLE_EQ(cursorLocation(topLeft, 0, 0).lat, 90.0);
        EXPECT_DOUBLE_EQ(cursorLocation(topLeft, 0, 0).lon, -180.0);
    }
}

std::vector<GeoSite> someSites() {
    return {{"PORTLAND", "AMERICA", 45.52, -122.68, 0},
            {"BOISE", "AMERICA", 43.61, -116.20, 0},
            {"FIJI", "PACIFIC", -18.13, 178.42, 0},
            {"SAMOA", "PACIFIC", -13.83, -171.75, 0}};
}

TEST(NearestSite, SmallestFlatDistanceWithLongitudesShrunkByLatitude) {
    const auto sites = someSites();
    const auto near = findNearestSite(sites, -121.0, 44.6); // Madras, Oregon
    ASSERT_TRUE(near);
    EXPECT_EQ(sites[near->index].name, "PORTLAND");
    // Flat distance against the great circle (167 km): within 3 %.
    const double dLon = (-121.0 + 122.68) * std::cos(44.6 * M_PI / 180), dLat = 45.52 - 44.6;
    EXPECT_NEAR(near->distanceKm, std::hypot(dLon, dLat) * 111.11, 1e-9);
    EXPECT_NEAR(near->distanceKm, 167.0, 0.03 * 167.0);
    // One degree of latitude is 111.11 km.
    EXPECT_NEAR(findNearestSite(sites, -116.20, 44.61)->distanceKm, 111.11, 1e-6);
}

TEST(NearestSite, LongitudesAreComparedTheShortWayRoundAndAnEmptyListHasNone) {
    const auto sites = someSites();
    // Just east of the date line Fiji is 2 degrees away across it; counted
    // the long way round (357 degrees) Samoa would win.
    EXPECT_EQ(sites[findNearestSite(sites, -179.5, -18.13)->index].name, "FIJI");
    EXPECT_EQ(sites[findNearestSite(sites, -175.0, -14.0)->index].name, "SAMOA");
    EXPECT_FALSE(findNearestSite({}, 0.0, 0.0));
}

} // namespace
