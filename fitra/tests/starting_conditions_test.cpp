// STARTING.DAT: the layouts of Set as Start read back exactly to the masks'
// precision; elements and satellite epochs; damaged files refused.
#include "fitra/starting_conditions.h"

#include "scratch_directory.h"

#include <cmath>

namespace {

class StartingFile : public tarvo::testing::ScratchDirectoryTest {};

TEST_F(StartingFile, EachLawRoundTripsThroughTheWrittenLayout) {
    fitra::StartingConditions s;
    s.epochJd = 2460000.5L;
    s.physical = {1.5e-6L, 0.25L, 3.0L};
    s.radialFactor = 1.0L;
    s.name = "APOPHIS";
    s.state = {-123.456789012345L, 98.7654321L, 0.001234L, 25.5L, -3.25L, 0.125L};
    s.nonGrav = {1e-9L, -2e-10L, 0};
    s.af = 0.5L;
    for (auto law :
         {fitra::StartingConditions::Law::standard, fitra::StartingConditions::Law::asymmetric,
          fitra::StartingConditions::Law::impulse}) {
        s.law = law;
        s.timeDelay = 12.5L;
        s.impulseTime = 8000.25L;
        s.impulse = {1e-5L, 2e-5L, -3e-5L};
        write("STARTING.DAT", fitra::formatStartingConditions(s));
        fitra::StartingConditions r;
        std::string message;
        ASSERT_TRUE(fitra::readStartingConditions(dir / "STARTING.DAT", r, message)) << message;
        EXPECT_EQ(r.law, law);
        EXPECT_EQ(r.name, "APOPHIS");
        EXPECT_EQ(static_cast<double>(r.epochJd), 2460000.5);
        for (int k = 0; k < 6; ++k)
            EXPECT_NEAR(static_cast<double>(r.state[k]), static_cast<double>(s.state[k]),
                        1e-15 * std::fabs(static_cast<double>(s.state[k])));
        if (law == fitra::StartingConditions::Law::asymmetric) {
            EXPECT_DOUBLE_EQ(static_cast<double>(r.timeDelay), 12.5);
        }
        if (law == fitra::StartingConditions::Law::impulse) {
            EXPECT_NEAR(static_cast<double>(r.impulseTime), 8000.25, 1e-9);
            EXPECT_NEAR(static_cast<double>(r.impulse[2]), -3e-5, 1e-14);
        }
        if (law == fitra::StartingConditions::Law::standard) {
            EXPECT_DOUBLE_EQ(static_cast<double>(r.af), 0.5);
        }
    }
}

TEST_F(StartingFile, ElementsAndSatelliteEpochsAreRecognised) {
    write("STARTEL0.DAT", "-92451545.0\n0 0 0 1 SAT\n0.1 10 20\n30 1.5 40\n0 0 0 0\n");
    fitra::StartingConditions r;
    std::string message;
    ASSERT_TRUE(fitra::readStartingConditions(dir / "STARTEL0.DAT", r, message)) << message;
    EXPECT_TRUE(r.elements);
    EXPECT_TRUE(r.satellite);
    EXPECT_EQ(static_cast<double>(r.epochJd), 2451545.0);
    EXPECT_EQ(r.name, "SAT");
}

TEST_F(StartingFile, DamagedFilesAreRefusedAndTheConditionsKept) {
    fitra::StartingConditions kept;
    kept.name = "KEPT";
    std::string message;
    EXPECT_FALSE(fitra::readStartingConditions(dir / "NONE.DAT", kept, message));
    write("CUT.DAT", "2460000.5\n0 0 0 1 X\n1 2 3\n");
    EXPECT_FALSE(fitra::readStartingConditions(dir / "CUT.DAT", kept, message));
    EXPECT_NE(message.find("incomplete"), std::string::npos);
    write("BIN.DAT", std::string("\x7f\x45\x4c\x46\n\x01\x02\n\xff\n\x00\n\x03\n", 15));
    EXPECT_FALSE(fitra::readStartingConditions(dir / "BIN.DAT", kept, message));
    EXPECT_NE(message.find("BIN.DAT"), std::string::npos);
    write("BIG.DAT", std::string(100000, '1'));
    EXPECT_FALSE(fitra::readStartingConditions(dir / "BIG.DAT", kept, message));
    write("IMP.DAT", "2460000.5\n0 0 0 1 X\n1 2 3\n4 5 6\n0 0 0 -59544.75\n");
    EXPECT_FALSE(fitra::readStartingConditions(dir / "IMP.DAT", kept, message));
    EXPECT_EQ(kept.name, "KEPT");
}

} // namespace
