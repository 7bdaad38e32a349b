// The character grid behind the console: one code point and one colour pair
// per cell, a cursor and the current colours. Both backends read it; only
// the console front end writes it.
#pragma once

#include "console/console.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace console {

class ScreenGrid {
  public:
    static constexpr int kMaxSide = 1000;

    ScreenGrid(int cols = 81, int rows = 27);

    void resize(int cols, int rows);
    int cols() const { return cols_; }
    int rows() const { return rows_; }

    void clear();
    void setColor(int fg, int bg);
    int fg() const { return fg_; }
    int bg() const { return bg_; }

    // 1-based, clamped into the grid.
    void locate(int row, int col);
    int cursorRow() const { return row_ + 1; }
    int cursorCol() const { return col_ + 1; }
    void setCursorVisible(bool visible) {
        cursorVisible_ = visible;
        touch();
    }
    bool cursorVisible() const { return cursorVisible_; }

    void print(std::string_view utf8);
    void put(char32_t ch);
    void clearLine(int row);
    void clearToEndOfLine();

    Cell cell(int row, int col) const; // 1-based; outside: a blank cell
    void setCell(int row, int col, const Cell& c);
    std::string rowText(int row) const;
    std::string text() const; // trailing blanks trimmed, rows joined by '\n'
    bool contains(std::string_view needle) const;

    // Changes on every modification; a backend redraws when it differs.
    std::uint64_t revision() const { return revision_; }

  private:
    Cell& at(int row0, int col0) { return cells_[static_cast<std::size_t>(row0) * cols_ + col0]; }
    const Cell& at(int row0, int col0) const {
        return cells_[static_cast<std::size_t>(row0) * cols_ + col0];
    }
    Cell blank() const { return Cell{U' ', fg_, bg_}; }
    void newLine();
    void scrollUp();
    void touch() { ++revision_; }

    int cols_ = 0, rows_ = 0;
    std::vector<Cell> cells_;
    int row_ = 0, col_ = 0;    // 0-based cursor
    bool wrapPending_ = false; // last column written; wrap at the next character
    bool cursorVisible_ = false;
    int fg_ = Color::LightGrey, bg_ = Color::Black;
    std::uint64_t revision_ = 1;
};

} // namespace console
