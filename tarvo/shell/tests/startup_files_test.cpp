// Start-up readers against good, truncated, oversized and garbage files.
#include "tarvo/shell/fatal_error.h"
#include "tarvo/shell/startup_files.h"

#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using tarvo::FatalError;

namespace {

class StartupFilesTest : public tarvo::testing::ScratchDirectoryTest {
  protected:
    // The message of the FatalError `f` throws, checked to name the file.
    template <class F> std::string failure(F f, const fs::path& file) {
        try {
            f();
        } catch (const FatalError& e) {
            EXPECT_NE(std::string(e.what()).find(file.filename().string()), std::string::npos)
                << e.what();
            return e.what();
        }
        ADD_FAILURE() << "no error for " << file;
        return {};
    }
};

TEST_F(StartupFilesTest, TitleLinesWithCrLfAndLf) {
    auto f = write("TITLE.121", "a\r\nb\nc\r\nd\r\n");
    auto lines = tarvo::readTitleLines(f);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[3], "d");
    auto t = write("T2", "only\r\ntwo\r\n");
    failure([&] { tarvo::readTitleLines(t); }, t);
}

TEST_F(StartupFilesTest, ColoursReadAndChecked) {
    std::string good;
    for (int i = 0; i < 32; ++i) good += std::to_string(i) + ", 128 ,255\r\n";
    auto colours = tarvo::readBodyColours(write("COLORS.DAT", good));
    EXPECT_EQ(colours[5], tarvo::rgb(5, 128, 255));
    EXPECT_EQ(colours[5] & 0xFF, 5u); // red in the low byte
    std::string firstHalf;
    for (int i = 0; i < 16; ++i) firstHalf += "1,2,3\r\n";
    auto truncated = write("C1", firstHalf);
    EXPECT_NE(failure([&] { tarvo::readBodyColours(truncated); }, truncated).find("truncated"),
              std::string::npos);
    auto garbage = write("C2", std::string(4000, '\x7f'));
    failure([&] { tarvo::readBodyColours(garbage); }, garbage);
    auto outOfRange = write("C3", "300,0,0\r\n" + good);
    failure([&] { tarvo::readBodyColours(outOfRange); }, outOfRange);
    auto oversized = write("C4", std::string(3 << 20, '1'));
    failure([&] { tarvo::readBodyColours(oversized); }, oversized);
}

TEST_F(StartupFilesTest, MissingFileNamesTheFileAndTheSearch) {
    tarvo::DataDirectories dirs;
    dirs.base = dir;
    dirs.searched = {dir, "/somewhere/else"};
    try {
        tarvo::requireDataFile(dirs, dir / "ASC", "TITLE.121");
        FAIL();
    } catch (const FatalError& e) {
        std::string m = e.what();
        EXPECT_EQ(e.number(), tarvo::ErrorNumber::missingDataFile);
        EXPECT_NE(m.find("TITLE.121"), std::string::npos);
        EXPECT_NE(m.find("/somewhere/else"), std::string::npos);
    }
}

} // namespace
