#include "tarvo/shell/title_screen.h"

#include "console/console.h"

#include <string>

namespace tarvo {

namespace {

void centred(int row, const std::string& text, int fg) {
    console::setColor(fg, console::Color::Black);
    const int cols = console::gridCols();
    const int width = static_cast<int>(text.size());
    console::printAt(row, width >= cols ? 1 : (cols - width) / 2 + 1, text);
}

// A small orrery in code-page-437 glyphs: the Sun and the inner planets.
void drawOrrery(int top) {
    using console::Color::Yellow;
    const char* rows[] = {
        "            .   *   .            ",
        "       .                 .       ",
        "    *        .  \xe2\x98\xbc  .        o   ",
        "       .                 .       ",
        "            .   \xe2\x80\xa2   .            ",
    };
    console::setColor(console::Color::LightBlue, console::Color::Black);
    for (int i = 0; i < 5; ++i) {
        const int cols = console::gridCols();
        console::printAt(top + i, (cols - 33) / 2 + 1, rows[i]);
    }
    console::setColor(Yellow, console::Color::Black);
    console::printAt(top + 2, (console::gridCols() - 33) / 2 + 18, "\xe2\x98\xbc");
}

} // namespace

void showTitleScreen(const TitleLines& title) {
    using namespace console::Color;
    console::setSize(81, 27);
    console::setColor(LightGrey, Black);
    console::clear();
    centred(3, title[0], White);
    centred(5, "High Precision Ephemerides by Numerical Integration", Yellow);
    centred(7, "Welcome to the Solar System, integrated to the metre and the millisecond",
            LightCyan);
    drawOrrery(10);
    centred(17, title[2], LightGrey);
    centred(18, title[3], LightGrey);
    console::setColor(LightGreen, Black);
    console::printAt(25, 27, "Press a key to continue ... ");
    console::readKey();
}

} // namespace tarvo
