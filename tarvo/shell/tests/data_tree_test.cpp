// The data-tree finder on real directories made in a temporary folder.
#include "tarvo/shell/data_tree.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using tarvo::findDataTree;

namespace {

class DataTreeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvo-tree-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path makeTree(const fs::path& base, bool withUserData = true) {
        for (const char* d : {"BIN", "ASC", "IMG", "CFG", "HLP"}) fs::create_directories(base / d);
        if (withUserData) fs::create_directories(base / "USERDATA");
        return base;
    }
    fs::path root;
};

TEST_F(DataTreeTest, StartedInUserDataReadsTheParentTree) {
    auto tree = makeTree(root / "tree");
    auto r = findDataTree({"", tree / "USERDATA", std::nullopt, root / "nowhere"});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_EQ(r.dirs->asc, tree / "ASC");
    EXPECT_EQ(r.dirs->workDir, tree / "USERDATA");
}

TEST_F(DataTreeTest, LowerCaseUserDataDirectoryOnTheCommandLine) {
    auto tree = makeTree(root / "Tree", false);
    fs::create_directories(tree / "userdata");
    auto r = findDataTree({(tree / "userdata").string(), "/", std::nullopt, {}});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    // Entered with the spelling given, not the upper-case one compared.
    EXPECT_EQ(r.dirs->workDir, tree / "userdata");
}

TEST_F(DataTreeTest, StartedInTheTreeChangesIntoItsUserData) {
    auto tree = makeTree(root / "tree");
    auto r = findDataTree({"", tree, std::nullopt, {}});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_EQ(r.dirs->workDir, tree / "USERDATA");
}

TEST_F(DataTreeTest, EnvironmentVariableNamesTheTree) {
    auto tree = makeTree(root / "installed");
    fs::create_directories(root / "elsewhere");
    auto r = findDataTree({"", root / "elsewhere", tree.string(), root / "build" / "bin"});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_EQ(r.dirs->workDir, tree / "USERDATA");
}

TEST_F(DataTreeTest, TreeBesideTheExecutablesOfABuild) {
    auto tree = makeTree(root / "build" / "data", false);
    fs::create_directories(root / "work");
    auto r = findDataTree({"", root / "work", std::nullopt, root / "build" / "bin"});
    ASSERT_TRUE(r.dirs) << r.error;
    EXPECT_EQ(r.dirs->base, tree);
    EXPECT_EQ(r.dirs->workDir, root / "work"); // no USERDATA: stays where started
}

TEST_F(DataTreeTest, NoTreeNamesEveryPlaceSearched) {
    fs::create_directories(root / "work");
    auto r = findDataTree({"", root / "work", (root / "missing").string(), {}});
    EXPECT_FALSE(r.dirs);
    EXPECT_NE(r.error.find((root / "work").string()), std::string::npos);
    EXPECT_NE(r.error.find((root / "missing").string()), std::string::npos);
    EXPECT_NE(r.error.find("TARVO12DIR"), std::string::npos);
}

TEST_F(DataTreeTest, DataFilesMatchIgnoringCaseWhenTheExactNameIsMissing) {
    auto tree = makeTree(root / "tree");
    std::ofstream(tree / "ASC" / "title.121") << "x";
    std::ofstream(tree / "ASC" / "COLORS.DAT") << "x";
    EXPECT_EQ(tarvo::findDataFile(tree / "ASC", "COLORS.DAT"), tree / "ASC" / "COLORS.DAT");
    EXPECT_EQ(tarvo::findDataFile(tree / "ASC", "TITLE.121"), tree / "ASC" / "title.121");
    EXPECT_FALSE(tarvo::findDataFile(tree / "ASC", "PL1.BIN"));
    EXPECT_FALSE(tarvo::findDataFile(tree / "NOPE", "PL1.BIN"));
}

} // namespace
