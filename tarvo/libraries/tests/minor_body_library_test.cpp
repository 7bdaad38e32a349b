// The asteroid and comet libraries on synthetic files: the field codes at
// their limits, the element sources, masses, and damaged files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>

#include "scratch_directory.h"
#include "tarvo/libraries/element_file.h"
#include "tarvo/libraries/minor_body_library.h"
#include "tarvo/libraries/minor_body_selection.h"
#include "tarvo/libraries/state_file.h"

namespace tarvo {
namespace {

AsteroidRecord sampleRecord(const std::string& name) {
    AsteroidRecord r;
    r.name = name;
    r.magnitudeTimes10 = 255;
    r.classAndDiameter = static_cast<std::int16_t>(3 * 8192 + 8191);
    r.eccentricity = 2'000'000'000; // e = 1 exactly, the largest the builder writes is below 1.07
    r.inclination = 1'800'000'000;  // 180 degrees
    r.perihelion = -1'800'000'000;  // -180 -> 180
    r.node = -1;                    // just below 0 -> just below 360
    r.axisWhole = 32767;
    r.axisFraction = 1'999'999'999;
    r.meanAnomaly = 2'147'483'647;
    r.uncertaintyCode = 0;
    r.growthCode = 255;
    return r;
}

// Library file: header with the epoch and D, then the records in number order
// (an empty name leaves the record blank).
std::string libraryBytes(double epoch, std::int16_t quarter,
                         const std::vector<AsteroidRecord>& records) {
    std::string bytes(asteroidHeaderBytes, '\0');
    std::memcpy(bytes.data(), &epoch, 8);
    std::memcpy(bytes.data() + 8, &quarter, 2);
    for (const AsteroidRecord& r : records) {
        if (r.name.empty()) {
            bytes.append(asteroidRecordBytes, ' ');
            continue;
        }
        const auto b = encodeAsteroidRecord(r);
        bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    return bytes;
}

std::string differenceBytes(const std::vector<DifferenceRecord>& records) {
    std::string bytes;
    for (const DifferenceRecord& d : records) {
        const auto b = encodeDifferenceRecord(d);
        bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    return bytes;
}

TEST(AsteroidRecordCodes, FieldsAtTheirLimitsRoundTripAndDecodeAsLaidOut) {
    const AsteroidRecord r = sampleRecord("ABCDEFGHI");
    const auto bytes = encodeAsteroidRecord(r);
    // Little-endian fields at the documented offsets.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 9), "ABCDEFGHI");
    EXPECT_EQ(bytes[9], 255);
    EXPECT_EQ(bytes[10], 0xFF);
    EXPECT_EQ(bytes[11], 0x7F);
    EXPECT_EQ(bytes[24], 0xFF); // node -1: all ones
    EXPECT_EQ(bytes[27], 0xFF);
    EXPECT_EQ(bytes[28], 0xFF); // a, whole part 32767
    EXPECT_EQ(bytes[29], 0x7F);
    EXPECT_EQ(bytes[39], 255);

    const AsteroidRecord back = decodeAsteroidRecord(bytes.data());
    EXPECT_EQ(back.name, r.name);
    EXPECT_EQ(back.classAndDiameter, r.classAndDiameter);
    EXPECT_EQ(back.perihelion, r.perihelion);
    EXPECT_EQ(back.node, r.node);
    EXPECT_EQ(back.axisFraction, r.axisFraction);
    EXPECT_EQ(back.meanAnomaly, r.meanAnomaly);

    const AsteroidElementsDecoded el = decodeElements(7, back, nullptr, 0);
    EXPECT_EQ(el.massClass, 3);
    EXPECT_DOUBLE_EQ(el.diameterKm, 2047.75);
    EXPECT_DOUBLE_EQ(el.absoluteMagnitude, 25.5);
    EXPECT_DOUBLE_EQ(el.eccentricity, 1.0);
    EXPECT_DOUBLE_EQ(el.inclination, 180.0);
    EXPECT_DOUBLE_EQ(el.perihelion, 180.0);
    EXPECT_NEAR(el.node, 360.0 - 1e-7, 1e-9);
    EXPECT_NEAR(el.semiMajorAxis, 32767.9999999995, 1e-9);
    EXPECT_NEAR(el.meanAnomaly, 214.7483647, 1e-9);
    EXPECT_DOUBLE_EQ(el.positionUncertaintyKm, 1.0);
    EXPECT_NEAR(el.uncertaintyGrowthKmPerYear, std::exp2(25.5), 1e-6);
    EXPECT_NEAR(el.massE24kg, 2.0 * 5.24e-13 * std::pow(2047.75, 3), 1e-12);
}

TEST(AsteroidRecordCodes, ElementsEncodeToTheRecordPrecision) {
    AsteroidElementsDecoded el;
    el.name = "Testname";
    el.eccentricity = 0.0786357569;
    el.semiMajorAxis = 2.766619044655;
    el.inclination = 10.58679512;
    el.node = 280.2664361; // above 180: stored negative
    el.perihelion = 73.53162522;
    el.meanAnomaly = 359.99999996;
    el.absoluteMagnitude = 3.33;
    el.diameterKm = 939.4;
    el.massClass = 1;
    AsteroidRecord r;
    std::string message;
    ASSERT_TRUE(encodeElements(el, r, message)) << message;
    EXPECT_LT(r.node, 0);
    const AsteroidElementsDecoded back = decodeElements(9, r, nullptr, 0);
    EXPECT_NEAR(back.eccentricity, el.eccentricity, 2.5e-10);
    EXPECT_NEAR(back.semiMajorAxis, el.semiMajorAxis, 2.5e-10);
    EXPECT_NEAR(back.inclination, el.inclination, 5e-8);
    EXPECT_NEAR(back.node, el.node, 5e-8);
    EXPECT_NEAR(back.perihelion, el.perihelion, 5e-8);
    // 359.99999996 rounds to the code 0: the angle wraps, it is not lost.
    EXPECT_NEAR(std::remainder(back.meanAnomaly - el.meanAnomaly, 360.0), 0.0, 5e-8);
    EXPECT_DOUBLE_EQ(back.absoluteMagnitude, 3.3);
    EXPECT_DOUBLE_EQ(back.diameterKm, 939.5); // quarter kilometres
    EXPECT_EQ(back.massClass, 1);

    el.eccentricity = 1.2;
    EXPECT_FALSE(encodeElements(el, r, message));
    el.eccentricity = 0.1;
    el.semiMajorAxis = 40000;
    EXPECT_FALSE(encodeElements(el, r, message));
}

TEST(AsteroidMasses, ByClassAndTheThreeFixedOnes) {
    EXPECT_DOUBLE_EQ(asteroidMass(1, 3, 2000), 0.00094139);
    EXPECT_DOUBLE_EQ(asteroidMass(2, 0, 0), 0.00020868);
    EXPECT_DOUBLE_EQ(asteroidMass(4, 0, 1), 0.00025912);
    // 100 km bodies: rho * 5.24e-13 * 1e6
    EXPECT_DOUBLE_EQ(asteroidMass(3, 0, 100), 1.8 * 5.24e-7);
    EXPECT_DOUBLE_EQ(asteroidMass(5, 1, 100), 2.4 * 5.24e-7);
    EXPECT_DOUBLE_EQ(asteroidMass(6, 2, 100), 5.0 * 5.24e-7);
    EXPECT_DOUBLE_EQ(asteroidMass(8, 3, 100), 2.0 * 5.24e-7);
    // A sphere of 100 km at 2 g/cm^3: (4/3) pi 50^3 km^3 * 2e12 kg/km^3 = 1.047e18 kg.
    EXPECT_NEAR(asteroidMass(8, 3, 100) * 1e24, 4.0 / 3.0 * M_PI * 125000.0 * 2e12, 1e15);
}

class AsteroidLibraryFiles : public testing::ScratchDirectoryTest {};

TEST_F(AsteroidLibraryFiles, SourcesMoveTheElementsByTheirWeights) {
    AsteroidRecord base = sampleRecord("ONE");
    base.eccentricity = 200'000'000; // 0.1
    base.inclination = 100'000'000;  // 10 deg
    base.perihelion = 0;
    base.node = 5;
    base.axisWhole = 2;
    base.axisFraction = 1'000'000'000; // a = 2.5
    base.meanAnomaly = 0;
    AsteroidRecord fifth = base;
    fifth.name = "Five";
    // D = 1: asteroids 1 ... 4 have difference records; 5 does not.
    DifferenceRecord d;
    d.scale = 3;
    d.d = {100, -200, 300, -400, 500, -32768};
    write("ASTEREL2.BIN", libraryBytes(2459800.5, 1, {base, AsteroidRecord{}, base, base, fifth}));
    write("MIBODIF2.BIN", differenceBytes({d, d, d, d}));
    AsteroidLibrary lib;
    std::string message;
    ASSERT_TRUE(lib.open(dir, message)) << message;
    EXPECT_EQ(lib.recordCount(), 5);
    EXPECT_DOUBLE_EQ(lib.epochJd(), 2459800.5);

    auto at = [&](int n, ElementSource s) {
        AsteroidElementsDecoded el;
        EXPECT_TRUE(lib.elements(n, s, el));
        return el;
    };
    const AsteroidElementsDecoded avg = at(1, ElementSource::Average);
    EXPECT_DOUBLE_EQ(avg.eccentricity, 0.1);
    EXPECT_DOUBLE_EQ(avg.semiMajorAxis, 2.5);
    const int weights[] = {-1, 1, 2};
    const ElementSource sources[] = {ElementSource::Astorb, ElementSource::AstDys,
                                     ElementSource::TwinLib};
    for (int k = 0; k < 3; ++k) {
        const AsteroidElementsDecoded el = at(3, sources[k]);
        const double w = weights[k];
        EXPECT_DOUBLE_EQ(el.eccentricity, (200'000'000 + w * 8 * 100) / 2e9);
        EXPECT_DOUBLE_EQ(el.inclination, (100'000'000 + w * 8 * -200) / 1e7);
        EXPECT_DOUBLE_EQ(el.semiMajorAxis, 2 + (1'000'000'000 + w * 8 * 500) / 2e9);
        // Omega = 5e-7 deg moved by -3200 w units: negative ones wrap to below 360.
        const double node = (5 + w * 8 * -400) / 1e7;
        EXPECT_DOUBLE_EQ(el.node, node < 0 ? node + 360 : node);
        const double m = (w * 8 * -32768) / 1e7;
        EXPECT_DOUBLE_EQ(el.meanAnomaly, m < 0 ? m + 360 : m);
    }
    // Past 4 D: the base elements whatever the source.
    const AsteroidElementsDecoded five = at(5, ElementSource::TwinLib);
    EXPECT_DOUBLE_EQ(five.eccentricity, 0.1);
    EXPECT_EQ(lib.difference(5), nullptr);

    // Not in the library: 0, negative, blank, one past the end.
    AsteroidRecord r;
    EXPECT_FALSE(lib.find(0, r));
    EXPECT_FALSE(lib.find(-3, r));
    EXPECT_FALSE(lib.find(2, r));
    EXPECT_FALSE(lib.find(6, r));
    EXPECT_TRUE(lib.find(5, r));

    // Names: case-blind, first record of a name wins, blanks are no name.
    EXPECT_EQ(lib.findByName("one"), 1);
    EXPECT_EQ(lib.findByName("FIVE  "), 5);
    EXPECT_EQ(lib.findByName("fiv"), 0);
    EXPECT_EQ(lib.findByName(""), 0);
}

TEST_F(AsteroidLibraryFiles, DamagedFilesAreRefusedWithTheirName) {
    AsteroidLibrary lib;
    std::string message;
    EXPECT_FALSE(lib.open(dir, message));
    EXPECT_NE(message.find("ASTEREL2.BIN"), std::string::npos) << message;

    const std::string good = libraryBytes(2459800.5, 1, {sampleRecord("A"), sampleRecord("B")});
    write("MIBODIF2.BIN", differenceBytes({DifferenceRecord{}, DifferenceRecord{},
                                           DifferenceRecord{}, DifferenceRecord{}}));
    // Truncated inside a record, shorter than the header, garbage, oversized header values.
    for (const std::string& bad :
         {good.substr(0, good.size() - 1), good.substr(0, 5), std::string(1234, '\x9c'),
          libraryBytes(-5.0, 0, {}), libraryBytes(NAN, 0, {}), libraryBytes(2451545.0, -2, {})}) {
        write("ASTEREL2.BIN", bad);
        message.clear();
        EXPECT_FALSE(lib.open(dir, message));
        EXPECT_NE(message.find("ASTEREL2.BIN"), std::string::npos) << message;
    }
    // The difference file shorter than D promises, or not whole records.
    write("ASTEREL2.BIN", good);
    write("MIBODIF2.BIN",
          differenceBytes({DifferenceRecord{}, DifferenceRecord{}, DifferenceRecord{}}));
    EXPECT_FALSE(lib.open(dir, message));
    EXPECT_NE(message.find("MIBODIF2.BIN"), std::string::npos) << message;
    write("MIBODIF2.BIN", std::string(53, 'x'));
    EXPECT_FALSE(lib.open(dir, message));
    // A refused file leaves the library as it was.
    write("MIBODIF2.BIN", differenceBytes({DifferenceRecord{}, DifferenceRecord{},
                                           DifferenceRecord{}, DifferenceRecord{}}));
    ASSERT_TRUE(lib.open(dir, message)) << message;
    write("ASTEREL2.BIN", "garbage");
    EXPECT_FALSE(lib.open(dir, message));
    EXPECT_EQ(lib.recordCount(), 2);
    EXPECT_EQ(lib.findByName("b"), 2);
}

TEST_F(AsteroidLibraryFiles, CometRecordsRoundTripAndDamageIsRefused) {
    CometRecord c;
    c.name = "1P/Halley";
    c.designation = "1P/Halley extra text that is long";
    c.epochJ = 2449401;
    c.slopeK = -327.68;
    c.absoluteMagnitude = 327.67;
    c.position = {1e3, -2.5, 0.125};
    c.velocity = {-40.0, 1e-9, 3.0};
    c.nonGravitational = {1e-9f, -2e-10f, 0.0f};
    const auto bytes = encodeCometRecord(c);
    const CometRecord back = decodeCometRecord(bytes.data());
    EXPECT_EQ(back.name, "1P/Halley");
    EXPECT_EQ(back.designation, std::string("1P/Halley extra text that is long").substr(0, 23));
    EXPECT_EQ(back.epochJ, 2449401);
    EXPECT_DOUBLE_EQ(back.slopeK, -327.68);
    EXPECT_DOUBLE_EQ(back.absoluteMagnitude, 327.67);
    EXPECT_EQ(back.position, c.position);
    EXPECT_EQ(back.velocity, c.velocity);
    EXPECT_EQ(back.nonGravitational, c.nonGravitational);

    CometRecord encke = c;
    encke.name = "2P/Encke";
    std::string file(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto e = encodeCometRecord(encke);
    file.append(reinterpret_cast<const char*>(e.data()), e.size());
    write("COMETS.BIN", file);
    CometLibrary lib;
    std::string message;
    ASSERT_TRUE(lib.open(dir, message)) << message;
    EXPECT_EQ(lib.count(), 2);
    EXPECT_EQ(lib.findByName("2p/encke"), 1);
    EXPECT_EQ(lib.findByName("1P/HALLEY (1982 U1)"), 0); // the first 9 characters count
    EXPECT_EQ(lib.findByName("3D/Biela"), -1);

    for (const std::string& bad : {file.substr(0, 150), std::string(), std::string(100, '\xff')}) {
        write("COMETS.BIN", bad);
        EXPECT_FALSE(lib.open(dir, message));
        EXPECT_NE(message.find("COMETS.BIN"), std::string::npos) << message;
    }
    EXPECT_EQ(lib.count(), 2);
}

} // namespace
} // namespace tarvo

namespace tarvo {
namespace {

class AsteroidAnswers : public testing::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        AsteroidRecord a = sampleRecord("Alpha");
        a.eccentricity = 200'000'000;
        a.axisWhole = 2;
        AsteroidRecord b = a, c = a, d = a;
        b.name = "Beta";
        c.name = "1994 ES2";
        d.name = "alpha"; // a second record of the same name
        write("ASTEREL2.BIN", libraryBytes(2459800.5, 0, {a, b, AsteroidRecord{}, c, d}));
        write("MIBODIF2.BIN", "");
        std::string message;
        ASSERT_TRUE(library.open(dir, message)) << message;
    }
    AsteroidAnswer answer(const std::string& text) {
        AsteroidAnswer result;
        resolveAsteroidAnswer(library, text, dir, result);
        return result;
    }
    AsteroidLibrary library;
};

TEST_F(AsteroidAnswers, NumbersRangesNamesAndLists) {
    EXPECT_EQ(answer("2").numbers, std::vector<int>{2});
    EXPECT_EQ(answer(" 1-5 ").numbers,
              (std::vector<int>{1, 2, 4, 5}));               // the blank record is skipped
    EXPECT_EQ(answer("ALPHA").numbers, std::vector<int>{1}); // the first of the name
    EXPECT_EQ(answer("beta is the second").numbers, std::vector<int>{2});
    EXPECT_EQ(answer("1994 es2").numbers, std::vector<int>{4});
    for (const char* missing : {"3", "6", "0000000", "Gamma", "7-9", "999999999"}) {
        const AsteroidAnswer a = answer(missing);
        EXPECT_TRUE(a.numbers.empty()) << missing;
        ASSERT_EQ(a.messages.size(), 1u) << missing;
        EXPECT_EQ(a.messages[0], std::string("Asteroid ") + missing + " not in Library");
    }
    EXPECT_EQ(answer("5-1").messages.size(), 1u);
    EXPECT_EQ(answer("1-200000").numbers.size(), 0u);

    write("ONE.LST", "2\r\nalpha\r\n\r\nTWO.lst\r\n");
    write("TWO.lst", "4\nONE.LST\n"); // back to the first: a cycle
    const AsteroidAnswer a = answer("ONE.LST");
    EXPECT_EQ(a.numbers, (std::vector<int>{2, 1, 4}));
    ASSERT_EQ(a.messages.size(), 1u);
    EXPECT_NE(a.messages[0].find("names itself"), std::string::npos);
    write("SELF.LST", "SELF.LST\n1\n");
    EXPECT_EQ(answer("self.LST").numbers.size(), 0u); // names differ in case: another file, absent
    EXPECT_EQ(answer("SELF.LST").numbers, std::vector<int>{1});
    // Garbage and missing lists: a message, nothing chosen.
    write("BIN.LST", std::string("\0\x01\x02", 3));
    EXPECT_EQ(answer("BIN.LST").messages.size(), 1u);
    EXPECT_EQ(answer("NONE.LST").messages.size(), 1u);
    write("BIG.LST", std::string(maximumListFileBytes + 1, '1'));
    EXPECT_EQ(answer("BIG.LST").messages.size(), 1u);
}

TEST_F(AsteroidAnswers, TemporaryFilesReadBackThroughTheLoaders) {
    std::vector<AsteroidElementsDecoded> chosen(2);
    ASSERT_TRUE(library.elements(1, ElementSource::Average, chosen[0]));
    ASSERT_TRUE(library.elements(4, ElementSource::Average, chosen[1]));
    write("AST.TMP", asteroidElementFileText(library.epochJd(), chosen));
    ElementFileContents elements;
    std::string message;
    ASSERT_TRUE(readElementFile(dir / "AST.TMP", StateFileKind::MinorBody, 10, elements, message))
        << message;
    ASSERT_EQ(elements.records.size(), 2u);
    EXPECT_DOUBLE_EQ(static_cast<double>(elements.julianDate), 2459800.5);
    EXPECT_EQ(elements.records[1].nameField, "1994 ES2");
    EXPECT_EQ(elements.records[1].numberString, "4");
    EXPECT_NEAR(static_cast<double>(elements.records[0].elements.eccentricity), 0.1, 1e-12);
    EXPECT_NEAR(static_cast<double>(elements.records[0].radius), 2047.75e-6 / 2, 1e-8);
    EXPECT_DOUBLE_EQ(static_cast<double>(elements.records[0].massField), 0.00094139);
    EXPECT_EQ(foundAsteroidListText(chosen), "     1 Alpha\r\n     4 1994 ES2\r\n");

    CometRecord c;
    c.name = "1P/Halley";
    c.designation = "1P/Halley";
    c.epochJ = 2449401;
    c.slopeK = 10;
    c.absoluteMagnitude = 5.5;
    c.position = {-1.234567890123456789e3, 2.5, -0.1};
    c.velocity = {1.5, -30.25, 7.0};
    write("COMET.TMP", cometStateFileText(c));
    StateFileContents state;
    ASSERT_TRUE(readStateFile(dir / "COMET.TMP", StateFileKind::MinorBody, 10, state, message))
        << message;
    ASSERT_EQ(state.records.size(), 1u);
    EXPECT_DOUBLE_EQ(static_cast<double>(state.julianDate), 2449400.5);
    EXPECT_DOUBLE_EQ(static_cast<double>(state.records[0].radius), -cometRadiusGm);
    EXPECT_EQ(state.records[0].nameField, "1P/Halley 1P_Halley");
    EXPECT_EQ(static_cast<double>(state.records[0].position[0]), c.position[0]);
    EXPECT_EQ(static_cast<double>(state.records[0].velocity[1]), c.velocity[1]);
}

} // namespace
} // namespace tarvo
