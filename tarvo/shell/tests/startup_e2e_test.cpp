// tarvo started for real, driven by key scripts, against the built data tree
// and against trees made in a temporary folder.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;
using tarvo::testing::readFile;
using tarvo::testing::runProgram;

namespace {

const fs::path kTarvo = fs::path(TARVO_BIN_DIR) / "tarvo";
const fs::path kBuiltTree = TARVO_TEST_TREE;

class StartupEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kBuiltTree / "ASC" / "TITLE.121"))
            GTEST_SKIP() << "the data tree " << kBuiltTree << " has not been built";
        char pattern[] = "/tmp/tarvo-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        fs::copy(kBuiltTree, root / "tree", fs::copy_options::recursive);
        fs::create_directories(root / "tree" / "USERDATA");
        writeScript("expect High Precision Ephemerides by Numerical Integration\nkey Enter\n");
    }
    void TearDown() override {
        if (!root.empty()) fs::remove_all(root);
    }
    void writeScript(const std::string& text) { std::ofstream(root / "s.txt") << text; }
    std::string tarvo(const std::string& args = "") {
        return "'" + kTarvo.string() + "' --script '" + (root / "s.txt").string() +
               "' --transcript '" + (root / "t.txt").string() + "' " + args;
    }
    fs::path root;
};

TEST_F(StartupEndToEnd, TitleScreenFromTheUserDataDirectory) {
    auto run = runProgram(tarvo(), root / "tree" / "USERDATA", "-u TARVO12DIR");
    EXPECT_EQ(run.status, 0) << run.output;
    const std::string transcript = readFile(root / "t.txt");
    EXPECT_NE(transcript.find("=== screen 1 ==="), std::string::npos);
    EXPECT_NE(transcript.find("High Precision Ephemerides by Numerical Integration"),
              std::string::npos);
    EXPECT_NE(transcript.find("Press a key to continue"), std::string::npos);
}

TEST_F(StartupEndToEnd, EnvironmentVariableFromElsewhere) {
    fs::create_directories(root / "elsewhere");
    auto run =
        runProgram(tarvo(), root / "elsewhere", "TARVO12DIR='" + (root / "tree").string() + "'");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(readFile(root / "t.txt").find("Planetary files from"), std::string::npos);
}

TEST_F(StartupEndToEnd, LowerCaseUserDataPathOnTheCommandLine) {
    fs::rename(root / "tree" / "USERDATA", root / "tree" / "userdata");
    auto run =
        runProgram(tarvo("'" + (root / "tree" / "userdata").string() + "'"), root, "-u TARVO12DIR");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(readFile(root / "t.txt").find("High Precision"), std::string::npos);
}

TEST_F(StartupEndToEnd, MissingFileIsNamedWithTheDirectoriesSearched) {
    fs::remove(root / "tree" / "ASC" / "COLORS.DAT");
    writeScript("key Enter\n");
    auto run = runProgram(tarvo(), root / "tree" / "USERDATA", "-u TARVO12DIR");
    EXPECT_EQ(run.status, 1) << run.output;
    const std::string transcript = readFile(root / "t.txt");
    EXPECT_NE(transcript.find("ERROR 53 is in MAIN at line"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("COLORS.DAT not found in"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find((root / "tree").string()), std::string::npos) << transcript;
}

TEST_F(StartupEndToEnd, DamagedFileIsNamed) {
    writeScript("key Enter\n");
    std::ofstream(root / "tree" / "CFG" / "GEOLOC.CRD") << "garbage\n";
    auto run = runProgram(tarvo(), root / "tree" / "USERDATA", "-u TARVO12DIR");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(readFile(root / "t.txt").find("GEOLOC.CRD"), std::string::npos);
}

TEST_F(StartupEndToEnd, PrecessionTableOfTheWrongSizeIsNamed) {
    writeScript("key Enter\n");
    fs::resize_file(root / "tree" / "BIN" / "PRECDATN.BIN", 320175);
    auto run = runProgram(tarvo(), root / "tree" / "USERDATA", "-u TARVO12DIR");
    EXPECT_EQ(run.status, 1) << run.output;
    const std::string transcript = readFile(root / "t.txt");
    EXPECT_NE(transcript.find("PRECDATN.BIN"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("ERROR 62 is in MAIN"), std::string::npos) << transcript;
}

TEST_F(StartupEndToEnd, NoTreeAnywhereSaysWhereItLooked) {
    writeScript("key Enter\n");
    fs::create_directories(root / "empty");
    auto run = runProgram(tarvo(), root / "empty", "TARVO12DIR='" + (root / "none").string() + "'");
    EXPECT_EQ(run.status, 1) << run.output;
    const std::string transcript = readFile(root / "t.txt");
    EXPECT_NE(transcript.find((root / "none").string()), std::string::npos) << transcript;
}

TEST_F(StartupEndToEnd, TableTooLargeIsRefusedWithAMessage) {
    writeScript("key Enter\n");
    auto run = runProgram(tarvo("999999999999"), root / "tree" / "USERDATA", "-u TARVO12DIR");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(readFile(root / "t.txt").find("ERROR 7 is in MAIN"), std::string::npos);
    EXPECT_NE(readFile(root / "t.txt").find("999999999999"), std::string::npos);
}

TEST_F(StartupEndToEnd, FailedExpectationEndsWithStatusThree) {
    writeScript("expect Nothing like this is on the title screen\nkey Enter\n");
    auto run = runProgram(tarvo(), root / "tree" / "USERDATA", "-u TARVO12DIR");
    EXPECT_EQ(run.status, 3) << run.output;
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
