// Lines, pixels, directed lines and the LPR. Oracle: the pixel rules of the
// library (end pixel left unset, pen width formula, direction offsets) and
// Bresenham's line, whose pixels are known by hand for small cases.
#include <gtest/gtest.h>

#include <cmath>

#include "test_window.h"

using namespace pictor_test;

namespace {

using Lines = PixelWindow;

TEST_F(Lines, DrawToLeavesTheEndPixelUnset) {
    ASSERT_EQ(DrawFrom(10, 10), 0);
    ASSERT_EQ(DrawTo(20, 10), 0);
    const auto set = pixelsOf(kBlack);
    EXPECT_EQ(set.size(), 10u);
    EXPECT_TRUE(set.count({10, 10}));
    EXPECT_TRUE(set.count({19, 10}));
    EXPECT_FALSE(set.count({20, 10}));
    int x = 0, y = 0;
    ASSERT_EQ(GfxLPR(&x, &y), 0);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 10);
}

TEST_F(Lines, ChainedLinesSetEveryJointOnce) {
    ASSERT_EQ(DrawFrom(10, 10), 0);
    ASSERT_EQ(DrawTo(20, 10), 0);
    ASSERT_EQ(DrawTo(20, 20), 0);
    ASSERT_EQ(DrawTo(10, 10), 0);
    const auto set = pixelsOf(kBlack);
    EXPECT_TRUE(set.count({20, 10})); // joint drawn by the second line
    EXPECT_TRUE(set.count({20, 20}));
    EXPECT_EQ(set.size(), 30u); // 10 + 10 + 10 diagonal pixels, no overlap
}

TEST_F(Lines, DiagonalAndSteepLinesFollowBresenham) {
    ASSERT_EQ(DrawLine(0, 0, 4, 2), 0);
    const std::set<std::pair<int, int>> expected{{0, 0}, {1, 1}, {2, 1}, {3, 2}};
    // Bresenham for (0,0)-(4,2) gives y = round(x / 2): 0, 0.5->1, 1, 1.5->2.
    EXPECT_EQ(pixelsOf(kBlack), expected);
    GfxCLS();
    ASSERT_EQ(DrawLine(5, 5, 5, 0), 0);
    EXPECT_EQ(pixelsOf(kBlack),
              (std::set<std::pair<int, int>>{{5, 5}, {5, 4}, {5, 3}, {5, 2}, {5, 1}}));
}

TEST_F(Lines, DrawLineToItsOwnStartDrawsNothing) {
    ASSERT_EQ(DrawLine(50, 50, 50, 50), 0);
    EXPECT_EQ(countOf(kBlack), 0);
}

TEST_F(Lines, PixelsKeepTheLpr) {
    ASSERT_EQ(DrawFrom(7, 8), 0);
    ASSERT_EQ(DrawPixel(100, 60, kRed), 0);
    EXPECT_EQ(colourAt(100, 60), kRed);
    int x = 0, y = 0;
    GfxLPR(&x, &y);
    EXPECT_EQ(x, 7);
    EXPECT_EQ(y, 8);
    EXPECT_EQ(DrawPixel(1, 1, 16777216), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(DrawPixel(1, 1, -1), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(DrawPixel(-5, 400, kRed), 0); // off the canvas: nothing, no fault
}

TEST_F(Lines, LinesFarOffTheCanvasAreClippedExactly) {
    // A line from far away enters the canvas on the pixels Bresenham gives.
    ASSERT_EQ(DrawLine(-2000000000, 10, 2000000000, 10), 0);
    EXPECT_EQ(countOf(kBlack), 200);
    GfxCLS();
    ASSERT_EQ(DrawLine(-1000, -1000, 1000, 1000), 0);
    const auto set = pixelsOf(kBlack);
    EXPECT_EQ(set.size(), 150u);
    for (const auto& [x, y] : set) EXPECT_EQ(x, y);
}

TEST_F(Lines, PenWidthsInPixels) {
    // Width 0 and widths below 3 are one pixel; 10 is two; negative is pixels.
    ASSERT_EQ(Pen(kBlack, 0, 0), 0);
    ASSERT_EQ(DrawLine(10, 20, 60, 20), 0);
    EXPECT_EQ(countOf(kBlack), 50);
    EXPECT_EQ(GfxMetrics(302), 0);
    GfxCLS();
    ASSERT_EQ(Pen(kBlack, 0, 5), 0); // round(1.0 * 5 / 5) = 1 pixel
    ASSERT_EQ(DrawLine(10, 20, 60, 20), 0);
    EXPECT_EQ(countOf(kBlack), 50); // one pixel wide: the thin-line end rule
    GfxCLS();
    ASSERT_EQ(Pen(kBlack, 0, 10), 0); // 2 pixels
    ASSERT_EQ(DrawLine(10, 20, 60, 20), 0);
    std::set<int> rows;
    for (const auto& [x, y] : pixelsOf(kBlack)) rows.insert(y);
    EXPECT_EQ(rows, (std::set<int>{19, 20}));
    GfxCLS();
    ASSERT_EQ(Pen(kBlack, 0, -5), 0); // 5 pixels
    ASSERT_EQ(DrawLine(50, 50, 100, 50), 0);
    rows.clear();
    for (const auto& [x, y] : pixelsOf(kBlack)) rows.insert(y);
    EXPECT_EQ(rows, (std::set<int>{48, 49, 50, 51, 52}));
    EXPECT_EQ(Pen(kBlack, 0, 10000), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(Pen(kBlack, 0, -10000), PICTOR_ERR_ARGUMENT);
}

TEST_F(Lines, WidePensHaveRoundTipsAndStraightSides) {
    // A 9-pixel pen: the tip is a disc of diameter 9 around each end.
    ASSERT_EQ(Pen(kBlack, 0, -9), 0);
    ASSERT_EQ(DrawLine(50, 50, 100, 50), 0);
    EXPECT_EQ(colourAt(46, 50), kBlack); // 4 left of the start
    EXPECT_EQ(colourAt(45, 50), kWhite);
    EXPECT_EQ(colourAt(104, 50), kBlack); // the end is covered too
    EXPECT_EQ(colourAt(46, 46), kWhite);  // the round corner
    EXPECT_EQ(colourAt(75, 46), kBlack);  // straight sides along the body
    EXPECT_EQ(colourAt(75, 45), kWhite);
    EXPECT_EQ(colourAt(75, 54), kBlack);
    EXPECT_EQ(colourAt(75, 55), kWhite);
    // A diagonal body: every pixel within 4.5 of the line is covered.
    GfxCLS();
    ASSERT_EQ(DrawLine(40, 40, 120, 120), 0);
    for (const auto& [x, y] : pixelsOf(kBlack)) {
        const double distance = std::fabs(double(x - y)) / std::sqrt(2.0);
        EXPECT_LE(distance, 4.5 + 1e-9) << x << "," << y;
    }
    EXPECT_EQ(colourAt(80, 84), kBlack); // 2.8 from the line
}

TEST_F(Lines, HugePensStayCheap) {
    // Scale 16 pixels per unit: width 9999 asks for 31997 pixels.
    ASSERT_EQ(GfxOption(1, 12), 0);
    ASSERT_EQ(GfxOption(6, 9), 0);
    ASSERT_EQ(Pen(kBlack, 0, 9999), 0);
    ASSERT_EQ(DrawLine(0, 0, 12, 9), 0);
    EXPECT_EQ(countOf(kBlack), 200 * 150);
}

TEST_F(Lines, StyledPenCannotBeWide) {
    // Style 2 and width 10 on a solid pen: a dotted one-pixel pen.
    ASSERT_EQ(Pen(kBlack, 0, 10), 0);
    ASSERT_EQ(Pen(kBlack, 2, 10), 0);
    EXPECT_EQ(GfxMetrics(301), 2);
    EXPECT_EQ(GfxMetrics(302), 0);
    ASSERT_EQ(DrawLine(0, 30, 60, 30), 0);
    const auto set = pixelsOf(kBlack);
    for (const auto& [x, y] : set) EXPECT_EQ(y, 30);
    // Dotted: three on, three off.
    EXPECT_EQ(set.size(), 30u);
    EXPECT_TRUE(set.count({0, 30}) && set.count({2, 30}));
    EXPECT_FALSE(set.count({3, 30}) || set.count({5, 30}));
    EXPECT_TRUE(set.count({6, 30}));
    // The same style with a wider width falls back to solid.
    ASSERT_EQ(Pen(kBlack, 2, 10), 0);
    EXPECT_EQ(GfxMetrics(301), 0);
    EXPECT_EQ(GfxMetrics(302), 10);
}

TEST_F(Lines, OpaqueBackgroundFillsTheGapsOfStyledLines) {
    pictor::openWindow(0)->transparentBackground = false;
    ASSERT_EQ(GfxBkgdColor(kGreen), 0);
    ASSERT_EQ(Pen(kBlack, 1, 0), 0); // dashed: 18 on, 6 off
    ASSERT_EQ(DrawLine(0, 5, 48, 5), 0);
    EXPECT_EQ(colourAt(17, 5), kBlack);
    EXPECT_EQ(colourAt(18, 5), kGreen);
    EXPECT_EQ(colourAt(23, 5), kGreen);
    EXPECT_EQ(colourAt(24, 5), kBlack);
}

TEST_F(Lines, InvisiblePenAndItsColour) {
    ASSERT_EQ(Pen(kBlack, 99, 0), 0);
    EXPECT_EQ(GfxMetrics(301), 99);
    ASSERT_EQ(Pen(kBlack, 5, 0), 0);
    EXPECT_EQ(GfxMetrics(301), 99);
    ASSERT_EQ(PenColor(kRed), 0);
    ASSERT_EQ(DrawLine(0, 10, 50, 10), 0);
    EXPECT_EQ(countOf(kRed), 0);
    EXPECT_EQ(GfxMetrics(303), kRed);
    ASSERT_EQ(PenStyle(0), 0);
    ASSERT_EQ(DrawLine(0, 10, 50, 10), 0);
    EXPECT_EQ(countOf(kRed), 50);
    EXPECT_EQ(PenColor(16777216), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxMetrics(303), kRed);
    EXPECT_EQ(PenStyle(6), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxMetrics(301), 0);
}

TEST_F(Lines, DirectedLinesFollowTheAngleConvention) {
    struct Case {
        double angle;
        int x, y;
    };
    for (const Case& c : {Case{0, 90, 100}, Case{90, 100, 90}, Case{180, 110, 100},
                          Case{270, 100, 110}, Case{45, 93, 93}}) {
        ASSERT_EQ(DrawFrom(100, 100), 0);
        ASSERT_EQ(DrawAngle(c.angle, 10), 0);
        int x = 0, y = 0;
        GfxLPR(&x, &y);
        EXPECT_EQ(x, c.x) << "angle " << c.angle;
        EXPECT_EQ(y, c.y) << "angle " << c.angle;
        int px = 100, py = 100;
        ASSERT_EQ(CalcPoint(&px, &py, c.angle, 10), 0);
        EXPECT_EQ(px, c.x) << "angle " << c.angle;
        EXPECT_EQ(py, c.y) << "angle " << c.angle;
    }
    // The line from (100, 100) to the left leaves its end pixel unset.
    GfxCLS();
    ASSERT_EQ(DrawFrom(100, 100), 0);
    ASSERT_EQ(DrawAngle(0, 10), 0);
    EXPECT_EQ(colourAt(100, 100), kBlack);
    EXPECT_EQ(colourAt(91, 100), kBlack);
    EXPECT_EQ(colourAt(90, 100), kWhite);
}

TEST_F(Lines, AngleOptionsTurnDirections) {
    int x = 100, y = 100;
    GfxOption(PICTOR_OPT_RADIANS, 1);
    CalcPoint(&x, &y, M_PI / 2, 10);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 90);
    GfxOption(PICTOR_OPT_RADIANS, 0);
    GfxOption(PICTOR_OPT_ZERO_DIRECTION, 12); // 0 now points up
    x = 100, y = 100;
    CalcPoint(&x, &y, 0, 10);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 90);
    GfxOption(PICTOR_OPT_ZERO_DIRECTION, 0);
    GfxOption(PICTOR_OPT_COUNTER_CLOCKWISE, 1); // 90 now points down
    x = 100, y = 100;
    CalcPoint(&x, &y, 90, 10);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 110);
    x = 100, y = 100;
    CalcPoint(&x, &y, 450, 10); // reduced modulo 360 first
    EXPECT_EQ(y, 110);
}

TEST_F(Lines, DirectedLinesRoundHalvesToEven) {
    // cos 60 * 5 = 2.5 rounds to 2, sin 30 * 5 = 2.5 too; 7.5 rounds to 8.
    int x = 100, y = 100;
    CalcPoint(&x, &y, 60, 5);
    EXPECT_EQ(x, 98);
    x = 100, y = 100;
    CalcPoint(&x, &y, 30, 5);
    EXPECT_EQ(y, 98);
    x = 100, y = 100;
    CalcPoint(&x, &y, 60, 15);
    EXPECT_EQ(x, 92);
}

TEST_F(Lines, LprReadBackRoundsToLogicalUnits) {
    ASSERT_EQ(GfxOption(1, 400), 0); // x scale 0.5
    ASSERT_EQ(DrawFrom(101, 0), 0);  // pixel floor(50.5) = 50
    int x = 0, y = 0;
    GfxLPR(&x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(GfxLPR(nullptr, &y), PICTOR_ERR_ARGUMENT);
}

TEST_F(Lines, ClearingWithAHollowBrushOnlyMovesTheLpr) {
    ASSERT_EQ(DrawLine(0, 10, 50, 10), 0);
    ASSERT_EQ(DrawFrom(30, 40), 0);
    ASSERT_EQ(BrushStyle(99), 0);
    EXPECT_EQ(GfxMetrics(201), 99);
    const std::vector<uint32_t> before = canvas().pixels;
    ASSERT_EQ(GfxCLS(), 0);
    EXPECT_EQ(canvas().pixels, before);
    int x = -1, y = -1;
    GfxLPR(&x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST_F(Lines, ClearingPaintsEveryPixelWithTheBrush) {
    ASSERT_EQ(BrushColor(kBlue), 0);
    ASSERT_EQ(GfxCLS(), 0);
    EXPECT_EQ(countOf(kBlue), 200 * 150);
}

TEST_F(Lines, BrushArguments) {
    EXPECT_EQ(Brush(kRed, 3, 0), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(Brush(kRed, 2, 6), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(Brush(-1, 0, 0), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxMetrics(203), kWhite); // unchanged
    ASSERT_EQ(Brush(kRed, 0, 4), 0);    // solid forces hatch 0
    EXPECT_EQ(GfxMetrics(202), 0);
    ASSERT_EQ(Brush(kRed, 2, 4), 0);
    EXPECT_EQ(GfxMetrics(201), 2);
    EXPECT_EQ(GfxMetrics(202), 4);
    ASSERT_EQ(Brush(kRed, 99, 3), 0);
    EXPECT_EQ(GfxMetrics(201), 99);
    EXPECT_EQ(GfxMetrics(202), 0);
    EXPECT_EQ(GfxBkgdColor(16777216), PICTOR_ERR_ARGUMENT);
}

} // namespace
