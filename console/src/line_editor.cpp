// readLine: a one-row line editor at the cursor, built on readKey.
#include "line_editor.h"

#include "console/console.h"
#include "console_state.h"

#include <algorithm>

namespace console {

LineEditor::LineEditor(int capacity, std::string_view initial) : capacity_(std::max(capacity, 0)) {
    std::size_t pos = 0;
    while (pos < initial.size() && static_cast<int>(text_.size()) < capacity_)
        text_ += decodeNextChar(initial, pos);
    caret_ = static_cast<int>(text_.size());
}

LineEditor::Outcome LineEditor::apply(const Event& event) {
    const int length = static_cast<int>(text_.size());
    switch (event.key) {
    case Key::Enter:
        return Outcome::Accepted;
    case Key::Esc:
        return Outcome::Abandoned;
    case Key::Backspace:
        if (caret_ > 0) text_.erase(static_cast<std::size_t>(--caret_), 1);
        break;
    case Key::Delete:
        if (caret_ < length) text_.erase(static_cast<std::size_t>(caret_), 1);
        break;
    case Key::Left:
        caret_ = std::max(caret_ - 1, 0);
        break;
    case Key::Right:
        caret_ = std::min(caret_ + 1, length);
        break;
    case Key::Home:
        caret_ = 0;
        break;
    case Key::End:
        caret_ = length;
        break;
    default:
        if (isCharacterKey(event.key) && length < capacity_)
            text_.insert(static_cast<std::size_t>(caret_++), 1, static_cast<char32_t>(event.key));
        break;
    }
    return Outcome::Editing;
}

std::string LineEditor::utf8() const {
    std::string out;
    for (char32_t c : text_) out += utf8Encode(c);
    return out;
}

std::optional<std::string> readLine(int maxLen, std::string_view initial) {
    ScreenGrid& grid = consoleState().grid;
    const int row = grid.cursorRow();
    const int startCol = grid.cursorCol();
    const int room = grid.cols() - startCol + 1;
    // The caret may stand one cell past the last character, so keep one
    // cell free when the row is the limit.
    LineEditor editor(std::min(maxLen, std::max(room - 1, 1)), initial);
    const int fieldWidth = std::min(editor.capacity() + 1, room);
    const bool cursorWasVisible = grid.cursorVisible();
    grid.setCursorVisible(true);

    auto draw = [&] {
        const auto& text = editor.text();
        for (int i = 0; i < fieldWidth; ++i) {
            const char32_t ch = i < static_cast<int>(text.size()) ? text[i] : U' ';
            grid.setCell(row, startCol + i, Cell{ch, grid.fg(), grid.bg()});
        }
    };
    for (;;) {
        draw();
        grid.locate(row, startCol + editor.caret());
        const LineEditor::Outcome outcome = editor.apply(readKey());
        if (outcome == LineEditor::Outcome::Editing) continue;
        draw();
        grid.locate(row, startCol + static_cast<int>(editor.text().size()));
        grid.setCursorVisible(cursorWasVisible);
        if (outcome == LineEditor::Outcome::Abandoned) return std::nullopt;
        return editor.utf8();
    }
}

} // namespace console
