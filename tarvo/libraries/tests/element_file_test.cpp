// Element files (.TVE, .ELE) turned into state files and loaded.
// Oracles: elementsToState applied by hand to the same elements, vis-viva
// with the central body's constant, a rotation of the ecliptic equal to a
// shift of the node, and write/read round trips of the state files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "fuzz_matrix.h"
#include "state_file_test_support.h"
#include "tarvo/libraries/element_file.h"

namespace tarvo::testing {
namespace {

constexpr long double au = 149.5978707L;
constexpr long double pi = 3.14159265358979323846264338327950288L;

long double relativeDifference(const std::array<long double, 3>& a, const std::array<long double, 3>& b)
{
    long double d = 0, n = 0;
    for (int i = 0; i < 3; ++i) d += (a[i] - b[i]) * (a[i] - b[i]), n += a[i] * a[i];
    return std::sqrt(d / n);
}

const char* const twoComets =
    "-2460000.5\n"
    "0 0.001 12 0 ENCKE/2P\n"
    " 0.8483 11.78 186.5\n"
    " 334.57 2.215 147.5 0 0\n"
    " 0 0 0 2\n"
    "0 -0.002 9 0 SUNGRAZER\n"
    " 1 144.5 80\n"
    " 7.9 0 0 0.006 2459990.25\n"
    " 1E-08 0 0 0\n";

TEST(ElementFile, MinorBodyElementsBecomeTheStatesOfElementsToState)
{
    ScratchDirectory scratch;
    const auto tve = scratch.write("COMETS.TVE", twoComets);
    const auto dat = scratch.path() / "DAT.TMP";
    const ElementConversionOutcome outcome = convertElementFile(tve, dat, {});
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_EQ(outcome.count, 2);
    // q = 2.215 (1 - 0.8483) = 0.336 AU; the sungrazer has q = 0.006 AU.
    EXPECT_TRUE(outcome.perihelionBelowQuarterAu);
    EXPECT_TRUE(outcome.perihelionBelowEighthAu);

    StateFileContents states;
    std::string message;
    ASSERT_TRUE(readStateFile(dat, StateFileKind::MinorBody, 100, states, message)) << message;
    EXPECT_EQ(states.julianDate, 2460000.5L);
    ASSERT_EQ(states.records.size(), 2u);
    EXPECT_EQ(states.records[0].nameField, "ENCKE/2P");
    EXPECT_EQ(states.records[1].radius, -0.002);
    EXPECT_EQ(states.records[1].A1, 1e-8);

    OrbitElements encke;
    encke.eccentricity = 0.8483L, encke.inclination = 11.78L, encke.argumentOfPerihelion = 186.5L;
    encke.ascendingNode = 334.57L, encke.semiMajorAxis = 2.215L, encke.meanAnomaly = 147.5L;
    OrbitElements grazer;
    grazer.eccentricity = 1, grazer.inclination = 144.5L, grazer.argumentOfPerihelion = 80;
    grazer.ascendingNode = 7.9L, grazer.perihelionDistance = 0.006L, grazer.perihelionTime = 2459990.25L;
    for (int b = 0; b < 2; ++b) {
        CartesianState expected;
        ASSERT_TRUE(elementsToState({}, 0, 2460000.5L, b == 0 ? encke : grazer, expected).ok);
        EXPECT_LT(relativeDifference(states.records[b].position, expected.position), 1e-17L) << b;
        EXPECT_LT(relativeDifference(states.records[b].velocity, expected.velocity), 1e-17L) << b;
    }
}

TEST(ElementFile, FrameEpochTurnsTheEclipticBeforeTheEquator)
{
    ScratchDirectory scratch;
    // The same orbit twice: referred to an ecliptic turned by 0.3 rad, and
    // to J2000 with the node advanced by 0.3 rad.
    const long double shift = 0.3L * 180 / pi;
    char node[64];
    std::snprintf(node, sizeof node, "%.21Lg", 30 + shift);
    const std::string text = "-2460000.5\n"
                             "-0 0.001 12 0 365.25 TURNED\n 0.2 10 20\n 30 1.5 40 0 0\n 0 0 0 0\n"
                             "0 0.001 12 0 PLAIN\n 0.2 10 20\n " +
                             std::string(node) + " 1.5 40 0 0\n 0 0 0 0\n";
    std::string withMinus = text;
    withMinus.replace(withMinus.find("-0 0.001"), 2, "-1");  // a negative mass field announces the epoch
    const auto tve = scratch.write("FRAME.TVE", withMinus);
    ElementFileConversion conversion;
    EXPECT_FALSE(convertElementFile(tve, scratch.path() / "DAT.TMP", conversion).ok);  // no rotation known
    EXPECT_FALSE(std::filesystem::exists(scratch.path() / "DAT.TMP"));
    long double seenEpoch = 0;
    conversion.eclipticRotation = [&](long double epoch, Rotation3& r) {
        seenEpoch = epoch;
        const long double t = 0.3L;
        r = {{{std::cos(t), -std::sin(t), 0}, {std::sin(t), std::cos(t), 0}, {0, 0, 1}}};
        return true;
    };
    const ElementConversionOutcome outcome = convertElementFile(tve, scratch.path() / "DAT.TMP", conversion);
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_EQ(seenEpoch, 365.25L);
    StateFileContents states;
    std::string message;
    ASSERT_TRUE(readStateFile(scratch.path() / "DAT.TMP", StateFileKind::MinorBody, 10, states, message));
    EXPECT_EQ(states.records[0].massField, 1);  // negated back
    EXPECT_LT(relativeDifference(states.records[0].position, states.records[1].position), 1e-15L);
    EXPECT_LT(relativeDifference(states.records[0].velocity, states.records[1].velocity), 1e-15L);
}

TEST(ElementFile, SatelliteElementsAreGeocentricInThousandsOfKilometres)
{
    ScratchDirectory scratch;
    // Perigee 7 (thousand km) at M = 0: the satellite is 0.007 Gm from the Earth.
    const auto tve = scratch.write("SAT.TVE", "-92460000.5\n0 0 0 0 SAT\n 0.1 51.6 0\n 0 0 0 7 2460000.5\n 0 0 0 0\n");
    const ElementConversionOutcome outcome = convertElementFile(tve, scratch.path() / "DAT.TMP", {});
    ASSERT_TRUE(outcome.ok) << outcome.message;
    EXPECT_FALSE(outcome.perihelionBelowEighthAu);  // satellites set no hints
    StateFileContents states;
    std::string message;
    ASSERT_TRUE(readStateFile(scratch.path() / "DAT.TMP", StateFileKind::MinorBody, 10, states, message));
    EXPECT_EQ(states.julianDate, 2460000.5L);  // DAT.TMP carries the plain JD
    const auto& r = states.records[0].position;
    EXPECT_NEAR(double(std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2])), 0.007, 1e-17);
    // Perigee speed sqrt(mu (1 + e) / q), mu of the Earth = (k 0.001733057908)^2 AU^3/day^2.
    const long double k = gaussianGravitationalConstant * geocentricGravityFactor;
    const long double qAu = 0.007L / au;
    const long double speed = k * std::sqrt(1.1L / qAu) * au / 0.0864L;
    const auto& v = states.records[0].velocity;
    EXPECT_NEAR(double(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]) / speed), 1.0, 1e-16);
}

TEST(ElementFile, FullElementFileKeepsTheMoonGeocentric)
{
    ScratchDirectory scratch;
    const auto ele = scratch.write("SYSTEM.ELE",
                                   "2451545\n-0.5 1989100 0.696 -26.7 0 SUN\n0  0  0\n0  0  0\n"
                                   "5.9722 0.0064 -3.9 0 EARTH\n 0.0167 0.0001 102.9\n 0 1.00000261 100.46\n"
                                   "0.07346 0.0017 0.2 0 MOON\n 0.0549 5.145 318.15\n 125.08 0.00257 135.27\n"
                                   "1898.1 0.0699 -9.4 0 JUPITER\n 0.0484 1.3 273.9\n 100.5 5.2026 20.0\n");
    const ElementConversionOutcome outcome = convertElementFile(ele, scratch.path() / "DAT.TMP",
                                                                {StateFileKind::Full, false, au, 100, {}});
    ASSERT_TRUE(outcome.ok) << outcome.message;
    // The Moon's a of 0.00257 AU is about the Earth: no perihelion near the Sun.
    EXPECT_FALSE(outcome.perihelionBelowQuarterAu);

    BodyTable table = tableOf(60);
    StateLoadSettings settings;
    settings.kind = StateFileKind::Full;
    const StateLoadResult loaded = loadStateFile(scratch.path() / "DAT.TMP", settings, table);
    ASSERT_TRUE(loaded.ok) << loaded.message;
    EXPECT_EQ(loaded.nominalStep, 0.5);
    EXPECT_EQ(table.layout.earthIndex, 1);
    EXPECT_EQ(table.layout.moonIndex, 2);
    EXPECT_EQ(table.posX[0], 0.0L);

    // Vis-viva about the Earth for the Moon, about the file's Sun for Jupiter.
    auto check = [&](int i, long double k, long double massRatio, long double a) {
        const long double r = std::sqrt(table.posX[i] * table.posX[i] + table.posY[i] * table.posY[i] +
                                        table.posZ[i] * table.posZ[i]) / au;
        const long double v2 = (table.velX[i] * table.velX[i] + table.velY[i] * table.velY[i] +
                                table.velZ[i] * table.velZ[i]) * 0.0864L * 0.0864L / (au * au);
        const long double mu = k * k * (1 + massRatio);
        EXPECT_NEAR(double(v2 / (mu * (2 / r - 1 / a))), 1.0, 1e-15) << i;
    };
    check(2, gaussianGravitationalConstant * geocentricGravityFactor, 0.07346L / 5.9722L, 0.00257L);
    check(3, gaussianGravitationalConstant * std::sqrt(1989100 / nominalSunMass), 1898.1L / 1989100, 5.2026L);
}

// The whole fuzz matrix on an element file: refused by name, and then no
// state file written.
TEST(ElementFile, ReaderFuzz) {
    ScratchDirectory scratch;
    const auto dat = scratch.path() / "DAT.TMP";
    const auto fuzz = scratch.path() / "fuzz";
    std::filesystem::create_directories(fuzz);
    runReaderFuzz(fuzz, "FUZZ.TVE", twoComets, [&](const std::filesystem::path& f) {
        std::filesystem::remove(dat);
        const ElementConversionOutcome o = convertElementFile(f, dat, {});
        if (!o.ok && std::filesystem::exists(dat)) return ReaderVerdict{false, "DAT.TMP written"};
        return ReaderVerdict{o.ok && o.message.empty(), o.message};
    });
}

TEST(ElementFile, DamagedElementFilesAreRefusedAndWriteNothing)
{
    ScratchDirectory scratch;
    const auto dat = scratch.path() / "DAT.TMP";
    const std::string text = twoComets;
    for (std::size_t cut : {std::size_t{20}, std::size_t{30}, text.size() / 2, text.size() - 12}) {
        const auto file = scratch.write("CUT.TVE", text.substr(0, cut));
        const ElementConversionOutcome o = convertElementFile(file, dat, {});
        EXPECT_FALSE(o.ok) << cut;
        EXPECT_NE(o.message.find("CUT.TVE"), std::string::npos) << o.message;
    }
    // A state file is no element file; impossible elements are named.
    EXPECT_FALSE(convertElementFile(scratch.write("STATES.TVE", "2460000.5\n"), dat, {}).ok);
    std::string hyperbola = twoComets;
    hyperbola.replace(hyperbola.find("0.8483"), 6, "1.8483");
    const ElementConversionOutcome o = convertElementFile(scratch.write("BAD.TVE", hyperbola), dat, {});
    EXPECT_FALSE(o.ok);
    EXPECT_NE(o.message.find("ENCKE_2P"), std::string::npos) << o.message;
    EXPECT_NE(o.message.find("hyperbola"), std::string::npos) << o.message;
    EXPECT_FALSE(std::filesystem::exists(dat));
    std::string garbage(3000, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 7919) % 251);
    EXPECT_FALSE(convertElementFile(scratch.write("NOISE.TVE", garbage, false), dat, {}).ok);
    EXPECT_FALSE(std::filesystem::exists(dat));
}

TEST(StateFileWriter, WrittenFilesReadBackWithEighteenDigits)
{
    ScratchDirectory scratch;
    for (StateFileKind kind : {StateFileKind::MinorBody, StateFileKind::Full}) {
        StateFileContents written;
        written.julianDate = 2460123.25L;
        written.nominalStep = 0.125;
        written.endMarker = 2;
        for (int b = 0; b < 3; ++b) {
            StateRecord r;
            r.massField = b * 1.5;
            r.radius = -0.001 * b;
            r.absoluteMagnitude = 7.25;
            r.relFactor = b == 1 ? 0 : 1.25e-9;
            r.nameField = b == 2 ? "" : "BODY " + std::to_string(b) + "     101099";
            r.position = {1.0L / 3 * (b + 1), -2.0L / 7, 1e-5L / 9};
            r.velocity = {29.0L / 3, -0.5L, 1.0L / 11};
            r.A1 = 1e-9, r.A2 = 0, r.A3 = -2e-10;
            r.numberString = "-60000 0.001 0 0";
            written.records.push_back(r);
        }
        std::string message;
        const auto file = scratch.path() / (kind == StateFileKind::Full ? "W.TVF" : "W.TVX");
        ASSERT_TRUE(writeStateFile(file, kind, written, message)) << message;
        StateFileContents read;
        ASSERT_TRUE(readStateFile(file, kind, 100, read, message)) << message;
        EXPECT_EQ(read.julianDate, written.julianDate);
        EXPECT_EQ(read.endMarker, 2);
        ASSERT_EQ(read.records.size(), 3u);
        for (int b = 0; b < 3; ++b) {
            const StateRecord &w = written.records[b], &r = read.records[b];
            EXPECT_EQ(r.massField, w.massField);
            EXPECT_EQ(r.radius, w.radius);
            EXPECT_EQ(r.relFactor, w.relFactor);
            EXPECT_EQ(r.nameField, b == 2 ? "UNNAMED" : w.nameField);
            EXPECT_LT(relativeDifference(r.position, w.position), 1e-17L);
            EXPECT_LT(relativeDifference(r.velocity, w.velocity), 1e-17L);
            if (kind == StateFileKind::MinorBody) {
                EXPECT_EQ(r.A3, w.A3);
                EXPECT_EQ(r.numberString, w.numberString);
            }
        }
        if (kind == StateFileKind::Full) {
            EXPECT_EQ(read.nominalStep, 0.125);
        }
        // Lines end in CR LF.
        std::ifstream in(file, std::ios::binary);
        std::string first;
        std::getline(in, first);
        EXPECT_EQ(first.back(), '\r');
    }
}

}  // namespace
}  // namespace tarvo::testing
