// The character grid: printing, wrapping, scrolling and text extraction.
#include "screen_grid.h"

#include <algorithm>

namespace console {

ScreenGrid::ScreenGrid(int cols, int rows) {
    resize(cols, rows);
}

void ScreenGrid::resize(int cols, int rows) {
    cols = std::clamp(cols, 1, kMaxSide);
    rows = std::clamp(rows, 1, kMaxSide);
    std::vector<Cell> cells(static_cast<std::size_t>(cols) * rows, Cell{});
    for (int r = 0; r < std::min(rows, rows_); ++r)
        for (int c = 0; c < std::min(cols, cols_); ++c)
            cells[static_cast<std::size_t>(r) * cols + c] = at(r, c);
    cells_ = std::move(cells);
    cols_ = cols;
    rows_ = rows;
    row_ = std::min(row_, rows_ - 1);
    col_ = std::min(col_, cols_ - 1);
    wrapPending_ = false;
    touch();
}

void ScreenGrid::clear() {
    std::fill(cells_.begin(), cells_.end(), blank());
    row_ = col_ = 0;
    wrapPending_ = false;
    touch();
}

void ScreenGrid::setColor(int fg, int bg) {
    fg_ = ((fg % 16) + 16) % 16;
    bg_ = ((bg % 16) + 16) % 16;
}

void ScreenGrid::locate(int row, int col) {
    row_ = std::clamp(row, 1, rows_) - 1;
    col_ = std::clamp(col, 1, cols_) - 1;
    wrapPending_ = false;
    touch(); // the cursor is part of what a backend shows
}

void ScreenGrid::scrollUp() {
    std::move(cells_.begin() + cols_, cells_.end(), cells_.begin());
    std::fill(cells_.end() - cols_, cells_.end(), blank());
}

void ScreenGrid::newLine() {
    col_ = 0;
    wrapPending_ = false;
    if (row_ + 1 < rows_)
        ++row_;
    else
        scrollUp();
}

void ScreenGrid::put(char32_t ch) {
    if (wrapPending_) newLine();
    at(row_, col_) = Cell{ch, fg_, bg_};
    if (col_ + 1 < cols_)
        ++col_;
    else
        wrapPending_ = true;
    touch();
}

void ScreenGrid::print(std::string_view utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const unsigned char byte = static_cast<unsigned char>(utf8[pos]);
        if (byte == '\n') {
            ++pos;
            newLine();
        } else if (byte == '\r') {
            ++pos;
            col_ = 0;
            wrapPending_ = false;
        } else if (byte == '\t') {
            ++pos;
            // Moves to the next tab stop without erasing, as a terminal does.
            if (!wrapPending_) col_ = std::min((col_ / 8 + 1) * 8, cols_ - 1);
        } else {
            const char32_t ch = decodeNextChar(utf8, pos);
            put(ch < 32 || ch == 127 ? cp437ToUnicode(static_cast<unsigned char>(ch)) : ch);
        }
    }
    touch();
}

void ScreenGrid::clearLine(int row) {
    row = std::clamp(row, 1, rows_) - 1;
    for (int c = 0; c < cols_; ++c) at(row, c) = blank();
    row_ = row;
    col_ = 0;
    wrapPending_ = false;
    touch();
}

void ScreenGrid::clearToEndOfLine() {
    if (wrapPending_) {
        at(row_, col_) = blank();
    } else {
        for (int c = col_; c < cols_; ++c) at(row_, c) = blank();
    }
    touch();
}

Cell ScreenGrid::cell(int row, int col) const {
    if (row < 1 || row > rows_ || col < 1 || col > cols_) return Cell{};
    return at(row - 1, col - 1);
}

void ScreenGrid::setCell(int row, int col, const Cell& c) {
    if (row < 1 || row > rows_ || col < 1 || col > cols_) return;
    at(row - 1, col - 1) = c;
    touch();
}

std::string ScreenGrid::rowText(int row) const {
    std::string out;
    if (row < 1 || row > rows_) return out;
    for (int c = 0; c < cols_; ++c) out += utf8Encode(at(row - 1, c).ch);
    return out;
}

std::string ScreenGrid::text() const {
    std::string out;
    for (int r = 1; r <= rows_; ++r) {
        std::string line = rowText(r);
        line.erase(line.find_last_not_of(' ') + 1);
        out += line;
        if (r < rows_) out += '\n';
    }
    return out;
}

bool ScreenGrid::contains(std::string_view needle) const {
    for (int r = 1; r <= rows_; ++r)
        if (rowText(r).find(needle) != std::string::npos) return true;
    return false;
}

} // namespace console
