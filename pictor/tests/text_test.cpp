// Text rows and fonts. Oracles: the placement rule (top-left of the first
// cell at the LPR, LPR unchanged, so repeated calls overprint), the font
// parameter rules (weights below 10 are hundreds, pixel sizes from the
// scales), and UTF-8 as the Unicode standard defines it.
#include <gtest/gtest.h>

#include <algorithm>

#include "test_window.h"

using namespace pictor_test;

namespace {

class TextCanvas : public PixelWindow {
  protected:
    struct Box {
        int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    };
    static Box boxOf(int colour) {
        Box b;
        for (const auto& [x, y] : pixelsOf(colour)) {
            b.x0 = std::min(b.x0, x);
            b.y0 = std::min(b.y0, y);
            b.x1 = std::max(b.x1, x);
            b.y1 = std::max(b.y1, y);
        }
        return b;
    }
};

// Glyph shapes and metrics come from FreeType; without any scalable font
// installed these cases have nothing to measure.
class Text : public TextCanvas {
  protected:
    void SetUp() override {
        TextCanvas::SetUp();
        if (!pictor::scalableFontsAvailable()) GTEST_SKIP() << "no scalable font installed";
    }
};

TEST_F(Text, TopLeftAtTheLprWhichStays) {
    ASSERT_EQ(GfxFont("Arial", 0, 20, 4, kBlack, 0, 0.0), 0);
    ASSERT_EQ(DrawFrom(30, 40), 0);
    ASSERT_EQ(DrawTextRow("Hg", 0), 0);
    const Box b = boxOf(kBlack);
    ASSERT_GE(b.x1, 0) << "no text drawn";
    EXPECT_GE(b.x0, 30);
    EXPECT_LE(b.x0, 33);
    EXPECT_GE(b.y0, 40);
    EXPECT_LT(b.y1, 60); // inside the 20-pixel cell
    EXPECT_GT(b.y1 - b.y0, 10);
    int x = 0, y = 0;
    GfxLPR(&x, &y);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
}

TEST_F(Text, TwoRowsWithoutMovingOverprint) {
    ASSERT_EQ(GfxFont("Arial", 0, 24, 4, kBlack, 0, 0.0), 0);
    ASSERT_EQ(DrawFrom(20, 20), 0);
    ASSERT_EQ(DrawTextRow("I", 0), 0);
    const auto first = pixelsOf(kBlack);
    ASSERT_EQ(DrawTextRow("I", 0), 0);
    EXPECT_EQ(pixelsOf(kBlack), first);
    ASSERT_EQ(GfxFontColor(kRed), 0);
    ASSERT_EQ(DrawTextRow("I", 0), 0);
    EXPECT_EQ(countOf(kBlack), 0); // the same glyph pixels, now red
    EXPECT_EQ(pixelsOf(kRed), first);
}

TEST_F(Text, GlyphsAreAliasedInTheTextColour) {
    ASSERT_EQ(GfxFont("Arial", 0, 30, 4, kBlue, 0, 0.0), 0);
    ASSERT_EQ(DrawFrom(10, 10), 0);
    ASSERT_EQ(DrawTextRow("Wave", 0), 0);
    EXPECT_GT(countOf(kBlue), 50);
    EXPECT_EQ(countOf(kBlue) + countOf(kWhite), 200 * 150); // no blended pixels
}

TEST_F(Text, OpaqueBackgroundFillsTheCells) {
    pictor::openWindow(0)->transparentBackground = false;
    ASSERT_EQ(GfxBkgdColor(kGreen), 0);
    ASSERT_EQ(GfxFont("Arial", 0, 20, 4, kBlack, 0, 0.0), 0);
    ASSERT_EQ(DrawFrom(10, 10), 0);
    ASSERT_EQ(DrawTextRow("ab", 0), 0);
    const Box g = boxOf(kGreen);
    EXPECT_EQ(g.x0, 10);
    EXPECT_EQ(g.y0, 10);
    EXPECT_EQ(g.y1, 29); // one 20-pixel cell high
}

TEST_F(Text, RotatedTextRunsUpwards) {
    ASSERT_EQ(GfxFont("Arial", 0, 20, 4, kBlack, 0, 90.0), 0);
    ASSERT_EQ(DrawFrom(50, 140), 0);
    ASSERT_EQ(DrawTextRow("HHHH", 0), 0);
    const Box b = boxOf(kBlack);
    ASSERT_GE(b.x1, 0);
    EXPECT_LE(b.y1, 140);
    EXPECT_GT(b.y1 - b.y0, 30); // long along y
    EXPECT_LT(b.x1 - b.x0, 21); // one cell across x
    EXPECT_GE(b.x0, 50);
}

using Fonts = PixelWindow;

TEST_F(Fonts, Parameters) {
    ASSERT_EQ(GfxFont("Arial", 10, 20, 1, kBlack, 0, 0.0), 0);
    EXPECT_EQ(GfxMetrics(403), 100); // weight 1 selects 100
    ASSERT_EQ(GfxFont("Arial/0", 10, 20, 7, kBlack, 3, 12.6), 0);
    EXPECT_EQ(GfxMetrics(403), 700);
    EXPECT_EQ(GfxMetrics(404), 3);
    EXPECT_EQ(GfxMetrics(405), 13);
    EXPECT_EQ(pictor::openWindow(0)->font.face, "Arial");
    ASSERT_EQ(GfxFont("Courier/2", 10, 1000016, 400, kBlack, 0, 0.0), 0);
    EXPECT_EQ(pictor::openWindow(0)->font.heightPx, 16); // 1000000 + pixels
    EXPECT_EQ(pictor::openWindow(0)->font.characterSet, 2);
    EXPECT_EQ(GfxMetrics(403), 400);
    // Refused arguments leave the font as it was.
    EXPECT_EQ(GfxFont("Arial", -1, 20, 4, kBlack, 0, 0.0), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxFont("Arial", 10, 20, -4, kBlack, 0, 0.0), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxFont("", 10, 20, 4, kBlack, 0, 0.0), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxFont("/3", 10, 20, 4, kBlack, 0, 0.0), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxFont(nullptr, 10, 20, 4, kBlack, 0, 0.0), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(GfxFont("Arial", 10, 20, 4, 16777216, 0, 0.0), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(pictor::openWindow(0)->font.face, "Courier");
    EXPECT_EQ(GfxMetrics(401), 1000016);
    EXPECT_EQ(DrawTextRow(nullptr, 0), PICTOR_ERR_ARGUMENT);
}

TEST_F(Fonts, SizesFollowTheScales) {
    ASSERT_EQ(GfxOption(1, 100), 0); // x scale 2
    ASSERT_EQ(GfxOption(6, 75), 0);  // y scale 2
    ASSERT_EQ(GfxFont("Arial", 10, 10, 4, kBlack, 0, 0.0), 0);
    EXPECT_EQ(pictor::openWindow(0)->font.heightPx, 20);
    EXPECT_EQ(pictor::openWindow(0)->font.widthPx, 8); // round(2 * 10 * 0.39)
}

TEST_F(Text, LongFaceNamesAreCut) {
    ASSERT_EQ(GfxFont("A-very-long-face-name-beyond-32-bytes-of-text", 0, 12, 4, kBlack, 0, 0.0),
              0);
    EXPECT_EQ(pictor::openWindow(0)->font.face.size(), 32u);
    ASSERT_EQ(DrawTextRow("still drawn", 0), 0); // fontconfig substitutes a face
    EXPECT_GT(countOf(kBlack), 0);
}

using BuiltInFont = TextCanvas;

TEST_F(BuiltInFont, ServesWithoutScalableFonts) {
    pictor::useBuiltinFontOnly(true);
    ASSERT_EQ(GfxFont("Arial", 0, 26, 4, kBlack, 0, 0.0), 0); // twice the 13-pixel cell
    ASSERT_EQ(DrawFrom(10, 10), 0);
    ASSERT_EQ(DrawTextRow("HI", 0), 0);
    const Box b = boxOf(kBlack);
    ASSERT_GE(b.x1, 0);
    EXPECT_GE(b.x0, 10);
    EXPECT_GE(b.y0, 10);
    EXPECT_LT(b.y1, 36);
    EXPECT_LT(b.x1, 10 + 2 * 14);
    // Pixels come in 2 x 2 blocks at scale 2.
    for (const auto& [x, y] : pixelsOf(kBlack)) {
        const int bx = x - (x - 10) % 2, by = y - (y - 10) % 2;
        EXPECT_EQ(colourAt(bx + 1, by + 1), kBlack);
    }
    ASSERT_EQ(DrawTextRow("\x01\xff", 0), 0); // characters without glyphs draw as '?'
}

TEST_F(Text, UnderlineAndStrikeOutDrawBands) {
    ASSERT_EQ(GfxFont("Arial", 0, 20, 4, kBlack, 2, 0.0), 0);
    ASSERT_EQ(DrawFrom(10, 10), 0);
    ASSERT_EQ(DrawTextRow("    ", 0), 0); // blanks: only the underline shows
    const Box b = boxOf(kBlack);
    ASSERT_GE(b.x1, 0);
    EXPECT_EQ(b.x0, 10);
    EXPECT_GT(b.x1 - b.x0, 10);
    EXPECT_GT(b.y0, 20);
    EXPECT_LT(b.y1, 30);
}

TEST(TextDecoding, Utf8AndStrayBytes) {
    EXPECT_EQ(pictor::decodeText("A\xC2\xB0"), U"A\u00B0");   // degree sign
    EXPECT_EQ(pictor::decodeText("\xE2\x82\xAC"), U"\u20AC"); // euro sign
    EXPECT_EQ(pictor::decodeText("\xF0\x9F\x8C\x8D"), U"\U0001F30D");
    EXPECT_EQ(pictor::decodeText("\xB0"), U"\u00B0");                     // stray byte: Latin-1
    EXPECT_EQ(pictor::decodeText("\xE2\x82"), U"\u00E2\u0082");           // cut sequence
    EXPECT_EQ(pictor::decodeText("\xC0\x80"), U"\u00C0\u0080");           // overlong
    EXPECT_EQ(pictor::decodeText("\xED\xA0\x80"), U"\u00ED\u00A0\u0080"); // surrogate
    EXPECT_EQ(pictor::decodeText(""), U"");
}

} // namespace

namespace {

// The measured width reaches the drawn glyphs' right edge (within the last
// glyph's side bearing) and grows with the text; a box sized by it holds
// the row.
TEST_F(Text, WidthMeasuresTheRowThatIsDrawn) {
    ASSERT_EQ(GfxFont("Arial", 0, 20, 4, kBlack, 0, 0.0), 0);
    const int two = PictorTextWidth("MM"), four = PictorTextWidth("MMMM");
    EXPECT_GT(two, 10);
    EXPECT_NEAR(four, 2 * two, 2);
    EXPECT_EQ(PictorTextWidth(""), 0);
    ASSERT_EQ(DrawFrom(10, 40), 0);
    ASSERT_EQ(DrawTextRow("Totality 18:25", 0), 0);
    const Box b = boxOf(kBlack);
    const int width = PictorTextWidth("Totality 18:25");
    EXPECT_LE(b.x1, 10 + width);
    EXPECT_GE(b.x1, 10 + width - 4);
    EXPECT_EQ(PictorTextWidth(nullptr), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(PictorTextWidthEx(7, "x"), PICTOR_ERR_WINDOW);
}

TEST_F(BuiltInFont, WidthIsTheCellsOfTheText) {
    pictor::useBuiltinFontOnly(true);
    ASSERT_EQ(GfxFont("Arial", 0, 13, 4, kBlack, 0, 0.0), 0);
    EXPECT_EQ(PictorTextWidth("abc"), 3 * PictorTextWidth("a"));
    EXPECT_GT(PictorTextWidth("a"), 0);
}

} // namespace
