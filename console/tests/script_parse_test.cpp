// Parsing of script files. Oracle: the script language as the console's
// header documents it; each case is a line a user could write.
#include "script.h"

#include "console/keys.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using console::parseScript;
using console::Key::Esc;
using Kind = console::ScriptAction::Kind;

TEST(ScriptActions, EveryActionParses) {
    const auto parsed = parseScript("key a\n"
                                    "key Esc\n"
                                    "text hello  world \n"
                                    "text\n"
                                    "click 3 4\n"
                                    "rclick 81 27\n"
                                    "gclick 0 10\n"
                                    "grclick 640 480\n"
                                    "expect Main menu\n",
                                    "s.txt");
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.actions.size(), 9u);
    EXPECT_EQ(parsed.actions[0].kind, Kind::Key);
    EXPECT_EQ(parsed.actions[0].key, 'a');
    EXPECT_EQ(parsed.actions[1].key, Esc);
    EXPECT_EQ(parsed.actions[2].kind, Kind::Text);
    EXPECT_EQ(parsed.actions[2].text, "hello  world "); // inner and trailing blanks kept
    EXPECT_EQ(parsed.actions[3].text, "");              // a bare Enter
    EXPECT_EQ(parsed.actions[4].kind, Kind::Click);
    EXPECT_EQ(parsed.actions[4].a, 3);
    EXPECT_EQ(parsed.actions[4].b, 4);
    EXPECT_EQ(parsed.actions[5].kind, Kind::RightClick);
    EXPECT_EQ(parsed.actions[6].kind, Kind::GfxClick);
    EXPECT_EQ(parsed.actions[6].a, 0);
    EXPECT_EQ(parsed.actions[7].kind, Kind::GfxRightClick);
    EXPECT_EQ(parsed.actions[7].b, 480);
    EXPECT_EQ(parsed.actions[8].kind, Kind::Expect);
    EXPECT_EQ(parsed.actions[8].text, "Main menu");
    EXPECT_EQ(parsed.actions[8].line, 9);
}

TEST(ScriptActions, CommentsBlankLinesCrLfAndByteOrderMark) {
    const auto parsed = parseScript("\xEF\xBB\xBF# a comment\r\n\r\n   # indented comment\r\n"
                                    "  key 1\r\ntext #5 is not a comment\r\n",
                                    "s.txt");
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.actions.size(), 2u);
    EXPECT_EQ(parsed.actions[0].key, '1');
    EXPECT_EQ(parsed.actions[0].line, 4);
    EXPECT_EQ(parsed.actions[1].text, "#5 is not a comment");
}

TEST(ScriptKeys, NamesInAnyCaseAndSingleCharacters) {
    using namespace console;
    EXPECT_EQ(keyFromName("Enter"), Key::Enter);
    EXPECT_EQ(keyFromName("ESC"), Key::Esc);
    EXPECT_EQ(keyFromName("space"), Key::Space);
    EXPECT_EQ(keyFromName("Tab"), Key::Tab);
    EXPECT_EQ(keyFromName("Backspace"), Key::Backspace);
    EXPECT_EQ(keyFromName("PgUp"), Key::PgUp);
    EXPECT_EQ(keyFromName("PgDn"), Key::PgDn);
    EXPECT_EQ(keyFromName("Home"), Key::Home);
    EXPECT_EQ(keyFromName("End"), Key::End);
    EXPECT_EQ(keyFromName("Up"), Key::Up);
    EXPECT_EQ(keyFromName("Down"), Key::Down);
    EXPECT_EQ(keyFromName("Left"), Key::Left);
    EXPECT_EQ(keyFromName("Right"), Key::Right);
    EXPECT_EQ(keyFromName("F1"), Key::F1);
    EXPECT_EQ(keyFromName("f12"), Key::F12);
    EXPECT_EQ(keyFromName("F"), 'F'); // one character is that character
    EXPECT_EQ(keyFromName("\xC2\xB0"), 0xB0);
    EXPECT_EQ(keyFromName("F13"), 0);
    EXPECT_EQ(keyFromName("Escape!"), 0);
}

// Each bad line is named by number with the reason.
struct BadLine {
    const char* script;
    const char* messagePart;
};

class ScriptErrors : public ::testing::TestWithParam<BadLine> {};

TEST_P(ScriptErrors, NameTheLineAndTheReason) {
    const auto parsed = parseScript(GetParam().script, "my.script");
    EXPECT_NE(parsed.error.find("my.script line 2: "), std::string::npos) << parsed.error;
    EXPECT_NE(parsed.error.find(GetParam().messagePart), std::string::npos) << parsed.error;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptErrors,
    ::testing::Values(BadLine{"key a\njump 3\n", "unknown action 'jump'"},
                      BadLine{"key a\nkey Escape\n", "unknown key 'Escape'"},
                      BadLine{"key a\nkey\n", "key needs a key"},
                      BadLine{"key a\nclick 3\n", "click COL ROW needs two numbers"}, // truncated
                      BadLine{"key a\nclick 3 x\n", "needs two whole numbers"},
                      BadLine{"key a\nclick 0 1\n", "1..1000"},
                      BadLine{"key a\nrclick 1 1001\n", "1..1000"},
                      BadLine{"key a\ngclick -1 5\n", "0..100000"},
                      BadLine{"key a\ngrclick 5 99999999999\n", "whole numbers"},
                      BadLine{"key a\nexpect\n", "expect needs the text"}),
    [](const ::testing::TestParamInfo<BadLine>& info) {
        return "case" + std::to_string(info.index);
    });

TEST(ScriptErrors, NulByteIsNoTextLine) {
    const std::string script("key a\nkey b\0z\n", 14);
    const auto parsed = parseScript(script, "my.script");
    EXPECT_NE(parsed.error.find("my.script line 2: not a text line"), std::string::npos)
        << parsed.error;
}

TEST(ScriptErrors, GarbageBytesAreABadLineNotACrash) {
    std::string garbage = "key a\n";
    for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131 + 7) % 256);
    const auto parsed = parseScript(garbage, "junk.bin");
    EXPECT_NE(parsed.error.find("junk.bin line 2"), std::string::npos) << parsed.error;
}

TEST(ScriptErrors, OversizedScriptIsRefusedWhole) {
    const std::string huge(console::kMaxScriptBytes + 1, '#');
    const auto parsed = parseScript(huge, "big.txt");
    EXPECT_NE(parsed.error.find("big.txt: script too large"), std::string::npos);
    EXPECT_TRUE(parsed.actions.empty());
}

TEST(ScriptErrors, LastLineWithoutNewlineStillCounts) {
    const auto parsed = parseScript("key a\nkey b", "s");
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.actions.size(), 2u);
}

} // namespace
