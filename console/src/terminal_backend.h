// The terminal backend: the grid on an ncursesw screen, keys and mouse
// clicks from the terminal, and the graphics window's events in the same
// loop. The only code of the suite that talks to ncurses.
#pragma once

#include "backend.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct screen; // ncurses' SCREEN

namespace console {

class TerminalBackend final : public Backend {
  public:
    // Takes over the terminal on standard input; null (and why) when it
    // cannot be driven.
    static std::unique_ptr<TerminalBackend> start(std::string& why);
    ~TerminalBackend() override;

    bool isScript() const override { return false; }
    void present(const ScreenGrid& grid, bool force) override;
    Event readEvent(const ScreenGrid& grid) override;
    std::optional<Event> pollEvent(const ScreenGrid& grid) override;
    void setTitle(std::string_view title) override;
    void releaseTerminal() override;
    void reclaimTerminal(const ScreenGrid& grid) override;
    int screenCols() const override;
    int screenRows() const override;
    int shutdown(const ScreenGrid& grid) override;

  private:
    TerminalBackend() = default;
    bool fits(const ScreenGrid& grid) const;
    void drawGrid(const ScreenGrid& grid);
    void drawTooSmall(const ScreenGrid& grid);
    // One input from ncurses: an event, or nothing (resize, ignored keys).
    std::optional<Event> translate(int kind, unsigned ch, const ScreenGrid& grid);
    int colorPairFor(int fg, int bg, unsigned& extraAttrs) const;

    screen* screen_ = nullptr;
    std::FILE* out_ = nullptr;
    bool ownsOut_ = false;
    int colorMode_ = 0; // 0 none, 8 or 16 colours
    std::uint64_t shownRevision_ = 0;
    bool showingTooSmall_ = false;
    bool needFullRedraw_ = true;
    int shownCols_ = 0, shownRows_ = 0; // grid size last drawn
    std::vector<Cell> shownCells_;      // the cells last handed to ncurses
    std::chrono::steady_clock::time_point lastPresent_{};
    bool active_ = false;
};

} // namespace console
