// The terminal backend on ncursesw.
#define NCURSES_WIDECHAR 1
#include "terminal_backend.h"

#include "crash_guard.h"
#include "gfx_host.h"
#include "terminal_colors.h"

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <curses.h>
#include <langinfo.h>
#include <unistd.h>

namespace console {

namespace {

// Esc alone is told from the start of an escape sequence by this delay.
constexpr int kEscDelayMs = 25;
// With the graphics window open the key wait wakes this often to look at
// its events.
constexpr int kGfxPollMs = 10;
// pollKey shows the grid at most this often: long loops that print every
// step stay fast.
constexpr auto kPollPresentInterval = std::chrono::milliseconds(33);

void restoreTerminal() {
    endwin();
}

// ncursesw needs a UTF-8 character type to show the console's glyphs; a
// process started in the C locale gets C.UTF-8 for LC_CTYPE only.
void chooseUtf8Locale() {
    std::setlocale(LC_CTYPE, "");
    const char* codeset = nl_langinfo(CODESET);
    if (codeset && std::strcmp(codeset, "UTF-8") == 0) return;
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) std::setlocale(LC_CTYPE, "");
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::optional<int> keyFromCurses(int code) {
    switch (code) {
    case KEY_UP:
        return Key::Up;
    case KEY_DOWN:
        return Key::Down;
    case KEY_LEFT:
        return Key::Left;
    case KEY_RIGHT:
        return Key::Right;
    case KEY_PPAGE:
        return Key::PgUp;
    case KEY_NPAGE:
        return Key::PgDn;
    case KEY_HOME:
        return Key::Home;
    case KEY_END:
        return Key::End;
    case KEY_IC:
        return Key::Insert;
    case KEY_DC:
        return Key::Delete;
    case KEY_BACKSPACE:
        return Key::Backspace;
    case KEY_ENTER:
        return Key::Enter;
    default:
        break;
    }
    for (int n = 1; n <= 12; ++n)
        if (code == KEY_F(n)) return Key::F1 + n - 1;
    return std::nullopt;
}

int keyFromCharacter(unsigned ch) {
    switch (ch) {
    case '\r':
    case '\n':
        return Key::Enter;
    case 127:
    case 8:
        return Key::Backspace;
    default:
        return static_cast<int>(ch);
    }
}

} // namespace

std::unique_ptr<TerminalBackend> TerminalBackend::start(std::string& why) {
    chooseUtf8Locale();
    std::unique_ptr<TerminalBackend> backend(new TerminalBackend());
    if (isatty(STDOUT_FILENO)) {
        backend->out_ = stdout;
    } else {
        backend->out_ = std::fopen("/dev/tty", "w");
        backend->ownsOut_ = backend->out_ != nullptr;
    }
    if (!backend->out_) {
        why = "no terminal to show the screen on (standard output is redirected and /dev/tty "
              "cannot be opened)";
        return nullptr;
    }
    const char* term = std::getenv("TERM");
    backend->screen_ = newterm(nullptr, backend->out_, stdin);
    if (!backend->screen_) {
        why = std::string("cannot drive this terminal (TERM=") + (term ? term : "unset") +
              "); use --script FILE to run without one";
        if (backend->ownsOut_) std::fclose(backend->out_);
        backend->out_ = nullptr;
        return nullptr;
    }
    set_term(backend->screen_);
    const char* cursorAddress = tigetstr("cup");
    if (!cursorAddress || cursorAddress == reinterpret_cast<char*>(-1)) {
        // A terminal that cannot place the cursor cannot show a page.
        endwin();
        delscreen(backend->screen_);
        backend->screen_ = nullptr;
        if (backend->ownsOut_) std::fclose(backend->out_);
        backend->out_ = nullptr;
        why = std::string("this terminal cannot place the cursor (TERM=") +
              (term ? term : "unset") + "); use --script FILE to run without one";
        return nullptr;
    }
    backend->active_ = true;
    installCrashGuard(restoreTerminal);

    set_escdelay(kEscDelayMs);
    cbreak();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    curs_set(0);
    mousemask(BUTTON1_PRESSED | BUTTON1_CLICKED | BUTTON3_PRESSED | BUTTON3_CLICKED, nullptr);
    mouseinterval(0); // a press is the click: no wait for the release
    if (has_colors() && start_color() == OK) {
        // Pair number = fg * colours + bg, so 8 x 8 pairs fit a terminal
        // with 64. Pair 0 (black on black) cannot be set with init_pair;
        // assume_default_colors makes it so. Terminals with 8 colours show
        // bright foregrounds as bold.
        const int colours = COLORS >= 16 && COLOR_PAIRS >= 256 ? 16
                            : COLORS >= 8 && COLOR_PAIRS >= 64 ? 8
                                                               : 0;
        if (colours > 0) {
            backend->colorMode_ = colours;
            assume_default_colors(COLOR_BLACK, COLOR_BLACK);
            for (int fg = 0; fg < colours; ++fg)
                for (int bg = 0; bg < colours; ++bg)
                    if (fg != 0 || bg != 0)
                        init_pair(static_cast<short>(fg * colours + bg), fg, bg);
        }
    }
    return backend;
}

TerminalBackend::~TerminalBackend() {
    if (active_) shutdown(ScreenGrid(1, 1));
}

int TerminalBackend::shutdown(const ScreenGrid&) {
    if (!active_) return 0;
    active_ = false;
    endwin();
    removeCrashGuard();
    delscreen(screen_);
    screen_ = nullptr;
    if (ownsOut_) std::fclose(out_);
    out_ = nullptr;
    return 0;
}

void TerminalBackend::releaseTerminal() {
    if (!active_) return;
    def_prog_mode();
    endwin();
}

void TerminalBackend::reclaimTerminal(const ScreenGrid& grid) {
    if (!active_) return;
    reset_prog_mode();
    clearok(curscr, TRUE);
    needFullRedraw_ = true;
    present(grid, true);
}

int TerminalBackend::screenCols() const {
    return active_ ? COLS : 0;
}
int TerminalBackend::screenRows() const {
    return active_ ? LINES : 0;
}

bool TerminalBackend::fits(const ScreenGrid& grid) const {
    return COLS >= grid.cols() && LINES >= grid.rows();
}

int TerminalBackend::colorPairFor(int fg, int bg, unsigned& extraAttrs) const {
    const int ansiFg = ansiFromConsoleColor(fg);
    const int ansiBg = ansiFromConsoleColor(bg);
    if (colorMode_ == 16) return ansiFg * 16 + ansiBg;
    if (colorMode_ == 8) {
        if (ansiFg >= 8) extraAttrs |= A_BOLD; // bright foreground as bold
        return (ansiFg & 7) * 8 + (ansiBg & 7);
    }
    if (bg != 0) extraAttrs |= A_REVERSE; // monochrome: backgrounds as reverse video
    return 0;
}

void TerminalBackend::drawGrid(const ScreenGrid& grid) {
    const bool full = needFullRedraw_ || showingTooSmall_ || grid.cols() != shownCols_ ||
                      grid.rows() != shownRows_;
    if (full) { // nothing of an earlier, larger grid may stay
        werase(stdscr);
        clearok(curscr, TRUE);
        shownCells_.assign(static_cast<std::size_t>(grid.cols()) * grid.rows(), Cell{});
    }
    std::size_t i = 0;
    for (int r = 1; r <= grid.rows(); ++r) {
        for (int c = 1; c <= grid.cols(); ++c, ++i) {
            const Cell cell = grid.cell(r, c);
            Cell& shown = shownCells_[i];
            // Only changed cells go to ncurses: a page that changes a few
            // numbers per step costs a few cells, not the whole grid.
            if (!full && cell.ch == shown.ch && cell.fg == shown.fg && cell.bg == shown.bg)
                continue;
            shown = cell;
            unsigned attrs = A_NORMAL;
            const int pair = colorPairFor(cell.fg, cell.bg, attrs);
            wchar_t text[2] = {static_cast<wchar_t>(cell.ch < 32 ? U' ' : cell.ch), L'\0'};
            cchar_t cc;
            setcchar(&cc, text, attrs, static_cast<short>(pair), nullptr);
            // The bottom-right cell reports an error (the cursor cannot
            // advance) but is drawn.
            mvwadd_wch(stdscr, r - 1, c - 1, &cc);
        }
    }
    wmove(stdscr, grid.cursorRow() - 1, grid.cursorCol() - 1);
    curs_set(grid.cursorVisible() ? 1 : 0);
    showingTooSmall_ = false;
    needFullRedraw_ = false;
    shownCols_ = grid.cols();
    shownRows_ = grid.rows();
}

void TerminalBackend::drawTooSmall(const ScreenGrid& grid) {
    werase(stdscr);
    const std::string message = "Please enlarge the terminal to at least " +
                                std::to_string(grid.cols()) + " x " + std::to_string(grid.rows()) +
                                " (now " + std::to_string(COLS) + " x " + std::to_string(LINES) +
                                "); Ctrl-C quits";
    unsigned attrs = A_NORMAL;
    const int pair = colorPairFor(Color::LightGrey, Color::Black, attrs);
    wattr_set(stdscr, attrs, static_cast<short>(pair), nullptr);
    mvwaddnstr(stdscr, 0, 0, message.c_str(), COLS);
    wattr_set(stdscr, A_NORMAL, 0, nullptr);
    curs_set(0);
    showingTooSmall_ = true;
}

void TerminalBackend::present(const ScreenGrid& grid, bool force) {
    if (!active_) return;
    if (force) needFullRedraw_ = true;
    if (!fits(grid)) {
        if (!showingTooSmall_ || needFullRedraw_) {
            drawTooSmall(grid);
            needFullRedraw_ = false;
            wrefresh(stdscr);
        }
        return;
    }
    if (!needFullRedraw_ && !showingTooSmall_ && grid.revision() == shownRevision_) return;
    drawGrid(grid);
    shownRevision_ = grid.revision();
    lastPresent_ = std::chrono::steady_clock::now();
    wrefresh(stdscr);
}

std::optional<Event> TerminalBackend::translate(int kind, unsigned ch, const ScreenGrid& grid) {
    Event event;
    if (kind == OK) {
        event.key = keyFromCharacter(ch);
        return event;
    }
    if (kind != KEY_CODE_YES) return std::nullopt;
    if (ch == KEY_RESIZE) {
        present(grid, true);
        return std::nullopt;
    }
    if (ch == KEY_MOUSE) {
        MEVENT mouse;
        if (getmouse(&mouse) != OK) return std::nullopt;
        if (mouse.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED))
            event.key = Key::Click;
        else if (mouse.bstate & (BUTTON3_PRESSED | BUTTON3_CLICKED))
            event.key = Key::RightClick;
        else
            return std::nullopt;
        event.col = mouse.x + 1;
        event.row = mouse.y + 1;
        if (event.col > grid.cols() || event.row > grid.rows()) return std::nullopt;
        return event;
    }
    if (const auto key = keyFromCurses(static_cast<int>(ch))) {
        event.key = *key;
        return event;
    }
    return std::nullopt;
}

Event TerminalBackend::readEvent(const ScreenGrid& grid) {
    for (;;) {
        present(grid, false);
        if (auto gfx = pollGfxEvent()) return *gfx;
        wtimeout(stdscr, gfxEventsExpected() ? kGfxPollMs : -1);
        wint_t ch = 0;
        const int kind = wget_wch(stdscr, &ch);
        if (kind == ERR) continue;
        const auto event = translate(kind, static_cast<unsigned>(ch), grid);
        if (!event) continue;
        if (!fits(grid)) continue; // waiting for a larger terminal
        return *event;
    }
}

std::optional<Event> TerminalBackend::pollEvent(const ScreenGrid& grid) {
    if (std::chrono::steady_clock::now() - lastPresent_ >= kPollPresentInterval)
        present(grid, false);
    if (auto gfx = pollGfxEvent()) return gfx;
    wtimeout(stdscr, 0);
    for (;;) {
        wint_t ch = 0;
        const int kind = wget_wch(stdscr, &ch);
        if (kind == ERR) return std::nullopt;
        if (auto event = translate(kind, static_cast<unsigned>(ch), grid)) return event;
    }
}

void TerminalBackend::setTitle(std::string_view title) {
    if (!active_) return;
    std::string clean;
    for (char c : title) // no control characters may reach the terminal inside the sequence
        if (static_cast<unsigned char>(c) >= 32 && c != 127) clean += c;
    const char* tsl = tigetstr("tsl");
    const char* fsl = tigetstr("fsl");
    const auto usable = [](const char* cap) { return cap && cap != reinterpret_cast<char*>(-1); };
    if (usable(tsl) && usable(fsl)) {
        // Title sequences carry no padding: written as they are.
        std::fputs(tiparm(tsl, 0), out_);
        std::fputs(clean.c_str(), out_);
        std::fputs(fsl, out_);
    } else {
        const char* term = std::getenv("TERM");
        const std::string_view name = term ? term : "";
        if (!(startsWith(name, "xterm") || startsWith(name, "tmux") || startsWith(name, "screen") ||
              startsWith(name, "rxvt")))
            return; // the terminal has no title
        std::fprintf(out_, "\033]0;%s\007", clean.c_str());
    }
    std::fflush(out_);
}

} // namespace console
