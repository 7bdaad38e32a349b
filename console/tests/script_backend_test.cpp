// The script backend in this process: what each action delivers to the
// program's reads, when expectations are checked, what an exhausted script
// answers and what the transcript holds. Oracle: the script rules in the
// console's header.
#include "script_session.h"

#include <gtest/gtest.h>

namespace {

using namespace console;
using console_test::ScriptSession;

class ScriptReads : public ScriptSession {};

TEST_F(ScriptReads, KeyActionsDeliverTheirKeys) {
    start("key a\nkey Esc\nkey Enter\nkey Space\nkey Tab\nkey Backspace\nkey Up\nkey PgDn\n"
          "key Home\nkey End\nkey F1\nkey F12\nkey \xC2\xB0\n");
    for (int expected : {int('a'), Key::Esc, Key::Enter, Key::Space, Key::Tab, Key::Backspace,
                         Key::Up, Key::PgDn, Key::Home, Key::End, Key::F1, Key::F12, 0xB0})
        EXPECT_EQ(readKey().key, expected);
}

TEST_F(ScriptReads, TextTypesItsCharactersThenEnter) {
    start("text a b\ntext\n");
    EXPECT_EQ(readKey().key, 'a');
    EXPECT_EQ(readKey().key, ' ');
    EXPECT_EQ(readKey().key, 'b');
    EXPECT_EQ(readKey().key, Key::Enter);
    EXPECT_EQ(readKey().key, Key::Enter); // empty text: a bare Enter
}

TEST_F(ScriptReads, ClicksCarryTheirCellOrPixel) {
    start("click 5 7\nrclick 81 27\ngclick 100 200\ngrclick 3 4\n");
    Event e = readKey();
    EXPECT_EQ(e.key, Key::Click);
    EXPECT_EQ(e.col, 5);
    EXPECT_EQ(e.row, 7);
    e = readKey();
    EXPECT_EQ(e.key, Key::RightClick);
    EXPECT_EQ(e.col, 81);
    EXPECT_EQ(e.row, 27);
    e = readKey();
    EXPECT_EQ(e.key, Key::GfxClick);
    EXPECT_EQ(e.x, 100);
    EXPECT_EQ(e.y, 200);
    e = readKey();
    EXPECT_EQ(e.key, Key::GfxRightClick);
    EXPECT_EQ(e.x, 3);
    EXPECT_EQ(e.y, 4);
}

TEST_F(ScriptReads, ExhaustedScriptAnswersEsc) {
    start("key x\n");
    EXPECT_EQ(readKey().key, 'x');
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(readKey().key, Key::Esc) << "read " << i;
}

TEST_F(ScriptReads, ReadLineTakesATextAction) {
    start("text 2026 12 9\n");
    locate(5, 10);
    print("Date: ");
    const auto line = readLine(20);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(*line, "2026 12 9");
    EXPECT_NE(rowText(5).find("Date: 2026 12 9"), std::string::npos);
}

TEST_F(ScriptReads, ReadLineEscAbandons) {
    start("key a\nkey Esc\n");
    EXPECT_FALSE(readLine(10).has_value());
}

// A pause of an hour would stop the test run if it waited at all.
TEST_F(ScriptReads, PausesDoNotWaitInScripts) {
    start("key a\n");
    pauseMs(3600 * 1000);
    EXPECT_EQ(readKey().key, 'a');
}

using ScriptExpectations = ScriptSession;

TEST_F(ScriptExpectations, CheckedAgainstTheScreenAtTheRead) {
    start("expect Main menu\nexpect 81 x 27\nkey 1\nexpect Second page\nkey 2\n");
    printAt(1, 1, "Main menu  81 x 27");
    EXPECT_EQ(readKey().key, '1');
    clear();
    printAt(3, 3, "Second page");
    EXPECT_EQ(readKey().key, '2');
    EXPECT_EQ(finish(), 0);
}

TEST_F(ScriptExpectations, FailureEndsWithStatus3AndShowsTheScreen) {
    start("expect Not there\nkey 1\n");
    printAt(2, 2, "Something else");
    EXPECT_EXIT(readKey(), ::testing::ExitedWithCode(3),
                "line 1: expected text not on the screen: \"Not there\"(.|\n)*Something else");
}

TEST_F(ScriptExpectations, LeftAtTheEndAreCheckedWhenTheProgramEnds) {
    start("key 1\nexpect Goodbye\n");
    readKey();
    printAt(1, 1, "Goodbye");
    EXPECT_EQ(finish(), 0);
}

TEST_F(ScriptExpectations, LeftAtTheEndAndMissingGiveStatus3) {
    start("key 1\nexpect Goodbye\n");
    readKey();
    printAt(1, 1, "Hello");
    EXPECT_EQ(finish(), 3);
}

TEST_F(ScriptExpectations, AMessageBoxIsPartOfTheScreenUntilClosed) {
    start("expect Box text\nexpect Caption\nkey x\n");
    printAt(1, 1, "Under the box");
    ConsoleMessageBox("Box text", 0, "Caption");
    EXPECT_EQ(rowText(1).substr(0, 13), "Under the box"); // restored afterwards
    EXPECT_EQ(finish(), 0);
}

// A message quoting a damaged file shows its control characters, never
// sends them: no escape sequence, bell or carriage return reaches the grid.
TEST_F(ScriptExpectations, ControlCharactersInAMessageBoxAreShownAsCaretPairs) {
    start("expect \"^[[2J^Gx^Md^?\" is not a number\nexpect two\nkey x\n");
    ConsoleMessageBox("F.TVX: line 3: \"\x1b[2J\x07x\rd\x7f\" is not a number\r\ntwo\tlines", 0,
                      "Cap\x1btion");
    EXPECT_EQ(finish(), 0);
}

TEST(ScriptExhaustion, TheThousandAndFirstReadEndsWithStatus4) {
    const std::string path = ::testing::TempDir() + "console_exhaustion_script.txt";
    console_test::writeFile(path, "key a\n");
    EXPECT_EXIT(
        {
            Options options;
            options.scriptPath = path;
            InitConsoleTools(options);
            readKey();
            for (int i = 0; i < 1000; ++i) readKey();
            std::fprintf(stderr, "1000 Esc answers given\n");
            readKey();
        },
        ::testing::ExitedWithCode(4), "1000 Esc answers given\n(.|\n)*did not end it");
}

using ScriptPolling = ScriptSession;

TEST_F(ScriptPolling, ReturnsOnlyAnEscThatIsNext) {
    start("key a\nkey Esc\nexpect Loop\nkey Esc\ntext x\n");
    EXPECT_FALSE(pollKey().has_value()); // next is 'a': left for readKey
    EXPECT_EQ(readKey().key, 'a');
    const auto esc = pollKey();
    ASSERT_TRUE(esc.has_value());
    EXPECT_EQ(esc->key, Key::Esc);
    printAt(1, 1, "Loop 5");
    const auto second = pollKey(); // the expect before it is checked and passes
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->key, Key::Esc);
    EXPECT_FALSE(pollKey().has_value()); // text is left for readLine
    EXPECT_EQ(readKey().key, 'x');
    EXPECT_FALSE(pollKey().has_value()); // inside a text action
    EXPECT_EQ(readKey().key, Key::Enter);
    EXPECT_FALSE(pollKey().has_value()); // exhausted: no key
    EXPECT_EQ(readKey().key, Key::Esc);
}

TEST_F(ScriptPolling, AFailedExpectBeforeThePolledEscEndsWithStatus3) {
    start("expect Loop\nkey Esc\n");
    EXPECT_EXIT(pollKey(), ::testing::ExitedWithCode(3), "expected text not on the screen");
}

using ScriptTranscript = ScriptSession;

TEST_F(ScriptTranscript, FramesEveryKeyRead) {
    start("key a\nkey b\n", true);
    printAt(1, 1, "first");
    readKey();
    printAt(1, 1, "second");
    readKey();
    pollKey(); // polls are no key reads
    readKey();
    finish();
    const std::string text = console_test::readFile(transcriptPath);
    const std::string blankRows(26, '\n');
    EXPECT_EQ(text, "=== screen 1 ===\nfirst" + blankRows + "\n=== screen 2 ===\nsecond" +
                        blankRows + "\n=== screen 3 ===\nsecond" + blankRows + "\n");
}

TEST_F(ScriptTranscript, AppendsToAnExistingFile) {
    transcriptPath = console_test::tempPath("transcript.txt");
    console_test::writeFile(transcriptPath, "earlier run\n");
    Options options;
    options.scriptPath = console_test::tempPath("script.txt");
    console_test::writeFile(options.scriptPath, "key a\n");
    options.transcriptPath = transcriptPath;
    InitConsoleTools(options);
    setSize(3, 1);
    clear();
    readKey();
    finish();
    EXPECT_EQ(console_test::readFile(transcriptPath), "earlier run\n=== screen 1 ===\n\n");
}

} // namespace
