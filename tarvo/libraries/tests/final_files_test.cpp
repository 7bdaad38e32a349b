// The final files and the checkpoint, read back by the suite's own readers.
// Oracles: the states the run ended with (round trips through the state
// files to 18 digits, through the element files to the precision the
// elements hold), bit equality for FINSTAT.BIN, and the published layouts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "state_file_test_support.h"
#include "tarvo/libraries/element_file.h"
#include "tarvo/libraries/final_files.h"

namespace tarvo::testing {
namespace {

constexpr long double au = 149.5978707L;

long double relativeDifference(const std::array<long double, 3>& a, const std::array<long double, 3>& b)
{
    long double d = 0, n = 0;
    for (int i = 0; i < 3; ++i) d += (a[i] - b[i]) * (a[i] - b[i]), n += a[i] * a[i];
    return std::sqrt(d / n);
}

RunBody bodyOnOrbit(const char* name, long double mass, const OrbitElements& el, const ElementConversion& c = {},
                    long double massRatio = 0)
{
    RunBody b;
    b.name = name;
    b.mass = mass;
    b.massField = static_cast<double>(mass);
    b.radius = 0.001;
    b.absoluteMagnitude = 5;
    b.relFactorBase = 1e-9;
    CartesianState s;
    EXPECT_TRUE(elementsToState(c, massRatio, 2460000.5L, el, s).ok);
    b.position = s.position;
    b.velocity = s.velocity;
    return b;
}

OrbitElements orbit(long double e, long double a, long double i, long double M)
{
    OrbitElements el;
    el.eccentricity = e, el.semiMajorAxis = a, el.inclination = i, el.meanAnomaly = M;
    el.argumentOfPerihelion = 40, el.ascendingNode = 70;
    return el;
}

// Sun, Earth, Moon, Jupiter as the major bodies; an asteroid, a comet on a
// parabola and a hyperbolic body as minor bodies.
RunSnapshot sampleRun()
{
    RunSnapshot run;
    run.julianDate = 2460000.5L;
    run.nominalStep = 0.25;
    run.earthIndex = 1;
    run.moonIndex = 2;
    run.lastMajor = 3;
    RunBody sun;
    sun.name = "Sun";
    sun.mass = 1989100;
    sun.radius = 0.696;
    sun.absoluteMagnitude = -26.7;
    run.bodies.push_back(sun);
    ElementConversion full;
    full.gravityConstant = elementGravityConstant(ElementMode::FullFile, 1989100);
    run.bodies.push_back(bodyOnOrbit("Earth", 5.9722L, orbit(0.0167L, 1.0L, 0.001L, 100), full, 5.9722L / 1989100));
    ElementConversion geo;
    geo.gravityConstant = elementGravityConstant(ElementMode::Satellite);
    run.bodies.push_back(bodyOnOrbit("Moon", 0.07346L, orbit(0.0549L, 0.00257L, 5.1L, 135), geo, 0.07346L / 5.9722L));
    run.bodies.push_back(bodyOnOrbit("Jupiter", 1898.1L, orbit(0.0484L, 5.2026L, 1.3L, 20), full, 1898.1L / 1989100));
    RunBody asteroid = bodyOnOrbit("Eros", 0, orbit(0.2227L, 1.458L, 10.83L, 300));
    asteroid.objectNumber = 433;
    asteroid.A2 = 2e-12;
    run.bodies.push_back(asteroid);
    OrbitElements parabola = orbit(1, 0, 120, 0);
    parabola.perihelionDistance = 0.3L;
    parabola.perihelionTime = 2459990.25L;
    RunBody comet = bodyOnOrbit("Comet/P", 0, parabola);
    comet.isComet = true;
    comet.massField = 8;
    comet.objectNumber = 0.5;
    comet.A1 = 1e-8 * 0.5 * static_cast<double>(au);
    run.bodies.push_back(comet);
    run.bodies.push_back(bodyOnOrbit("Visitor", 0, orbit(3.5L, -1.2L, 44, 15)));
    return run;
}

TEST(FinalFiles, StateFilesReadBackToEighteenDigits)
{
    ScratchDirectory scratch;
    const RunSnapshot run = sampleRun();
    std::string message;
    ASSERT_TRUE(writeFinalFiles(scratch.path(), run, message)) << message;

    StateFileContents minor;
    ASSERT_TRUE(readStateFile(scratch.path() / "FINAL.TVX", StateFileKind::MinorBody, 100, minor, message)) << message;
    ASSERT_EQ(minor.records.size(), 3u);
    EXPECT_EQ(minor.julianDate, 2460000.5L);
    for (int m = 0; m < 3; ++m) {
        EXPECT_LT(relativeDifference(minor.records[m].position, run.bodies[4 + m].position), 1e-17L);
        EXPECT_LT(relativeDifference(minor.records[m].velocity, run.bodies[4 + m].velocity), 1e-17L);
    }
    EXPECT_LT(minor.records[1].radius, 0);  // the comet stays a comet

    BodyTable table = tableOf(60);
    StateLoadSettings settings;
    settings.kind = StateFileKind::Full;
    const StateLoadResult full = loadStateFile(scratch.path() / "FINAL.TVF", settings, table);
    ASSERT_TRUE(full.ok) << full.message;
    EXPECT_EQ(full.count, 7);
    EXPECT_EQ(full.nominalStep, 0.25);
    EXPECT_EQ(table.layout.earthIndex, 1);
    EXPECT_EQ(table.layout.moonIndex, 2);
    for (int i = 1; i < 7; ++i) {
        EXPECT_LT(relativeDifference({table.posX[i], table.posY[i], table.posZ[i]}, run.bodies[i].position), 1e-17L);
        EXPECT_EQ(table.relFactorBase[i], 1e-9);
    }
    EXPECT_NE(table.isComet[5], 0);
    EXPECT_EQ(table.massField[5], 8);
    EXPECT_EQ(table.mass[5], 0.0L);
}

// The final files written at the ends of the epochs a state file may hold
// (JD 0 to the calendar's end) read back with the same epoch and states;
// past JD 90000000 a minor-body file would read as one of satellites, so
// only the full files are written there, and that is said.
TEST(FinalFiles, EveryEpochAStateFileMayHoldReadsBack) {
    for (const long double jd :
         {0.0L, 0.5L, 625000.5L, 2451545.123456789L, 5373484.5L, 8.9e7L, 9.1e7L, 3.6e9L}) {
        SCOPED_TRACE(static_cast<double>(jd));
        ScratchDirectory scratch;
        RunSnapshot run = sampleRun();
        run.julianDate = jd;
        std::string message;
        const bool written = writeFinalFiles(scratch.path(), run, message);
        BodyTable table = tableOf(60);
        StateLoadSettings settings;
        settings.kind = StateFileKind::Full;
        const StateLoadResult full = loadStateFile(scratch.path() / "FINAL.TVF", settings, table);
        ASSERT_TRUE(full.ok) << full.message;
        // The files hold the epoch to the digits of a double.
        EXPECT_EQ(static_cast<double>(full.epoch + 2451545.0L), static_cast<double>(jd));
        for (int i = 1; i < 7; ++i)
            EXPECT_LT(relativeDifference({table.posX[i], table.posY[i], table.posZ[i]},
                                         run.bodies[i].position),
                      1e-17L);
        if (jd >= satelliteJdOffset) {
            EXPECT_FALSE(written);
            EXPECT_NE(message.find("FINAL.TVX: not written"), std::string::npos) << message;
            EXPECT_FALSE(std::filesystem::exists(scratch.path() / "FINAL.TVX"));
            continue;
        }
        ASSERT_TRUE(written) << message;
        StateFileContents minor;
        ASSERT_TRUE(readStateFile(scratch.path() / "FINAL.TVX", StateFileKind::MinorBody, 100,
                                  minor, message))
            << message;
        EXPECT_FALSE(minor.satelliteFile);
        EXPECT_EQ(static_cast<double>(minor.julianDate), static_cast<double>(jd));
        ASSERT_EQ(minor.records.size(), 3u);
        for (int m = 0; m < 3; ++m)
            EXPECT_LT(relativeDifference(minor.records[m].position, run.bodies[4 + m].position),
                      1e-17L);
    }
}

TEST(FinalFiles, MinorBodyNumbersAndCoefficientsSurviveTheRoundTrip)
{
    ScratchDirectory scratch;
    const RunSnapshot run = sampleRun();
    std::string message;
    ASSERT_TRUE(writeFinalFiles(scratch.path(), run, message)) << message;
    BodyTable table = tableOf(60);
    table.layout = dataSetLayout(2, 60).layout;
    StateLoadSettings settings;
    settings.firstIndex = 14;
    const StateLoadResult r = loadStateFile(scratch.path() / "FINAL.TVX", settings, table);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(table.objectNumber[14], 433);
    EXPECT_EQ(table.A2[14], 2e-12);
    EXPECT_EQ(table.objectNumber[15], 0.5);  // a coefficient scale
    EXPECT_NEAR(table.A1[15], run.bodies[5].A1, 1e-22);
}

TEST(FinalFiles, ElementFilesGiveTheStatesBack)
{
    ScratchDirectory scratch;
    const RunSnapshot run = sampleRun();
    std::string message;
    ASSERT_TRUE(writeFinalFiles(scratch.path(), run, message)) << message;

    const ElementConversionOutcome minor =
        convertElementFile(scratch.path() / "FINAL.TVE", scratch.path() / "DAT.TMP", {});
    ASSERT_TRUE(minor.ok) << minor.message;
    StateFileContents states;
    ASSERT_TRUE(readStateFile(scratch.path() / "DAT.TMP", StateFileKind::MinorBody, 100, states, message));
    for (int m = 0; m < 3; ++m) {
        EXPECT_LT(relativeDifference(states.records[m].position, run.bodies[4 + m].position), 1e-15L) << m;
        EXPECT_LT(relativeDifference(states.records[m].velocity, run.bodies[4 + m].velocity), 1e-15L) << m;
    }

    ElementFileConversion full;
    full.kind = StateFileKind::Full;
    const ElementConversionOutcome all = convertElementFile(scratch.path() / "FINAL.ELE", scratch.path() / "DAT.TMP", full);
    ASSERT_TRUE(all.ok) << all.message;
    ASSERT_TRUE(readStateFile(scratch.path() / "DAT.TMP", StateFileKind::Full, 100, states, message));
    ASSERT_EQ(states.records.size(), 7u);
    for (int i = 1; i < 7; ++i) {
        // About the file's Sun (1989100, not the nominal mass) the comet's
        // parabola is an ellipse with 1 - e = 2.4e-6, which an element set
        // holds only to 1e-19 / 2.4e-6.
        const long double bound = i == 5 ? 1e-12L : 1e-15L;
        EXPECT_LT(relativeDifference(states.records[i].position, run.bodies[i].position), bound) << i;
        EXPECT_LT(relativeDifference(states.records[i].velocity, run.bodies[i].velocity), bound) << i;
    }
}

TEST(FinalFiles, LayoutOfFinelAndOfTheParabola)
{
    ScratchDirectory scratch;
    std::string message;
    ASSERT_TRUE(writeFinalFiles(scratch.path(), sampleRun(), message)) << message;
    std::ifstream finel(scratch.path() / "FINEL.DAT", std::ios::binary);
    std::string line;
    std::getline(finel, line);
    EXPECT_EQ(line, " 2460000.5 \r");
    std::getline(finel, line);
    EXPECT_EQ(line, std::string(finalElementsHeader) + "\r");
    std::getline(finel, line);
    EXPECT_EQ(line.substr(0, 7), "  433  ");
    EXPECT_EQ(line.size(), 7u + 6 * 13 + 1);
    // The parabola: " 0  0 " in place of a and M, then q and T.
    std::ifstream tve(scratch.path() / "FINAL.TVE", std::ios::binary);
    std::vector<std::string> lines;
    while (std::getline(tve, line)) lines.push_back(line);
    const std::string& parabola = lines[1 + 4 + 2];
    EXPECT_NE(parabola.find("0  0 "), std::string::npos) << parabola;
    EXPECT_NE(parabola.find(" 3.00000000000000000E-01 "), std::string::npos) << parabola;
}

TEST(FinalFiles, NoMinorBodiesWriteOnlyTheFullFiles)
{
    ScratchDirectory scratch;
    RunSnapshot run = sampleRun();
    run.bodies.resize(4);
    std::string message;
    ASSERT_TRUE(writeFinalFiles(scratch.path(), run, message)) << message;
    EXPECT_TRUE(std::filesystem::exists(scratch.path() / "FINAL.TVF"));
    EXPECT_TRUE(std::filesystem::exists(scratch.path() / "FINAL.ELE"));
    EXPECT_FALSE(std::filesystem::exists(scratch.path() / "FINAL.TVX"));
    EXPECT_FALSE(std::filesystem::exists(scratch.path() / "FINEL.DAT"));
}

TEST(FinalFiles, ImpulseOptionWritesTheImpulseBack)
{
    ScratchDirectory scratch;
    RunSnapshot run = sampleRun();
    run.impulseOption = true;
    run.bodies[4].objectNumber = delayedModelMarker;
    run.bodies[4].impulse.epoch = 8455.5;
    run.bodies[4].impulse.deltaV[0] = 0.001;
    std::string message;
    ASSERT_TRUE(writeFinalFiles(scratch.path(), run, message)) << message;
    BodyTable table = tableOf(60);
    table.layout = dataSetLayout(2, 60).layout;
    StateLoadSettings settings;
    settings.firstIndex = 14;
    ASSERT_TRUE(loadStateFile(scratch.path() / "FINAL.TVX", settings, table).ok);
    EXPECT_EQ(table.impulse[14].epoch, 8455.5);
    EXPECT_EQ(table.impulse[14].deltaV[0], 0.001);
}

TEST(FinalFiles, ColourCodesAreWrittenWhenInUse)
{
    ScratchDirectory scratch;
    RunSnapshot run = sampleRun();
    run.coloursInUse = true;
    run.bodies[4].colour = 255 | (77 << 8) | (77 << 16);
    std::string message;
    ASSERT_TRUE(writeFinalFiles(scratch.path(), run, message)) << message;
    StateFileContents minor;
    ASSERT_TRUE(readStateFile(scratch.path() / "FINAL.TVX", StateFileKind::MinorBody, 100, minor, message));
    const NameField name = decodeNameField(minor.records[0].nameField);
    EXPECT_TRUE(name.hasColour);
    EXPECT_EQ(name.colour, run.bodies[4].colour);
    EXPECT_EQ(name.name, "Eros     ");
}

TEST(Checkpoint, ResumesWithBitIdenticalExtendedValues)
{
    ScratchDirectory scratch;
    RunSnapshot run = sampleRun();
    run.bodies[0].position = {};
    run.bodies[0].velocity = {};
    for (RunBody& b : run.bodies) b.position[0] += 1.0L / 3;  // digits no double or decimal text holds
    std::string message;
    ASSERT_TRUE(writeCheckpointFiles(scratch.path(), run, 0.125, message)) << message;
    EXPECT_EQ(std::filesystem::file_size(scratch.path() / "FINSTAT.BIN"), 7u * 60);
    BodyTable table = tableOf(60);
    StateLoadSettings settings;
    settings.kind = StateFileKind::Full;
    const StateLoadResult r = loadStateFile(scratch.path() / "FINSTAT.TVF", settings, table);
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.nominalStep, 0.125);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(table.posX[i], run.bodies[i].position[0]) << i;
        EXPECT_EQ(table.velZ[i], run.bodies[i].velocity[2]) << i;
    }
    EXPECT_NE(table.isComet[5], 0);
    EXPECT_EQ(table.massField[5], 8);
    // The text alone (as in FINAL001.TVF) holds 18 digits.
    std::filesystem::copy_file(scratch.path() / "FINSTAT.TVF", scratch.path() / "FINAL001.TVF");
    BodyTable textOnly = tableOf(60);
    ASSERT_TRUE(loadStateFile(scratch.path() / "FINAL001.TVF", settings, textOnly).ok);
    EXPECT_NEAR(double(textOnly.posX[3] / run.bodies[3].position[0]), 1.0, 1e-17);
    EXPECT_NE(textOnly.posX[3], run.bodies[3].position[0]);
}

// A checkpoint stopped at any stage (as by a kill) leaves FINSTAT.TVF
// loading exactly one whole state, the old one or the new one, with every
// bit of its extended precision: nothing is lost and nothing is mixed.
TEST(Checkpoint, StoppedAtAnyStageLoadsTheOldOrTheNewStateWhole)
{
    RunSnapshot before = sampleRun();
    before.bodies[0].position = {};
    before.bodies[0].velocity = {};
    for (RunBody& b : before.bodies) b.position[0] += 1.0L / 3;
    RunSnapshot after = before;
    after.julianDate += 3;
    for (RunBody& b : after.bodies) b.position[1] += 1.0L / 7, b.velocity[2] -= 1.0L / 9;
    after.bodies[0].position = {};
    after.bodies[0].velocity = {};
    struct Case {
        CheckpointStage stopAfter;
        bool newState;
    };
    for (const Case c : {Case{CheckpointStage::newBinary, false}, Case{CheckpointStage::text, true},
                         Case{CheckpointStage::complete, true}}) {
        ScratchDirectory scratch;
        std::string message;
        ASSERT_TRUE(writeCheckpointFiles(scratch.path(), before, 0.25, message)) << message;
        ASSERT_TRUE(writeCheckpointFiles(scratch.path(), after, 0.25, message, c.stopAfter))
            << message;
        const RunSnapshot& expected = c.newState ? after : before;
        BodyTable table = tableOf(60);
        StateLoadSettings settings;
        settings.kind = StateFileKind::Full;
        const StateLoadResult r = loadStateFile(scratch.path() / "FINSTAT.TVF", settings, table);
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(r.epoch, expected.julianDate - 2451545.0L) << int(c.stopAfter);
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(table.posX[i], expected.bodies[i].position[0])
                << i << " " << int(c.stopAfter);
            EXPECT_EQ(table.posY[i], expected.bodies[i].position[1])
                << i << " " << int(c.stopAfter);
            EXPECT_EQ(table.velZ[i], expected.bodies[i].velocity[2])
                << i << " " << int(c.stopAfter);
        }
        // Complete, the checkpoint leaves no pending binary behind.
        EXPECT_EQ(std::filesystem::exists(scratch.path() / pendingCheckpointBinary),
                  c.stopAfter != CheckpointStage::complete);
    }
}

}  // namespace
}  // namespace tarvo::testing
