// The projections of the graphics view against closed forms: the centre of
// the field at the centre of the canvas, east to the left, the limits of
// the plain and polar maps, the plain map with its centre on the equator
// as the equirectangular map, the arrangement and the zoom.
#include "tarvo/views/graphics_layout.h"
#include "tarvo/views/sky_projection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tarvo {
namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

TEST(SkyProjection, TheCentreMapsToTheCentreOfTheCanvas) {
    const PixelMapping m = fieldMapping(704, 400, 40 * kDeg, 20 * kDeg);
    for (const ViewVector c :
         {ViewVector{1, 0, 0}, unitFromAngles(1.3, 0.4), unitFromAngles(-2.0, -1.2)}) {
        const Projected plain = projectPlainSky(c, c, 40 * kDeg);
        ASSERT_TRUE(plain.visible);
        EXPECT_NEAR(plain.x, 0, 1e-12);
        EXPECT_NEAR(plain.y, 0, 1e-12);
        const PixelPlace p = toPixels(m, plain.x, plain.y);
        EXPECT_EQ(p.x, 352);
        EXPECT_EQ(p.y, 200);
        const Projected polar = projectPolar(c, c, 40 * kDeg, 20 * kDeg);
        ASSERT_TRUE(polar.visible);
        EXPECT_NEAR(polar.x, 0, 1e-6);
        EXPECT_NEAR(polar.y, 0, 1e-6);
    }
}

TEST(SkyProjection, EastIsToTheLeftAndNorthUp) {
    // A point of larger right ascension (east) lies left of the centre; a
    // point of larger declination lies above it, in both maps.
    const ViewVector c = unitFromAngles(1.5, 0.2);
    const Projected east = projectPlainSky(unitFromAngles(1.6, 0.2), c, 0.5);
    const Projected north = projectPlainSky(unitFromAngles(1.5, 0.3), c, 0.5);
    EXPECT_LT(east.x, 0);
    EXPECT_GT(north.y, 0);
    const Projected polarEast = projectPolar(unitFromAngles(1.6, 0.2), c, 0.5, 0.5);
    EXPECT_LT(polarEast.x, 0);
    const PixelMapping m = fieldMapping(800, 400, 0.5, 0.25);
    EXPECT_LT(toPixels(m, east.x, east.y).x, 400);
    EXPECT_LT(toPixels(m, north.x, north.y).y, 200);
}

TEST(SkyProjection, PlainMapOnTheEquatorIsEquirectangular) {
    // Centre on the equator: X = -(α - α0) and Y = δ exactly.
    const double a0 = 84.0 * kDeg;
    const ViewVector c = unitFromAngles(a0, 0);
    for (const auto& [a, d] :
         {std::pair{88.79, 7.41}, {78.63, -8.20}, {101.3, -16.7}, {68.98, 16.5}}) {
        const Projected p = projectPlainSky(unitFromAngles(a * kDeg, d * kDeg), c, 40 * kDeg);
        ASSERT_TRUE(p.visible);
        EXPECT_NEAR(p.x, -(a * kDeg - a0), 1e-12);
        EXPECT_NEAR(p.y, d * kDeg, 1e-12);
    }
}

TEST(SkyProjection, LimitsOfThePlainAndPolarMaps) {
    const ViewVector c{1, 0, 0};
    // Plain map: drawn when a > cos w - 0.1.
    const double w = 60 * kDeg;
    const double edge = std::acos(std::cos(w) - 0.1);
    EXPECT_TRUE(projectPlainSky(unitFromAngles(edge - 1e-6, 0), c, w).visible);
    const Projected beyond = projectPlainSky(unitFromAngles(edge + 1e-6, 0), c, w);
    EXPECT_FALSE(beyond.visible);
    EXPECT_EQ(beyond.x, kOffField);
    EXPECT_EQ(beyond.y, kOffField);
    // Polar map: drawn when a > cos(sqrt(w² + h²)) - 1e-5; a limit below 0 counts as 0.
    const double h = 30 * kDeg, r = std::sqrt(w * w + h * h);
    const double polarEdge = std::acos(std::cos(r) - 1e-5);
    EXPECT_TRUE(projectPolar(unitFromAngles(polarEdge - 1e-6, 0), c, w, h).visible);
    EXPECT_FALSE(projectPolar(unitFromAngles(polarEdge + 1e-6, 0), c, w, h).visible);
    EXPECT_FALSE(projectPolar(unitFromAngles(95 * kDeg, 0), c, 80 * kDeg, 80 * kDeg).visible);
    // Equidistant: the angular distance from the centre is the radius.
    const Projected p = projectPolar(unitFromAngles(0, 50 * kDeg), ViewVector{0, 0, 1}, 1.5, 1.5);
    EXPECT_NEAR(std::hypot(p.x, p.y), 40 * kDeg, 2e-9); // the pole as centre is 1e-9 off it
}

TEST(SkyProjection, ThePoleAsCentreTakesTheXAxisAsNorth) {
    const ViewVector pole{0, 0, 1};
    const ViewComponents v = viewComponents({1, 0, 0}, pole);
    EXPECT_NEAR(v.depth, 0, 1e-9);
    EXPECT_NEAR(v.north, -1, 1e-9); // the x axis lies "south" of the pole: below the centre
    EXPECT_TRUE(std::isfinite(v.east));
}

TEST(SkyProjection, HorizontalPlainMapFacesTheXAxis) {
    // Horizon frame (south, east, zenith) with the zenith as centre: the
    // south point is at the centre line, east to the left, altitude up.
    const ViewVector c{0, 0, 1};
    const Projected south = projectHorizontalPlain({1, 0, 0}, c, 90 * kDeg);
    EXPECT_NEAR(south.x, 0, 1e-9);
    EXPECT_NEAR(south.y, 0, 1e-9);
    const Projected east =
        projectHorizontalPlain(unitFromAngles(30 * kDeg, 20 * kDeg), c, 90 * kDeg);
    EXPECT_LT(east.x, 0);
    EXPECT_NEAR(east.y, 20 * kDeg, 1e-9);
}

TEST(SkyProjection, OrthographicViewAndItsAxes) {
    const Projected p = projectOrthographic({3, 4, 5}, {1, 1, 1}, false);
    EXPECT_EQ(p.x, 2);
    EXPECT_EQ(p.y, 3);
    EXPECT_EQ(projectOrthographic({3, 4, 5}, {1, 1, 1}, true).y, 4);
    EXPECT_NEAR(viewAtan2(1, -1), 0.75 * std::numbers::pi, 1e-15);
    EXPECT_NEAR(viewAtan2(-1, 0), -0.5 * std::numbers::pi, 1e-15);
    EXPECT_NEAR(viewAtan2(0, -1), std::numbers::pi, 1e-15);
}

TEST(GraphicsLayout, AreaFontAndZoom) {
    // A console of 30 rows: 27 rows, or round(26 × 27 / 41) = 17 for the plain sky map.
    EXPECT_EQ(graphicsArea(240, 30, false, false).rows, 27);
    EXPECT_EQ(graphicsArea(240, 30, false, true).rows, 17);
    EXPECT_EQ(graphicsArea(240, 30, false, false).columns, 58);
    EXPECT_EQ(graphicsArea(70, 67, false, false).columns, 46); // leaves 24 columns for the menu
    EXPECT_EQ(graphicsArea(240, 67, false, false).rows, 40);
    EXPECT_TRUE(graphicsArea(240, 5, false, false).tooFewRows);
    EXPECT_TRUE(graphicsArea(240, 0, false, true).tooFewRows);
    EXPECT_EQ(graphicsArea(108, 27, true, true).rows, 27);
    EXPECT_EQ(canvasFontHeight(600), 12);
    EXPECT_EQ(zoomLevel(1000, 1000), 0);
    EXPECT_EQ(zoomLevel(1000, 1000 / std::sqrt(2.0)), 1);
    // Error codes of the graphics library are never sizes.
    EXPECT_FALSE(usableCanvasSize(999000090));
    EXPECT_FALSE(usableCanvasSize(0));
    EXPECT_TRUE(usableCanvasSize(704));
}

} // namespace
} // namespace tarvo
