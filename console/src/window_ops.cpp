// The console library's window calls. A terminal cannot be moved, made
// topmost or stretched from inside; those requests are accepted and do
// nothing. Queries answer from the grid and the terminal.
#include "console/console.h"
#include "console_state.h"

#include <cstdlib>
#include <sys/utsname.h>

namespace console {

namespace {

// Cell size the suite assumes for a terminal and for scripts, pixels; the
// graphics window is sized from it.
constexpr int kCellWidthPx = 8;
constexpr int kCellHeightPx = 16;
// The screen a script runs on, pixels: a common desktop screen, so that
// pictures made in batch runs have a useful size.
constexpr int kScriptScreenWidthPx = 1920;
constexpr int kScriptScreenHeightPx = 1080;

int usableWidthPx() {
    Backend& backend = activeBackend();
    if (backend.isScript()) return kScriptScreenWidthPx;
    return backend.screenCols() * kCellWidthPx;
}

int usableHeightPx() {
    Backend& backend = activeBackend();
    if (backend.isScript()) return kScriptScreenHeightPx;
    return backend.screenRows() * kCellHeightPx;
}

} // namespace

int ConsoleMove(int, int) {
    return 0;
}
int ConsoleWindow(int) {
    return 0;
}

int ConsoleMetrics(int what) {
    switch (what) {
    case 1:
        return kCellWidthPx;
    case 2:
        return kCellHeightPx;
    default:
        return 0;
    }
}

int ConsoleInfo(int what) {
    switch (what) {
    case 4:
        return gridCols();
    case 5:
        return gridRows();
    case 34:
    case 44:
        return usableWidthPx();
    case 35:
    case 45:
        return usableHeightPx();
    case 15:
    case 25:
        return usableHeightPx(); // equal: a terminal has no window frame
    default:
        return 0;
    }
}

int ConsoleTitle(std::string_view title) {
    ConsoleState& state = consoleState();
    state.title = std::string(title);
    if (state.backend) state.backend->setTitle(title);
    return -1;
}

std::string currentTitle() {
    return consoleState().title;
}

int ConsoleToolBar(int show, int) {
    consoleState().toolbarShown = show != 0;
    return -1;
}

int ConsoleHasToolbar() {
    return consoleState().toolbarShown ? -1 : 0;
}
int ConsoleTopMost(int) {
    return 0;
}
int ConsoleStretch() {
    return 0;
}
int ConsoleToForeGround(int) {
    return 0;
}
int ConsoleFocus() {
    return 0;
}

int WindowsVersion(int what) {
    struct utsname names {};
    if (uname(&names) != 0) return 0;
    char* end = nullptr;
    const long major = std::strtol(names.release, &end, 10);
    if (what == 1) return static_cast<int>(major);
    if (what == 2 && end && *end == '.') return static_cast<int>(std::strtol(end + 1, nullptr, 10));
    return 0;
}

} // namespace console
