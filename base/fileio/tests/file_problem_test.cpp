// What the readers say about a file they cannot use, the copy kept before a
// file is rewritten, and control characters kept out of messages.
#include "fileio/file_problem.h"
#include "scratch_directory.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using FileProblem = tarvo::testing::ScratchDirectoryTest;

TEST_F(FileProblem, EachKindOfUnusableFileHasItsOwnWords) {
    EXPECT_EQ(tarvo::readProblem(write("GOOD.CFG", "x")), "");
    EXPECT_EQ(tarvo::readProblem(dir / "NONE.CFG"), "is missing");
    fs::create_directory(dir / "A.CFG");
    EXPECT_EQ(tarvo::readProblem(dir / "A.CFG"), "is a directory, not a file");
    ASSERT_EQ(::mkfifo((dir / "PIPE.CFG").c_str(), 0600), 0);
    EXPECT_EQ(tarvo::readProblem(dir / "PIPE.CFG"), "is not a regular file");
}

TEST_F(FileProblem, AFileWithoutReadPermissionIsSaidToBeSo) {
    const fs::path file = write("LOCKED.CFG", "x");
    fs::permissions(dir, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(file, fs::perms::none);
    bool ran = false;
    const std::string problem =
        tarvo::testing::runUnprivileged([&] { return tarvo::readProblem(file); }, ran);
    if (!ran) GTEST_SKIP() << "COULD NOT RUN AS AN UNPRIVILEGED USER: PERMISSION CASE NOT TESTED";
    EXPECT_EQ(problem, "cannot be read (permission denied)");
}

TEST_F(FileProblem, BackupCopyKeepsTheOldBytesAndReplacesAnOlderCopy) {
    const fs::path file = write("TARVO.CFG", "old\r\n");
    write("TARVO.CFG.bak", "older\r\n");
    std::string message;
    ASSERT_TRUE(tarvo::keepBackupCopy(file, message)) << message;
    std::ifstream in(dir / "TARVO.CFG.bak", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old\r\n");
    EXPECT_TRUE(tarvo::keepBackupCopy(dir / "NONE.CFG", message));
    EXPECT_FALSE(fs::exists(dir / "NONE.CFG.bak"));
    // The copy cannot be made where the backup name is a directory.
    fs::create_directory(dir / "X.CFG.bak");
    EXPECT_FALSE(tarvo::keepBackupCopy(write("X.CFG", "x"), message));
    EXPECT_NE(message.find("X.CFG.bak"), std::string::npos) << message;
}

TEST(PrintableText, ControlCharactersAreShownNotSent) {
    EXPECT_EQ(tarvo::printable("a\x1b[2Jb\x07\x7f"), "a^[[2Jb^G^?");
    EXPECT_EQ(tarvo::printable(std::string(100, 'x'), 10), std::string(10, 'x') + "...");
    EXPECT_EQ(tarvo::printable("Jupiter 9.54791915E-4"), "Jupiter 9.54791915E-4");
}

} // namespace
