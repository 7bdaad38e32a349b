// ConsoleMessageBox: a framed overlay on the grid, closed by a key.
#include "console/console.h"
#include "console_state.h"

#include <algorithm>
#include <vector>

namespace console {

namespace {

constexpr int kBoxFg = Color::White;
constexpr int kBoxBg = Color::Blue;
constexpr std::u32string_view kFooter = U"[ Press a key ]";

// The text as code points, control characters shown as "^X" (DEL "^?"):
// a message may quote a damaged file, whose bytes must not reach the
// screen as cursor moves or a bell. Line ends (LF, CR LF) stay; a tab is a
// blank.
std::u32string toCodePoints(std::string_view utf8) {
    std::u32string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t ch = decodeNextChar(utf8, pos);
        const bool lineEnd = ch == U'\n' || (ch == U'\r' && pos < utf8.size() && utf8[pos] == '\n');
        if (ch == U'\t') {
            out += U' ';
        } else if ((ch < 0x20 && !lineEnd) || ch == 0x7f || (ch >= 0x80 && ch < 0xa0)) {
            out += U'^';
            out += ch == 0x7f ? U'?' : ch < 0x20 ? ch + 0x40 : U'?';
        } else {
            out += ch;
        }
    }
    return out;
}

// Splits at line ends and wraps at blanks (or hard, inside long words) to
// at most width characters.
std::vector<std::u32string> wrapLines(const std::u32string& text, int width) {
    std::vector<std::u32string> lines;
    std::u32string rest;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto end = text.find(U'\n', start);
        if (end == std::u32string::npos) end = text.size();
        std::u32string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == U'\r') line.pop_back();
        while (static_cast<int>(line.size()) > width) {
            auto cut = line.rfind(U' ', static_cast<std::size_t>(width));
            if (cut == std::u32string::npos || cut == 0) cut = static_cast<std::size_t>(width);
            lines.push_back(line.substr(0, cut));
            line.erase(0, line[cut] == U' ' ? cut + 1 : cut);
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace

int ConsoleMessageBox(std::string_view text, int, std::string_view caption, int, int) {
    ConsoleState& state = consoleState();
    ScreenGrid& grid = state.grid;

    // Everything the box covers comes back afterwards.
    std::vector<Cell> saved;
    for (int r = 1; r <= grid.rows(); ++r)
        for (int c = 1; c <= grid.cols(); ++c) saved.push_back(grid.cell(r, c));
    const int savedRow = grid.cursorRow(), savedCol = grid.cursorCol();
    const int savedFg = grid.fg(), savedBg = grid.bg();
    const bool savedCursor = grid.cursorVisible();

    const int innerMax = std::max(grid.cols() - 6, 1);
    std::vector<std::u32string> lines = wrapLines(toCodePoints(text), innerMax);
    const std::u32string title = toCodePoints(caption);
    int inner = static_cast<int>(kFooter.size());
    for (const auto& line : lines) inner = std::max(inner, static_cast<int>(line.size()));
    inner = std::min(std::max(inner, static_cast<int>(title.size()) + 2), innerMax);
    const int maxLines = std::max(grid.rows() - 4, 1);
    if (static_cast<int>(lines.size()) > maxLines) lines.resize(static_cast<std::size_t>(maxLines));

    const int width = inner + 4; // frame and one blank each side
    const int height = static_cast<int>(lines.size()) + 4;
    const int left = std::max((grid.cols() - width) / 2 + 1, 1);
    const int top = std::max((grid.rows() - height) / 2 + 1, 1);
    const auto put = [&](int r, int c, char32_t ch) {
        grid.setCell(r, c, Cell{ch, kBoxFg, kBoxBg});
    };
    for (int r = top; r < top + height; ++r)
        for (int c = left; c < left + width; ++c) put(r, c, U' ');
    for (int c = left + 1; c < left + width - 1; ++c) {
        put(top, c, cp437ToUnicode(205));
        put(top + height - 1, c, cp437ToUnicode(205));
    }
    for (int r = top + 1; r < top + height - 1; ++r) {
        put(r, left, cp437ToUnicode(186));
        put(r, left + width - 1, cp437ToUnicode(186));
    }
    put(top, left, cp437ToUnicode(201));
    put(top, left + width - 1, cp437ToUnicode(187));
    put(top + height - 1, left, cp437ToUnicode(200));
    put(top + height - 1, left + width - 1, cp437ToUnicode(188));
    if (!title.empty()) {
        std::u32string shown(1, U' ');
        shown.append(title, 0, static_cast<std::size_t>(inner - 2));
        shown.push_back(U' ');
        for (std::size_t i = 0; i < shown.size(); ++i)
            put(top, left + 2 + static_cast<int>(i), shown[i]);
    }
    for (std::size_t l = 0; l < lines.size(); ++l)
        for (std::size_t i = 0; i < lines[l].size(); ++i)
            put(top + 2 + static_cast<int>(l), left + 2 + static_cast<int>(i), lines[l][i]);
    const int footerLeft = left + width - 2 - static_cast<int>(kFooter.size());
    for (std::size_t i = 0; i < kFooter.size(); ++i)
        put(top + height - 1, std::max(footerLeft, left + 1) + static_cast<int>(i), kFooter[i]);
    grid.setCursorVisible(false);

    readKey();

    std::size_t i = 0;
    for (int r = 1; r <= grid.rows(); ++r)
        for (int c = 1; c <= grid.cols(); ++c) grid.setCell(r, c, saved[i++]);
    grid.locate(savedRow, savedCol);
    grid.setColor(savedFg, savedBg);
    grid.setCursorVisible(savedCursor);
    return 1;
}

} // namespace console
