// tarvo driven by key scripts through the things a careless user does: a
// site far west, a settings file damaged before it is saved again, absurd
// answers at prompts, damaged state files. Nothing may end the program with
// an error, hang, or lose a file the user saved.
#include "program_runner.h"

#include "tarvo/libraries/planetary_library.h"
#include "tarvo/reductions/time_scales.h"
#include "tarvo/shell/configuration.h"

#include <gtest/gtest.h>

#include <cmath>
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

// A minor-body file of one asteroid on a circle of 2.77 AU at `epoch`.
std::string asteroidFile(const std::string& epoch, const std::string& mass = "0") {
    return epoch + "\n" + mass + " 0.0005 8 0 VESTOID\n 414.3861 0 0\n 0 17.8964 0\n 0 0 0 0\n";
}

// Epochs no calendar date can be written for, and numbers that are no
// finite value, are refused by name when the file is chosen; the menu
// stays usable and nothing ends with an internal error.
TEST_F(BadInputEndToEnd, StateFilesWithAbsurdEpochsOrValuesAreRefusedByName) {
    for (const auto& [epoch, mass] : std::vector<std::pair<std::string, std::string>>{
             {"4e9", "0"}, {"9.9e999", "0"}, {"2451545", "9.9e999"}}) {
        std::ofstream(root / "USERDATA" / "ODD.TVX", std::ios::binary) << asteroidFile(epoch, mass);
        auto r = run("key Enter\n"
                     "key M\n"
                     "expect ODD.TVX\n"
                     "text ODD\n"
                     "expect ODD.TVX: line\n"
                     "key Space\n"
                     "key Esc\nkey Esc\nkey Esc\n");
        EXPECT_EQ(r.status, 0) << epoch << " " << mass << "\n" << r.output << transcript();
        EXPECT_EQ(transcript().find("ERROR"), std::string::npos) << transcript();
    }
}

// Epochs far from the data set's years but inside the calendar's: the jump
// to them shows its progress and stops at Esc twice, whatever the width of
// the year.
TEST_F(BadInputEndToEnd, AJumpToAFarEpochOfAStateFileAnswersEsc) {
    for (const std::string epoch : {" 1e9", "1e7", "8.9e7"}) {
        std::ofstream(root / "USERDATA" / "FAR.TVX", std::ios::binary) << asteroidFile(epoch);
        auto r = run("key Enter\n"
                     "key M\n"
                     "text FAR\n"
                     "expect Jumping to Epoch\n"
                     "key Esc\n"
                     "expect Press Esc again if you want to stop\n"
                     "key Esc\n"
                     "expect Space: next step\n"
                     "key Esc\nkey Esc\nkey Esc\n");
        EXPECT_EQ(r.status, 0) << epoch << "\n" << r.output << transcript();
        EXPECT_EQ(transcript().find("ERROR"), std::string::npos) << transcript();
    }
}

// A body whose motion stops being finite is named with the file it came
// from, and so is the body nearest to it: here a minor body placed on the
// Sun, which comes from the data set's library.
TEST_F(BadInputEndToEnd, ErrorSixNamesTheFilesTheBodiesCameFrom) {
    std::ofstream(root / "USERDATA" / "ONSUN.TVX", std::ios::binary)
        << "2451545\n0 0.0005 8 0 ONSUN\n 0 0 0\n 0 0 0\n 0 0 0 0\n";
    auto r = run("key Enter\n"
                 "key M\n"
                 "text ONSUN\n"
                 "expect Space: next step\n"
                 "key Space\n"
                 "expect Error 6 is in Integrate\n"
                 "expect from ONSUN.TVX, body 0 (SUN) from PL431SN.BIN.\n"
                 "key Space\n" +
                 std::string(kEndRun));
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_EQ(transcript().find("ERROR"), std::string::npos) << transcript();
}

// A record count no disk can hold is refused at the prompt before anything
// is written, and the prompt is asked again; a count it takes is written.
TEST_F(BadInputEndToEnd, AnAbsurdRecordCountIsRefusedBeforeAnyRecordIsWritten) {
    auto r = run(kStartRun +
                 "key F\n"
                 "expect O.K.?  (Y, N, M or S)\n"
                 "key Y\n"
                 "text 1e30\n"
                 "expect Records: a whole number from 1 to 1000000, not 1e30\n"
                 "text nan\n"
                 "expect not nan\n"
                 "text 2.5\n"
                 "expect not 2.5\n"
                 "text 2\n"
                 "key J\n"
                 "expect Space: next step\n" +
                 kEndRun);
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_LT(fs::file_size(root / "USERDATA" / "OUTPUT.LOG"), 100000u);
}

// Long file output shows the records left and stops at Esc, back on the
// page, long before the count typed is written.
TEST_F(BadInputEndToEnd, FileOutputShowsTheRecordsLeftAndStopsAtEsc) {
    auto r = run(kStartRun +
                 "key F\n"
                 "expect O.K.?  (Y, N, M or S)\n"
                 "key Y\n"
                 "text 1000000\n"
                 "key J\n"
                 "expect Esc: stop\n"
                 "key Esc\n"
                 "expect Space: next step\n" +
                 kEndRun);
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    const fs::path log = root / "USERDATA" / "OUTPUT.LOG";
    ASSERT_TRUE(fs::exists(log));
    EXPECT_LT(fs::file_size(log), 10'000'000u);
}

// A library record damaged so that the Earth lies 0.3 AU off its orbit
// (the Sun would be shown 1.3 AU away) is refused by file, record and body
// when the run starts; the menu stays usable.
class DamagedLibraryEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG", "BIN"}); }
};

TEST_F(DamagedLibraryEndToEnd, ARecordWithTheEarthOffItsOrbitIsRefusedByRecordAndBody) {
    const fs::path file = root / "BIN" / "PL431MND.BIN";
    tarvo::EpochTable epochs;
    std::string message;
    ASSERT_TRUE(tarvo::scanLibrary(file, epochs, message)) << message;
    const std::size_t n = tarvo::nearestRecord(epochs.epochs, 14.5L); // 2000-01-15
    tarvo::LibraryRecord record;
    ASSERT_TRUE(tarvo::readLibraryRecord(file, epochs.bodiesPerRecord, n, record, message));
    tarvo::LibraryDescription description;
    ASSERT_TRUE(tarvo::readLibraryDescription(root / "ASC" / "PL431M.DAT", epochs.bodiesPerRecord,
                                              description, message));
    // The Earth's x moved by 0.3 AU, in its whole word.
    const double scale = description.bodies[2].positionScale;
    std::fstream bytes(file, std::ios::binary | std::ios::in | std::ios::out);
    const auto at =
        static_cast<std::streamoff>(2 + n * tarvo::libraryRecordBytes(epochs.bodiesPerRecord) + 4 +
                                    2 * tarvo::libraryBodyBytes);
    const auto whole = static_cast<std::int16_t>(record.bodies[2][0].whole +
                                                 (record.bodies[2][0].whole > 0 ? 1 : -1) *
                                                     std::lround(0.3 * 149.6 * scale));
    const char word[2] = {static_cast<char>(whole & 0xff), static_cast<char>((whole >> 8) & 0xff)};
    bytes.seekp(at);
    bytes.write(word, 2);
    bytes.close();
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "expect PL431MND.BIN: record " +
                 std::to_string(n + 1) +
                 "\n"
                 "expect body 3 (EARTH)\n"
                 "key Space\n"
                 "expect Select Option\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_EQ(transcript().find("ERROR"), std::string::npos) << transcript();
}

// A DELTAT.COF holding nan and inf is said to be damaged when the custom
// Delta-T is chosen, the published coefficients are offered instead of
// zeros, and the old file is kept as DELTAT.COF.bak before it is rewritten.
TEST_F(BadInputEndToEnd, ADamagedDeltaTFileIsKeptAndNoZerosAreOffered) {
    const fs::path file = root / "CFG" / "DELTAT.COF";
    const std::string damaged = "nan\r\ninf\r\n1\r\n";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << damaged;
    auto r = run(kStartRun +
                 "key Esc\n"
                 "key D\n"
                 "key C\n"
                 "text \n"
                 "text \n"
                 "text \n" +
                 kEndRun);
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_NE(transcript().find("DELTAT.COF: line 1 is not a number"), std::string::npos)
        << transcript();
    EXPECT_EQ(transcript().find("ERROR"), std::string::npos) << transcript();
    EXPECT_EQ(readFile(root / "CFG" / "DELTAT.COF.bak"), damaged);
    tarvo::DeltaTSettings back;
    std::string message;
    ASSERT_TRUE(tarvo::readDeltaTCoefficients(file, back, message)) << message;
    EXPECT_EQ(back.a, tarvo::kPublishedDeltaTA);
    EXPECT_EQ(back.b, tarvo::kPublishedDeltaTB);
    EXPECT_EQ(back.c, tarvo::kPublishedDeltaTC);
}

// A name typed in lower case finds the file listed in upper case.
TEST_F(BadInputEndToEnd, ALowerCaseNameFindsTheUpperCaseFile) {
    std::ofstream(root / "USERDATA" / "VESTA.TVX", std::ios::binary) << asteroidFile("2451545");
    auto r = run("key Enter\n"
                 "key M\n"
                 "expect VESTA.TVX\n"
                 "text vesta\n"
                 "expect VESTOID\n" +
                 std::string(kEndRun));
    EXPECT_EQ(r.status, 0) << r.output << transcript();
}

// A directory argument that holds no tree is named at start-up, with the
// tree the data come from instead.
TEST_F(BadInputEndToEnd, ADirectoryArgumentWithoutATreeIsSaidSo) {
    fs::create_directories(root / "notatree");
    auto r =
        run("key Enter\n"
            "expect holds no data tree\n"
            "key Space\n"
            "expect Select Option\n"
            "key Esc\n",
            "'" + (root / "notatree").string() + "'", root, "TARVO12DIR='" + root.string() + "'");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_NE(transcript().find("notatree"), std::string::npos);
}

} // namespace
