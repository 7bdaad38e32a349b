// Loading .TVX and .TVF files into the body table. Oracles: the format's
// own rules worked by hand on small files, two-body energy for the default
// radial factor, and bit equality for the extended-precision checkpoint.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "state_file_test_support.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/state_file.h"

namespace tarvo::testing {
namespace {

constexpr int capacity = 60;

struct MinorBodyLoad : ::testing::Test {
    void SetUp() override
    {
        table = tableOf(capacity);
        const DataSetLayoutResult layout = dataSetLayout(2, capacity);
        ASSERT_TRUE(layout.ok);
        table.layout = layout.layout;
        settings.kind = StateFileKind::MinorBody;
        settings.dataSet = 2;
        settings.firstIndex = table.layout.lastMassive + 1;
    }
    StateLoadResult load(const std::filesystem::path& file) { return loadStateFile(file, settings, table); }

    ScratchDirectory scratch;
    BodyTable table;
    StateLoadSettings settings;
};

const char* const threeMinorBodies =
    "2460000.5\n"
    "0 0.0005 3.4 1E-09 CERES     303099\n"
    " 100.5 -50.25 10.125\n"
    " 5.5 20.25 -1.75\n"
    " 0.5 0.25 0.125 1\n"
    "4.5 -0.001 10 2E-09 HALLEY/1P\n"
    " -200 300 -400\n"
    " 10 -20 30\n"
    " 1E-08 2E-09 0 0\n"
    "0 0.0001 18 0 IMPULSE\n"
    " 150 0 0\n"
    " 0 29.78 0\n"
    " 0 0 0 -60000 0.001 0 0\n";

TEST_F(MinorBodyLoad, RecordsFillTheSlotsAfterTheMajorBodies)
{
    const StateLoadResult r = load(scratch.write("THREE.TVX", threeMinorBodies));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.epoch, 2460000.5L - 2451545.0L);
    EXPECT_FALSE(r.satelliteFile);
    const int i = settings.firstIndex;
    EXPECT_EQ(bodyName(table, i), "CERES    ");
    EXPECT_EQ(table.posX[i], 100.5L);
    EXPECT_EQ(table.velZ[i], -1.75L);
    EXPECT_EQ(table.relFactor[i], 1e-9);
    EXPECT_EQ(table.relFactorBase[i], 1e-9);
    EXPECT_EQ(table.absMag[i], 3.4);
    // Number 1: a catalogue number; A1 dropped, A2 and A3 as they stand.
    EXPECT_EQ(table.objectNumber[i], 1);
    EXPECT_EQ(table.A1[i], 0);
    EXPECT_EQ(table.A2[i], 0.25);
    EXPECT_EQ(table.layout.bodyCount, i + 2);
}

TEST_F(MinorBodyLoad, NameColourCodeGivesScaledComponents)
{
    // Last six characters 30 30 99: blue 30, green 30, red 99 -> 77, 77, 255.
    ASSERT_TRUE(load(scratch.write("THREE.TVX", threeMinorBodies)).ok);
    const std::uint32_t c = table.color[settings.firstIndex];
    EXPECT_EQ(c & 0xff, 255u);
    EXPECT_EQ((c >> 8) & 0xff, 77u);
    EXPECT_EQ((c >> 16) & 0xff, 77u);
    EXPECT_EQ(colourCode(c), "303099");
    EXPECT_FALSE(decodeNameField("SHORTNAME1").hasColour);       // 10 characters: no code
    EXPECT_FALSE(decodeNameField("C_2020 F3 NEOWISE").hasColour); // no number at the end
    EXPECT_FALSE(decodeNameField("ASTEROID  000005").hasColour);  // code 5 or less
}

TEST_F(MinorBodyLoad, NegativeRadiusMakesACometWithSlopeAndNoMass)
{
    ASSERT_TRUE(load(scratch.write("THREE.TVX", threeMinorBodies)).ok);
    const int i = settings.firstIndex + 1;
    EXPECT_EQ(bodyName(table, i), "HALLEY_1P");
    EXPECT_NE(table.isComet[i], 0);
    EXPECT_EQ(table.massField[i], 4.5);
    EXPECT_EQ(table.radius[i], 0.001);
    EXPECT_EQ(table.mass[i], 0.0L);
    EXPECT_NE(table.nonGravFlag[i], 0);
    // Number 0: A1 dropped as well.
    EXPECT_EQ(table.A1[i], 0);
    EXPECT_EQ(table.A2[i], 2e-9);
}

TEST_F(MinorBodyLoad, NegativeNumberStringIsAnImpulse)
{
    const StateLoadResult r = load(scratch.write("THREE.TVX", threeMinorBodies));
    ASSERT_TRUE(r.ok);
    const int i = settings.firstIndex + 2;
    EXPECT_EQ(table.impulse[i].epoch, 60000 - 51544.5);
    EXPECT_EQ(table.impulse[i].deltaV[0], 0.001);
    EXPECT_EQ(table.impulse[i].deltaV[1], 0);
    EXPECT_EQ(table.objectNumber[i], delayedModelMarker);
    EXPECT_TRUE(r.nonGravitationalBodies);  // the comet
}

TEST_F(MinorBodyLoad, ZeroRadialFactorIsComputedFromTheOrbit)
{
    // The third body moves on a circle-like orbit at 150 Gm: E = v^2/2 - GM/r < 0
    // gives 18 E / c^2.
    ASSERT_TRUE(load(scratch.write("THREE.TVX", threeMinorBodies)).ok);
    const int i = settings.firstIndex + 2;
    const double v = 29.78 * 0.0864;
    const double energy = v * v / 2 - double(gravitationalConstant) * 1989095.324 / 150;
    const double expected = 18 * energy / (double(speedOfLight) * double(speedOfLight));
    EXPECT_NEAR(table.relFactor[i], expected, 1e-15 * std::fabs(expected));
    EXPECT_EQ(table.relFactorBase[i], table.relFactor[i]);
    // An unbound orbit takes 2 E / c^2.
    const double fast = defaultRelFactor({150, 0, 0}, {0, 100, 0}, 1989095.324L);
    const double e2 = 100 * 0.0864 * 100 * 0.0864 / 2 - double(gravitationalConstant) * 1989095.324 / 150;
    EXPECT_NEAR(fast, 2 * e2 / (double(speedOfLight) * double(speedOfLight)), 1e-15);
}

TEST_F(MinorBodyLoad, ClosingMinusThreeMakesTheFirstThreeBodiesMajor)
{
    const int lastMajor = table.layout.lastMajor;
    const StateLoadResult r = load(scratch.write("MAJOR.TVX", std::string(threeMinorBodies) + "-3\n"));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(table.layout.lastMajor, lastMajor + 3);
    // A marker larger than the list makes only the bodies read major.
    ASSERT_TRUE(load(scratch.write("MORE.TVX", std::string(threeMinorBodies) + "-7 anything after is ignored\n")).ok);
    EXPECT_EQ(table.layout.lastMajor, lastMajor + 6);
}

TEST_F(MinorBodyLoad, SatelliteJdOffsetMarksAGeocentricFileWithoutMasses)
{
    std::string text = threeMinorBodies;
    text.replace(0, 9, "92460000.5");
    const StateLoadResult r = load(scratch.write("SAT.TVX", text));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(r.satelliteFile);
    EXPECT_EQ(r.epoch, 2460000.5L - 2451545.0L);
    for (int i = settings.firstIndex; i < settings.firstIndex + 3; ++i) EXPECT_EQ(table.mass[i], 0.0L);
    // Satellite coefficients are taken unscaled (A1 is the drag coefficient).
    EXPECT_EQ(table.A1[settings.firstIndex], 0.5);
}

TEST_F(MinorBodyLoad, LfLineEndsReadLikeCrLf)
{
    const StateLoadResult a = load(scratch.write("CRLF.TVX", threeMinorBodies, true));
    BodyTable first = table;
    SetUp();
    const StateLoadResult b = load(scratch.write("LF.TVX", threeMinorBodies, false));
    ASSERT_TRUE(a.ok && b.ok);
    for (int i = 0; i < capacity; ++i) {
        EXPECT_EQ(first.posY[i], table.posY[i]);
        EXPECT_EQ(first.name[i], table.name[i]);
    }
}

TEST(NumberField, ScalesAndModels)
{
    const long double au = 149.5978707L;
    NonGravitationalData d = decodeNumberField(1e-8, 2e-9, 3e-10, "0.5", au, false);
    EXPECT_NEAR(d.A1, 1e-8 * 0.5 * 149.5978707, 1e-22);
    EXPECT_NEAR(d.A3, 3e-10 * 0.5 * 149.5978707, 1e-24);
    EXPECT_EQ(d.objectNumber, 0.5);
    d = decodeNumberField(1e-8, 2e-9, 0, "-1 45.5", au, false);
    EXPECT_TRUE(d.asymmetric);
    EXPECT_EQ(d.tau, 45.5);
    EXPECT_EQ(d.objectNumber, delayedModelMarker);
    EXPECT_NEAR(d.A1, 1e-8 * delayedModelMarker * 149.5978707, 1e-22);
    d = decodeNumberField(1e-8, 2e-9, 0, "433", au, false);
    EXPECT_EQ(d.objectNumber, 433);
    EXPECT_EQ(d.A1, 0);
    EXPECT_EQ(d.A2, 2e-9);
    d = decodeNumberField(1e-8, 0, 0, "", au, false);  // missing numbers are 0
    EXPECT_EQ(d.objectNumber, 0);
    EXPECT_EQ(d.A1, 0);
    // FITRA.CFG's A of the g(r) law takes the place of 0.111262.
    d = decodeNumberField(1e-8, 0, 0, "-60000 0.001 0 0", au, false, 0.25);
    EXPECT_TRUE(d.hasImpulse);
    EXPECT_EQ(d.objectNumber, 0.25);
    EXPECT_NEAR(d.A1, 1e-8 * 0.25 * 149.5978707, 1e-22);
}

struct FullLoad : ::testing::Test {
    void SetUp() override
    {
        table = tableOf(capacity);
        settings.kind = StateFileKind::Full;
        settings.dataSet = 2;
    }
    ScratchDirectory scratch;
    BodyTable table;
    StateLoadSettings settings;
};

std::string fullFile(bool withEarth, const std::string& tail = "")
{
    std::string text = "2451545\n 0.25  1989100 0.696 -26.7 0 SUN\n 0 0 0\n 0 0 0\n";
    text += "5.97 0.0064 -3.9 0 " + std::string(withEarth ? "Earth" : "Terra") + "\n 20 -140 0.5\n 29 4 0\n";
    text += "0.0735 0.0017 0.2 0 Moon\n 0.3 0.1 0.01\n 0.1 1 0.05\n";
    text += "0 0.0001 15 0 Probe\n 30 40 50\n 1 2 3\n" + tail;
    return text;
}

TEST_F(FullLoad, EarthAndMoonAreRecognisedByName)
{
    const StateLoadResult r = loadStateFile(scratch.write("ALL.TVF", fullFile(true)), settings, table);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.count, 4);
    EXPECT_EQ(r.nominalStep, 0.25);
    EXPECT_EQ(table.layout.earthIndex, 1);
    EXPECT_EQ(table.layout.moonIndex, 2);
    EXPECT_FALSE(table.layout.noMoon);
    EXPECT_EQ(table.layout.lastMajor, 3);  // no marker: every body is major
    EXPECT_EQ(table.mass[0], 1989100.0L);
    EXPECT_EQ(table.relFactor[0], 0);      // the Sun keeps its 0
    EXPECT_NE(table.relFactor[3], 0);      // computed with the file's Sun mass
    EXPECT_FALSE(r.earthMissing);
}

TEST_F(FullLoad, WithoutEarthOrMoonTheIndicesAreReset)
{
    std::string text = fullFile(false);
    text.replace(text.find("Moon"), 4, "Luna");
    const StateLoadResult r = loadStateFile(scratch.write("NOEARTH.TVF", text), settings, table);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_TRUE(r.earthMissing);
    EXPECT_EQ(table.layout.earthIndex, 0);
    EXPECT_EQ(table.layout.moonIndex, capacity);
    EXPECT_TRUE(table.layout.noMoon);
}

TEST_F(FullLoad, EndMarkerSetsTheMajorBodies)
{
    const StateLoadResult r = loadStateFile(scratch.write("M.TVF", fullFile(true, "-2\n")), settings, table);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(table.layout.lastMajor, 1);
}

TEST_F(FullLoad, CheckpointBinaryGivesBitIdenticalExtendedValues)
{
    const std::filesystem::path text = scratch.write("FINSTAT.TVF", fullFile(true));
    std::vector<ExtendedState> exact(4);
    for (int b = 0; b < 4; ++b)
        for (int c = 0; c < 6; ++c) exact[b][c] = (b + 1) * 1.1L / 3 + c * 0.7L / 7;  // not double-representable
    std::string message;
    ASSERT_TRUE(writeCheckpointBinary(scratch.path() / "FINSTAT.BIN", exact, message)) << message;
    EXPECT_EQ(std::filesystem::file_size(scratch.path() / "FINSTAT.BIN"), 240u);
    const StateLoadResult r = loadStateFile(text, settings, table);
    ASSERT_TRUE(r.ok) << r.message;
    for (int b = 0; b < 4; ++b) {
        EXPECT_EQ(std::memcmp(&table.posX[b], &exact[b][0], 10), 0);
        EXPECT_EQ(table.posZ[b], exact[b][2]);
        EXPECT_EQ(table.velY[b], exact[b][4]);
    }
}

}  // namespace
}  // namespace tarvo::testing
