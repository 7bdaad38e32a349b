// The checkpoints of long runs, driven by key scripts: FINSTAT.TVF with
// FINSTAT.BIN after the steps of jumps and of file output (every 24th kept as
// FINALnnn.TVF), and a checkpoint never found half written when the program
// is killed. TARVO_CHECKPOINT_SECONDS=0 puts a checkpoint after every step,
// as 300 s of wall clock would on a long run.
#include "program_runner.h"

#include "tarvo/libraries/state_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kEveryStep = "-u TARVO12DIR TARVO_CHECKPOINT_SECONDS=0";

class CheckpointEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/PL431MND.BIN", {"CFG"}); }
    fs::path work() const { return root / "USERDATA"; }
    long double julianDateOf(const std::string& name) {
        tarvo::StateFileContents contents;
        std::string message;
        EXPECT_TRUE(tarvo::readStateFile(work() / name, tarvo::StateFileKind::Full, 1000, contents,
                                         message))
            << message;
        return contents.julianDate;
    }
};

// A jump of half a year is some 60 steps: the 24th and 48th checkpoints
// are kept while it runs, and the last is where it ended.
TEST_F(CheckpointEndToEnd, WrittenDuringAJump) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "key Esc\n"
                 "key D\n" // Delta-T off (Esc in its menu): the dates typed are TT
                 "key Esc\n"
                 "key J\n"
                 "text 2000,07,01\n"
                 "expect TT:   2000/07/01\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n",
                 "", {}, kEveryStep);
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    ASSERT_TRUE(fs::exists(work() / "FINAL001.TVF"));
    ASSERT_TRUE(fs::exists(work() / "FINAL002.TVF"));
    const long double first = julianDateOf("FINAL001.TVF"), second = julianDateOf("FINAL002.TVF");
    EXPECT_GT(first, 2451558.5L);
    EXPECT_GT(second, first + 70); // 24 steps of 3 days
    EXPECT_LE(second, 2451726.5L);
    EXPECT_EQ(julianDateOf("FINSTAT.TVF"), 2451726.5L); // 2000/07/01, TT
    EXPECT_FALSE(fs::exists(work() / tarvo::pendingCheckpointBinary));
}

// File output of 30 records: checkpoints after its steps too.
TEST_F(CheckpointEndToEnd, WrittenDuringFileOutput) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "key Esc\n"
                 "key F\n"
                 "key Y\n"
                 "text 30\n"
                 "key J\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n",
                 "", {}, kEveryStep);
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    ASSERT_TRUE(fs::exists(work() / "FINAL001.TVF"));
    // The 24th checkpoint lies inside the span the records cover.
    const long double kept = julianDateOf("FINAL001.TVF");
    EXPECT_GT(kept, 2451558.5L);
    EXPECT_LT(kept, 2451558.5L + 31 * 3);
    EXPECT_EQ(julianDateOf("FINSTAT.TVF"), julianDateOf("FINAL.TVF"));
}

// Killed at whatever moment of a run that writes a checkpoint after every
// step, the program leaves a FINSTAT.TVF whose binary companion holds the
// same state as its text (to the text's 18 digits), so that it resumes a
// state the run really had; every FINALnnn.TVF is whole.
TEST_F(CheckpointEndToEnd, AKillDuringACheckpointLosesNothing) {
    // No keys after the date: an Esc waiting in the script would stop the jump.
    std::ofstream(root / "s.txt") << "key Enter\nkey 2\ntext 2000,01,15\nkey Esc\n"
                                     "key J\ntext 2060,01,01\n";
    for (int attempt = 0; attempt < 6; ++attempt) {
        for (const auto& f : fs::directory_iterator(work())) fs::remove(f.path());
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            if (chdir(work().c_str()) != 0) _exit(99);
            unsetenv("TARVO12DIR");
            setenv("TARVO_CHECKPOINT_SECONDS", "0", 1);
            if (!freopen("/dev/null", "r", stdin) || !freopen("/dev/null", "w", stdout)) _exit(98);
            execl(tarvo::testing::kTarvo.c_str(), "tarvo", "--script", (root / "s.txt").c_str(),
                  static_cast<char*>(nullptr));
            _exit(97);
        }
        // Wait for the jump's checkpoints, then kill at a moment of its own.
        for (int i = 0; i < 2000 && !fs::exists(work() / "FINSTAT.BIN"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::microseconds(37000 * attempt + 1000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(fs::exists(work() / "FINSTAT.TVF")) << attempt;

        tarvo::StateFileContents text;
        std::string message;
        ASSERT_TRUE(tarvo::readStateFile(work() / "FINSTAT.TVF", tarvo::StateFileKind::Full, 1000,
                                         text, message))
            << message;
        tarvo::BodyTable table;
        ASSERT_TRUE(tarvo::createBodyTable(100, table).ok);
        tarvo::StateLoadSettings settings;
        settings.kind = tarvo::StateFileKind::Full;
        const tarvo::StateLoadResult loaded =
            tarvo::loadStateFile(work() / "FINSTAT.TVF", settings, table);
        ASSERT_TRUE(loaded.ok) << loaded.message;
        for (std::size_t i = 0; i < text.records.size(); ++i) {
            const auto& p = text.records[i].position;
            const long double x = table.posX[i], y = table.posY[i], z = table.posZ[i];
            const long double scale = std::fabs(p[0]) + std::fabs(p[1]) + std::fabs(p[2]) + 1e-30L;
            EXPECT_LT(std::fabs(x - p[0]) / scale, 1e-16L)
                << "attempt " << attempt << " body " << i;
            EXPECT_LT(std::fabs(y - p[1]) / scale, 1e-16L)
                << "attempt " << attempt << " body " << i;
            EXPECT_LT(std::fabs(z - p[2]) / scale, 1e-16L)
                << "attempt " << attempt << " body " << i;
        }
        for (const auto& f : fs::directory_iterator(work())) {
            const std::string name = f.path().filename().string();
            if (name.rfind("FINAL", 0) != 0 || f.path().extension() != ".TVF") continue;
            tarvo::StateFileContents kept;
            EXPECT_TRUE(
                tarvo::readStateFile(f.path(), tarvo::StateFileKind::Full, 1000, kept, message))
                << message;
        }
    }
}

} // namespace
