// The script backend: answers key reads from a parsed script and checks the
// script's expectations against the grid. Nothing is shown and nothing
// waits for the clock.
#pragma once

#include "backend.h"
#include "script.h"

#include <deque>
#include <string>
#include <vector>

namespace console {

class ScriptBackend final : public Backend {
  public:
    // Esc answers to reads after the script's end before the program is
    // taken to be stuck.
    static constexpr int kMaxReadsAfterEnd = 1000;

    ScriptBackend(std::vector<ScriptAction> actions, std::string sourceName);

    bool isScript() const override { return true; }
    void present(const ScreenGrid&, bool) override {}
    Event readEvent(const ScreenGrid& grid) override;
    std::optional<Event> pollEvent(const ScreenGrid& grid) override;
    void setTitle(std::string_view) override {}
    int screenCols() const override { return 0; }
    int screenRows() const override { return 0; }
    int shutdown(const ScreenGrid& grid) override;

  private:
    // Checks the expect actions from next_ up to the next input action;
    // returns false (message printed) at the first that fails.
    bool checkExpectations(const ScreenGrid& grid);
    Event takeInput(const ScriptAction& action);
    void reportScreen(const ScreenGrid& grid) const;

    std::vector<ScriptAction> actions_;
    std::string sourceName_;
    std::size_t next_ = 0;      // next action to use
    std::deque<Event> pending_; // rest of a `text` action
    int readsAfterEnd_ = 0;
    bool mouseDown_ = false; // a graphics click is being handled: released at the next read
    int mouseX_ = 0, mouseY_ = 0;
    bool finished_ = false;
};

} // namespace console
