// Child programs started from the console: found beside the executable or
// on PATH, run without a shell, waited for; in script mode with nothing to
// read, and no editor. Oracle: the children's own exit statuses and files.
#include "console/programs.h"
#include "script_session.h"

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

class ChildPrograms : public console_test::ScriptSession {};

TEST_F(ChildPrograms, FoundOnPathRunWithoutAShellAndWaitedFor) {
    start("");
    const auto sh = console::findSiblingProgram("sh");
    ASSERT_TRUE(sh);
    const std::string marker = console_test::tempPath("marker");
    // The arguments reach the child as they are: no shell splits or expands them.
    const auto run =
        console::runProgramAndWait(*sh, {"-c", "read x || echo eof > \"$0\"; exit 7", marker});
    EXPECT_TRUE(run.started) << run.message;
    EXPECT_EQ(run.status, 7);
    EXPECT_EQ(console_test::readFile(marker), "eof\n"); // standard input was /dev/null
    fs::remove(marker);
    EXPECT_FALSE(console::findSiblingProgram("no-such-program-of-the-suite"));
    const auto missing = console::runProgramAndWait("/nonexistent/program", {});
    EXPECT_FALSE(missing.started);
    EXPECT_NE(missing.message.find("/nonexistent/program"), std::string::npos);
}

TEST_F(ChildPrograms, ThePathMapperStartsFromTheBuildAndEndsOnItsEmptyScript) {
    start("");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (std::string(TARVO_BIN_DIR) + ":" + oldPath).c_str(), 1);
    // A build without a data tree of its own (the sanitizer build) tests
    // against the tree it was given.
    const bool ownTree = std::string(TARVO_TEST_TREE).empty() || std::getenv("TARVO12DIR");
    if (!ownTree) setenv("TARVO12DIR", TARVO_TEST_TREE, 1);
    const auto run = console::startPathMapper();
    setenv("PATH", oldPath.c_str(), 1);
    if (!ownTree) unsetenv("TARVO12DIR");
    if (!fs::exists(fs::path(TARVO_BIN_DIR) / "umbravue"))
        GTEST_SKIP() << "umbravue is not built in " << TARVO_BIN_DIR;
    EXPECT_TRUE(run.started) << run.message;
    EXPECT_EQ(run.status, 0);
}

TEST_F(ChildPrograms, NoEditorInScriptMode) {
    start("");
    const auto run = console::editTextFile("/tmp/UMBRAVUE.CFG");
    EXPECT_FALSE(run.started);
    EXPECT_NE(run.message.find("script mode"), std::string::npos);
}

} // namespace
