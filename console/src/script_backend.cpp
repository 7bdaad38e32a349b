// The script backend's answers to key reads.
#include "script_backend.h"

#include "gfx_host.h"

#include <cstdio>
#include <utility>

namespace console {

ScriptBackend::ScriptBackend(std::vector<ScriptAction> actions, std::string sourceName)
    : actions_(std::move(actions)), sourceName_(std::move(sourceName)) {}

void ScriptBackend::reportScreen(const ScreenGrid& grid) const {
    std::fprintf(stderr, "--- screen (%d x %d) ---\n%s\n--- end of screen ---\n", grid.cols(),
                 grid.rows(), grid.text().c_str());
}

bool ScriptBackend::checkExpectations(const ScreenGrid& grid) {
    while (next_ < actions_.size() && actions_[next_].kind == ScriptAction::Kind::Expect) {
        const ScriptAction& expect = actions_[next_];
        if (!grid.contains(expect.text)) {
            std::fprintf(stderr, "%s line %d: expected text not on the screen: \"%s\"\n",
                         sourceName_.c_str(), expect.line, expect.text.c_str());
            reportScreen(grid);
            finished_ = true;
            return false;
        }
        ++next_;
    }
    return true;
}

Event ScriptBackend::takeInput(const ScriptAction& action) {
    Event event;
    switch (action.kind) {
    case ScriptAction::Kind::Key:
        event.key = action.key;
        break;
    case ScriptAction::Kind::Text: {
        std::size_t pos = 0;
        while (pos < action.text.size()) {
            Event ch;
            ch.key = static_cast<int>(decodeNextChar(action.text, pos));
            pending_.push_back(ch);
        }
        Event enter;
        enter.key = Key::Enter;
        pending_.push_back(enter);
        event = pending_.front();
        pending_.pop_front();
        break;
    }
    case ScriptAction::Kind::Click:
    case ScriptAction::Kind::RightClick:
        event.key = action.kind == ScriptAction::Kind::Click ? Key::Click : Key::RightClick;
        event.col = action.a;
        event.row = action.b;
        break;
    case ScriptAction::Kind::GfxClick:
    case ScriptAction::Kind::GfxRightClick: {
        const bool left = action.kind == ScriptAction::Kind::GfxClick;
        event.key = left ? Key::GfxClick : Key::GfxRightClick;
        event.x = action.a;
        event.y = action.b;
        gfxSetMouse(event.x, event.y, left ? 1 : 2);
        mouseDown_ = true;
        mouseX_ = event.x;
        mouseY_ = event.y;
        break;
    }
    case ScriptAction::Kind::Expect:
        break; // handled by checkExpectations
    }
    return event;
}

Event ScriptBackend::readEvent(const ScreenGrid& grid) {
    if (mouseDown_) { // the program has handled the graphics click: release the button
        gfxSetMouse(mouseX_, mouseY_, 0);
        mouseDown_ = false;
    }
    if (!pending_.empty()) {
        const Event event = pending_.front();
        pending_.pop_front();
        return event;
    }
    if (!checkExpectations(grid)) exitProgram(3);
    if (next_ < actions_.size()) return takeInput(actions_[next_++]);

    if (++readsAfterEnd_ > kMaxReadsAfterEnd) {
        std::fprintf(stderr,
                     "%s: the script has ended and the program went on reading keys: %d reads "
                     "answered with Esc did not end it\n",
                     sourceName_.c_str(), kMaxReadsAfterEnd);
        reportScreen(grid);
        finished_ = true;
        exitProgram(4);
    }
    Event esc;
    esc.key = Key::Esc;
    return esc;
}

std::optional<Event> ScriptBackend::pollEvent(const ScreenGrid& grid) {
    if (!pending_.empty()) return std::nullopt; // a line is being typed: for readLine
    std::size_t input = next_;
    while (input < actions_.size() && actions_[input].kind == ScriptAction::Kind::Expect) ++input;
    if (input >= actions_.size()) return std::nullopt;
    const ScriptAction& action = actions_[input];
    if (action.kind != ScriptAction::Kind::Key || action.key != Key::Esc) return std::nullopt;
    if (!checkExpectations(grid)) exitProgram(3);
    ++next_;
    Event esc;
    esc.key = Key::Esc;
    return esc;
}

int ScriptBackend::shutdown(const ScreenGrid& grid) {
    if (finished_) return 0;
    finished_ = true;
    if (!checkExpectations(grid)) return 3;
    if (next_ < actions_.size())
        std::fprintf(stderr, "%s: the program ended before the script did (unused from line %d)\n",
                     sourceName_.c_str(), actions_[next_].line);
    return 0;
}

} // namespace console
