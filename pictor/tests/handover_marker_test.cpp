// A program that exports Gfx_OleStringParams hands its strings over: the
// library finds the marker when it loads and releases every string
// argument itself. Oracle: the release count seen through the library's
// release hook, and LeakSanitizer under the sanitizer build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "test_window.h"

extern "C" __attribute__((visibility("default"))) int Gfx_OleStringParams(void) {
    return 0;
}

namespace {

int releases = 0;
void countingRelease(void* p) {
    ++releases;
    std::free(p);
}

TEST(HandoverMarker, ExportedMarkerTurnsHandoverOn) {
    EXPECT_TRUE(pictor::processExportsHandoverMarker());
    EXPECT_TRUE(pictor::stringHandover());
    pictor::setStringRelease(countingRelease);
    ASSERT_EQ(OpenGfxEx(0, PICTOR_CONSOLE_PARENT, 0, 0, 64, 64, 0), 0);
    EXPECT_EQ(DrawTextRow(PictorStringCopy("owned"), 0), 0);
    EXPECT_EQ(GfxFont(PictorStringCopy("Arial"), 0, 12, 4, 0, 0, 0.0), 0);
    EXPECT_EQ(DisplayBitmap(PictorStringCopy("/no/such.bmp")), PICTOR_ERR_PLATFORM);
    EXPECT_EQ(releases, 3);
    pictor::setStringRelease(nullptr);
    GfxWindowEx(0, 1);
}

} // namespace
