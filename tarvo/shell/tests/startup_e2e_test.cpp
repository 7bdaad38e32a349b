// tarvo started for real, driven by key scripts, in data trees made for each
// test: found from USERDATA, through TARVO12DIR and from the command line,
// and refused with a clear message when a file is missing or damaged.
#include "fileio/tree_manifest.h"
#include "program_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>

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

// Started elsewhere with TARVO12DIR, the data come from the tree and the
// user's files (here the collision logs) go to the current directory, or
// into its USERDATA subdirectory; never into the tree's USERDATA.
TEST_F(StartupEndToEnd, EnvironmentVariableFromElsewhereWritesHere) {
    const std::string trapOn = std::string(kTitleScript) +
                               "key X\nkey I\ntext 0.5\nexpect I. Trap Collisions:  On\n"
                               "key Esc\nkey Esc\n";
    fs::create_directories(root / "elsewhere");
    auto r = run(trapOn, "", root / "elsewhere", "TARVO12DIR='" + root.string() + "'");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_TRUE(shows("Planetary files from"));
    EXPECT_TRUE(fs::exists(root / "elsewhere" / "COLLIS.LOG"));
    EXPECT_TRUE(fs::exists(root / "elsewhere" / "EJECTED.LOG"));
    EXPECT_FALSE(fs::exists(root / "USERDATA" / "COLLIS.LOG"));

    fs::create_directories(root / "project" / "USERDATA");
    r = run(trapOn, "", root / "project", "TARVO12DIR='" + root.string() + "'");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_TRUE(fs::exists(root / "project" / "USERDATA" / "COLLIS.LOG"));
    EXPECT_FALSE(fs::exists(root / "project" / "COLLIS.LOG"));
    EXPECT_FALSE(fs::exists(root / "USERDATA" / "COLLIS.LOG"));
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

// A file of the tree changed after it was built is named at start-up with
// the command that rebuilds it; the program goes on.
TEST_F(StartupEndToEnd, AFileChangedSinceTheTreeWasBuiltIsNamed) {
    std::string message;
    ASSERT_TRUE(tarvo::writeTreeManifest(root, message)) << message;
    auto r = run(kTitleScript);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_FALSE(shows("Rebuild it with")) << "an intact tree says nothing";
    {
        std::fstream f(root / "ASC" / "PLCOL.DAT", std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(3);
        f.put('#');
    }
    fs::last_write_time(root / "ASC" / "PLCOL.DAT",
                        fs::last_write_time(root / tarvo::kTreeManifestName) +
                            std::chrono::seconds(5));
    fs::remove(root / "BIN" / "PLXSH.BIN");
    r = run(std::string(kTitleScript) +
            "expect Changed since the data tree\nexpect ASC/PLCOL.DAT\nexpect BIN/PLXSH.BIN\n"
            "expect Rebuild it with\nkey Enter\nkey Esc\n");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
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

// A table of 20 is raised to what data set 1 needs: its 45 bodies after
// the Sun all run and reach the final file.
TEST_F(StartupEndToEnd, SmallTablesAreRaisedToWhatADataSetNeeds) {
    if (!fs::exists(root / "BIN" / "PL431BP.BIN")) GTEST_SKIP() << "no data set 1 in the tree";
    auto r = run(std::string(kTitleScript) +
                     "key 1\ntext 2000,01,15\nexpect Space: next step\nkey Esc\nkey Esc\nkey Esc\n",
                 "20");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    const std::string tvf = tarvo::testing::readFile(root / "USERDATA" / "FINAL.TVF");
    // Line 2 holds the Sun's record; every other body has three lines.
    const auto lines = std::count(tvf.begin(), tvf.end(), '\n');
    EXPECT_EQ(lines, 4 + 3 * 45) << tvf.substr(0, 400);
}

// The last-resort handler shows its three counters: the records of the
// star catalogue files, here 7 stars, 3 names and 2 designations.
TEST_F(StartupEndToEnd, LastResortHandlerShowsTheStarCatalogueCounters) {
    std::ofstream(root / "BIN" / "STARS3D.BIN", std::ios::binary) << std::string(7 * 26, '\0');
    std::ofstream(root / "BIN" / "STNAMS3D.BIN", std::ios::binary) << std::string(3 * 16, ' ');
    std::ofstream(root / "BIN" / "STDES3D.BIN", std::ios::binary) << std::string(2 * 16, ' ');
    std::ofstream(root / "CFG" / "GEOLOC.CRD") << "garbage\n";
    auto r = run("key Enter\n");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_TRUE(shows("is in MAIN at line")) << transcript();
    EXPECT_TRUE(shows("\n7  3  2")) << transcript();
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
