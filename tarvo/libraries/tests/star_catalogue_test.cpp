// The star catalogue on synthetic files: record layout, the prompt's answer,
// the filters, the loader, and damaged files of every kind.
#include "tarvo/libraries/star_catalogue.h"

#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tarvo {
namespace {

constexpr double kPi = std::numbers::pi;

// A star at right ascension `raDeg`, declination `decDeg`, magnitude `mag`.
StarRecord star(double raDeg, double decDeg, double mag, int name = 0, int desig = 0,
                bool flagged = false, bool deepSky = false) {
    StarRecord r;
    double ra = raDeg * kPi / 180.0 * kStarAngleUnitsPerRadian;
    if (ra >= kStarAngleFullCircle / 2.0) ra -= static_cast<double>(kStarAngleFullCircle);
    r.rightAscension = static_cast<std::int32_t>(std::lround(ra));
    const auto p = static_cast<std::int32_t>(
        std::lround((90.0 + decDeg) * kPi / 180.0 * kStarAngleUnitsPerRadian));
    r.polarDistance = flagged ? -p : p;
    r.valueA = flagged ? -1234 : 1234;
    r.magnitudeWord = static_cast<std::uint16_t>(std::lround(mag * 40) + 31 + (50 << 9));
    r.crossReference = crossReferenceWord(67, desig, name, deepSky);
    return r;
}

std::string image(const std::vector<StarRecord>& records) {
    std::string bytes;
    for (const auto& r : records) {
        const auto b = encodeStarRecord(r);
        bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
    return bytes;
}

std::string textRecords(std::initializer_list<const char*> texts) {
    std::string bytes;
    for (const char* t : texts) {
        std::string r = t;
        r.resize(kStarTextBytes, ' ');
        bytes += r;
    }
    return bytes;
}

std::string labels() {
    std::string bytes;
    for (std::size_t k = 0; k < kConstellationCount; ++k)
        bytes += k == 60 ? "Ori" : "C" + std::to_string(10 + k % 90).substr(0, 2);
    return bytes;
}

TEST(StarRecord, FieldsRoundTripThroughTheTwentySixBytes) {
    StarRecord r = star(123.4, -45.6, 3.2, 17, 300, true, false);
    r.motion = {-40000, 5, 8000000};
    r.valueA = -27989; // A carries the sign of the flagged polar distance
    const StarRecord back = decodeStarRecord(encodeStarRecord(r));
    EXPECT_EQ(back.rightAscension, r.rightAscension);
    EXPECT_EQ(back.polarDistance, r.polarDistance);
    EXPECT_EQ(back.valueA, -27989);
    EXPECT_EQ(back.motion, r.motion);
    EXPECT_EQ(back.magnitudeWord, r.magnitudeWord);
    EXPECT_EQ(nameRecordOf(back.crossReference), 17);
    EXPECT_EQ(designationRecordOf(back.crossReference), 300);
    EXPECT_EQ(uncertaintyCodeOf(back.crossReference), 67);
}

TEST(StarRecord, LayoutMatchesTheByteOffsets) {
    StarRecord r;
    r.rightAscension = -1570796327; // 180 degrees
    r.polarDistance = 1;
    r.valueA = 3 * 32768 + 5;
    r.motion = {-(2 * 32768 + 7), 0, 1};
    r.magnitudeWord = 0x1234;
    r.crossReference = -(10 * 8388608 + 2 * 1024 + 3);
    const auto b = encodeStarRecord(r);
    EXPECT_EQ(b[8], 5);  // low part of A
    EXPECT_EQ(b[10], 3); // high part of A
    EXPECT_EQ(static_cast<std::int16_t>(b[11] | b[12] << 8), -7);
    EXPECT_EQ(b[13], 2);
    EXPECT_EQ(b[20], 0x34);
    EXPECT_EQ(b[21], 0x12);
    const StarRecord d = decodeStarRecord(b);
    EXPECT_EQ(d.motion[0], -(2 * 32768 + 7));
    EXPECT_EQ(nameRecordOf(d.crossReference), 3);
    EXPECT_EQ(designationRecordOf(d.crossReference), 2);
    EXPECT_EQ(uncertaintyCodeOf(d.crossReference), 10);
    // A motion value whose low part would be zero cannot be held exactly:
    // it moves one unit towards zero instead of losing its high part.
    r.motion = {65536, -65536, 0};
    const StarRecord e = decodeStarRecord(encodeStarRecord(r));
    EXPECT_EQ(e.motion[0], 65535);
    EXPECT_EQ(e.motion[1], -65535);
}

TEST(StarAnswer, MagnitudesRangesAndOptions) {
    const int faintest = 8 * 40;
    EXPECT_EQ(parseStarAnswer("", faintest).limits.upper, 280);
    EXPECT_EQ(parseStarAnswer("", 6 * 40).limits.upper, 240); // catalogue brighter than 7
    EXPECT_EQ(parseStarAnswer("5.5", faintest).limits.upper, 220);
    EXPECT_EQ(parseStarAnswer("0", faintest).limits.upper, 280);
    EXPECT_EQ(parseStarAnswer("0.05", faintest).limits.upper, 4);
    EXPECT_EQ(parseStarAnswer("12", faintest).limits.upper, 320);
    for (const char* answer : {"3-6", "6-3"}) {
        const StarRequest r = parseStarAnswer(answer, faintest);
        EXPECT_EQ(r.limits.lower, 120) << answer;
        EXPECT_EQ(r.limits.upper, 240) << answer;
    }
    EXPECT_EQ(parseStarAnswer("-1", faintest).limits.lower, -1000); // a leading minus is no range
    const StarRequest r = parseStarAnswer("4 /f/n /S", faintest);
    EXPECT_TRUE(r.regionFilter && r.flaggedOnly && r.listFilter);
    EXPECT_EQ(r.limits.upper, 160);
}

class StarFilesTest : public testing::ScratchDirectoryTest {
  protected:
    StarFiles files() const {
        return {dir / "STARS3D.BIN", dir / "STNAMS3D.BIN", dir / "STDES3D.BIN",
                dir / "COSTLAB.DAT", dir / "FILTER.STR",   dir / "SelStar.dat"};
    }
    void writeCatalogue(const std::vector<StarRecord>& records) {
        write("STARS3D.BIN", image(records));
        write("STNAMS3D.BIN", textRecords({"Betelgeuse", "Rigel"}));
        write("STDES3D.BIN", textRecords({"  alf Ori  ", "bet Ori"}));
        write("COSTLAB.DAT", labels());
    }
    StarTable load(const std::string& answer) {
        StarTable t;
        const StarLoadResult r = loadStarCatalogue(files(), parseStarAnswer(answer, 12 * 40), t);
        EXPECT_TRUE(r.ok) << r.message;
        return t;
    }
};

TEST_F(StarFilesTest, LoadsUnitVectorsNamesAndDesignations) {
    writeCatalogue({star(88.79, 7.407, 0.45, 1, 1, true), star(78.63, -8.2, 0.18, 2, 2),
                    star(180.0, 0.0, 5.0), star(10, 89.99, 7.5)});
    const StarTable t = load("");
    ASSERT_EQ(t.size(), 3u); // the star of 7.5 is beyond the default 7.0
    const auto u = t.unitVector(0);
    const double ra = 88.79 * kPi / 180, dec = 7.407 * kPi / 180;
    EXPECT_NEAR(u[0], std::cos(dec) * std::cos(ra), 1e-8);
    EXPECT_NEAR(u[1], std::cos(dec) * std::sin(ra), 1e-8);
    EXPECT_NEAR(u[2], std::sin(dec), 1e-8);
    EXPECT_EQ(t.name(0), "Betelgeuse      "); // names stay 16 characters
    EXPECT_EQ(t.designation(0), "alf Ori");   // designations are trimmed
    EXPECT_EQ(t.designation(2), "");
    EXPECT_EQ(t.valueA[0], -1234); // signed like the flagged polar distance
    EXPECT_EQ(t.colourClass(0), 50);
    EXPECT_NEAR(t.visualMagnitude(1), 0.175, 1e-9);
    EXPECT_EQ(t.sequence[2], 3);
    // A right ascension field of -1570796327 is 180 degrees.
    EXPECT_NEAR(t.unitVector(2)[0], -1.0, 1e-9);
    EXPECT_EQ(t.faintestFortieths, 300);
    EXPECT_EQ(t.constellations[60], "Ori");
    // The label of Orion stands at the mean direction of its designated stars.
    EXPECT_GT(t.labelDirections[60][0], 0.0);
    EXPECT_NEAR(
        std::hypot(t.labelDirections[60][0], t.labelDirections[60][1], t.labelDirections[60][2]),
        1.0, 1e-12);
}

TEST_F(StarFilesTest, RangesFlagsRegionAndListFilters) {
    writeCatalogue({star(88.79, 7.407, 0.45, 1, 1, true), star(78.63, -8.2, 0.18, 2, 2),
                    star(180.0, 0.0, 5.0), star(350, -60, 3.5), star(10, 20, 4.0)});
    EXPECT_EQ(load("3-6").size(), 3u);
    EXPECT_EQ(load("6-3").size(), 3u);
    EXPECT_EQ(load("/N").size(), 1u);
    write("FILTER.STR", defaultRegionFilterText()); // Orion: RA 5.6 h ± 1.5 h, Dec 3 ± 20 deg
    EXPECT_EQ(load("/F").size(), 2u);
    // The region's right ascension window wraps through 0 h.
    write("FILTER.STR", "t\r\n0.0 1.0\r\n-20 45\r\n");
    EXPECT_EQ(load("/F").size(), 2u);
    // An unsorted selection file selects the same stars as a sorted one.
    write("SelStar.dat", "5, 2\n4 0 1\n");
    const StarTable t = load("/S");
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t.sequence[0], 2);
    EXPECT_EQ(t.sequence[2], 5);
    std::filesystem::remove(dir / "SelStar.dat");
    EXPECT_EQ(load("/S").size(), 5u); // a missing list has no effect
}

TEST_F(StarFilesTest, EndMarkerAndIndicesPastTheEnd) {
    StarRecord end = star(0, 0, 1);
    end.polarDistance = 0;
    writeCatalogue({star(88.79, 7.407, 0.45, 700, 900), end, star(10, 10, 1)});
    const StarTable t = load("");
    ASSERT_EQ(t.size(), 1u); // the record with field 4 = 0 ends the data
    EXPECT_EQ(t.name(0), "");
    EXPECT_EQ(t.designation(0), "");
}

TEST_F(StarFilesTest, FaintestComesFromTheWholeCatalogue) {
    std::vector<StarRecord> records;
    for (int k = 0; k < 100; ++k) records.push_back(star(k, 0, 2.0));
    records.push_back(star(1, 1, 9.5)); // record 101: beyond the first 64
    writeCatalogue(records);
    int faintest = 0;
    std::string message;
    ASSERT_TRUE(faintestOfCatalogue(dir / "STARS3D.BIN", faintest, message)) << message;
    EXPECT_EQ(faintest, 380);
}

TEST_F(StarFilesTest, DamagedFilesLeaveTheTableAsItWas) {
    writeCatalogue({star(88.79, 7.407, 0.45, 1, 1), star(78.63, -8.2, 0.18, 2, 2)});
    StarTable t = load("");
    ASSERT_EQ(t.size(), 2u);
    const std::string good = image({star(88.79, 7.407, 0.45, 1, 1), star(78.63, -8.2, 0.18, 2, 2)});
    struct Case {
        const char* file;
        std::string contents;
        const char* says;
    } cases[] = {
        {"STARS3D.BIN", good.substr(0, 40), "not a whole number of 26-byte"}, // truncated
        {"STARS3D.BIN", std::string(26 * 3, '\x7f'), "holds no position"},    // garbage
        {"STNAMS3D.BIN", std::string(17, 'x'), "16-byte records"},            // truncated
        {"COSTLAB.DAT", "OriTau", "89 labels"},                               // short
        {"COSTLAB.DAT", labels() + "Xyz", "89 labels"},                       // oversized
    };
    for (const Case& c : cases) {
        writeCatalogue({star(88.79, 7.407, 0.45, 1, 1), star(78.63, -8.2, 0.18, 2, 2)});
        write(c.file, c.contents);
        StarTable kept = t;
        const StarLoadResult r = loadStarCatalogue(files(), parseStarAnswer("", 480), kept);
        EXPECT_FALSE(r.ok) << c.file;
        EXPECT_NE(r.message.find(c.file), std::string::npos) << r.message;
        EXPECT_NE(r.message.find(c.says), std::string::npos) << r.message;
        EXPECT_EQ(kept.size(), 2u) << c.file;
    }
    // A star file of absurd length is refused before it is read.
    writeCatalogue({});
    std::filesystem::resize_file(dir / "STARS3D.BIN", (kMaxStarRecords + 1) * kStarRecordBytes);
    StarTable kept = t;
    const StarLoadResult r = loadStarCatalogue(files(), parseStarAnswer("", 480), kept);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("too large"), std::string::npos) << r.message;
    EXPECT_EQ(kept.size(), 2u);
    // Missing star files give no stars, without an error.
    std::filesystem::remove(dir / "STARS3D.BIN");
    const StarLoadResult none = loadStarCatalogue(files(), parseStarAnswer("", 480), kept);
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(kept.empty());
}

TEST_F(StarFilesTest, RegionFilterFileMustHoldThreeLines) {
    RegionFilter region;
    std::string message;
    write("FILTER.STR", "only a title\n");
    EXPECT_FALSE(readRegionFilter(dir / "FILTER.STR", region, message));
    EXPECT_NE(message.find("FILTER.STR"), std::string::npos);
    write("FILTER.STR", std::string(100000, 'z'));
    EXPECT_FALSE(readRegionFilter(dir / "FILTER.STR", region, message));
    write("FILTER.STR", "t\nabc\n\x01\x02\n"); // garbage numbers read as 0: a zero-width region
    EXPECT_TRUE(readRegionFilter(dir / "FILTER.STR", region, message));
    EXPECT_EQ(region.rightAscensionHalfWidth, 0.0);
}

} // namespace
} // namespace tarvo
