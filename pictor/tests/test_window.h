// A test window: window 0 off-screen with logical units = canvas pixels,
// cleared to white, and the library's global state reset afterwards.
#pragma once
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "angles.h"
#include "colour.h"
#include "pictor.h"
#include "screen.h"
#include "string_handover.h"
#include "text_renderer.h"
#include "window_table.h"

namespace pictor_test {

constexpr int kWhite = 0xFFFFFF;
constexpr int kBlack = 0x000000;
constexpr int kRed = 0x0000FF; // red in bits 0-7
constexpr int kGreen = 0x00FF00;
constexpr int kBlue = 0xFF0000;

inline void resetLibrary() {
    for (int n = 0; n <= pictor::kMaxWindowNumber; ++n)
        if (GfxIsOpen(n)) GfxWindowEx(n, 1);
    UseGfxWindow(0);
    pictor::angleOptions() = pictor::AngleOptions{};
    pictor::stringHandover() = false;
    pictor::setStringRelease(nullptr);
    pictor::setScreenFactory(nullptr);
    pictor::screenWanted() = false;
    pictor::useBuiltinFontOnly(false);
}

class PixelWindow : public ::testing::Test {
  protected:
    void SetUp() override { openPixelWindow(200, 150); }
    void TearDown() override { resetLibrary(); }

    void openPixelWindow(int width, int height) {
        resetLibrary();
        ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, width, height, 0), 0);
        ASSERT_EQ(GfxOption(1, 0), 0);
        ASSERT_EQ(GfxOption(6, 0), 0);
        ASSERT_EQ(Brush(kWhite, 0, 0), 0);
        ASSERT_EQ(GfxCLS(), 0);
        ASSERT_EQ(Pen(kBlack, 0, 0), 0);
    }

    static pictor::Canvas& canvas() { return pictor::openWindow(0)->canvas; }
    static int colourAt(int x, int y) { return pictor::colourFromPixel(canvas().at(x, y)); }

    // Every pixel of the given colour, as (x, y).
    static std::set<std::pair<int, int>> pixelsOf(int colour) {
        std::set<std::pair<int, int>> found;
        const pictor::Canvas& c = canvas();
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (pictor::colourFromPixel(c.at(x, y)) == colour) found.insert({x, y});
        return found;
    }
    static int countOf(int colour) { return static_cast<int>(pixelsOf(colour).size()); }
};

} // namespace pictor_test
