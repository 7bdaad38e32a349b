// Telling state files from element files, and the run's heliocentric copy
// of the body table. Oracles: the format's marks (sign of the first number
// or of the step, the satellite offset); vectors worked by hand.
#include <gtest/gtest.h>

#include "state_file_test_support.h"
#include "tarvo/libraries/final_files.h"
#include "tarvo/libraries/state_file.h"

namespace tarvo::testing {
namespace {

TEST(RecogniseStateFile, SignsAndOffsetTellTheKinds)
{
    ScratchDirectory scratch;
    struct Case {
        const char* text;
        StateFileKind kind;
        bool element, satellite;
    };
    const Case cases[] = {
        {"2460000.5\n0 0 0 0 X\n", StateFileKind::MinorBody, false, false},
        {"-2460000.5\n", StateFileKind::MinorBody, true, false},
        {"92460000.5\n", StateFileKind::MinorBody, false, true},
        {"-92460000.5\n", StateFileKind::MinorBody, true, true},
        {"2460000.5\n 0.5 1989100 0.7 -26 0 SUN\n", StateFileKind::Full, false, false},
        {"2460000.5\n-0.5 1989100 0.7 -26 0 SUN\n", StateFileKind::Full, true, false},
    };
    for (const Case& c : cases) {
        const StateFileKindCheck check = recogniseStateFile(scratch.write("F.TVX", c.text), c.kind);
        ASSERT_TRUE(check.ok) << c.text << check.message;
        EXPECT_EQ(check.elementFile, c.element) << c.text;
        EXPECT_EQ(check.satelliteFile, c.satellite) << c.text;
        EXPECT_EQ(check.julianDate, 2460000.5L) << c.text; // sign and offset removed
    }
    EXPECT_FALSE(recogniseStateFile(scratch.path() / "NONE.TVX", StateFileKind::MinorBody).ok);
    const StateFileKindCheck garbage = recogniseStateFile(scratch.write("G.TVF", "\x01\x02garbage"), StateFileKind::Full);
    EXPECT_FALSE(garbage.ok);
    EXPECT_NE(garbage.message.find("G.TVF"), std::string::npos) << garbage.message;
    EXPECT_FALSE(recogniseStateFile(scratch.write("S.TVF", "2460000.5"), StateFileKind::Full).ok);
}

TEST(SnapshotOfTable, HeliocentricKilometresPerSecondAndRotated)
{
    BodyTable table = tableOf(60);
    table.layout = dataSetLayout(2, 60).layout;
    table.layout.bodyCount = 14;
    const long double step = 0.5L;
    const int direction = -1;
    const long double perStep = 0.0864L * direction * step;  // km/s -> stored step velocity
    for (int i = 0; i <= 14; ++i) {
        table.posX[i] = 10 + i, table.posY[i] = 20 + i, table.posZ[i] = 30 + i;
        table.velX[i] = (1 + i) * perStep, table.velY[i] = 0, table.velZ[i] = -2 * perStep;
        table.mass[i] = i;
    }
    setBodyName(table, 10, "Moon");
    const RunSnapshot plain = snapshotOfTable(table, 2460000.5L, 0.25, step, direction, false, 149.5978707L);
    ASSERT_EQ(plain.bodies.size(), 15u);
    EXPECT_EQ(plain.bodies[5].position[0], 5.0L);           // minus the Sun
    EXPECT_NEAR(double(plain.bodies[5].velocity[0]), 5.0, 1e-15);  // (6 - 1) km/s
    EXPECT_NEAR(double(plain.bodies[5].velocity[2]), 0.0, 1e-15);
    EXPECT_EQ(plain.bodies[10].position[0], 20.0L);         // the Moon stays geocentric
    EXPECT_NEAR(double(plain.bodies[10].velocity[0]), 11.0, 1e-15);
    EXPECT_EQ(plain.bodies[10].name, "Moon     ");
    EXPECT_EQ(plain.moonIndex, 10);

    // Satellite mode keeps the bodies above lastMajor geocentric as well.
    const RunSnapshot satellite = snapshotOfTable(table, 2460000.5L, 0.25, step, direction, true, 149.5978707L);
    EXPECT_EQ(satellite.bodies[14].position[0], 24.0L);
    EXPECT_EQ(satellite.bodies[13].position[0], 13.0L);  // index 13 is major: heliocentric

    // The rotation reaches every vector.
    const RunSnapshot turned = snapshotOfTable(table, 2460000.5L, 0.25, step, direction, false, 149.5978707L,
                                               [](const std::array<long double, 3>& v) {
                                                   return std::array<long double, 3>{-v[1], v[0], v[2]};
                                               });
    EXPECT_EQ(turned.bodies[5].position[0], -5.0L);
    EXPECT_EQ(turned.bodies[5].position[1], 5.0L);
    EXPECT_NEAR(double(turned.bodies[5].velocity[1]), 5.0, 1e-15);
}

}  // namespace
}  // namespace tarvo::testing
