// Window table, options, metrics, actions, screen updates and the cursor.
// Oracle: the library's published rules for the window record (sizes,
// codes, update rule), checked through the exported operations.
#include <gtest/gtest.h>

#include <vector>

#include "test_window.h"

using namespace pictor_test;

namespace {

// A screen that keeps a copy of what was presented, and counts repaints.
class MirrorScreen final : public pictor::ScreenWindow {
  public:
    explicit MirrorScreen(const pictor::ScreenRequest& r)
        : copy(r.width * r.height, 0), width(r.width) {}
    void show(bool visible) override { shown = visible; }
    void present(const pictor::Canvas& canvas, pictor::PixelRect rect) override {
        ++presents;
        last = rect;
        for (int y = rect.y0; y < rect.y1; ++y)
            for (int x = rect.x0; x < rect.x1; ++x) copy[y * width + x] = canvas.at(x, y);
    }
    void warpPointer(int x, int y) override {
        warpedX = x;
        warpedY = y;
    }
    intptr_t handle() const override { return 4242; }

    std::vector<uint32_t> copy;
    int width;
    bool shown = false;
    int presents = 0;
    pictor::PixelRect last;
    int warpedX = -1, warpedY = -1;
};

MirrorScreen* mirror = nullptr;

void useMirrorScreens() {
    pictor::setScreenFactory([](const pictor::ScreenRequest& r) {
        auto s = std::make_unique<MirrorScreen>(r);
        mirror = s.get();
        return std::unique_ptr<pictor::ScreenWindow>(std::move(s));
    });
}

class WindowTable : public ::testing::Test {
  protected:
    void SetUp() override { resetLibrary(); }
    void TearDown() override { resetLibrary(); }
};

TEST_F(WindowTable, OpeningMakesTheCanvasWidthEvenAndAtLeast32) {
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 10, 20, 301, 99, 0), 0);
    EXPECT_EQ(GfxMetrics(2), 300);
    EXPECT_EQ(GfxMetrics(7), 99);
    EXPECT_EQ(GfxMetrics(3), 10);
    EXPECT_EQ(GfxMetrics(8), 20);
    EXPECT_EQ(GfxMetrics(141), 300);
    EXPECT_EQ(GfxMetrics(142), 99);
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 5, 7, 0), 0);
    EXPECT_EQ(GfxMetrics(2), 32);
    EXPECT_EQ(GfxMetrics(7), 32);
}

TEST_F(WindowTable, ZeroSizeReachesTheParentsEdge) {
    // The console parent measures 1920 x 1080 pixels.
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 100, 80, 0, -30, 0), 0);
    EXPECT_EQ(GfxMetrics(2), 1820);
    EXPECT_EQ(GfxMetrics(7), 970);
}

TEST_F(WindowTable, DefaultsAfterOpening) {
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 512, 256, 0), 0);
    EXPECT_EQ(GfxMetrics(1), 1024);
    EXPECT_EQ(GfxMetrics(6), 1024);
    EXPECT_EQ(GfxMetrics(99), -1);
    EXPECT_EQ(GfxMetrics(101), -1);
    EXPECT_EQ(GfxMetrics(111), 0);
    EXPECT_EQ(GfxMetrics(201), 0);
    EXPECT_EQ(GfxMetrics(301), 0);
    EXPECT_EQ(GfxMetrics(302), 1);
    EXPECT_EQ(GfxMetrics(401), 64);
    EXPECT_EQ(GfxMetrics(402), 64);
    EXPECT_EQ(GfxMetrics(403), 500);
    EXPECT_EQ(GfxMetrics(406), 0);
    EXPECT_EQ(GfxMetrics(10), 0);
    EXPECT_EQ(GfxMetrics(505), 0);
    EXPECT_EQ(GfxMetrics(520), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxIsOpen(0), -1);
    EXPECT_EQ(GfxIsOpen(1), 0);
    // The canvas was cleared with the default brush.
    const int brush = GfxMetrics(203);
    const pictor::Canvas& c = pictor::openWindow(0)->canvas;
    EXPECT_EQ(pictor::colourFromPixel(c.at(0, 0)), brush);
    EXPECT_EQ(pictor::colourFromPixel(c.at(511, 255)), brush);
}

TEST_F(WindowTable, RejectsBadNumbersAndParents) {
    EXPECT_EQ(OpenGfxEx(256, PICTOR_CONSOLE_PARENT, 0, 0, 100, 100, 0), PICTOR_ERR_WINDOW);
    EXPECT_EQ(OpenGfxEx(-1, PICTOR_CONSOLE_PARENT, 0, 0, 100, 100, 0), PICTOR_ERR_WINDOW);
    EXPECT_EQ(OpenGfxEx(0, 0, 0, 0, 100, 100, 0), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(OpenGfxEx(0, -1, 0, 0, 100, 100, 0), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxIsOpen(0), 0);
}

TEST_F(WindowTable, TableGrowsOnDemandAndUseGfxWindowFollowsIt) {
    const int before = pictor::windowTableSize();
    EXPECT_EQ(UseGfxWindow(-1), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(UseGfxWindow(before), PICTOR_ERR_ARGUMENT);
    ASSERT_EQ(OpenGfxEx(7, PICTOR_CONSOLE_PARENT, 0, 0, 64, 64, 0), 0);
    EXPECT_GE(pictor::windowTableSize(), 8);
    EXPECT_EQ(UseGfxWindow(7), 0);
    EXPECT_EQ(GfxMetrics(10), 7);
    EXPECT_EQ(GfxMetrics(2), 64); // the X form acts on the current window
    EXPECT_EQ(GfxMetricsEx(7, 2), 64);
}

TEST_F(WindowTable, OperationsOnAClosedWindowAnswerTheWindowError) {
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 64, 64, 0), 0);
    ASSERT_EQ(GfxWindow(1), 0);
    EXPECT_EQ(GfxIsOpen(0), 0);
    EXPECT_EQ(GfxWindow(1), PICTOR_ERR_WINDOW); // closing a free entry
    EXPECT_EQ(GfxMetrics(2), PICTOR_ERR_WINDOW);
    EXPECT_EQ(GfxRefresh(1), PICTOR_ERR_WINDOW);
    EXPECT_EQ(Pen(0, 0, 0), PICTOR_ERR_WINDOW);
    EXPECT_EQ(Brush(0, 0, 0), PICTOR_ERR_WINDOW);
    EXPECT_EQ(DrawTo(5, 5), PICTOR_ERR_WINDOW);
    EXPECT_EQ(DrawCircle(5), PICTOR_ERR_WINDOW);
    EXPECT_EQ(DrawTextRow("x", 0), PICTOR_ERR_WINDOW);
    EXPECT_EQ(SaveGfxWindow("never.bmp"), PICTOR_ERR_WINDOW);
    EXPECT_EQ(MouseOverX(), PICTOR_ERR_WINDOW);
    EXPECT_EQ(GfxMetricsEx(200, 2), PICTOR_ERR_WINDOW);
}

TEST_F(WindowTable, MetricErrorsLieAboveEveryValidMetric) {
    // Documented range: valid metrics stay within +-2^24, errors are >= 999000000.
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, -5000, 7000, 16384, 64, 0), 0);
    ASSERT_EQ(Brush(16777215, 0, 0), 0);
    for (int code : {1,   2,   3,   6,   7,   8,   99,  101, 111, 141, 142, 201,
                     202, 203, 301, 302, 303, 401, 402, 403, 404, 405, 406}) {
        const int v = GfxMetrics(code);
        EXPECT_LE(v, 16777216) << "metric " << code;
        EXPECT_GE(v, -16777216) << "metric " << code;
    }
    EXPECT_GE(GfxMetricsEx(3, 2), PICTOR_ERROR_FLOOR);
}

TEST_F(WindowTable, ActionCodesAndTheirComplements) {
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 64, 64, 0), 0);
    EXPECT_EQ(GfxWindow(5), 0);
    EXPECT_EQ(GfxMetrics(111), 5);
    EXPECT_EQ(GfxWindow(-6), 0);
    EXPECT_EQ(GfxMetrics(111), 0);
    EXPECT_EQ(GfxWindow(-1), 0); // shows a hidden window
    EXPECT_EQ(GfxMetrics(111), 5);
    EXPECT_EQ(GfxWindow(0), 0);
    EXPECT_EQ(GfxMetrics(111), 0);
    EXPECT_EQ(GfxWindow(2), 0);
    EXPECT_EQ(GfxMetrics(99), 0);
    EXPECT_EQ(GfxWindow(-3), 0);
    EXPECT_EQ(GfxMetrics(99), -1);
    EXPECT_EQ(GfxWindow(-4), 0);
    EXPECT_EQ(GfxMetrics(99), 0);
    EXPECT_EQ(GfxWindow(3), 0);
    EXPECT_EQ(GfxMetrics(99), -1);
    EXPECT_EQ(GfxWindow(4), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxWindow(6), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxWindow(-2), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxIsOpen(0), -1);
}

TEST_F(WindowTable, LogicalSizeOptions) {
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 400, 300, 0), 0);
    // Without options the bottom-right pixel is reached at (1023, 1023).
    ASSERT_EQ(DrawPixel(1023, 1023, 0x0000FF), 0);
    EXPECT_EQ(pictor::colourFromPixel(pictor::openWindow(0)->canvas.at(399, 299)), 0x0000FF);
    ASSERT_EQ(GfxOption(1, 0), 0);
    EXPECT_EQ(GfxMetrics(1), 400);
    EXPECT_EQ(GfxMetrics(6), 300);
    ASSERT_EQ(GfxOption(6, 0), 0);
    ASSERT_EQ(DrawPixel(399, 299, 0x00FF00), 0);
    EXPECT_EQ(pictor::colourFromPixel(pictor::openWindow(0)->canvas.at(399, 299)), 0x00FF00);
    // Logical width 200: every logical unit is two pixels across.
    ASSERT_EQ(GfxOption(1, 200), 0);
    EXPECT_EQ(GfxMetrics(1), 200);
    ASSERT_EQ(DrawPixel(150, 10, 0xFF0000), 0);
    EXPECT_EQ(pictor::colourFromPixel(pictor::openWindow(0)->canvas.at(300, 10)), 0xFF0000);
    // Keep the aspect: x scale = (200 / 300) * y scale (1.0).
    ASSERT_EQ(GfxOption(1, PICTOR_KEEP_ASPECT), 0);
    ASSERT_EQ(DrawPixel(300, 20, 0x00FFFF), 0);
    EXPECT_EQ(pictor::colourFromPixel(pictor::openWindow(0)->canvas.at(200, 20)), 0x00FFFF);
    EXPECT_EQ(GfxOption(1, -5), PICTOR_ERR_ARGUMENT);
    pictor::openWindow(0)->worldCoordinates = true;
    EXPECT_EQ(GfxOption(1, 0), PICTOR_ERR_MODE);
    EXPECT_EQ(GfxOption(6, 0), PICTOR_ERR_MODE);
}

TEST_F(WindowTable, LibraryWideAngleOptions) {
    EXPECT_EQ(GfxOption(PICTOR_OPT_ZERO_DIRECTION, 5), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxOption(PICTOR_OPT_ZERO_DIRECTION, 12), 0);
    EXPECT_EQ(pictor::angleOptions().zeroOffsetDegrees, 90);
    EXPECT_EQ(GfxOption(PICTOR_OPT_ZERO_DIRECTION, 9), 0);
    EXPECT_EQ(pictor::angleOptions().zeroOffsetDegrees, 0);
    EXPECT_EQ(GfxOption(PICTOR_OPT_RADIANS, 1), 0);
    EXPECT_TRUE(pictor::angleOptions().radians);
    EXPECT_EQ(GfxOption(PICTOR_OPT_COUNTER_CLOCKWISE, 1), 0);
    EXPECT_TRUE(pictor::angleOptions().counterClockwise);
    EXPECT_EQ(GfxOption(PICTOR_OPT_STRING_HANDOVER, 1), 0);
    EXPECT_TRUE(pictor::stringHandover());
}

TEST_F(WindowTable, SuspendedUpdatesReachTheScreenOnlyWhenRevealed) {
    useMirrorScreens();
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 64, 48, PICTOR_STYLE_VISIBLE), 0);
    ASSERT_NE(mirror, nullptr);
    EXPECT_TRUE(mirror->shown);
    EXPECT_EQ(GfxMetrics(111), 5);
    ASSERT_EQ(GfxOption(1, 0), 0);
    ASSERT_EQ(GfxOption(6, 0), 0);
    const uint32_t red = pictor::pixelFromColour(0x0000FF);
    ASSERT_EQ(GfxWindow(2), 0);
    const int before = mirror->presents;
    ASSERT_EQ(DrawPixel(10, 10, 0x0000FF), 0);
    ASSERT_EQ(DrawLine(0, 20, 60, 20), 0);
    ASSERT_EQ(GfxRefresh(0), 0);
    EXPECT_EQ(mirror->presents, before);
    EXPECT_NE(mirror->copy[10 * 64 + 10], red);
    ASSERT_EQ(GfxRefresh(1), 0);
    EXPECT_EQ(mirror->copy[10 * 64 + 10], red);
    ASSERT_EQ(DrawPixel(11, 10, 0x0000FF), 0);
    EXPECT_NE(mirror->copy[10 * 64 + 11], red);
    ASSERT_EQ(GfxWindow(3), 0);
    EXPECT_EQ(mirror->copy[10 * 64 + 11], red);
}

TEST_F(WindowTable, DrawingRepaintsOnlyItsRectangle) {
    useMirrorScreens();
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 64, 48, PICTOR_STYLE_VISIBLE), 0);
    ASSERT_EQ(GfxOption(1, 0), 0);
    ASSERT_EQ(GfxOption(6, 0), 0);
    ASSERT_EQ(Pen(0, 0, 0), 0);
    ASSERT_EQ(DrawFrom(10, 12), 0);
    ASSERT_EQ(DrawTo(30, 20), 0);
    EXPECT_EQ(mirror->last.x0, 10);
    EXPECT_EQ(mirror->last.y0, 12);
    EXPECT_EQ(mirror->last.x1, 30);
    EXPECT_EQ(mirror->last.y1, 20);
    // A DrawTo to the LPR draws nothing but still repaints one pixel.
    const int presents = mirror->presents;
    const std::vector<uint32_t> before = pictor::openWindow(0)->canvas.pixels;
    ASSERT_EQ(DrawTo(30, 20), 0);
    EXPECT_EQ(pictor::openWindow(0)->canvas.pixels, before);
    EXPECT_EQ(mirror->presents, presents + 1);
    EXPECT_EQ(mirror->last.x1 - mirror->last.x0, 1);
    EXPECT_EQ(mirror->last.y1 - mirror->last.y0, 1);
    // A 2-pixel pen widens the repainted rectangle by 2 on every side.
    ASSERT_EQ(Pen(0, 0, 10), 0);
    ASSERT_EQ(DrawLine(20, 20, 25, 30), 0);
    EXPECT_EQ(mirror->last.x0, 18);
    EXPECT_EQ(mirror->last.y0, 18);
    EXPECT_EQ(mirror->last.x1, 27);
    EXPECT_EQ(mirror->last.y1, 32);
}

TEST_F(WindowTable, MousePositionCodes) {
    ASSERT_EQ(PictorHostOpen(320, 200, 0), 0);
    ASSERT_EQ(GfxOption(1, 0), 0);
    ASSERT_EQ(GfxOption(6, 0), 0);
    PictorHostSetMouse(-1, -1, 0);
    EXPECT_EQ(MouseOverX(), PICTOR_MOUSE_OUTSIDE);
    EXPECT_EQ(MouseOverY(), PICTOR_MOUSE_OUTSIDE);
    PictorHostSetMouse(320, 10, 0);
    EXPECT_EQ(MouseOverX(), PICTOR_MOUSE_OUTSIDE);
    PictorHostSetMouse(123, 45, PICTOR_BUTTON_LEFT);
    EXPECT_EQ(MouseOverX(), 123);
    EXPECT_EQ(MouseOverY(), 45);
    // Logical units: floor(p / scale) with 1024 units across 320 pixels.
    ASSERT_EQ(GfxOption(1, 1024), 0);
    EXPECT_EQ(MouseOverX(), 393); // floor(123 / 0.3125)
    PictorHostEvent ev{9, 9, 9, 9};
    EXPECT_EQ(PictorHostPollEvent(&ev), 0);
    EXPECT_EQ(ev.type, PICTOR_EVENT_NONE);
    PictorHostClose();
    EXPECT_EQ(GfxIsOpen(0), 0);
}

TEST_F(WindowTable, SyncCursorMovesThePointerToTheLpr) {
    useMirrorScreens();
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 100, 80, PICTOR_STYLE_VISIBLE), 0);
    ASSERT_EQ(GfxOption(1, 0), 0);
    ASSERT_EQ(GfxOption(6, 0), 0);
    ASSERT_EQ(DrawFrom(40, 30), 0);
    ASSERT_EQ(GfxSyncCursor(), 0);
    EXPECT_EQ(mirror->warpedX, 40);
    EXPECT_EQ(mirror->warpedY, 30);
    EXPECT_EQ(MouseOverX(), 40);
    EXPECT_EQ(MouseOverY(), 30);
    EXPECT_EQ(hGfx(), 4242);
    ASSERT_EQ(DrawFrom(100, 30), 0);
    EXPECT_EQ(GfxSyncCursor(), PICTOR_ERR_MODE);
}

TEST_F(WindowTable, WithoutADisplayTheScreenRequestStaysOffScreen) {
    unsetenv("DISPLAY");
    ASSERT_EQ(PictorHostOpen(64, 64, -1), 0);
    EXPECT_EQ(hGfx(), 0);
    ASSERT_EQ(DrawPixel(1000, 1000, 0x0000FF), 0); // still drawing into the canvas
    EXPECT_EQ(pictor::colourFromPixel(pictor::openWindow(0)->canvas.at(62, 62)), 0x0000FF);
    PictorHostEvent ev{};
    EXPECT_EQ(PictorHostPollEvent(&ev), 0);
}

TEST_F(WindowTable, OffScreenWindowsHaveNoPlatformHandle) {
    ASSERT_EQ(PictorHostOpen(64, 64, 0), 0);
    EXPECT_EQ(hGfx(), 0);
    EXPECT_EQ(GfxMetrics(111), 5); // the host's window counts as shown
}

// Hand-over mode: each string argument is released exactly once, also on
// failing paths.
std::vector<void*> released;
void countRelease(void* p) {
    released.push_back(p);
    std::free(p);
}

TEST_F(WindowTable, HandedOverStringsAreReleasedExactlyOnce) {
    pictor::setStringRelease(countRelease);
    ASSERT_EQ(GfxOption(PICTOR_OPT_STRING_HANDOVER, 1), 0);
    released.clear();
    // Window closed: every operation fails, and still releases.
    char* a = PictorStringCopy("Arial");
    EXPECT_EQ(GfxFont(a, 10, 10, 4, 0, 0, 0.0), PICTOR_ERR_WINDOW);
    char* b = PictorStringCopy("x.bmp");
    EXPECT_EQ(SaveGfxWindow(b), PICTOR_ERR_WINDOW);
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 64, 64, 0), 0);
    char* c = PictorStringCopy("text");
    EXPECT_EQ(DrawTextRow(c, 0), 0);
    char* d = PictorStringCopy("/no/such/dir/x.bmp");
    EXPECT_EQ(DisplayBitmap(d), PICTOR_ERR_PLATFORM);
    char* e = PictorStringCopy("Arial");
    EXPECT_EQ(GfxFont(e, -1, 10, 4, 0, 0, 0.0), PICTOR_ERR_ARGUMENT);
    char* f = PictorStringCopy("/no/such/dir/x.bmp");
    EXPECT_GT(SaveGfxWindow(f), PICTOR_ERR_FILE_BASE);
    EXPECT_EQ(released, (std::vector<void*>{a, b, c, d, e, f}));
    // Borrowed mode: nothing is released.
    ASSERT_EQ(GfxOption(PICTOR_OPT_STRING_HANDOVER, 0), 0);
    EXPECT_EQ(DrawTextRow("borrowed", 0), 0);
    EXPECT_EQ(released.size(), 6u);
}

TEST_F(WindowTable, HandoverMarkerIsLookedUpInTheProcess) {
    // This test program does not export Gfx_OleStringParams.
    EXPECT_FALSE(pictor::processExportsHandoverMarker());
}

} // namespace
