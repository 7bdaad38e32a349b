// Circles, arcs, filled rectangles, hatches and flood fills. Oracles: the
// analytic circle (Bézier outline within a pixel of radius r, symmetric,
// through the four axis points), pixel counts of rectangles, and fills
// that must stop exactly at a border colour.
#include <gtest/gtest.h>

#include <cmath>

#include "bezier_path.h"
#include "flood_fill.h"
#include "raster_fill.h"
#include "test_window.h"

using namespace pictor_test;

namespace {

using Shapes = PixelWindow;

TEST_F(Shapes, CircleOutlineLiesOnTheRadius) {
    ASSERT_EQ(BrushStyle(1), 0); // hollow: outline only
    ASSERT_EQ(DrawFrom(100, 75), 0);
    ASSERT_EQ(DrawCircle(50), 0);
    const auto set = pixelsOf(kBlack);
    ASSERT_FALSE(set.empty());
    for (const auto& [x, y] : set)
        EXPECT_NEAR(std::hypot(x - 100, y - 75), 50.0, 1.0) << x << "," << y;
    for (const auto& p :
         {std::pair{50, 75}, std::pair{150, 75}, std::pair{100, 25}, std::pair{100, 125}})
        EXPECT_TRUE(set.count(p)) << p.first << "," << p.second;
    // Mirror symmetric about both axes through the centre.
    for (const auto& [x, y] : set) {
        EXPECT_TRUE(set.count({200 - x, y})) << x << "," << y;
        EXPECT_TRUE(set.count({x, 150 - y})) << x << "," << y;
    }
    // An 8-connected ring: about 2 pi r pixels, no gaps, no doubled rings.
    EXPECT_GT(set.size(), 270u);
    EXPECT_LT(set.size(), 330u);
    int x = 0, y = 0;
    GfxLPR(&x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 75);
}

TEST_F(Shapes, FilledCircleCoversTheDisc) {
    ASSERT_EQ(Brush(kRed, 0, 0), 0);
    ASSERT_EQ(DrawFrom(100, 75), 0);
    ASSERT_EQ(DrawCircle(40), 0);
    const int inside = countOf(kRed) + countOf(kBlack);
    EXPECT_NEAR(inside, M_PI * 40 * 40, 2 * M_PI * 40); // area within one ring of pixels
    EXPECT_EQ(colourAt(100, 75), kRed);
    EXPECT_EQ(colourAt(100, 36), kRed);
    EXPECT_EQ(colourAt(100, 35), kBlack);
    EXPECT_EQ(colourAt(100, 34), kWhite);
}

TEST_F(Shapes, QuarterArcControlPointMatchesTheCircle) {
    // The Bézier midpoint of a quarter arc with control distance k lies at
    // radius (sqrt(2)/2) (1 + 3k) / 2 ... = 1.000273 r: well inside a pixel.
    const auto path = pictor::ellipseOutline({0, 0}, 1000, 1000);
    const auto points = pictor::flattenPath(path);
    for (const auto& p : points) EXPECT_NEAR(std::hypot(p.x, p.y), 1000.0, 0.3);
    EXPECT_DOUBLE_EQ(path[0].p0.x, -1000.0); // starts at 9 o'clock
    EXPECT_DOUBLE_EQ(path[0].p3.y, -1000.0); // then up: clockwise on the screen
}

TEST_F(Shapes, HugeCirclesAreClippedPaths) {
    // Radius 10^9 pixels around a centre far to the left: the visible part
    // of the outline is a nearly straight vertical line at x = 100.
    ASSERT_EQ(Brush(kRed, 0, 0), 0);
    ASSERT_EQ(DrawFrom(-999999900, 75), 0);
    ASSERT_EQ(DrawCircle(1000000000), 0);
    for (int x = 0; x < 99; ++x) EXPECT_EQ(colourAt(x, 75), kRed) << x;
    EXPECT_EQ(colourAt(150, 75), kWhite);
    // Everywhere on the canvas the outline stays within a pixel of the circle.
    for (const auto& [x, y] : pixelsOf(kBlack))
        EXPECT_NEAR(std::hypot(double(x) + 999999900.0, y - 75.0), 1e9, 1.0) << x << "," << y;
    EXPECT_GE(countOf(kBlack), 150);
}

TEST_F(Shapes, WidePenCirclesAreRingsOfThatWidth) {
    ASSERT_EQ(BrushStyle(1), 0);
    ASSERT_EQ(Pen(kBlack, 0, -7), 0);
    ASSERT_EQ(DrawFrom(100, 75), 0);
    ASSERT_EQ(DrawCircle(40), 0);
    // Every pixel within 3 of the circle is black, none beyond 4.5.
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            const double off = std::fabs(std::hypot(x - 100, y - 75) - 40.0);
            if (off <= 3.0) {
                EXPECT_EQ(colourAt(x, y), kBlack) << x << "," << y;
            } else if (off > 4.5) {
                EXPECT_EQ(colourAt(x, y), kWhite) << x << "," << y;
            }
        }
    // A pen far wider than the canvas covers it without walking every tip.
    ASSERT_EQ(Pen(kBlue, 0, -9999), 0);
    ASSERT_EQ(DrawCircle(60), 0);
    ASSERT_EQ(DrawArc(100, 100, 0, 180), 0);
    EXPECT_EQ(countOf(kBlue), 200 * 150);
}

TEST_F(Shapes, ArcAcrossTheZeroDirection) {
    ASSERT_EQ(DrawFrom(100, 75), 0);
    ASSERT_EQ(DrawArc(100, 100, 350, 10), 0);
    const auto set = pixelsOf(kBlack);
    ASSERT_FALSE(set.empty());
    // A 20-degree arc around 9 o'clock: x near 50, y within 50 sin 10.
    for (const auto& [x, y] : set) {
        EXPECT_LE(x, 51);
        EXPECT_LE(std::abs(y - 75), 9);
    }
    EXPECT_TRUE(set.count({50, 75}));
    int x = 0, y = 0;
    GfxLPR(&x, &y);
    EXPECT_EQ(x, 100);
}

TEST_F(Shapes, ArcWithEqualEndsIsTiny) {
    ASSERT_EQ(DrawFrom(100, 75), 0);
    ASSERT_EQ(DrawArc(100, 60, 90, 90), 0);
    const auto set = pixelsOf(kBlack);
    EXPECT_GE(set.size(), 1u);
    EXPECT_LE(set.size(), 2u);
    EXPECT_TRUE(set.count({100, 45})); // 90 points up, half-height 30
}

TEST_F(Shapes, ArcRunsClockwiseFromStartToEnd) {
    // From 0 (left) to 90 (up) clockwise: the upper-left quarter only.
    ASSERT_EQ(DrawFrom(100, 75), 0);
    ASSERT_EQ(DrawArc(80, 80, 0, 90), 0);
    const auto set = pixelsOf(kBlack);
    ASSERT_FALSE(set.empty());
    for (const auto& [x, y] : set) {
        EXPECT_LE(x, 100);
        EXPECT_LE(y, 75);
    }
}

TEST_F(Shapes, FilledRectangleFromTheLpr) {
    ASSERT_EQ(Brush(kRed, 0, 0), 0);
    ASSERT_EQ(DrawFrom(20, 30), 0);
    ASSERT_EQ(DrawArea(10, 5), 0);
    const auto set = pixelsOf(kRed);
    EXPECT_EQ(set.size(), 50u);
    EXPECT_TRUE(set.count({20, 30}));
    EXPECT_TRUE(set.count({29, 34}));
    EXPECT_EQ(countOf(kBlack), 0); // no outline
    int x = 0, y = 0;
    GfxLPR(&x, &y);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 30);
    // Negative sizes extend to the left and upwards.
    ASSERT_EQ(BrushColor(kWhite), 0);
    ASSERT_EQ(GfxCLS(), 0);
    ASSERT_EQ(BrushColor(kRed), 0);
    ASSERT_EQ(DrawFrom(20, 30), 0);
    ASSERT_EQ(DrawArea(-4, -3), 0);
    const auto left = pixelsOf(kRed);
    EXPECT_EQ(left.size(), 12u);
    EXPECT_TRUE(left.count({16, 27}));
    EXPECT_TRUE(left.count({19, 29}));
}

TEST_F(Shapes, FilledRectangleOfZeroWidthDrawsNothing) {
    ASSERT_EQ(Brush(kRed, 0, 0), 0);
    ASSERT_EQ(DrawFrom(20, 30), 0);
    EXPECT_EQ(DrawArea(0, 50), 0);
    EXPECT_EQ(DrawArea(50, 0), 0);
    EXPECT_EQ(countOf(kRed), 0);
}

TEST_F(Shapes, HatchedBrushes) {
    ASSERT_EQ(Brush(kBlue, 2, 0), 0); // horizontal hatch, transparent gaps
    ASSERT_EQ(DrawFrom(0, 0), 0);
    ASSERT_EQ(DrawArea(16, 16), 0);
    EXPECT_EQ(countOf(kBlue), 2 * 16); // rows 0 and 8
    GfxCLS();
    ASSERT_EQ(BrushColor(kWhite), 0);
    ASSERT_EQ(GfxCLS(), 0);
    ASSERT_EQ(Brush(kBlue, 2, 2), 0); // top-left to bottom-right diagonals
    ASSERT_EQ(DrawFrom(0, 0), 0);
    ASSERT_EQ(DrawArea(8, 8), 0);
    const auto set = pixelsOf(kBlue);
    EXPECT_EQ(set.size(), 8u);
    for (const auto& [x, y] : set) EXPECT_EQ(x, y);
    for (int hatch = 0; hatch <= 5; ++hatch) {
        int covered = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) covered += pictor::hatchCovers(hatch, x, y);
        EXPECT_EQ(covered, hatch == 4 || hatch == 5 ? 15 - (hatch == 5 ? -1 : 0) : 8) << hatch;
    }
}

TEST_F(Shapes, FloodFillStopsAtTheBorderColour) {
    // A red square outline with a black line across the inside.
    ASSERT_EQ(Pen(kRed, 0, 0), 0);
    ASSERT_EQ(DrawFrom(20, 20), 0);
    ASSERT_EQ(DrawTo(60, 20), 0);
    ASSERT_EQ(DrawTo(60, 60), 0);
    ASSERT_EQ(DrawTo(20, 60), 0);
    ASSERT_EQ(DrawTo(20, 20), 0);
    ASSERT_EQ(Pen(kBlack, 0, 0), 0);
    ASSERT_EQ(DrawLine(30, 40, 50, 40), 0);
    ASSERT_EQ(Brush(kGreen, 0, 0), 0);
    ASSERT_EQ(DrawFrom(40, 30), 0);
    ASSERT_EQ(DrawFlood(0, kRed), 0);
    // Only the border colour stops the fill: the black line inside is
    // painted over, the outside stays white.
    EXPECT_EQ(countOf(kGreen), 39 * 39);
    EXPECT_EQ(colourAt(21, 21), kGreen);
    EXPECT_EQ(colourAt(59, 59), kGreen);
    EXPECT_EQ(colourAt(35, 40), kGreen);
    EXPECT_EQ(colourAt(19, 19), kWhite);
    EXPECT_EQ(colourAt(61, 40), kWhite);
    EXPECT_EQ(colourAt(20, 40), kRed);
}

TEST_F(Shapes, FloodFillOfASurfaceColour) {
    ASSERT_EQ(Pen(kBlack, 0, 0), 0);
    ASSERT_EQ(DrawLine(0, 50, 200, 50), 0);
    ASSERT_EQ(Brush(kBlue, 0, 0), 0);
    ASSERT_EQ(DrawFrom(10, 10), 0);
    ASSERT_EQ(DrawFlood(1, kWhite), 0);
    EXPECT_EQ(countOf(kBlue), 200 * 50);
    EXPECT_EQ(colourAt(10, 60), kWhite);
    // Starting on a pixel that is not the surface colour fills nothing.
    EXPECT_EQ(DrawFlood(1, kRed), PICTOR_ERR_PLATFORM);
    EXPECT_EQ(DrawFlood(2, kRed), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(DrawFlood(0, 16777216), PICTOR_ERR_ARGUMENT);
}

TEST_F(Shapes, FloodFillWithABrushOfTheAreaColourEnds) {
    // Filling white with white up to a border: every pixel stays white and
    // the fill ends (the area is judged on untouched pixels).
    ASSERT_EQ(DrawFrom(5, 5), 0);
    ASSERT_EQ(DrawFlood(0, kBlack), 0);
    EXPECT_EQ(countOf(kWhite), 200 * 150);
    ASSERT_EQ(Brush(kBlue, 2, 4), 0); // a cross hatch leaves gaps of the old colour
    ASSERT_EQ(DrawFlood(1, kWhite), 0);
    EXPECT_GT(countOf(kBlue), 0);
    EXPECT_GT(countOf(kWhite), 0);
}

TEST(FloodFillLarge, FillsAMapSizedCanvasWithoutRecursion) {
    // 9600 x 6000 with a comb of walls: one long serpentine area.
    pictor::Canvas canvas;
    canvas.resize(9600, 6000, 0xFFFFFF);
    for (int x = 100; x < 9600; x += 200) {
        const bool fromTop = (x / 200) % 2 == 0;
        for (int y = fromTop ? 0 : 50; y < (fromTop ? 5950 : 6000); ++y) canvas.set(x, y, 0);
    }
    pictor::FillStyle green;
    green.pixel = 0x00FF00;
    ASSERT_TRUE(pictor::floodFill(canvas, green, 5, 5, pictor::FloodMode::UpToBorder, 0));
    size_t filled = 0;
    for (uint32_t p : canvas.pixels) filled += p == 0x00FF00;
    size_t walls = 0;
    for (uint32_t p : canvas.pixels) walls += p == 0;
    EXPECT_EQ(filled + walls, canvas.pixels.size());
}

} // namespace
