// The console as a program meets it: the demo program run in a child
// process on scripts, checking exit statuses, messages and transcripts.
// Oracle: the script rules of the console's header (statuses 2, 3, 4 and
// the normal end when Esc unwinds the menus).
#include "run_process.h"
#include "script_session.h"

#include <gtest/gtest.h>

namespace {

using console_test::readFile;
using console_test::runProcess;
using console_test::tempPath;
using console_test::writeFile;

const std::string kDemo = std::string(TARVO_BIN_DIR) + "/console_demo";

class DemoRun : public ::testing::Test {
  protected:
    void SetUp() override {
        if (access(kDemo.c_str(), X_OK) != 0) GTEST_SKIP() << "demo program not built: " << kDemo;
    }
    // Runs the demo with this script given by --script (or on standard
    // input) and any extra arguments.
    console_test::ProcessResult run(const std::string& script, bool onStdin = false,
                                    std::vector<std::string> extra = {}) {
        const std::string scriptPath = tempPath("script.txt");
        writeFile(scriptPath, script);
        std::vector<std::string> args = {kDemo};
        if (!onStdin) args.insert(args.end(), {"--script", scriptPath});
        args.insert(args.end(), extra.begin(), extra.end());
        return runProcess(args, onStdin ? scriptPath : "/dev/null", tempPath("run"));
    }
};

TEST_F(DemoRun, AScriptDrivesMenusPromptsKeysAndClicks) {
    const auto r = run("expect Console demo\n"
                       "expect Sky 21\xC2\xB0 \xE2\x96\x93\xE2\x96\x93\n"
                       "key 1\n"
                       "text hello world\n"
                       "expect Line: [hello world]\n"
                       "click 8 5\n" // the line "2. Read keys"
                       "expect Press keys\n"
                       "key F5\n"
                       "expect Got key F5\n"
                       "rclick 3 4\n"
                       "expect Got rclick col 3 row 4\n"
                       "gclick 10 20\n"
                       "expect Got gclick x 10 y 20\n"
                       "key Esc\n"
                       "expect Keys done\n"
                       "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

TEST_F(DemoRun, ScriptOnStandardInputWhenNoTerminal) {
    const auto r = run("key 1\ntext abc\nexpect Line: [abc]\nexpect script\n", true);
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(DemoRun, FailedExpectEndsWithStatus3AndPrintsTheScreen) {
    const auto r = run("key 1\ntext abc\nexpect Line: [xyz]\nkey Esc\n");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("line 3: expected text not on the screen: \"Line: [xyz]\""),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Line: [abc]"), std::string::npos) << "the screen is shown:\n" << r.err;
}

TEST_F(DemoRun, FailedExpectAtTheVeryEndStillCounts) {
    const auto r = run("key Esc\nexpect Never shown\n");
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_NE(r.err.find("Never shown"), std::string::npos);
}

TEST_F(DemoRun, ExhaustedScriptUnwindsWithEsc) {
    const auto r = run("key 2\nkey a\n"); // leaves the demo inside its key-echo screen
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(DemoRun, AProgramThatIgnoresEscEndsWithStatus4) {
    const auto r = run("key 5\n"); // a screen only 'q' leaves
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("did not end it"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Only q leaves"), std::string::npos) << r.err;
}

TEST_F(DemoRun, BadScriptLineEndsWithStatus2BeforeAnythingRuns) {
    const auto r = run("key 1\ntext abc\nclick 4\n", false, {"--transcript", tempPath("t.txt")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 3: click COL ROW needs two numbers"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(tempPath("t.txt")), ""); // no screen was read
}

TEST_F(DemoRun, UnreadableScriptEndsWithStatus2) {
    const auto r =
        runProcess({kDemo, "--script", tempPath("missing.txt")}, "/dev/null", tempPath("run"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot read the script"), std::string::npos) << r.err;
}

// A script without end is refused once it passes the size limit: the
// program neither hangs nor fills the memory.
TEST_F(DemoRun, EndlessScriptSourceEndsWithStatus2) {
    auto r = runProcess({kDemo, "--script", "/dev/zero"}, "/dev/null", tempPath("run"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("/dev/zero: script too large"), std::string::npos) << r.err;
    r = runProcess({kDemo}, "/dev/zero", tempPath("run")); // the same on standard input
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("script on standard input: script too large"), std::string::npos) << r.err;
}

TEST_F(DemoRun, DirectoryAsScriptEndsWithStatus2) {
    const auto r =
        runProcess({kDemo, "--script", ::testing::TempDir()}, "/dev/null", tempPath("run"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("is a directory"), std::string::npos) << r.err;
}

TEST_F(DemoRun, UnwritableTranscriptEndsWithStatus2) {
    const auto r = run("key Esc\n", false, {"--transcript", "/nonexistent-dir/t.txt"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot open the transcript /nonexistent-dir/t.txt"), std::string::npos)
        << r.err;
}

TEST_F(DemoRun, MissingOptionArgumentEndsWithStatus2) {
    const auto r = runProcess({kDemo, "--script"}, "/dev/null", tempPath("run"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--script needs a file name"), std::string::npos) << r.err;
}

TEST_F(DemoRun, LongLoopRunsToItsEndUnlessTheScriptPressesEsc) {
    auto r = run("key 4\nexpect Loop finished\n");
    EXPECT_EQ(r.status, 0) << r.err;
    r = run("key 4\nkey Esc\nexpect Loop interrupted at 0\n");
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(DemoRun, TranscriptHoldsOneFramePerKeyRead) {
    const std::string transcript = tempPath("transcript.txt");
    std::remove(transcript.c_str());
    const auto r = run("key 3\nkey x\n", false, {"--transcript", transcript});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = readFile(transcript);
    // Reads: the menu, the message box, the menu again, the exhausted Esc.
    for (const char* frame : {"=== screen 1 ===\n", "=== screen 2 ===\n", "=== screen 3 ===\n"})
        EXPECT_NE(text.find(frame), std::string::npos) << frame;
    EXPECT_EQ(text.find("=== screen 4 ==="), std::string::npos);
    const auto box = text.find("Demo box");
    EXPECT_GT(box, text.find("=== screen 2 ==="));
    EXPECT_LT(box, text.find("=== screen 3 ==="));
    EXPECT_NE(text.find("Box closed", text.find("=== screen 3 ===")), std::string::npos);
}

} // namespace
