// LEAPSECS.DAT, DUT1.DAT and OBSCODES.TXT: made from the public sources and
// checked against ERFA's own leap-second table; damaged files refused.
#include "shared_inputs.h"

#include "scratch_directory.h"

#include <erfa.h>
#include <erfam.h>

namespace {

using fitra::testing::kSharedData;
using fitra::testing::kTzdataLeapSeconds;
using fitra::testing::slurp;
using fitra::testing::writeLines;

class TimeOffsets : public tarvo::testing::ScratchDirectoryTest {};

TEST_F(TimeOffsets, LeapSecondsFromTzdataGiveTheTtMinusUtcOfErfa) {
    FITRA_REQUIRE_FILE(kTzdataLeapSeconds);
    const auto lines = tarvo::leapSecondsLines(slurp(kTzdataLeapSeconds));
    ASSERT_GE(lines.size(), 28u);
    writeLines(dir / "LEAPSECS.DAT", lines);
    fitra::TimeOffsetTable table;
    std::string message;
    ASSERT_TRUE(fitra::readLeapSeconds(dir / "LEAPSECS.DAT", table, message)) << message;
    // Every month since 1972, at 0h of the 1st and at mid-month.
    for (int year = 1972; year <= 2025; ++year)
        for (int month = 1; month <= 12; ++month)
            for (double day : {1.0, 15.5}) {
                double d1, d2, tai;
                ASSERT_EQ(eraCal2jd(year, month, static_cast<int>(day), &d1, &d2), 0);
                const double jd = d1 + d2 + (day - static_cast<int>(day));
                ASSERT_GE(
                    eraDat(year, month, static_cast<int>(day), day - static_cast<int>(day), &tai),
                    0);
                EXPECT_DOUBLE_EQ(fitra::observationTimeOffset(table, jd), tai + 32.184)
                    << year << "-" << month << "-" << day;
            }
    bool found = false;
    EXPECT_DOUBLE_EQ(table.offsetAt(2458000.5, found), 69.184); // 2017
}

TEST_F(TimeOffsets, BeforeUtcHadLeapSecondsTheOffsetIsDeltaT) {
    writeLines(dir / "LEAPSECS.DAT", {"2441317.5 10"});
    fitra::TimeOffsetTable table;
    std::string message;
    ASSERT_TRUE(fitra::readLeapSeconds(dir / "LEAPSECS.DAT", table, message));
    // 1960: ΔT was about 33 s (neither 0 nor 32.184 s).
    const double offset = fitra::observationTimeOffset(table, 2436934.5);
    EXPECT_NEAR(offset, 33.2, 1.5);
}

TEST_F(TimeOffsets, TheOrderOfTheFileDoesNotMatter) {
    writeLines(dir / "A.DAT", {"2441317.5 10", "2457754.5 37", "2441499.5 11"});
    fitra::TimeOffsetTable table;
    std::string message;
    ASSERT_TRUE(fitra::readLeapSeconds(dir / "A.DAT", table, message));
    bool found = false;
    EXPECT_DOUBLE_EQ(table.offsetAt(2441400.0, found), 42.184);
    EXPECT_DOUBLE_EQ(table.offsetAt(2460000.0, found), 69.184);
}

TEST_F(TimeOffsets, DailyDut1OfTheIersFileFitsAndMatchesItsDay) {
    const auto finals = kSharedData / "iers" / "finals2000A.all";
    FITRA_REQUIRE_FILE(finals);
    const auto lines = tarvo::dut1Lines(slurp(finals));
    ASSERT_GT(lines.size(), 15000u); // decades of daily values
    writeLines(dir / "DUT1.DAT", lines);
    fitra::TimeOffsetTable table;
    std::string message;
    ASSERT_TRUE(fitra::readDut1(dir / "DUT1.DAT", table, message)) << message;
    EXPECT_TRUE(table.universalTime);
    EXPECT_EQ(table.entries.size(), lines.size());
    // 2017 January 1: the leap second took UT1-UTC from -0.41 to +0.59 s.
    EXPECT_NEAR(fitra::observationTimeOffset(table, 2457754.6), 0.59, 0.02);
    EXPECT_NEAR(fitra::observationTimeOffset(table, 2457754.4), -0.41, 0.02);
}

TEST_F(TimeOffsets, DamagedFilesAreRefusedWithTheirNameAndTheTableIsKept) {
    fitra::TimeOffsetTable table;
    table.entries = {{2457754.5, 69.184}};
    std::string message;
    EXPECT_FALSE(fitra::readLeapSeconds(dir / "NONE.DAT", table, message));
    EXPECT_NE(message.find("NONE.DAT"), std::string::npos);
    write("GARBAGE.DAT", std::string("\x01\x02\xff\xfe binary\n\0\0\0", 15));
    EXPECT_FALSE(fitra::readLeapSeconds(dir / "GARBAGE.DAT", table, message));
    EXPECT_NE(message.find("GARBAGE.DAT"), std::string::npos);
    write("BIG.DAT", std::string(fitra::kTableFileBytesLimit + 1, '1'));
    EXPECT_FALSE(fitra::readLeapSeconds(dir / "BIG.DAT", table, message));
    EXPECT_NE(message.find("too large"), std::string::npos);
    ASSERT_EQ(table.entries.size(), 1u);
    // A truncated line is skipped and counted, the rest read.
    write("CUT.DAT", "2457754.5 37\r\n2441317.5\r\n2441499.5 11\r\n2441");
    ASSERT_TRUE(fitra::readLeapSeconds(dir / "CUT.DAT", table, message));
    EXPECT_EQ(table.entries.size(), 2u);
    EXPECT_EQ(table.skippedLines, 2u);
}

class Stations : public tarvo::testing::ScratchDirectoryTest {};

TEST_F(Stations, TheMpcListIsReadAndUnknownCodesFallBackToTheGeocentre) {
    const auto html = kSharedData / "mpc" / "ObsCodes.html";
    FITRA_REQUIRE_FILE(html);
    fitra::testing::writeObscodesFromHtml(html, dir / "OBSCODES.TXT");
    fitra::StationTable table;
    std::string message;
    ASSERT_TRUE(fitra::readStationTable(dir / "OBSCODES.TXT", table, message)) << message;
    EXPECT_GT(table.rows.size(), 2000u); // more than any fixed table of old
    bool known = false;
    const auto& palomar = table.lookup("675", &known);
    EXPECT_TRUE(known);
    EXPECT_NEAR(palomar.longitudeDeg, 243.1, 0.1);
    const auto& none = table.lookup("Q9Z", &known);
    EXPECT_FALSE(known);
    EXPECT_EQ(none.code, "500");
}

TEST_F(Stations, WithoutTheGeocentreInTheFileAnUnknownCodeIsStillTheGeocentre) {
    write("OBS.TXT", "Code\n675 243.137460.836357+0.546831Palomar\n\x01\x02\n");
    fitra::StationTable table;
    std::string message;
    ASSERT_TRUE(fitra::readStationTable(dir / "OBS.TXT", table, message));
    EXPECT_EQ(table.skippedLines, 1u);
    const auto& s = table.lookup("999");
    EXPECT_EQ(s.rhoCosPhi, 0.0);
    EXPECT_EQ(s.rhoSinPhi, 0.0);
    write("EMPTY.TXT", "");
    EXPECT_FALSE(fitra::readStationTable(dir / "EMPTY.TXT", table, message));
    EXPECT_EQ(table.rows.size(), 1u);
}

} // namespace
