// The data-tree finder on real directories made in a temporary folder.
#include "fileio/data_tree.h"

#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using tarvo::findDataTree;

namespace {

class DataTreeTest : public tarvo::testing::ScratchDirectoryTest {
  protected:
    fs::path makeTree(const fs::path& base, bool withUserData = true) {
        for (const char* d : {"BIN", "ASC", "IMG", "CFG", "HLP"}) fs::create_directories(base / d);
        if (withUserData) fs::create_directories(base / "USERDATA");
        return base;
    }
};

TEST_F(DataTreeTest, StartedInUserDataReadsTheParentTree) {
    auto tree = makeTree(dir / "tree");
    auto r = findDataTree({"", tree / "USERDATA", std::nullopt, dir / "nowhere"});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_EQ(r.dirs->asc, tree / "ASC");
    EXPECT_EQ(r.dirs->workDir, tree / "USERDATA");
}

TEST_F(DataTreeTest, LowerCaseUserDataDirectoryOnTheCommandLine) {
    auto tree = makeTree(dir / "Tree", false);
    fs::create_directories(tree / "userdata");
    auto r = findDataTree({(tree / "userdata").string(), "/", std::nullopt, {}});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    // Entered with the spelling given, not the upper-case one compared.
    EXPECT_EQ(r.dirs->workDir, tree / "userdata");
}

TEST_F(DataTreeTest, StartedInTheTreeChangesIntoItsUserData) {
    auto tree = makeTree(dir / "tree");
    auto r = findDataTree({"", tree, std::nullopt, {}});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_EQ(r.dirs->workDir, tree / "USERDATA");
}

// Started elsewhere, the files go where the user is, not into the tree's
// USERDATA; a USERDATA subdirectory of the current directory is entered.
TEST_F(DataTreeTest, EnvironmentVariableNamesTheTreeAndTheFilesStayHere) {
    auto tree = makeTree(dir / "installed");
    fs::create_directories(dir / "elsewhere");
    auto r = findDataTree({"", dir / "elsewhere", tree.string(), dir / "build" / "bin"});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_EQ(r.dirs->workDir, dir / "elsewhere");

    fs::create_directories(dir / "project" / "userdata");
    r = findDataTree({"", dir / "project", tree.string(), {}});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_EQ(r.dirs->workDir, dir / "project" / "userdata");
}

TEST_F(DataTreeTest, InstalledTreeFromElsewhereKeepsTheCurrentDirectory) {
    auto tree = makeTree(dir / "prefix" / "share" / "tarvo");
    fs::create_directories(dir / "home");
    auto r = findDataTree({"", dir / "home", std::nullopt, dir / "prefix" / "bin"});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_EQ(r.dirs->workDir, dir / "home");
}

TEST_F(DataTreeTest, TreeBesideTheExecutablesOfABuild) {
    auto tree = makeTree(dir / "build" / "data", false);
    fs::create_directories(dir / "work");
    auto r = findDataTree({"", dir / "work", std::nullopt, dir / "build" / "bin"});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_EQ(r.dirs->workDir, dir / "work"); // no USERDATA: stays where started
}

// A directory given on the command line that holds no tree is said so when
// the data come from another tree; one that holds a tree says nothing.
TEST_F(DataTreeTest, ACommandLineDirectoryWithoutATreeIsNamedInANotice) {
    auto tree = makeTree(dir / "tree");
    fs::create_directories(dir / "typo");
    auto r = findDataTree({(dir / "typo").string(), dir, tree.string(), {}});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_NE(r.notice.find((dir / "typo").string() + " holds no data tree"), std::string::npos)
        << r.notice;
    EXPECT_NE(r.notice.find(tree.string()), std::string::npos) << r.notice;
    r = findDataTree({tree.string(), dir, std::nullopt, {}});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_TRUE(r.notice.empty()) << r.notice;
    r = findDataTree({"", dir / "typo", tree.string(), {}});
    EXPECT_TRUE(r.notice.empty()) << "no directory was given: " << r.notice;
}

TEST_F(DataTreeTest, NoTreeNamesEveryPlaceSearched) {
    fs::create_directories(dir / "work");
    auto r = findDataTree({"", dir / "work", (dir / "missing").string(), {}});
    EXPECT_FALSE(r.dirs);
    EXPECT_NE(r.error.find((dir / "work").string()), std::string::npos);
    EXPECT_NE(r.error.find((dir / "missing").string()), std::string::npos);
    EXPECT_NE(r.error.find("TARVO12DIR"), std::string::npos);
}

TEST_F(DataTreeTest, DataFilesMatchIgnoringCaseWhenTheExactNameIsMissing) {
    auto tree = makeTree(dir / "tree");
    std::ofstream(tree / "ASC" / "title.121") << "x";
    std::ofstream(tree / "ASC" / "COLORS.DAT") << "x";
    EXPECT_EQ(tarvo::findDataFile(tree / "ASC", "COLORS.DAT"), tree / "ASC" / "COLORS.DAT");
    EXPECT_EQ(tarvo::findDataFile(tree / "ASC", "TITLE.121"), tree / "ASC" / "title.121");
    EXPECT_FALSE(tarvo::findDataFile(tree / "ASC", "PL1.BIN"));
    EXPECT_FALSE(tarvo::findDataFile(tree / "NOPE", "PL1.BIN"));
}

} // namespace
