// The line editor's rules, apart from any screen. Oracle: the editing keys
// of a one-line input field as a user expects them.
#include "line_editor.h"

#include <gtest/gtest.h>

namespace {

using console::Event;
using console::LineEditor;
namespace Key = console::Key;

Event key(int k) {
    Event e;
    e.key = k;
    return e;
}

void type(LineEditor& ed, std::u32string_view text) {
    for (char32_t c : text) ed.apply(key(static_cast<int>(c)));
}

TEST(LineEditing, InsertMoveAndErase) {
    LineEditor ed(20, "");
    type(ed, U"2026 9");
    ed.apply(key(Key::Left));
    type(ed, U"12 ");
    EXPECT_EQ(ed.utf8(), "2026 12 9");
    ed.apply(key(Key::Home));
    ed.apply(key(Key::Delete));
    EXPECT_EQ(ed.utf8(), "026 12 9");
    ed.apply(key(Key::End));
    ed.apply(key(Key::Backspace));
    EXPECT_EQ(ed.utf8(), "026 12 ");
    EXPECT_EQ(ed.caret(), 7);
}

TEST(LineEditing, EditsAtTheEdgesAreHarmless) {
    LineEditor ed(5, "ab");
    ed.apply(key(Key::Right)); // already at the end
    ed.apply(key(Key::Delete));
    EXPECT_EQ(ed.utf8(), "ab");
    ed.apply(key(Key::Home));
    ed.apply(key(Key::Left));
    ed.apply(key(Key::Backspace));
    EXPECT_EQ(ed.utf8(), "ab");
    EXPECT_EQ(ed.caret(), 0);
}

TEST(LineEditing, CapacityLimitsTheText) {
    LineEditor ed(3, "abcdef"); // a longer start text is cut
    EXPECT_EQ(ed.utf8(), "abc");
    type(ed, U"x");
    EXPECT_EQ(ed.utf8(), "abc");
}

TEST(LineEditing, NonCharacterKeysAreIgnored) {
    LineEditor ed(10, "");
    for (int k : {Key::F1, Key::Up, Key::Click, Key::GfxClick, Key::Tab, 127, 7})
        EXPECT_EQ(ed.apply(key(k)), LineEditor::Outcome::Editing);
    EXPECT_EQ(ed.utf8(), "");
}

TEST(LineEditing, EnterAcceptsEscAbandons) {
    LineEditor ed(10, "x");
    EXPECT_EQ(ed.apply(key(Key::Enter)), LineEditor::Outcome::Accepted);
    EXPECT_EQ(ed.apply(key(Key::Esc)), LineEditor::Outcome::Abandoned);
}

TEST(LineEditing, UnicodeCharactersAreOneEach) {
    LineEditor ed(2, "");
    type(ed, U"\u00B0\u2593x");
    EXPECT_EQ(ed.utf8(), "\xC2\xB0\xE2\x96\x93");
}

} // namespace
