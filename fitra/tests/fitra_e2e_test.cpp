// fitra run the way a user runs it, by key script, in a data tree of the
// test's own made by the builder (observatory codes of the MPC list, leap
// seconds of tzdata, the help files): import 12893.obs, list it, save
// FITRA.CFG, ask for help, quit.
#include "program_runner.h"
#include "shared_inputs.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using tarvo::testing::readFile;
using tarvo::testing::runProgram;

class FitraProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        FITRA_REQUIRE_FILE(fitra::testing::kTzdataLeapSeconds);
        FITRA_REQUIRE_FILE(fitra::testing::kSharedData / "mpc" / "ObsCodes.html");
        FITRA_REQUIRE_FILE(fitra::testing::kSharedData / "mpc" / "12893.obs");
        char pattern[] = "/tmp/fitra-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        for (const char* d : {"BIN", "ASC", "USERDATA"}) fs::create_directories(root / d);
        const std::string builder = (fs::path(TARVO_BIN_DIR) / "tarvo-build-data").string();
        for (const std::string only : {"CFG/OBSCODES", "CFG/LEAPSECS", "CFG/DUT1", "HELPFT"}) {
            const auto r = runProgram(
                "'" + builder + "' --tree '" + root.string() + "' --only " + only +
                    " --mpc-obscodes='" +
                    (fitra::testing::kSharedData / "mpc" / "ObsCodes.html").string() + "'",
                root);
            ASSERT_EQ(r.status, 0) << r.output;
        }
        fs::copy_file(fitra::testing::kSharedData / "mpc" / "12893.obs",
                      root / "USERDATA" / "12893.obs");
    }
    void TearDown() override {
        if (!root.empty() && !getenv("FITRA_KEEP")) fs::remove_all(root);
    }
    tarvo::testing::ProgramRun run(const std::string& script) {
        std::ofstream(root / "s.txt") << script;
        return runProgram("'" + tarvo::testing::kFitra.string() + "' --script '" +
                              (root / "s.txt").string() + "' --transcript '" +
                              (root / "t.txt").string() + "'",
                          root / "USERDATA", "-u TARVO12DIR -u VISUAL -u EDITOR");
    }
    fs::path root;
};

TEST_F(FitraProgram, ImportListSaveHelpAndQuit) {
    const auto r = run("expect Newton-Gauss\n"
                       "key Space\n"
                       "expect Toggle       Action          Status\n"
                       "expect DEMO.POS\n"
                       "key L\nkey L\nexpect L Minor Pl.  35\n"
                       "key I\nexpect 12893.obs\nkey A\n"
                       "expect 1401 observations written to 12893.POS, 0 lines skipped\n"
                       "expect 12893.POS\n"
                       "key Enter\n"
                       "expect Observations of 12893  (1401, TT)\n"
                       "key Esc\n"
                       // This tree holds no planetary data set: the fit says so.
                       "expect MESSAGE BOX\nkey Enter\n"
                       "expect 1401 observations read from 12893.POS\n"
                       "key #\n"
                       "key \\\nkey I\nexpect Help message\nexpect 80-column\nkey Esc\n"
                       "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << readFile(root / "t.txt");
    EXPECT_TRUE(fs::exists(root / "USERDATA" / "12893.POS"));
    EXPECT_TRUE(fs::exists(root / "USERDATA" / "12893.MAG"));
    const std::string cfg = readFile(root / "CFG" / "FITRA.CFG");
    EXPECT_NE(cfg.find(" 2              Minor Pl.\r\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("-1            Topocentric\r\n"), std::string::npos) << cfg;
    // The next start reads the toggles back.
    const auto again =
        run("key Space\nexpect L Minor Pl.  35\nexpect T     Topocentric Coord.     On\nkey Esc\n");
    EXPECT_EQ(again.status, 0) << again.output;
}

TEST_F(FitraProgram, AMissingDataFileAndAnUnusableImportSayWhy) {
    std::ofstream(root / "USERDATA" / "JUNK.MPC", std::ios::binary) << std::string(300, '\x01');
    const auto r = run("key Space\n"
                       "key Enter\nexpect No data file DEMO.POS\n"
                       "key I\nkey B\nexpect Not imported\nexpect JUNK.MPC\n"
                       "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << readFile(root / "t.txt");
    EXPECT_FALSE(fs::exists(root / "USERDATA" / "JUNK.POS"));
}

TEST_F(FitraProgram, WithoutAutomaticStartingConditionsStartingDatIsRequired) {
    std::ofstream(root / "USERDATA" / "DEMO.POS", std::ios::binary)
        << "1 Observations of DEMO\n-1 x\n2 p\n20180101.5 12.3030 -0.3030 1.00 0.5 0.8 10.0\n0\n";
    const auto r =
        run("key Space\nkey U\nkey Enter\nexpect No STARTING.DAT\n"
            "key U\nkey Enter\nexpect Observations of DEMO  (1, TT)\nkey Esc\nkey Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << readFile(root / "t.txt");
}

TEST_F(FitraProgram, HelpAndVersionAndBadArguments) {
    EXPECT_EQ(runProgram("'" + tarvo::testing::kFitra.string() + "' --version", root).output,
              "fitra 12.1.0\n");
    EXPECT_EQ(runProgram("'" + tarvo::testing::kFitra.string() + "' --help", root).status, 0);
    EXPECT_EQ(runProgram("'" + tarvo::testing::kFitra.string() + "' nonsense", root).status, 2);
}

} // namespace

namespace {

// The fit as a user drives it: a short arc of 12893 from Auto Starting
// conditions, residuals, Cut Bad Data into a new file, the fit of that
// file, export and Set as Start. The planets come from the build's tree.
TEST_F(FitraProgram, FitCutRefitExportAndSetAsStart) {
    const fs::path tree = TARVO_TEST_TREE;
    FITRA_REQUIRE_FILE(tree / "BIN" / "PL431SN.BIN");
    fs::remove_all(root / "BIN");
    fs::remove_all(root / "ASC");
    fs::create_directory_symlink(tree / "BIN", root / "BIN");
    fs::create_directory_symlink(tree / "ASC", root / "ASC");
    auto imported = run("key Space\nkey I\nkey A\nexpect 12893.POS\nkey Esc\n");
    ASSERT_EQ(imported.status, 0) << imported.output << readFile(root / "t.txt");
    // The 2017 apparition as a file of its own.
    std::istringstream all(readFile(root / "USERDATA" / "12893.POS"));
    std::string text, line;
    for (int i = 0; i < 3 && std::getline(all, line); ++i) text += line + "\n";
    int kept = 0;
    while (std::getline(all, line))
        if (line.rfind(" 2017", 0) == 0) {
            text += line + "\n";
            ++kept;
        }
    ASSERT_GT(kept, 200);
    std::ofstream(root / "USERDATA" / "SHORT.POS", std::ios::binary) << text << "0\n";
    const std::string shortBefore = readFile(root / "USERDATA" / "SHORT.POS");

    const auto r = run("key Space\nkey F\nkey B\nexpect SHORT.POS\n"
                       "key M\nkey T\nexpect T     Topocentric Coord.     On\n"
                       "key Enter\nkey Esc\n"
                       "expect Iteration 1.\nexpect Converged\nexpect Used 222 obs.\n"
                       "key R\nexpect dRA*(\")\nkey Esc\n"
                       "key B\nexpect New .POS Filename ?\ntext CUT\n"
                       "expect Resid. Threshold in RA (arcsecs) ?\ntext 1.5\n"
                       "expect Resid. Threshold in DEC (arcsecs) ?\ntext 1.5\n"
                       "expect CUT.POS\n"
                       "key Enter\nkey Esc\nexpect Converged\n"
                       "key G\nexpect Input Date (YYYY.MMDD)\ntext 2018.0101\n"
                       "expect LAST1.TVX written at JD 2458119.50000\n"
                       "key K\nexpect No of Samples ?\ntext 20\n"
                       "expect 20 clones written to Clones.TVX\n"
                       "key X\nexpect CUTX.TVX written\nkey S\nexpect STARTING.DAT written\n"
                       "key Q\n");
    ASSERT_EQ(r.status, 0) << r.output << readFile(root / "t.txt");
    const fs::path u = root / "USERDATA";
    for (const char* f : {"CovMat.DAT", "CovarExt.dat", "RESID.DAT", "CALCD.DAT", "BESTPOS.TVX",
                          "ORBIT.LOG", "CUT.POS", "CUTX.TVX", "Clones.TVX", "LAST1.TVX",
                          "FIRST0.TVX", "START0.DAT", "STARTING.DAT"})
        EXPECT_TRUE(fs::exists(u / f)) << f;
    EXPECT_EQ(readFile(u / "SHORT.POS"), shortBefore);
    EXPECT_NE(readFile(u / "CUT.POS").find("\n-"), std::string::npos);
    // tarvo starts from the exported state: its menu lists and loads it.
    for (const auto& e : fs::directory_iterator(tree / "CFG"))
        if (!fs::exists(root / "CFG" / e.path().filename()))
            fs::copy_file(e.path(), root / "CFG" / e.path().filename());
    for (const char* d : {"IMG", "HLP"})
        for (const auto& e : fs::directory_iterator(tree / d)) {
            fs::create_directories(root / d);
            if (!fs::exists(root / d / e.path().filename()))
                fs::copy_file(e.path(), root / d / e.path().filename());
        }
    std::ofstream(root / "t2.txt") << "key Enter\nkey M\nexpect CUTX.TVX\ntext cutx\n"
                                      "expect 12893\nkey Esc\nkey Esc\nkey Esc\n";
    const auto loaded = runProgram("'" + tarvo::testing::kTarvo.string() + "' --script '" +
                                       (root / "t2.txt").string() + "' --transcript '" +
                                       (root / "t3.txt").string() + "'",
                                   u, "-u TARVO12DIR -u VISUAL -u EDITOR");
    EXPECT_EQ(loaded.status, 0) << loaded.output << readFile(root / "t3.txt");
    // The fit's RMS with the outliers cut stays below an arcsecond.
    const std::string transcript = readFile(root / "t.txt");
    const auto at = transcript.rfind("RA*cos(Dec)");
    ASSERT_NE(at, std::string::npos);
    EXPECT_LT(std::stod(transcript.substr(at + 11, 10)), 1.0) << transcript.substr(at, 60);
}

} // namespace
