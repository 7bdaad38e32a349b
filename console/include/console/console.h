// The console of the suite's programs: one interface, two backends.
//
// Programs draw text into a character grid owned by this library (a code
// point and a colour pair per cell) and read keys, clicks and lines. Which
// backend runs is decided once by InitConsoleTools; nothing above this
// library knows or cares:
//
//  * Terminal backend (ncursesw): the grid is shown at the top-left of the
//    terminal. A terminal smaller than the grid shows one line asking for a
//    larger one; blocking reads wait until it has been enlarged. Colours are
//    the 16 ANSI colours, glyphs are Unicode, clicks arrive on cells.
//
//  * Script backend: chosen by --script FILE ("-" = standard input) and also
//    when standard input is not a terminal (the script is then read from
//    standard input). Nothing is shown and nothing waits for the clock; key
//    reads are answered from the script. One action per line; blank lines
//    and lines whose first non-blank character is '#' are ignored:
//      key X           one key: a character, or Esc Enter Space Tab Backspace
//                      Up Down Left Right PgUp PgDn Home End Insert Delete
//                      F1..F12 (names in any case)
//      text STRING     the characters of STRING, then Enter (no STRING: Enter)
//      click C R       left click on the cell of column C, row R (1-based)
//      rclick C R      right click on a cell
//      gclick X Y      left click in the graphics window at pixel X, Y
//      grclick X Y     right click in the graphics window
//      expect TEXT     the screen must contain TEXT (within one row)
//    All consecutive expect lines before an input action are checked at the
//    key read that consumes that action, against the screen as it is then;
//    expect lines left at the end are checked at the next key read or, when
//    the program ends first, against the final screen. A failed expect prints
//    the screen to standard error and ends the program with status 3.
//    When the script is exhausted, every blocking key read returns Esc; the
//    1001st such read ends the program with status 4. A bad script line ends
//    the program with status 2 and a message naming the file and line.
//    --transcript FILE appends the whole screen, after a line
//    "=== screen N ===", at every blocking key read (either backend).
//
// Coordinates are 1-based, row first as in the programs' own layouts:
// locate(row, col). Colours are the 16 classic console colours (Color::).
#pragma once

#include "console/glyphs.h"
#include "console/keys.h"

#include <optional>
#include <string>
#include <string_view>

namespace console {

// ---------------------------------------------------------------- start-up

struct Options {
    std::string scriptPath;     // --script FILE; "-" = standard input
    std::string transcriptPath; // --transcript FILE
    bool forceScript = false;   // script backend even on a terminal
};

// Takes --script FILE, --script=FILE, --transcript FILE and
// --transcript=FILE out of argv (argc is reduced; argv[argc] stays nullptr).
// A missing file name ends the program with status 2 and a message.
Options parseConsoleArgs(int& argc, char** argv);

// --help (or -h) and --version anywhere in argv: the help text or the
// version line is printed on standard output and true returned (the
// program then ends with status 0).
bool answerHelpOrVersion(int argc, char** argv, std::string_view help, std::string_view version);

// Chooses and starts the backend. Called once, before any other console
// call (a later call after shutdownConsole starts afresh). Returns 0. A
// script that cannot be read or has a bad line, or a terminal that ncurses
// cannot drive, ends the program with status 2 and a message.
int InitConsoleTools(const Options& options);

// The console library's own start-up call (arguments 0, 0, 0, 3, &zero):
// starts with default Options, i.e. the terminal when standard input is
// one, else the script on standard input; does nothing when the console
// has already been started (e.g. with the Options of the command line).
// Sets *status to 0 when given.
int InitConsoleTools(int a, int b, int c, int d, int* status);

// True when the script backend runs.
bool isScriptMode();

// Restores the terminal (terminal backend) or checks the expect lines left
// at the end of the script against the final screen (script backend, exit
// status 3 on failure). Called by exitProgram and at normal process exit;
// safe to call more than once.
void shutdownConsole();

// Ends the program with this status through the clean path: the terminal is
// restored, the transcript is closed, open streams are flushed.
[[noreturn]] void exitProgram(int status);

// ---------------------------------------------------------------- the grid

namespace Color {
inline constexpr int Black = 0, Blue = 1, Green = 2, Cyan = 3, Red = 4, Magenta = 5, Brown = 6,
                     LightGrey = 7, DarkGrey = 8, LightBlue = 9, LightGreen = 10, LightCyan = 11,
                     LightRed = 12, LightMagenta = 13, Yellow = 14, White = 15;
}

struct Cell {
    char32_t ch = U' ';
    int fg = Color::LightGrey;
    int bg = Color::Black;
};

// Resizes the grid (clamped to 1..1000 each way). Content in the common part
// is kept; the cursor is clamped into the new grid. Default size 81 x 27.
void setSize(int cols, int rows);
int gridCols();
int gridRows();

// Clears the grid with the current background colour and homes the cursor.
void clear();

// Current colours (0..15; other values are taken modulo 16). The background
// is used by print, clear and clearLine.
void setColor(int fg, int bg);
void setForeground(int fg);
int foreground();
int background();

// Cursor position, 1-based; values outside the grid are clamped into it.
void locate(int row, int col);
int cursorRow();
int cursorCol();

// Shows or hides the cursor on the terminal (hidden by default; readLine
// shows it while editing).
void showCursor(bool visible);

// Writes UTF-8 text at the cursor in the current colours. '\n' moves to
// column 1 of the next row, '\r' to column 1 of this row, '\t' to the next
// tab stop (every 8 columns, not erasing what it passes); other control bytes show their
// code-page-437 glyphs. Text wraps at the right edge; writing past the bottom row scrolls the grid
// up, but filling the very last cell does not scroll until the next character comes.
void print(std::string_view utf8);
void printAt(int row, int col, std::string_view utf8);
// One character (a Unicode code point) at the cursor.
void putGlyph(char32_t ch);

// Clears a whole row with the current background; the cursor goes to
// column 1 of that row.
void clearLine(int row);
// Clears from the cursor to the end of its row; the cursor stays.
void clearToEndOfLine();

// The grid as text: rowText(row) is one row, every cell included (trailing
// blanks too); screenText() is all rows with trailing blanks removed,
// joined by '\n'. cellAt gives a cell with its colours.
std::string rowText(int row);
std::string screenText();
Cell cellAt(int row, int col);

// Shows the grid on the terminal now (script backend: nothing to do).
// Blocking reads refresh by themselves; pollKey refreshes at most about
// 30 times a second, so long loops stay fast.
void refresh();

// ---------------------------------------------------------------- input

// Waits for the next key or click (refreshing the screen first). With the
// graphics window open, its keys and clicks arrive here too.
Event readKey();

// Takes a waiting key or click if there is one, without waiting.
// Script backend: returns a key only when the next input action of the
// script is `key Esc` (expect lines just before it are checked first, as at
// a blocking read) and consumes it; any other next action is left for the
// next blocking read, and an exhausted script gives "no key". This is what
// lets a long loop that polls for Esc run to its end in a script unless the
// script presses Esc at that point.
std::optional<Event> pollKey();

// Line editor at the cursor, built on readKey so that both backends behave
// alike: characters insert, Backspace/Delete erase, Left/Right/Home/End
// move, Enter accepts, Esc abandons (nullopt). At most maxLen characters,
// and no more than fit on the row. `initial` is the text to start with.
// On return the cursor stands after the shown text.
std::optional<std::string> readLine(int maxLen, std::string_view initial = {});

// Waits this long on a terminal (after showing the grid); returns at once
// in scripts, where nothing waits for the clock.
void pauseMs(int milliseconds);

// ------------------------------------------------- console-library calls
// Integers follow the suite's convention: -1 on, 0 off. Queries that cannot
// answer return 0. Window placement requests are accepted and do nothing.

int ConsoleMove(int x, int y);
int ConsoleWindow(int how);
// Character cell size in pixels: 1 width, 2 height (8 x 16 on a terminal
// and in scripts; the graphics window uses the same cell size).
int ConsoleMetrics(int what);
// 4, 5: grid columns, rows. 34, 35 (windowed) and 44, 45 (full screen):
// usable width and height in pixels: the terminal's size in cells times the
// cell size; in scripts a fixed 1920 x 1080 screen. 15, 25: both give the
// usable height, i.e. no window frame overhead. Other codes: 0.
int ConsoleInfo(int what);
// A framed overlay with the caption on its top edge and the text inside
// (lines split at '\n', long lines wrapped), closed by any key or click.
// The screen underneath is restored. Returns 1.
int ConsoleMessageBox(std::string_view text, int style, std::string_view caption, int flags = 32768,
                      int owner = 0);
// Sets the terminal window title where the terminal has a title sequence
// (terminfo tsl/fsl, or xterm-style terminals, tmux, screen). Returns -1.
int ConsoleTitle(std::string_view title);
std::string currentTitle(); // the last title set (all backends)
// Tool bar show (-1) or hide (0); there is no tool bar on a terminal, the
// state is remembered for ConsoleHasToolbar.
int ConsoleToolBar(int show, int which);
int ConsoleHasToolbar();
int ConsoleTopMost(int on);
int ConsoleStretch();
int ConsoleToForeGround(int on);
int ConsoleFocus();
// 1: kernel major version, 2: minor version (from uname), else 0.
int WindowsVersion(int what);

// Opens graphics window 0 of pictor, cols x rows cells in size (pixels =
// cells x ConsoleMetrics). A terminal cannot hold it, so (col, row) is not
// used: on a terminal with DISPLAY set the window is an X11 window of its
// own, else (and always in scripts) the canvas stays off-screen. From then
// on readKey and pollKey also deliver the window's keys and clicks
// (GfxClick / GfxRightClick with pixel x, y). Returns -1 when the window is
// open, 0 when pictor could not open it.
int ConsoleGfx(int col, int row, int cols, int rows);

} // namespace console
