// What the console front end asks of a backend. The terminal backend shows
// the grid and reads the keyboard and mouse; the script backend answers
// reads from a script and checks its expectations against the grid.
#pragma once

#include "console/keys.h"
#include "screen_grid.h"

#include <optional>
#include <string_view>

namespace console {

class Backend {
  public:
    virtual ~Backend() = default;
    virtual bool isScript() const = 0;

    // Shows the grid if it changed since it was last shown (or always when
    // force is set).
    virtual void present(const ScreenGrid& grid, bool force) = 0;
    // The next key or click; waits for it.
    virtual Event readEvent(const ScreenGrid& grid) = 0;
    // A waiting key or click, without waiting.
    virtual std::optional<Event> pollEvent(const ScreenGrid& grid) = 0;

    virtual void setTitle(std::string_view title) = 0;

    // Hands the terminal to a child program (its modes as the shell had
    // them) and takes it back afterwards, showing the whole grid again.
    // Nothing to do without a terminal.
    virtual void releaseTerminal() {}
    virtual void reclaimTerminal(const ScreenGrid&) {}
    // Size of the physical screen in cells (0 when there is none).
    virtual int screenCols() const = 0;
    virtual int screenRows() const = 0;

    // Ends the backend: restores the terminal, or checks what the script
    // still expects. Returns 0, or the exit status the program must end
    // with (3: an expectation failed; the message is already printed).
    virtual int shutdown(const ScreenGrid& grid) = 0;
};

} // namespace console
