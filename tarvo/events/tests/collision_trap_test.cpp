// The collision trap as a run sees it: the lines it appends to COLLIS.LOG
// and EJECTED.LOG, the layout of the conservation log's line, the event
// flag the checkpoint reads, and a log that cannot be written.
#include "tarvo/events/collision_trap.h"

#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tarvo {
namespace {

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class CollisionTrapLogs : public testing::ScratchDirectoryTest {
  protected:
    BodyTable t;
    IntegrationState s;
    FrameState frame;
    ForceCoefficients force;
    PrecessionTable precession;
    DataDirectories dirs;
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        createBodyTable(minimumMaxBodies, t);
        t.layout = BodyLayout{};
        t.layout.bodyCount = 3;
        t.layout.lastMajor = t.layout.lastMassive = 2;
        t.layout.noMoon = true;
        t.layout.moonIndex = t.maxBodies;
        t.mass[0] = 1988500;
        t.mass[1] = t.mass[2] = 1;
        const char* names[] = {"Sun", "Vulcan", "Thule", "Rock"};
        for (int i = 0; i <= 3; ++i) {
            setBodyName(t, i, names[i]);
            t.posX[i] = i == 0 ? 0 : 100 + i;
        }
        t.posX[3] = t.posX[2] + 1e-4L; // Rock on Thule
        t.radius[2] = 1e-3;
        t.radius[3] = 1e-5;
        s.step = 1;
        s.epoch = 1234.5L;
    }
};

TEST_F(CollisionTrapLogs, EventsAreAppendedAndFlaggedForTheCheckpoint) {
    RunContext run(t, s, frame, force, precession, dirs);
    CollisionTrap trap(dir, 101.5L); // Thule sits beyond 101.5 Gm
    std::string message;
    // The start state: Rock (a minor body, the farthest) hits Thule and goes
    // without merging; a body that collided is not tested for ejection.
    ASSERT_TRUE(trap.begin(run, message));
    EXPECT_TRUE(s.collisionEvent);
    EXPECT_EQ(trap.collisions(), 1);
    EXPECT_EQ(trap.ejections(), 0);
    EXPECT_EQ(t.layout.bodyCount, 2);
    EXPECT_EQ(t.mass[2], 1);
    EXPECT_EQ(readAll(dir / "COLLIS.LOG"),
              "       1234.500       2      3    Thule     Rock     \r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "EJECTED.LOG"));
    // The next step: Thule, now the farthest, is beyond the cutoff.
    s.collisionEvent = false;
    s.epoch = 1237.25L;
    StepEnds ends;
    EXPECT_EQ(trap.afterStep(ends, run), StepOutcome::tableChanged);
    EXPECT_TRUE(s.collisionEvent);
    EXPECT_EQ(t.layout.bodyCount, 1);
    EXPECT_EQ(bodyName(t, 1), "Vulcan   ");
    EXPECT_EQ(readAll(dir / "EJECTED.LOG"), "       1237.2500       2  Thule    \r\n");
    s.collisionEvent = false;
    EXPECT_EQ(trap.afterStep(ends, run), StepOutcome::carryOn);
    EXPECT_FALSE(s.collisionEvent);
    EXPECT_TRUE(trap.finish(run).message.empty());
}

TEST_F(CollisionTrapLogs, ALogThatCannotBeWrittenIsReported) {
    RunContext run(t, s, frame, force, precession, dirs);
    CollisionTrap trap(dir / "no such directory", noEjectionCutoff);
    std::string message;
    ASSERT_TRUE(trap.begin(run, message));
    EXPECT_EQ(trap.collisions(), 1);
    const SearchSummary summary = trap.finish(run);
    EXPECT_NE(summary.message.find("COLLIS.LOG"), std::string::npos) << summary.message;
}

TEST(ConservationLog, LineLayout) {
    ConservationQuantities q;
    q.barycentre = {3e-20L, 0, 4e-20L};
    q.energy = -46.5357035833916L;
    q.angularMomentum = {0, 0.5L, 0};
    const std::string line = conservationLogLine(365.25L * 2.5L, q);
    EXPECT_EQ(line, "          2.500  5.0000E-20  -4.65357035833916E+01   5.00000000000000E-01"
                    "  0.00000000000000  0.50000000000000  0.00000000000000");
}

} // namespace
} // namespace tarvo
