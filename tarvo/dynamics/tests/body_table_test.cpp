// Body table bookkeeping. Oracle: the table rules themselves (capacity from
// the command line, the fixed index layout of each data set, removal by
// moving the last body) checked field by field.
#include <gtest/gtest.h>

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/integration_state.h"
#include "tarvo/dynamics/physical_constants.h"

namespace tarvo {
namespace {

TEST(BodyTableCapacity, CommandLineSizesTheTable) {
  EXPECT_EQ(maxBodiesFromCommandLine("20000").maxBodies, 20000);
  EXPECT_EQ(maxBodiesFromCommandLine("  20000 ").maxBodies, 20000);
  EXPECT_EQ(maxBodiesFromCommandLine("10").maxBodies, defaultMaxBodies);
  EXPECT_EQ(maxBodiesFromCommandLine("").maxBodies, defaultMaxBodies);
  EXPECT_EQ(maxBodiesFromCommandLine("XXX").maxBodies, defaultMaxBodies);
  EXPECT_EQ(maxBodiesFromCommandLine("XXXXXXXXX").maxBodies, defaultMaxBodies);
}

TEST(BodyTableCapacity, SmallSizesAreRaisedToTheLargestDataSet) {
  const CapacityResult r = maxBodiesFromCommandLine("15");
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.maxBodies, minimumMaxBodies);
  EXPECT_FALSE(r.message.empty());
}

TEST(BodyTableCapacity, HugeSizesAreRefusedWithAMessage) {
  const CapacityResult r = maxBodiesFromCommandLine("2000000000");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find("limit"), std::string::npos);
  BodyTable t;
  const CapacityResult c = createBodyTable(maxBodiesLimit + 1, t);
  EXPECT_FALSE(c.ok);
  EXPECT_FALSE(c.message.empty());
  EXPECT_EQ(t.maxBodies, 0);
}

TEST(BodyTableCapacity, EveryArrayCoversTheSameIndexRange) {
  BodyTable t;
  ASSERT_TRUE(createBodyTable(20000, t).ok);
  const std::size_t n = 20003;
  EXPECT_EQ(t.mass.size(), n);
  EXPECT_EQ(t.stepMass.size(), n);
  EXPECT_EQ(t.posZ.size(), n);
  EXPECT_EQ(t.velZ.size(), n);
  EXPECT_EQ(t.name.size(), n);
  EXPECT_EQ(t.color.size(), n);
  EXPECT_EQ(t.isComet.size(), n);
  EXPECT_EQ(t.tau.size(), n);
  EXPECT_EQ(t.impulse.size(), n);
  EXPECT_EQ(t.collisionFlag.size(), n);
  EXPECT_EQ(t.hiddenPlanet.size(), 32u);
  EXPECT_EQ(t.mass[20002], 0.0L);
}

TEST(DataSetLayout, FixedIndicesPerDataSet) {
  struct Row { int set, earth, moon, lastMajor, lastMassive; bool noMoon; };
  const int maxBodies = 16100;
  const Row rows[] = {
      {1, 3, 10, 13, 45, false}, {2, 3, 10, 13, 13, false},
      {3, 3, 10, 10, 10, false}, {4, 3, maxBodies, 12, 12, true},
      {5, 3, maxBodies, 9, 9, true}, {6, 3, 10, 13, 26, false},
      {7, 3, 10, 13, 13, false}, {8, 3, 10, 10, 10, false},
      {9, 3, maxBodies, 9, 9, true}, {10, 2, 6, 6, 6, false}};
  for (const Row& r : rows) {
    const DataSetLayoutResult l = dataSetLayout(r.set, maxBodies);
    ASSERT_TRUE(l.ok) << r.set;
    EXPECT_EQ(l.layout.earthIndex, r.earth) << r.set;
    EXPECT_EQ(l.layout.moonIndex, r.moon) << r.set;
    EXPECT_EQ(l.layout.lastMajor, r.lastMajor) << r.set;
    EXPECT_EQ(l.layout.lastMassive, r.lastMassive) << r.set;
    EXPECT_EQ(l.layout.noMoon, r.noMoon) << r.set;
    EXPECT_LE(l.layout.bodyCount + 3, minimumMaxBodies) << r.set;
  }
  EXPECT_FALSE(dataSetLayout(0, maxBodies).ok);
  EXPECT_FALSE(dataSetLayout(11, maxBodies).ok);
}

TEST(DataSetLayout, DataSetFourHasNoMoonInTheTable) {
  BodyTable t;
  ASSERT_TRUE(createBodyTable(16100, t).ok);
  t.layout = dataSetLayout(4, t.maxBodies).layout;
  EXPECT_EQ(t.layout.moonIndex, t.maxBodies);
  EXPECT_FALSE(t.moonIntegrated());
  for (int i = 0; i <= t.layout.bodyCount; ++i) {
    EXPECT_FALSE(isStoredGeocentric(t, i, false)) << i;
  }
}

class RemoveBody : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(createBodyTable(100, t).ok);
    t.layout = dataSetLayout(2, t.maxBodies).layout;
    t.layout.bodyCount = 16;
    for (int i = 0; i <= 16; ++i) {
      t.mass[i] = 10.0L * i;
      t.posX[i] = i;
      t.velY[i] = -i;
      t.color[i] = 0x010203u * static_cast<unsigned>(i);
      t.A2[i] = 0.5 * i;
      setBodyName(t, i, "BODY" + std::to_string(i));
    }
  }
  BodyTable t;
};

TEST_F(RemoveBody, LastBodyOnlyDecrementsTheCount) {
  removeBody(t, 16);
  EXPECT_EQ(t.layout.bodyCount, 15);
  EXPECT_EQ(bodyName(t, 15), "BODY15   ");
  EXPECT_EQ(t.layout.lastMajor, 13);
}

TEST_F(RemoveBody, LastBodyMovesIntoTheGapWithNameAndColour) {
  removeBody(t, 14);
  EXPECT_EQ(t.layout.bodyCount, 15);
  EXPECT_EQ(bodyName(t, 14), "BODY16   ");
  EXPECT_EQ(t.color[14], 0x010203u * 16u);
  EXPECT_EQ(t.mass[14], 160.0L);
  EXPECT_EQ(t.posX[14], 16.0L);
  EXPECT_EQ(t.velY[14], -16.0L);
  EXPECT_EQ(t.A2[14], 8.0);
}

TEST_F(RemoveBody, MajorBlockShrinksWhenTheCountFallsBelowIt) {
  t.layout.bodyCount = 13;
  removeBody(t, 5);
  EXPECT_EQ(t.layout.bodyCount, 12);
  EXPECT_EQ(t.layout.lastMajor, 12);
  EXPECT_EQ(t.layout.lastMassive, 12);
  EXPECT_EQ(bodyName(t, 5), "BODY13   ");
}

TEST_F(RemoveBody, IndicesFollowTheMovedBody) {
  t.layout.bodyCount = 13;
  t.layout.moonIndex = 13;
  removeBody(t, 11);
  EXPECT_EQ(t.layout.moonIndex, 11);
  removeBody(t, 11);  // the Moon itself
  EXPECT_TRUE(t.layout.noMoon);
  EXPECT_EQ(t.layout.moonIndex, t.maxBodies);
}

TEST(GeocentricStorage, HeliocentricMoonIsMoonPlusEarthMinusSun) {
  BodyTable t;
  ASSERT_TRUE(createBodyTable(100, t).ok);
  t.layout = dataSetLayout(2, t.maxBodies).layout;
  t.posX[0] = 0.001L; t.posY[0] = -0.002L; t.posZ[0] = 0.0005L;
  t.posX[3] = 100.0L; t.posY[3] = 90.0L; t.posZ[3] = 40.0L;
  t.posX[10] = 0.3L; t.posY[10] = -0.2L; t.posZ[10] = 0.1L;
  const auto moon = heliocentricPosition(t, 10, false);
  EXPECT_EQ(moon[0], 0.3L + 100.0L - 0.001L);
  EXPECT_EQ(moon[1], -0.2L + 90.0L + 0.002L);
  EXPECT_EQ(moon[2], 0.1L + 40.0L - 0.0005L);
  const auto earth = heliocentricPosition(t, 3, false);
  EXPECT_EQ(earth[0], 100.0L - 0.001L);
}

TEST(DerivedConstants, RelativisticCoefficientOfTheSun) {
  BodyTable t;
  ASSERT_TRUE(createBodyTable(100, t).ok);
  t.layout = dataSetLayout(2, t.maxBodies).layout;
  t.mass[0] = 1989100.0L;  // Sun in the suite's mass unit with its G
  t.mass[3] = 5.97237L;
  const DerivedConstants d = deriveConstants(t);
  // Oracle: Gauss's constant, GM_sun = k^2 AU^3/day^2, and c = 173.1446 AU/day,
  // so 6 GM/c^2 = 8.8598e-6 Gm (8.86 km).
  const double au = 149.5978707;
  const double gaussMu = 0.01720209895 * 0.01720209895 * au * au * au;
  EXPECT_NEAR(static_cast<double>(d.muSun), gaussMu, 1e-4 * gaussMu);
  EXPECT_NEAR(static_cast<double>(d.relativistic), 8.8598e-6, 0.001e-6);
  EXPECT_EQ(d.muEarth, gravitationalConstant * 5.97237L);
}

TEST(OrderCode, OptionMapsToOrder) {
  EXPECT_EQ(orderCodeFromOption(0), 6);
  EXPECT_EQ(orderCodeFromOption(1), 8);
  EXPECT_EQ(orderCodeFromOption(-1), 7);
  EXPECT_EQ(orderCodeFromOption(5), 7);
}

}  // namespace
}  // namespace tarvo
