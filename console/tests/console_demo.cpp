// A small program on the console, used by the tests as a child process in a
// script and in a real terminal: a menu, a line prompt, key echo, a message
// box and a long loop that Esc interrupts.
#include "console/console.h"

#include <string>

namespace {

using namespace console;

constexpr int kMenuTop = 4;
constexpr int kStatusRow = 20;

void drawMenu() {
    setColor(Color::LightGrey, Color::Black);
    clear();
    setColor(Color::Yellow, Color::Blue);
    printAt(2, 3, " Console demo ");
    setColor(Color::White, Color::Black);
    printAt(kMenuTop, 5, "1. Type a line");
    printAt(kMenuTop + 1, 5, "2. Read keys");
    printAt(kMenuTop + 2, 5, "3. Message box");
    printAt(kMenuTop + 3, 5, "4. Long loop");
    printAt(kMenuTop + 4, 5, "5. Stubborn keys (only q leaves)");
    printAt(kMenuTop + 5, 5, "w. Wide screen");
    setColor(Color::LightGreen, Color::Black);
    printAt(kMenuTop + 7, 5, "Sky 21" + cp437(248) + " " + cp437Repeat(178, 6) + " " + cp437(219));
    setColor(Color::LightGrey, Color::Black);
    printAt(kStatusRow + 4, 1,
            "Size " + std::to_string(ConsoleInfo(4)) + "x" + std::to_string(ConsoleInfo(5)) +
                (isScriptMode() ? " script" : " terminal"));
    printAt(kStatusRow + 6, 3, "Choose 1-5 (Esc ends): ");
}

void status(const std::string& text) {
    clearLine(kStatusRow);
    printAt(kStatusRow, 3, text);
}

std::string describe(const Event& e) {
    if (e.key == Key::Click || e.key == Key::RightClick)
        return std::string(e.key == Key::Click ? "click" : "rclick") + " col " +
               std::to_string(e.col) + " row " + std::to_string(e.row);
    if (e.key == Key::GfxClick || e.key == Key::GfxRightClick)
        return std::string(e.key == Key::GfxClick ? "gclick" : "grclick") + " x " +
               std::to_string(e.x) + " y " + std::to_string(e.y);
    if (isFunctionKey(e.key)) return "key F" + std::to_string(e.key - Key::F1 + 1);
    switch (e.key) {
    case Key::Up:
        return "key Up";
    case Key::Down:
        return "key Down";
    case Key::Left:
        return "key Left";
    case Key::Right:
        return "key Right";
    case Key::PgUp:
        return "key PgUp";
    case Key::PgDn:
        return "key PgDn";
    case Key::Home:
        return "key Home";
    case Key::End:
        return "key End";
    default:
        return "key " + std::to_string(e.key);
    }
}

void typeLine() {
    status("Your line: ");
    const auto line = readLine(30);
    status(line ? "Line: [" + *line + "]" : "Line abandoned");
}

void echoKeys() {
    status("Press keys, Esc to finish");
    int row = kStatusRow + 1;
    for (;;) {
        const Event e = readKey();
        if (e.key == Key::Esc) break;
        clearLine(row);
        printAt(row, 3, "Got " + describe(e));
    }
    status("Keys done");
}

// A screen that does not give way to Esc: a script that ends here makes
// the console give up after its Esc answers.
void stubbornKeys() {
    status("Only q leaves");
    while (readKey().key != 'q') {
    }
    status("Left with q");
}

// The run screen is wider than the menu: 108 columns, then back to 81.
void wideScreen() {
    setSize(108, 27);
    setColor(Color::LightGrey, Color::Black);
    clear();
    printAt(1, 1, "Wide screen " + std::to_string(gridCols()) + " columns");
    printAt(1, 95, "right edge");
    locate(27, 1);
    readKey();
    setSize(81, 27);
    drawMenu();
}

void longLoop() {
    long i = 0;
    constexpr long kSteps = 200000;
    for (; i < kSteps; ++i) {
        if (i % 1000 == 0) {
            clearLine(kStatusRow);
            printAt(kStatusRow, 3, "Looping " + std::to_string(i));
        }
        if (const auto e = pollKey(); e && e->key == Key::Esc) break;
    }
    status(i < kSteps ? "Loop interrupted at " + std::to_string(i) : "Loop finished");
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parseConsoleArgs(argc, argv);
    InitConsoleTools(options);
    ConsoleTitle("Console demo");
    setSize(81, 27);
    drawMenu();
    for (;;) {
        locate(kStatusRow + 6, 26);
        const Event e = readKey();
        int choice = e.key;
        if (e.key == Key::Click && e.row >= kMenuTop && e.row < kMenuTop + 5)
            choice = '1' + (e.row - kMenuTop);
        if (choice == Key::Esc) break;
        switch (choice) {
        case '1':
            typeLine();
            break;
        case '2':
            echoKeys();
            break;
        case '3':
            ConsoleMessageBox("Hello from the box.\nA second line.", 0, "Demo box");
            status("Box closed");
            break;
        case '4':
            longLoop();
            break;
        case '5':
            stubbornKeys();
            break;
        case 'w':
            wideScreen();
            break;
        default:
            status("Not a choice: " + describe(e));
            break;
        }
    }
    exitProgram(0);
}
