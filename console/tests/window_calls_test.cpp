// The console library's window calls in a script session. Oracles: uname(2)
// for the version numbers; the documented script screen (1920 x 1080 pixels,
// 8 x 16 cells) for the geometry queries.
#include "script_session.h"

#include "pictor.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <cstdio>

namespace {

using namespace console;
using WindowCalls = console_test::ScriptSession;

TEST_F(WindowCalls, GeometryQueries) {
    start("");
    EXPECT_EQ(ConsoleMetrics(1), 8);
    EXPECT_EQ(ConsoleMetrics(2), 16);
    EXPECT_EQ(ConsoleMetrics(3), 0); // a query that cannot answer
    setSize(108, 27);
    EXPECT_EQ(ConsoleInfo(4), 108);
    EXPECT_EQ(ConsoleInfo(5), 27);
    EXPECT_EQ(ConsoleInfo(34), 1920);
    EXPECT_EQ(ConsoleInfo(35), 1080);
    EXPECT_EQ(ConsoleInfo(44), 1920);
    EXPECT_EQ(ConsoleInfo(45), 1080);
    EXPECT_EQ(ConsoleInfo(25) - ConsoleInfo(15), 0); // no window frame
    EXPECT_GT(ConsoleInfo(15), 0);
    EXPECT_EQ(ConsoleInfo(99), 0);
}

// The path mapper's sizing rule must give a console that fits the screen.
TEST_F(WindowCalls, SizingRuleOfThePathMapperGivesAUsableGrid) {
    start("");
    const int cw = ConsoleMetrics(1), ch = ConsoleMetrics(2);
    const int cols = ConsoleInfo(34) / cw - 1;
    const int rows = ConsoleInfo(35) / ch - (ConsoleInfo(25) - ConsoleInfo(15)) / ch - 1;
    setSize(cols, rows);
    EXPECT_EQ(gridCols(), 239);
    EXPECT_EQ(gridRows(), 66);
}

TEST_F(WindowCalls, WindowRequestsAreAcceptedQuietly) {
    start("");
    EXPECT_EQ(ConsoleMove(-2, 0), 0);
    EXPECT_EQ(ConsoleWindow(3), 0);
    EXPECT_EQ(ConsoleTopMost(-1), 0);
    EXPECT_EQ(ConsoleStretch(), 0);
    EXPECT_EQ(ConsoleToForeGround(-1), 0);
    EXPECT_EQ(ConsoleFocus(), 0);
    EXPECT_EQ(ConsoleTitle("TARVO12.10"), -1);
    EXPECT_EQ(currentTitle(), "TARVO12.10");
}

TEST_F(WindowCalls, ToolbarStateIsRemembered) {
    start("");
    ConsoleToolBar(0, 5);
    EXPECT_EQ(ConsoleHasToolbar(), 0);
    ConsoleToolBar(-1, 5);
    EXPECT_EQ(ConsoleHasToolbar(), -1);
}

TEST(WindowsVersion, IsTheKernelVersionFromUname) {
    struct utsname names {};
    ASSERT_EQ(uname(&names), 0);
    int major = 0, minor = 0;
    ASSERT_EQ(std::sscanf(names.release, "%d.%d", &major, &minor), 2) << names.release;
    EXPECT_EQ(WindowsVersion(1), major);
    EXPECT_EQ(WindowsVersion(2), minor);
    EXPECT_EQ(WindowsVersion(3), 0);
}

// The real graphics library: the window opens off-screen with the pixel
// size of its cells, and script clicks place pictor's mouse. Oracle:
// pictor's own queries (GfxMetrics 2 and 7 give the canvas width and
// height; MouseOverX/Y the cursor in pixel coordinates).
TEST_F(WindowCalls, GraphicsWindowOpensInPictorWithTheCellsPixelSize) {
    start("gclick 30 40\nkey a\n");
    ASSERT_EQ(ConsoleGfx(1, 1, 80, 25), -1);
    EXPECT_NE(GfxIsOpen(0), 0);
    EXPECT_EQ(GfxMetrics(2), 80 * 8);
    EXPECT_EQ(GfxMetrics(7), 25 * 16);
    GfxOption(PICTOR_OPT_LOGICAL_WIDTH, 0); // coordinates in pixels
    GfxOption(PICTOR_OPT_LOGICAL_HEIGHT, 0);
    const Event click = readKey();
    EXPECT_EQ(click.key, Key::GfxClick);
    EXPECT_EQ(MouseOverX(), 30);
    EXPECT_EQ(MouseOverY(), 40);
    GfxWindow(1); // closed by the program, as the views do
    EXPECT_EQ(GfxIsOpen(0), 0);
}

// A program that starts the console from its command line and then makes
// the library's own start-up call keeps its script.
TEST_F(WindowCalls, TheLibraryStartUpCallKeepsAStartedConsole) {
    start("key z\n");
    int status = 7;
    EXPECT_EQ(InitConsoleTools(0, 0, 0, 3, &status), 0);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(isScriptMode());
    EXPECT_EQ(readKey().key, 'z');
}

TEST(ConsoleArguments, OptionsAreTakenOutOfArgv) {
    char a0[] = "prog", a1[] = "--script", a2[] = "s.txt", a3[] = "XXX",
         a4[] = "--transcript=t.txt", a5[] = "16100";
    char* argv[] = {a0, a1, a2, a3, a4, a5, nullptr};
    int argc = 6;
    const Options options = parseConsoleArgs(argc, argv);
    EXPECT_EQ(options.scriptPath, "s.txt");
    EXPECT_EQ(options.transcriptPath, "t.txt");
    ASSERT_EQ(argc, 3);
    EXPECT_STREQ(argv[1], "XXX");
    EXPECT_STREQ(argv[2], "16100");
    EXPECT_EQ(argv[3], nullptr);
}

TEST(ConsoleArguments, ScriptFromStandardInputByDash) {
    char a0[] = "prog", a1[] = "--script=-";
    char* argv[] = {a0, a1, nullptr};
    int argc = 2;
    EXPECT_EQ(parseConsoleArgs(argc, argv).scriptPath, "-");
    EXPECT_EQ(argc, 1);
}

TEST(ConsoleArguments, MissingFileNameEndsWithStatus2) {
    char a0[] = "prog", a1[] = "--transcript";
    char* argv[] = {a0, a1, nullptr};
    int argc = 2;
    EXPECT_EXIT(parseConsoleArgs(argc, argv), ::testing::ExitedWithCode(2),
                "--transcript needs a file name");
}

} // namespace
