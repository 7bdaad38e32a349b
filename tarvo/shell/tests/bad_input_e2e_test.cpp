// tarvo driven by key scripts through the things a careless user does: a
// site far west, a settings file damaged before it is saved again, absurd
// answers at prompts, damaged state files. Nothing may end the program with
// an error, hang, or lose a file the user saved.
#include "program_runner.h"

#include "tarvo/shell/configuration.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using tarvo::testing::readFile;

namespace {

const std::string kFromTheMenu = "key 2\n"
                                 "text 2000,01,15\n"
                                 "expect EARTH\n";
const std::string kStartRun = "key Enter\n" + kFromTheMenu;
const char* const kEndRun = "key Esc\nkey Esc\nkey Esc\n";

class BadInputEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }
    bool shows(const std::string& text) const {
        return transcript().find(text) != std::string::npos;
    }
};

// A site more than 100 degrees west is written so that the next start reads
// it: the longitude's field has room for its sign and three digits.
TEST_F(BadInputEndToEnd, AFarWestSiteIsReadBackAtTheNextStart) {
    auto r = run(std::string(kStartRun) +
                 "key G\n"
                 "expect Accept ? (Y or N)\n"
                 "key N\n"
                 "key M\n"
                 "text 40\n"
                 "text -120\n"
                 "text 100\n"
                 "key Space\n" +
                 kEndRun);
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string written = readFile(root / "CFG" / "GEOLOC.CRD");
    EXPECT_EQ(written.find('%'), std::string::npos) << written;
    r = run(std::string(kStartRun) + kEndRun);
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_FALSE(shows("latitude, longitude and height expected")) << transcript();
    EXPECT_TRUE(shows("Custom Site")) << transcript();
}

// A TARVO.CFG that could not be read whole is copied beside itself before
// "#" saves the preferences over it, and the message names the copy.
TEST_F(BadInputEndToEnd, SavingOverADamagedConfigurationKeepsTheOldFile) {
    const fs::path file = root / "CFG" / "TARVO.CFG";
    std::string text = "Value     Toggle\r\n";
    for (int i = 0; i < tarvo::kConfigurationLines; ++i) {
        if (i == 2) text += std::string(70000, '1') + "\r\n"; // one overlong line
        text += "0   " + std::string(tarvo::kConfigurationKeys[i]) + "\r\n";
    }
    std::ofstream(file, std::ios::binary) << text;
    auto r = run("key Enter\nexpect defaults used\nkey Space\n" + kFromTheMenu +
                 "key #\n"
                 "expect TARVO.CFG.bak\n"
                 "key Space\n" +
                 kEndRun);
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_EQ(readFile(root / "CFG" / "TARVO.CFG.bak"), text);
    EXPECT_NE(readFile(file), text);
}

} // namespace
