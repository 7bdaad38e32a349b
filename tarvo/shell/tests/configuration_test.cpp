// TARVO.CFG and the g(r) parameters of FITRA.CFG: the layouts as the files
// hold them, round trips, and damaged files.
#include "tarvo/shell/configuration.h"

#include "program_runner.h"

#include "fuzz_matrix.h"
#include "scratch_directory.h"
#include "unprivileged.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using tarvo::DisplayToggles;

namespace {

class ConfigurationTest : public tarvo::testing::ScratchDirectoryTest {
  protected:
    // A TARVO.CFG with these values in file order.
    std::string fileWith(const std::vector<int>& values) {
        std::string text = "Value     Toggle\r\n";
        for (std::size_t i = 0; i < values.size(); ++i)
            text += std::to_string(values[i]) + "   " + tarvo::kConfigurationKeys[i] + "\r\n";
        return text;
    }
};

TEST_F(ConfigurationTest, WrittenLayoutKeepsTheKeysAtColumnFifteen) {
    ASSERT_EQ(tarvo::saveConfiguration(dir / "TARVO.CFG", DisplayToggles{}), "");
    const std::string text = tarvo::testing::readFile(dir / "TARVO.CFG");
    EXPECT_EQ(text.substr(0, 18), "Value     Toggle\r\n");
    EXPECT_EQ(text.substr(18, 26), " -1           Geocentric\r\n");
    EXPECT_NE(text.find(" 0            Ecliptic\r\n"), std::string::npos);
    EXPECT_NE(text.find("Windows 10\r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "TARVO.CFG.tmp"));
}

TEST_F(ConfigurationTest, SaveAndReloadGiveTheSameToggles) {
    DisplayToggles t;
    t.geocentric = 0;
    t.horizon = -1;
    t.helpLanguage = 2;
    t.yarkovsky = 5;
    t.windows10 = 1;
    t.iauReductions = 0;
    ASSERT_EQ(tarvo::saveConfiguration(dir / "TARVO.CFG", t), "");
    EXPECT_NE(tarvo::testing::readFile(dir / "TARVO.CFG").find(" 0            IAU_Reductions\r\n"),
              std::string::npos);
    DisplayToggles back;
    auto load = tarvo::loadConfiguration(dir / "TARVO.CFG", back);
    EXPECT_EQ(back, t);
    EXPECT_EQ(load.linesTaken, 18);
    EXPECT_TRUE(load.warning.empty());
}

// Every value a line can hold, on every line: read, saved, read again, the
// same toggles, without a warning.
TEST_F(ConfigurationTest, EveryValueOfEveryLineSurvivesASave) {
    for (int line = 0; line < tarvo::kConfigurationLines; ++line)
        for (const int v : {-2147483647, -65536, -1, 0, 1, 2, 99, 123456789, 2147483647}) {
            SCOPED_TRACE(std::string(tarvo::kConfigurationKeys[line]) + " " + std::to_string(v));
            std::vector<int> values(tarvo::kConfigurationLines, 0);
            values[line] = v;
            std::ofstream(dir / "IN.CFG", std::ios::binary) << fileWith(values);
            DisplayToggles first, second;
            const auto read = tarvo::loadConfiguration(dir / "IN.CFG", first);
            ASSERT_TRUE(read.warning.empty()) << read.warning;
            ASSERT_EQ(tarvo::saveConfiguration(dir / "OUT.CFG", first), "");
            const auto again = tarvo::loadConfiguration(dir / "OUT.CFG", second);
            EXPECT_TRUE(again.warning.empty()) << again.warning;
            EXPECT_EQ(second, first) << tarvo::testing::readFile(dir / "OUT.CFG");
        }
}

// A file written before the reduction model had its line (seventeen toggle
// lines, with or without a blank line after them) reads without a warning,
// and the model is the IAU one; a damaged eighteenth line is said.
TEST_F(ConfigurationTest, AFileWithoutTheReductionLineReadsAsBefore) {
    std::vector<int> v(17, 0);
    v[9] = -1; // nutation on
    for (const std::string& ending : {std::string(), std::string("\r\n"), std::string("   \r\n")}) {
        DisplayToggles t;
        t.iauReductions = 0;
        auto load = tarvo::loadConfiguration(write("TARVO.CFG", fileWith(v) + ending), t);
        EXPECT_EQ(load.linesTaken, 17);
        EXPECT_TRUE(load.warning.empty()) << load.warning;
        EXPECT_EQ(t.nutation, -1);
        EXPECT_EQ(t.iauReductions, -1);
    }
    DisplayToggles t;
    auto load =
        tarvo::loadConfiguration(write("TARVO.CFG", fileWith(v) + "x  IAU_Reductions\r\n"), t);
    EXPECT_NE(load.warning.find("19"), std::string::npos) << load.warning;
    EXPECT_EQ(t.iauReductions, -1);
}

TEST_F(ConfigurationTest, LightTimeAndAberrationKeepTheirCrossedLines) {
    DisplayToggles t;
    t.lightTime = -1;
    t.aberration = 0;
    ASSERT_EQ(tarvo::saveConfiguration(dir / "TARVO.CFG", t), "");
    const std::string text = tarvo::testing::readFile(dir / "TARVO.CFG");
    EXPECT_NE(text.find(" -1           Aberration"), std::string::npos);
    EXPECT_NE(text.find(" 0            Light-Time"), std::string::npos);
    DisplayToggles back;
    tarvo::loadConfiguration(dir / "TARVO.CFG", back);
    EXPECT_EQ(back.lightTime, -1);
    EXPECT_EQ(back.aberration, 0);
}

TEST_F(ConfigurationTest, ValuesAreTakenByPositionWhateverTheSpacing) {
    std::vector<int> v(17, 0);
    v[0] = -1;
    v[12] = 7; // no such help language
    std::string text = fileWith(v);
    DisplayToggles t;
    auto load = tarvo::loadConfiguration(write("TARVO.CFG", text), t);
    EXPECT_EQ(t.geocentric, -1);
    EXPECT_EQ(t.precession, 0);
    EXPECT_EQ(t.helpLanguage, 0);
    EXPECT_EQ(load.linesTaken, 17);
}

TEST_F(ConfigurationTest, DamagedAndMissingLinesKeepDefaultsAndSaySoOnce) {
    std::vector<int> v(17, 0);
    std::string text = fileWith(v);
    // Line 4 (Ecliptic) damaged, and the file cut after line 10.
    auto pos = text.find("0   Ecliptic");
    text.replace(pos, 1, "x");
    std::string cut;
    std::size_t at = 0;
    for (int i = 0; i < 10; ++i) at = text.find('\n', at) + 1;
    cut = text.substr(0, at);
    DisplayToggles t;
    auto load = tarvo::loadConfiguration(write("TARVO.CFG", cut), t);
    EXPECT_EQ(t.geocentric, 0); // read
    EXPECT_EQ(t.ecliptic, 0);   // damaged: default
    EXPECT_EQ(t.nutation, -1);  // missing: default
    EXPECT_EQ(load.linesTaken, 8);
    EXPECT_NE(load.warning.find("TARVO.CFG"), std::string::npos);
    EXPECT_NE(load.warning.find("4, 11"), std::string::npos) << load.warning;
}

TEST_F(ConfigurationTest, GarbageAndOversizedFilesGiveDefaults) {
    DisplayToggles t;
    t.geocentric = 0;
    auto load = tarvo::loadConfiguration(write("G", std::string(5000, '\xff')), t);
    EXPECT_EQ(t, DisplayToggles{});
    EXPECT_FALSE(load.warning.empty());
    load = tarvo::loadConfiguration(write("O", std::string(1 << 20, '1')), t);
    EXPECT_EQ(t, DisplayToggles{});
    EXPECT_FALSE(load.warning.empty());
    load = tarvo::loadConfiguration(dir / "absent", t);
    EXPECT_FALSE(load.fileFound);
    EXPECT_TRUE(load.warning.empty());
}

TEST_F(ConfigurationTest, SaveFailureLeavesTheOldFile) {
    auto file = write("TARVO.CFG", "old");
    fs::create_directory(dir / "TARVO.CFG.tmp"); // the temporary name cannot be written
    EXPECT_NE(tarvo::saveConfiguration(file, DisplayToggles{}), "");
    EXPECT_EQ(tarvo::testing::readFile(file), "old");
}

// A file that was not read whole is copied to TARVO.CFG.bak before the
// next save replaces it, so that the toggles the user saved in it are not
// lost; a file read cleanly is replaced without a copy.
TEST_F(ConfigurationTest, AFileNotReadWholeIsKeptAsBakBeforeItIsRewritten) {
    std::vector<int> v(18, 0);
    std::string text = fileWith(v);
    const std::size_t third = text.find("0   Ecliptic");
    text.insert(third, std::string(70000, '7') + "\r\n"); // one overlong line
    const fs::path file = write("TARVO.CFG", text);
    DisplayToggles t;
    auto load = tarvo::loadConfiguration(file, t);
    EXPECT_TRUE(load.keepOldCopy);
    EXPECT_NE(load.warning.find("TARVO.CFG"), std::string::npos);
    std::string note;
    ASSERT_EQ(tarvo::saveConfiguration(file, t, load.keepOldCopy, &note), "");
    EXPECT_EQ(tarvo::testing::readFile(dir / "TARVO.CFG.bak"), text);
    EXPECT_NE(note.find("TARVO.CFG.bak"), std::string::npos) << note;

    // Read cleanly: nothing to keep.
    fs::remove(dir / "TARVO.CFG.bak");
    load = tarvo::loadConfiguration(file, t);
    EXPECT_FALSE(load.keepOldCopy) << load.warning;
    note.clear();
    ASSERT_EQ(tarvo::saveConfiguration(file, t, load.keepOldCopy, &note), "");
    EXPECT_FALSE(fs::exists(dir / "TARVO.CFG.bak"));
    EXPECT_TRUE(note.empty());
}

TEST_F(ConfigurationTest, AFileWithoutReadPermissionIsNamedAsSuchAndKept) {
    const fs::path file = write("TARVO.CFG", fileWith(std::vector<int>(18, 0)));
    fs::permissions(dir, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(file, fs::perms::owner_write);
    bool ran = false;
    const std::string answer = tarvo::testing::runUnprivileged(
        [&] {
            DisplayToggles t;
            const auto load = tarvo::loadConfiguration(file, t);
            return std::string(load.keepOldCopy ? "keep " : "replace ") + load.warning;
        },
        ran);
    if (!ran) GTEST_SKIP() << "COULD NOT RUN AS AN UNPRIVILEGED USER: PERMISSION CASE NOT TESTED";
    EXPECT_EQ(answer.rfind("keep ", 0), 0u) << answer;
    EXPECT_NE(answer.find("permission denied"), std::string::npos) << answer;
    EXPECT_EQ(answer.find("damaged line"), std::string::npos) << answer;
}

// TARVO.CFG through the fuzz matrix of the readers: a file not taken whole
// is said to be so (naming it) and marked to be kept as .bak before the
// next save; the toggles never take a value that was no number.
TEST_F(ConfigurationTest, ReaderFuzz) {
    DisplayToggles saved;
    saved.geocentric = 0;
    saved.helpLanguage = 1;
    ASSERT_EQ(tarvo::saveConfiguration(dir / "TARVO.CFG", saved), "");
    const std::string good = tarvo::testing::readFile(dir / "TARVO.CFG");
    const fs::path fuzz = dir / "fuzz";
    fs::create_directories(fuzz);
    // The user "nobody" of the permission case must reach the file.
    fs::permissions(dir, fs::perms::group_exec | fs::perms::others_exec, fs::perm_options::add);
    tarvo::testing::FuzzOptions options;
    options.textNumbers = {18}; // "Windows 10": a key, not a value
    tarvo::testing::runReaderFuzz(
        fuzz, "TARVO.CFG", good,
        [](const fs::path& f) {
            DisplayToggles t;
            const tarvo::ConfigurationLoad load = tarvo::loadConfiguration(f, t);
            const bool whole = load.fileFound && load.warning.empty() && !load.keepOldCopy;
            if (!whole && !load.keepOldCopy && load.fileFound)
                return tarvo::testing::ReaderVerdict{false, "not marked to be kept"};
            return tarvo::testing::ReaderVerdict{whole, load.warning};
        },
        options);
}

TEST_F(ConfigurationTest, FitraParametersFromTheirLines) {
    std::string text;
    for (int i = 1; i <= 27; ++i) text += "0 skipped\r\n";
    text += "3.1 r0\r\n2.5 m\r\n2 exponent\r\n6.1 n\r\n4.9 k\r\n1\r\n2\r\n3\r\n0.2 alpha\r\n";
    auto p = tarvo::loadNonGravParameters(write("FITRA.CFG", text));
    EXPECT_DOUBLE_EQ(p.r0, 3.1);
    EXPECT_DOUBLE_EQ(p.m, 2.5);
    EXPECT_DOUBLE_EQ(p.scaleExponent, 2.0);
    EXPECT_DOUBLE_EQ(p.n, 6.1);
    EXPECT_DOUBLE_EQ(p.k, 4.9);
    EXPECT_DOUBLE_EQ(p.alpha, 0.2);
}

TEST_F(ConfigurationTest, ShortOrDamagedFitraFileKeepsDefaults) {
    std::string text;
    for (int i = 1; i <= 20; ++i) text += "9 line\r\n";
    auto p = tarvo::loadNonGravParameters(write("FITRA.CFG", text));
    EXPECT_DOUBLE_EQ(p.r0, 2.808);
    EXPECT_DOUBLE_EQ(p.alpha, 0.111262);
    std::string damaged;
    for (int i = 1; i <= 27; ++i) damaged += "0\r\n";
    damaged += "3.0 r0\r\nnonsense\r\n";
    auto q = tarvo::loadNonGravParameters(write("F2", damaged));
    EXPECT_DOUBLE_EQ(q.r0, 3.0); // read before the damage
    EXPECT_DOUBLE_EQ(q.m, 2.15); // default after it
    EXPECT_DOUBLE_EQ(q.alpha, 0.111262);
}

} // namespace
