// tarvo started for real, driven by key scripts, in data trees made for each
// test: found from USERDATA, through TARVO12DIR and from the command line,
// and refused with a clear message when a file is missing or damaged.
#include "program_runner.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using tarvo::testing::kTarvo;
using tarvo::testing::runProgram;

namespace {

const char* const kTitleScript =
    "expect High Precision Ephemerides by Numerical Integration\nkey Enter\n";

class StartupEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("ASC/TITLE.121", {"ASC", "CFG", "BIN"}); }
    bool shows(const std::string& text) const {
        return transcript().find(text) != std::string::npos;
    }
};

TEST_F(StartupEndToEnd, TitleScreenFromTheUserDataDirectory) {
    auto r = run(kTitleScript);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(shows("=== screen 1 ==="));
    EXPECT_TRUE(shows("High Precision Ephemerides by Numerical Integration"));
    EXPECT_TRUE(shows("Press a key to continue"));
}

TEST_F(StartupEndToEnd, EnvironmentVariableFromElsewhere) {
    fs::create_directories(root / "elsewhere");
    auto r = run(kTitleScript, "", root / "elsewhere", "TARVO12DIR='" + root.string() + "'");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(shows("Planetary files from"));
}

TEST_F(StartupEndToEnd, LowerCaseUserDataPathOnTheCommandLine) {
    fs::rename(root / "USERDATA", root / "userdata");
    auto r = run(kTitleScript, "'" + (root / "userdata").string() + "'", "/");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(shows("High Precision"));
}

TEST_F(StartupEndToEnd, MissingFileIsNamedWithTheDirectoriesSearched) {
    fs::remove(root / "ASC" / "COLORS.DAT");
    auto r = run("key Enter\n");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_TRUE(shows("ERROR 53 is in MAIN at line")) << transcript();
    EXPECT_TRUE(shows("COLORS.DAT not found in")) << transcript();
    EXPECT_TRUE(shows(root.string())) << transcript();
}

TEST_F(StartupEndToEnd, DamagedFileIsNamed) {
    std::ofstream(root / "CFG" / "GEOLOC.CRD") << "garbage\n";
    auto r = run("key Enter\n");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_TRUE(shows("GEOLOC.CRD"));
}

TEST_F(StartupEndToEnd, PrecessionTableOfTheWrongSizeIsNamed) {
    fs::resize_file(root / "BIN" / "PRECDATN.BIN", 320175);
    auto r = run("key Enter\n");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_TRUE(shows("PRECDATN.BIN")) << transcript();
    EXPECT_TRUE(shows("ERROR 62 is in MAIN")) << transcript();
}

TEST_F(StartupEndToEnd, NoTreeAnywhereSaysWhereItLooked) {
    fs::create_directories(root / "empty");
    auto r =
        run("key Enter\n", "", root / "empty", "TARVO12DIR='" + (root / "none").string() + "'");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_TRUE(shows((root / "none").string())) << transcript();
}

TEST_F(StartupEndToEnd, TableTooLargeIsRefusedWithAMessage) {
    auto r = run("key Enter\n", "999999999999");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_TRUE(shows("ERROR 7 is in MAIN"));
    EXPECT_TRUE(shows("999999999999"));
}

TEST_F(StartupEndToEnd, SmallTablesAreRaisedToWhatADataSetNeeds) {
    auto r = run(kTitleScript, "20");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
}

TEST_F(StartupEndToEnd, FailedExpectationEndsWithStatusThree) {
    auto r = run("expect Nothing like this is on the title screen\nkey Enter\n");
    EXPECT_EQ(r.status, 3) << r.output;
}

TEST_F(StartupEndToEnd, HelpAndVersion) {
    auto help = runProgram("'" + kTarvo.string() + "' --help", root);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("Usage: tarvo"), std::string::npos);
    auto version = runProgram("'" + kTarvo.string() + "' --version", root);
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.output.find("tarvo 12.1"), std::string::npos);
}

} // namespace
