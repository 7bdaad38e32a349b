// The character grid: what a classic text console does with text at its
// edges. Oracle: the console behaviour the suite's screens are laid out
// for (rows and columns from 1, wrap at the right edge, scroll at the
// bottom, the last cell fillable without scrolling), worked by hand.
#include "screen_grid.h"

#include <gtest/gtest.h>

namespace {

using console::Cell;
using console::ScreenGrid;
using console::Color::Black;
using console::Color::Blue;
using console::Color::LightGrey;
using console::Color::Yellow;

std::string trimmedRow(const ScreenGrid& g, int row) {
    std::string s = g.rowText(row);
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

TEST(GridText, PrintsAtTheCursorInTheCurrentColours) {
    ScreenGrid g(10, 3);
    g.setColor(Yellow, Blue);
    g.locate(2, 4);
    g.print("ab");
    EXPECT_EQ(trimmedRow(g, 2), "   ab");
    const Cell a = g.cell(2, 4);
    EXPECT_EQ(a.ch, U'a');
    EXPECT_EQ(a.fg, Yellow);
    EXPECT_EQ(a.bg, Blue);
    EXPECT_EQ(g.cursorRow(), 2);
    EXPECT_EQ(g.cursorCol(), 6);
    EXPECT_EQ(g.cell(2, 3).fg, LightGrey); // untouched cells keep the defaults
}

TEST(GridText, WrapsAtTheRightEdge) {
    ScreenGrid g(4, 3);
    g.print("abcdef");
    EXPECT_EQ(g.rowText(1), "abcd");
    EXPECT_EQ(trimmedRow(g, 2), "ef");
}

TEST(GridText, FillingTheLastCellDoesNotScroll) {
    ScreenGrid g(3, 2);
    g.print("abc");
    g.locate(2, 1);
    g.print("xyz");
    EXPECT_EQ(g.rowText(1), "abc");
    EXPECT_EQ(g.rowText(2), "xyz");
    g.print("!"); // only the next character scrolls
    EXPECT_EQ(g.rowText(1), "xyz");
    EXPECT_EQ(trimmedRow(g, 2), "!");
}

TEST(GridText, NewlineReturnAndTab) {
    ScreenGrid g(20, 3);
    g.print("ab\ncd\rX\tY");
    EXPECT_EQ(trimmedRow(g, 1), "ab");
    EXPECT_EQ(trimmedRow(g, 2), "Xd      Y");
    g.locate(3, 1);
    g.print("\n"); // newline on the bottom row scrolls
    EXPECT_EQ(trimmedRow(g, 1), "Xd      Y");
    EXPECT_EQ(g.cursorRow(), 3);
}

TEST(GridText, ControlBytesShowTheirGlyphs) {
    ScreenGrid g(5, 1);
    g.print("\x01\x7F");
    EXPECT_EQ(g.cell(1, 1).ch, U'\u263A');
    EXPECT_EQ(g.cell(1, 2).ch, U'\u2302');
}

TEST(GridEditing, ClearAndClearLineUseTheBackground) {
    ScreenGrid g(5, 2);
    g.print("helloworld");
    g.setColor(Yellow, Blue);
    g.clearLine(1);
    EXPECT_EQ(g.rowText(1), "     ");
    EXPECT_EQ(g.cell(1, 3).bg, Blue);
    EXPECT_EQ(g.cursorRow(), 1);
    EXPECT_EQ(g.cursorCol(), 1);
    EXPECT_EQ(g.rowText(2), "world"); // the other row stays
    g.clear();
    EXPECT_EQ(g.text(), "\n");
    EXPECT_EQ(g.cell(2, 5).bg, Blue);
}

TEST(GridEditing, ClearToEndOfLineKeepsTheStart) {
    ScreenGrid g(6, 1);
    g.print("abcdef");
    g.locate(1, 3);
    g.clearToEndOfLine();
    EXPECT_EQ(g.rowText(1), "ab    ");
    EXPECT_EQ(g.cursorCol(), 3);
}

TEST(GridGeometry, LocateClampsIntoTheGrid) {
    ScreenGrid g(81, 27);
    g.locate(0, 0);
    EXPECT_EQ(g.cursorRow(), 1);
    EXPECT_EQ(g.cursorCol(), 1);
    g.locate(100, 200);
    EXPECT_EQ(g.cursorRow(), 27);
    EXPECT_EQ(g.cursorCol(), 81);
}

TEST(GridGeometry, ResizeKeepsTheCommonPart) {
    ScreenGrid g(81, 27);
    g.locate(1, 80);
    g.print("xy");
    g.resize(108, 27);
    EXPECT_EQ(g.cell(1, 80).ch, U'x');
    EXPECT_EQ(g.cell(1, 81).ch, U'y');
    EXPECT_EQ(g.cell(1, 82).ch, U' ');
    g.resize(40, 10);
    EXPECT_EQ(g.cols(), 40);
    EXPECT_EQ(g.rows(), 10);
    EXPECT_LE(g.cursorCol(), 40);
    g.resize(0, -5); // nonsense sizes become the smallest grid
    EXPECT_EQ(g.cols(), 1);
    EXPECT_EQ(g.rows(), 1);
}

TEST(GridText, TextTrimsRowsAndContainsLooksWithinRows) {
    ScreenGrid g(5, 2);
    g.print("ab\ncd");
    EXPECT_EQ(g.text(), "ab\ncd");
    EXPECT_TRUE(g.contains("cd"));
    EXPECT_FALSE(g.contains("abcd")); // text across a row end is no match
    g.locate(1, 1);
    g.print("2\xC2\xB0");
    EXPECT_TRUE(g.contains("2\xC2\xB0"));
}

TEST(GridText, ColoursWrapModulo16) {
    ScreenGrid g(2, 1);
    g.setColor(17, -1);
    EXPECT_EQ(g.fg(), 1);
    EXPECT_EQ(g.bg(), 15);
    g.setColor(LightGrey, Black);
}

} // namespace
