// The public text calls: they write the grid; backends show it.
#include "console/console.h"
#include "console_state.h"

namespace console {

namespace {
ScreenGrid& grid() {
    return consoleState().grid;
}
} // namespace

void setSize(int cols, int rows) {
    grid().resize(cols, rows);
}
int gridCols() {
    return grid().cols();
}
int gridRows() {
    return grid().rows();
}
void clear() {
    grid().clear();
}
void setColor(int fg, int bg) {
    grid().setColor(fg, bg);
}
void setForeground(int fg) {
    grid().setColor(fg, grid().bg());
}
int foreground() {
    return grid().fg();
}
int background() {
    return grid().bg();
}
void locate(int row, int col) {
    grid().locate(row, col);
}
int cursorRow() {
    return grid().cursorRow();
}
int cursorCol() {
    return grid().cursorCol();
}
void showCursor(bool visible) {
    grid().setCursorVisible(visible);
}
void print(std::string_view utf8) {
    grid().print(utf8);
}

void printAt(int row, int col, std::string_view utf8) {
    grid().locate(row, col);
    grid().print(utf8);
}

void putGlyph(char32_t ch) {
    grid().put(ch);
}
void clearLine(int row) {
    grid().clearLine(row);
}
void clearToEndOfLine() {
    grid().clearToEndOfLine();
}
std::string rowText(int row) {
    return grid().rowText(row);
}
std::string screenText() {
    return grid().text();
}
Cell cellAt(int row, int col) {
    return grid().cell(row, col);
}

void refresh() {
    ConsoleState& state = consoleState();
    if (state.backend) state.backend->present(state.grid, false);
}

} // namespace console
