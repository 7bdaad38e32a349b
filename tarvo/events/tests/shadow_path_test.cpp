// The shadow-path files: names, the UT grid of a track, the line layout the
// path mapper reads by column, and the files of an earlier search.
#include "tarvo/events/shadow_path.h"

#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

TEST(ShadowPathNames, SolarEclipseCounterWrapsFrom10000To9000) {
    EXPECT_EQ(tarvo::nextPathCounter(0), 1);
    EXPECT_EQ(tarvo::nextPathCounter(9998), 9999);
    EXPECT_EQ(tarvo::nextPathCounter(9999), 9000);
    EXPECT_EQ(tarvo::solarEclipseFileName(1), "SuMo0001.OCC");
    EXPECT_EQ(tarvo::solarEclipseFileName(9999), "SuMo9999.OCC");
}

TEST(ShadowPathNames, OccultationNamesAreShortSafeAndDistinctPerEvent) {
    EXPECT_EQ(tarvo::occultationFileName("MOON     ", "JUPITER  "), "MOONJUPI.OCC");
    EXPECT_EQ(tarvo::occultationFileName("MOON     ", "433 EROS "), "MOONEROS.OCC");
    EXPECT_EQ(tarvo::occultationFileName("433 EROS ", "MOON     "), "EROSMOON.OCC");
    // A comet's '/' and blanks inside a name never reach the file system.
    EXPECT_EQ(tarvo::occultationFileName("MOON     ", "C/2020 F3"), "MOONC_20.OCC");
    EXPECT_EQ(tarvo::occultationFileName("../..    ", "/        "), "______.OCC");
    EXPECT_EQ(tarvo::occultationFileName("         ", "         "), "OCC.OCC");
    // The second event of one pair in one search gets its own file.
    EXPECT_EQ(tarvo::occultationFileName("MOON     ", "VENUS    ", 2), "MOONVENU_2.OCC");
}

TEST(ShadowPathGrid, SpacingAlignedToWholeFractionsOfAMinute) {
    // 300 minutes in all, 100 points: 3 minutes apart, 101 on each side.
    auto g = tarvo::pathGrid(150.0L / 1440.0L, 100);
    EXPECT_EQ(g.K, 1);
    EXPECT_EQ(g.M, 3);
    EXPECT_EQ(g.perSide, 101);
    // 40 minutes: K = 3, M = INT(40 * 3 / 100) = 1, a third of a minute.
    g = tarvo::pathGrid(20.0L / 1440.0L, 100);
    EXPECT_EQ(g.K, 3);
    EXPECT_EQ(g.M, 1);
    EXPECT_EQ(g.perSide, 121);
    // Half a minute: past 60 K doubles, 120, then 240.
    g = tarvo::pathGrid(0.25L / 1440.0L, 100);
    EXPECT_EQ(g.K, 240);
    EXPECT_EQ(g.M, 1);
    // 400 points in topocentric mode.
    g = tarvo::pathGrid(150.0L / 1440.0L, 400);
    EXPECT_EQ(g.K, 2);
    EXPECT_EQ(g.M, 1);
}

TEST(ShadowPathGrid, NoPointsForADurationThatIsNotFiniteAndPositive) {
    for (long double T : {0.0L, -1.0L, std::nanl(""), HUGE_VALL})
        EXPECT_EQ(tarvo::pathGrid(T, 100).perSide, 0) << static_cast<double>(T);
}

TEST(ShadowPathGrid, CentreRoundedToTheNearestStepOfTheUTDay) {
    const long double midnight = 6441.5L; // 2017 Aug 21 0h UT is 6441.5 days from J2000
    const long double ut = midnight + (18.0L * 60 + 25.4L) / 1440.0L;
    EXPECT_NEAR(static_cast<double>((tarvo::gridCentreUT(ut, 1) - midnight) * 1440.0L),
                18.0 * 60 + 25, 1e-6);
    EXPECT_NEAR(static_cast<double>((tarvo::gridCentreUT(ut, 3) - midnight) * 1440.0L),
                18.0 * 60 + 25 + 1.0 / 3, 1e-6);
}

TEST(ShadowPathLines, HeaderKeepsTitleAndDeltaTWhereTheMapperReadsThem) {
    EXPECT_EQ(std::string(tarvo::kPathColumnHeader).size(), 83u);
    for (std::size_t length : {0u, 20u, 54u, 57u, 59u, 60u, 61u, 200u}) {
        const std::string event(length, 'x');
        const std::string line = tarvo::occHeaderLine(event, 69.184L);
        EXPECT_EQ(line.substr(84, length), event);
        // Delta-T in the last 8 characters; at column 146 for short lines.
        EXPECT_NEAR(std::stod(line.substr(line.size() - 8)), 69.2, 1e-9) << length;
        EXPECT_EQ(line.size(), std::max<std::size_t>(154, 84 + length + 9)) << length;
    }
}

TEST(ShadowPathLines, PointFieldsSitInTheMappersColumns) {
    tarvo::ShadowPoint p;
    p.exists = true;
    p.longitude = -123.4567, p.latitude = 45.6789, p.azimuth = 123.4, p.altitude = 38.2;
    p.wmin = 108.3, p.hwMin = 61.2, p.hwMax = 59.8, p.hwErr = 0.0;
    const long double ut = 6441.5L + (17.0L * 3600 + 21 * 60 + 30) / 86400.0L;
    const std::string line = tarvo::occPointLine(ut, p);
    EXPECT_EQ(line.substr(0, 12), "  2017/08/21");
    EXPECT_EQ(line.substr(13, 8), "17:21:30");
    EXPECT_NEAR(std::stod(line.substr(22, 9)), -123.4567, 1e-9);
    EXPECT_NEAR(std::stod(line.substr(32, 8)), 45.6789, 1e-9);
    EXPECT_NEAR(std::stod(line.substr(40, 6)), 123.4, 1e-9);
    EXPECT_NEAR(std::stod(line.substr(46, 5)), 38.2, 1e-9);
    EXPECT_NEAR(std::stod(line.substr(51, 8)), 108.3, 1e-9);
    EXPECT_NEAR(std::stod(line.substr(59, 8)), 61.2, 1e-9);
    EXPECT_NEAR(std::stod(line.substr(67, 8)), 59.8, 1e-9);
    EXPECT_EQ(line.size(), 83u);
}

TEST(ShadowPathWindow, TheWindowIsABoxInLatitudeAndShrunkLongitudeAndWrapsAt180) {
    // Site at 45 N: 15 degrees of window are 21.2 degrees of longitude.
    EXPECT_TRUE(tarvo::insideGeographicWindow(21.0L, 45.0L, 0.0L, 45.0L, 15.0L));
    EXPECT_FALSE(tarvo::insideGeographicWindow(21.5L, 45.0L, 0.0L, 45.0L, 15.0L));
    EXPECT_TRUE(tarvo::insideGeographicWindow(0.0L, 60.0L, 0.0L, 45.0L, 15.0L));
    EXPECT_FALSE(tarvo::insideGeographicWindow(0.0L, 60.01L, 0.0L, 45.0L, 15.0L));
    // Across the date line either way.
    EXPECT_TRUE(tarvo::insideGeographicWindow(-179.0L, 0.0L, 179.0L, 0.0L, 5.0L));
    EXPECT_TRUE(tarvo::insideGeographicWindow(178.0L, 0.0L, -178.0L, 0.0L, 5.0L));
    EXPECT_FALSE(tarvo::insideGeographicWindow(170.0L, 0.0L, -170.0L, 0.0L, 5.0L));
}

class ShadowPathFiles : public tarvo::testing::ScratchDirectoryTest {};

TEST_F(ShadowPathFiles, AnEarlierSearchsFilesAreListedAndDeletedAndNothingElse) {
    write("SuMo0001.OCC", "a");
    write("moonvenu.occ", "b");
    write("MINDIST.DAT", "c");
    write("NOTES.OCC.TXT", "d");
    const auto files = tarvo::existingPathFiles(dir);
    ASSERT_EQ(files.size(), 2u);
    std::string message;
    EXPECT_TRUE(tarvo::deletePathFiles(dir, message)) << message;
    EXPECT_TRUE(tarvo::existingPathFiles(dir).empty());
    EXPECT_TRUE(std::filesystem::exists(dir / "MINDIST.DAT"));
    EXPECT_TRUE(std::filesystem::exists(dir / "NOTES.OCC.TXT"));
    // An empty directory: nothing to delete, no TMP.OCC left behind.
    EXPECT_TRUE(tarvo::deletePathFiles(dir, message));
    EXPECT_FALSE(std::filesystem::exists(dir / "TMP.OCC"));
}

} // namespace
