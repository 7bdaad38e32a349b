// The SHA-256 of the data tree's manifest against the published test
// vectors, and the manifest's check of a tree that was changed, emptied or
// given a damaged or hostile manifest.
#include "fileio/sha256.h"
#include "fileio/tree_manifest.h"
#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

TEST(Sha256, PublishedTestVectors) {
    EXPECT_EQ(tarvo::sha256Hex(""),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(tarvo::sha256Hex("abc"),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(tarvo::sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // One million "a", added in pieces that straddle the 64-byte blocks.
    tarvo::Sha256 hash;
    const std::string piece(1000, 'a');
    for (int i = 0; i < 1000; ++i) hash.add(piece);
    EXPECT_EQ(hash.hexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // 55, 56 and 64 bytes: the lengths where the padding takes one or two blocks.
    EXPECT_EQ(tarvo::sha256Hex(std::string(55, 'a')),
              "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(tarvo::sha256Hex(std::string(56, 'a')),
              "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
    EXPECT_EQ(tarvo::sha256Hex(std::string(64, 'a')),
              "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
}

class TreeManifest : public tarvo::testing::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        for (const char* d : {"BIN", "ASC", "IMG/BIG", "HLP", "CFG", "USERDATA"})
            fs::create_directories(dir / d);
        write("BIN/A.BIN", std::string(100000, '\1'));
        write("ASC/TITLE.121", "title\r\n");
        write("IMG/BIG/MAP.BMP", "BM....");
        write("HLP/HELP1.HLP", "help");
        write("CFG/TARVO.CFG", "toggles");
        std::string message;
        ASSERT_TRUE(tarvo::writeTreeManifest(dir, message)) << message;
    }
    // Gives `name` a modification time later than the manifest's, as any
    // rewrite by hand would.
    void touchLater(const std::string& name) {
        fs::last_write_time(dir / name, fs::last_write_time(dir / tarvo::kTreeManifestName) +
                                            std::chrono::seconds(2));
    }
};

TEST_F(TreeManifest, ListsTheBuilderDirectoriesInTheLayoutOfSha256sum) {
    const std::string text = [&] {
        std::ifstream in(dir / tarvo::kTreeManifestName);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    EXPECT_NE(text.find(tarvo::sha256Hex("title\r\n") + "  ASC/TITLE.121\n"), std::string::npos);
    EXPECT_NE(text.find("  IMG/BIG/MAP.BMP\n"), std::string::npos);
    EXPECT_EQ(text.find("CFG/"), std::string::npos) << "the user's files are not listed";
    EXPECT_EQ(text.find("USERDATA"), std::string::npos);
    const auto check = tarvo::checkTreeManifest(dir);
    EXPECT_TRUE(check.manifestFound);
    EXPECT_TRUE(check.intact());
    EXPECT_EQ(tarvo::treeManifestWarning(dir, check, dir), "");
}

TEST_F(TreeManifest, NamesChangedAndMissingFilesWithTheRebuildCommand) {
    write("ASC/TITLE.121", "TITLE\r\n"); // same size, other bytes
    touchLater("ASC/TITLE.121");
    fs::resize_file(dir / "BIN/A.BIN", 5);
    touchLater("BIN/A.BIN");
    fs::remove(dir / "HLP/HELP1.HLP");
    write("CFG/TARVO.CFG", "the user's own toggles"); // not the tree's business
    touchLater("CFG/TARVO.CFG");
    const auto check = tarvo::checkTreeManifest(dir);
    EXPECT_EQ(check.changed, (std::vector<std::string>{"ASC/TITLE.121", "BIN/A.BIN"}));
    EXPECT_EQ(check.missing, std::vector<std::string>{"HLP/HELP1.HLP"});
    const std::string warning = tarvo::treeManifestWarning(dir, check, "/nowhere");
    EXPECT_NE(warning.find("ASC/TITLE.121, BIN/A.BIN"), std::string::npos) << warning;
    EXPECT_NE(warning.find("HLP/HELP1.HLP"), std::string::npos) << warning;
    EXPECT_NE(warning.find("tarvo-build-data --tree " + dir.string() + "\n"), std::string::npos)
        << warning;
}

TEST_F(TreeManifest, ARewriteWithTheSameBytesIsNoChange) {
    write("ASC/TITLE.121", "title\r\n");
    touchLater("ASC/TITLE.121");
    EXPECT_TRUE(tarvo::checkTreeManifest(dir).intact());
}

TEST_F(TreeManifest, ATreeWithoutManifestIsNotJudged) {
    fs::remove(dir / tarvo::kTreeManifestName);
    const auto check = tarvo::checkTreeManifest(dir);
    EXPECT_FALSE(check.manifestFound);
    EXPECT_TRUE(check.intact());
}

TEST_F(TreeManifest, DamagedTruncatedOversizedAndHostileManifestsAreNamedNotFollowed) {
    const std::string good = tarvo::sha256Hex("x");
    const struct {
        std::string contents;
        std::string expected;
    } cases[] = {
        {"garbage\n", "line 1: digest and file name"},
        {good.substr(0, 30), "line 1: digest and file name"}, // truncated
        {good + "  ASC/TITLE.121\n" + std::string(10000, 'f') + "\n", "line 2: line too long"},
        {good + "  /etc/passwd\n", "line 1: digest and file name"},             // outside the tree
        {good + "  ASC/../../../etc/passwd\n", "line 1: digest and file name"}, // climbs out
        {good + "  CFG/TARVO.CFG\n", "line 1: digest and file name"},           // not a tree file
        {std::string("\0\xff\x01", 3), "line 1: digest and file name"},
    };
    for (const auto& c : cases) {
        write(tarvo::kTreeManifestName, c.contents);
        const auto check = tarvo::checkTreeManifest(dir);
        EXPECT_NE(check.damaged.find(c.expected), std::string::npos) << check.damaged;
        EXPECT_NE(tarvo::treeManifestWarning(dir, check, dir).find("damaged"), std::string::npos);
    }
}

TEST_F(TreeManifest, AListedFifoOrDirectoryIsMissingAndNeverRead) {
    fs::remove(dir / "ASC/TITLE.121");
    ASSERT_EQ(::mkfifo((dir / "ASC/TITLE.121").c_str(), 0600), 0); // reading it would block
    fs::remove(dir / "HLP/HELP1.HLP");
    fs::create_directory(dir / "HLP/HELP1.HLP");
    const auto check = tarvo::checkTreeManifest(dir);
    EXPECT_EQ(check.missing, (std::vector<std::string>{"ASC/TITLE.121", "HLP/HELP1.HLP"}));
}

} // namespace
