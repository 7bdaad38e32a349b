// The path mapper's readers: the shadow-path files, UMBRAVUE.CFG and
// SITES.CRD. Oracles: files written here in the search's own layout (the
// central lines of two real eclipses from NASA's Besselian elements), and
// every reader fed truncated, oversized and garbage files: a clear message
// naming the file, no crash, nothing kept that the file did not say.
#include "eclipse_paths.h"
#include "scratch_directory.h"

#include "fileio/text_util.h"
#include "umbravue/mapper_options.h"
#include "umbravue/path_file.h"
#include "umbravue/site_marks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

namespace {

using namespace umbravue;
using tarvo::testing::ScratchDirectoryTest;

std::string noise(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string text(size, '\0');
    for (char& c : text) c = static_cast<char>(random());
    return text;
}

using PathFiles = ScratchDirectoryTest;

TEST_F(PathFiles, TheSearchLayoutReadsBackFieldByField) {
    const std::string text = umbravue_test::eclipse2017();
    const PathFileLoad load = readPathFile(write("SuMo0001.OCC", text), 0);
    ASSERT_TRUE(load.ok) << load.message;
    EXPECT_TRUE(load.message.empty()) << load.message;
    ASSERT_EQ(load.events.size(), 1u);
    const PathEvent& e = load.events[0];
    EXPECT_EQ(e.title, "Total solar eclipse 2017 August 21: Oregon to South Carolina");
    EXPECT_DOUBLE_EQ(e.deltaTSeconds, 68.9);
    EXPECT_EQ(e.date, "2017/08/21");
    ASSERT_GT(e.points.size(), 80u);
    // The point at 18:26 UT, next to greatest eclipse (36.97 N, 87.67 W).
    bool seen = false;
    for (const PathPoint& p : e.points) {
        if (p.time != "18:26:00") continue;
        seen = true;
        EXPECT_NEAR(p.mapLon - 180, -87.5, 0.3);
        EXPECT_NEAR(90 - p.mapColat, 36.9, 0.2);
        EXPECT_GT(p.widthKm, 100);
        EXPECT_LT(p.widthKm, 110);
        EXPECT_GT(p.backwardKm, p.forwardKm * 0.5);
    }
    EXPECT_TRUE(seen);
    // Thinning 1 keeps every other point.
    EXPECT_EQ(readPathFile(dir / "SuMo0001.OCC", 1).events[0].points.size(),
              (e.points.size() + 1) / 2);
}

TEST_F(PathFiles, HeaderLinesSeparateEventsAndDeltaTIsTheLastNumber) {
    // Two events in one file, the second with a short event line (padded to
    // column 146) and a Delta-T wider than eight characters.
    std::string text = umbravue_test::eclipse2017();
    text += umbravue_test::kPathHeading + "  Short" + std::string(55, ' ') + " 123456.7\r\n";
    text +=
        "  2024/04/08 18:10:00 -105.0000  25.0000 330.0 69.0   186.0    99.0    99.0     0.0\r\n";
    const PathFileLoad load = readPathFile(write("Two.OCC", text), 0);
    ASSERT_EQ(load.events.size(), 2u);
    EXPECT_DOUBLE_EQ(load.events[1].deltaTSeconds, 123456.7);
    EXPECT_EQ(load.events[1].title, "Short");
    ASSERT_EQ(load.events[1].points.size(), 1u);
    EXPECT_DOUBLE_EQ(load.events[1].points[0].thetaDeg, 120.0); // 90 - 330 + 360
}

// The eclipse search's event lines are long (the whole angular record): its
// Delta-T follows them well past column 154 and is still the one read;
// the title is columns 86 to 145.
TEST_F(PathFiles, DeltaTAfterALongEventLineIsRead) {
    const std::string event =
        "   10C      0C    2017/08/21 18:27:17       6442.26895    0.42840 1.51061 0.00000 "
        "151.13  12.27  11.86  0.372104  1.011538 195    0               6696      1.9  MOON"
        "      SUN      ";
    const std::string text =
        umbravue_test::kPathHeading + " " + event + "     68.8\r\n" +
        "  2017/08/21 18:27:00  -87.0000  37.0000 200.0 64.0   115.0    60.0    60.0     0.0\r\n";
    const PathFileLoad load = readPathFile(write("Long.OCC", text), 0);
    ASSERT_EQ(load.events.size(), 1u);
    EXPECT_DOUBLE_EQ(load.events[0].deltaTSeconds, 68.8);
    EXPECT_EQ(load.events[0].title, tarvo::trim(event.substr(1, 60)));
    EXPECT_EQ(load.events[0].points.size(), 1u);
}

TEST_F(PathFiles, APathAcrossTheDateLineStaysInOnePiece) {
    std::string text = umbravue_test::kPathHeading + " x\r\n";
    for (double lon : {178.0, 179.5, -179.0, -177.5})
        text += "  2030/11/25 06:00:00" + tarvo::formatMask(" ####.####", lon) +
                "  -40.0000 330.0 69.0   100.0    99.0    99.0     0.0\r\n";
    const PathFileLoad load = readPathFile(write("Wrap.OCC", text), 0);
    ASSERT_EQ(load.events.at(0).points.size(), 4u);
    EXPECT_DOUBLE_EQ(load.events[0].points[2].mapLon, 181.0 + 180.0);
    EXPECT_DOUBLE_EQ(load.events[0].points[3].mapLon, 182.5 + 180.0);
}

TEST_F(PathFiles, TruncatedOversizedAndGarbageFiles) {
    const std::string good = umbravue_test::eclipse2017();
    // Cut in the middle of a point line: that line is skipped and counted.
    const std::size_t cut = good.find("\r\n", 2000) + 40;
    PathFileLoad load = readPathFile(write("Cut.OCC", good.substr(0, cut)), 0);
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.skippedLines, 1u);
    EXPECT_NE(load.message.find("Cut.OCC"), std::string::npos);
    for (const PathPoint& p : load.events.at(0).points) EXPECT_GT(p.mapLon, 0.0);
    // Cut inside the header: one event, no points.
    load = readPathFile(write("Head.OCC", good.substr(0, 50)), 0);
    ASSERT_TRUE(load.ok);
    EXPECT_TRUE(load.events.at(0).points.empty());
    // Oversized: refused whole, with the file named.
    {
        std::ofstream big(dir / "Big.OCC", std::ios::binary);
        big.seekp(static_cast<std::streamoff>(kPathFileBytesLimit) + 1);
        big.put('x');
    }
    load = readPathFile(dir / "Big.OCC", 0);
    EXPECT_FALSE(load.ok);
    EXPECT_NE(load.message.find("Big.OCC"), std::string::npos);
    // Garbage and numbers out of range: nothing drawn from them.
    load = readPathFile(write("Noise.OCC", noise(20000, 3)), 0);
    for (const PathEvent& e : load.events)
        for (const PathPoint& p : e.points) {
            EXPECT_LE(std::fabs(p.mapColat - 90), 90.0);
            EXPECT_LE(std::fabs(p.widthKm), 40000.0);
        }
    load =
        readPathFile(write("Range.OCC", umbravue_test::kPathHeading + " x\r\n" +
                                            "  2017/08/21 18:00:00 -400.0000  95.0000 330.0 69.0 "
                                            "  100.0    99.0    99.0     0.0\r\n"),
                     0);
    EXPECT_TRUE(load.events.at(0).points.empty());
    EXPECT_EQ(load.skippedLines, 1u);
    load = readPathFile(dir / "None.OCC", 0);
    EXPECT_TRUE(load.missing);
}

using OptionsFile = ScratchDirectoryTest;

TEST_F(OptionsFile, ValuesAreTheFirstFieldSoCommasInCommentsDoNotShiftThem) {
    const OptionsLoad load = readMapperOptions(write(
        "UMBRAVUE.CFG", "  ../Eclipse 2017, the name, with commas\r\n800, width, in pixels\r\n"
                        "600\r\n2.5, lon, margin\r\n1.5\r\n16\r\n-3\r\n4\r\n2\r\n-1, none\r\n1\r\n"
                        "-1\r\n0\r\n0, world view, off\r\n"));
    EXPECT_TRUE(load.message.empty()) << load.message;
    const MapperOptions& o = load.options;
    EXPECT_EQ(o.pictureName, "Eclipse2017"); // no directory can be named
    EXPECT_EQ(o.maxWidthPx, 800);
    EXPECT_EQ(o.maxHeightPx, 600);
    EXPECT_DOUBLE_EQ(o.lonMarginDeg, 2.5);
    EXPECT_DOUBLE_EQ(o.latMarginDeg, 1.5);
    EXPECT_EQ(o.fontHeightPx, 16);
    EXPECT_EQ(o.labelRightPx, -3);
    EXPECT_EQ(o.labelUpPx, 4);
    EXPECT_EQ(o.thinning, 2);
    EXPECT_EQ(o.labelSpacing, -1);
    EXPECT_TRUE(o.extension);
    EXPECT_TRUE(o.allEvents);
    EXPECT_FALSE(o.sites);
    EXPECT_FALSE(o.worldView);
    EXPECT_EQ(readMapperOptions(write("E.CFG", " , empty name\r\n")).options.pictureName, "NONAME");
}

TEST_F(OptionsFile, TruncatedOversizedAndGarbageFilesKeepTheDefaults) {
    const MapperOptions defaults;
    OptionsLoad load = readMapperOptions(write("Cut.CFG", "PATHS, name\r\n1200, width\r\n9"));
    EXPECT_EQ(load.options.maxWidthPx, 1200);
    EXPECT_EQ(load.options.maxHeightPx, 64); // a window of 9 pixels is brought into range
    EXPECT_NE(load.message.find("Cut.CFG"), std::string::npos);
    EXPECT_NE(load.message.find("lines 4, 5,"), std::string::npos) << load.message;
    load = readMapperOptions(write("Big.CFG", std::string(kOptionsFileBytesLimit + 10, '7')));
    EXPECT_EQ(load.options.maxWidthPx, defaults.maxWidthPx);
    EXPECT_NE(load.message.find("too large"), std::string::npos);
    load = readMapperOptions(write("Noise.CFG", noise(3000, 11)));
    EXPECT_GE(load.options.maxWidthPx, 64);
    EXPECT_LE(load.options.maxWidthPx, 16384);
    EXPECT_GE(load.options.fontHeightPx, 4);
    EXPECT_FALSE(load.message.empty());
    load = readMapperOptions(write("Huge.CFG", "X\r\n1e300\r\n-1e300\r\n"));
    EXPECT_EQ(load.options.maxWidthPx, 16384);
    EXPECT_EQ(load.options.maxHeightPx, 64);
    load = readMapperOptions(dir / "NONE.CFG");
    EXPECT_EQ(load.options.pictureName, defaults.pictureName);
    EXPECT_NE(load.message.find("not found"), std::string::npos);
}

using SitesFile = ScratchDirectoryTest;

TEST_F(SitesFile, ThreeNumbersThenTheName) {
    const SitesLoad load = readSiteMarks(write(
        "SITES.CRD", "  Lat. Long. R Name\r\n 44.63, -121.13, 3, Madras, Oregon\r\n"
                     "29.76 -95.37 2 HOUSTON\r\n\r\n  45.0, 200.0, 99, East of the line\r\n"));
    EXPECT_TRUE(load.message.empty()) << load.message;
    ASSERT_EQ(load.sites.size(), 3u);
    EXPECT_EQ(load.sites[0].name, "Madras, Oregon");
    EXPECT_DOUBLE_EQ(load.sites[0].lonDeg, -121.13);
    EXPECT_EQ(load.sites[0].radiusPx, 3);
    EXPECT_EQ(load.sites[1].name, "HOUSTON");
    EXPECT_DOUBLE_EQ(load.sites[2].lonDeg, -160.0);
    EXPECT_EQ(load.sites[2].radiusPx, 50);
}

TEST_F(SitesFile, TruncatedOversizedAndGarbageFiles) {
    SitesLoad load = readSiteMarks(write("Cut.CRD", "head\r\n44.6, -121.1, 3, Madras\r\n29.7, -9"));
    EXPECT_EQ(load.sites.size(), 1u);
    EXPECT_EQ(load.skippedLines, 1u);
    EXPECT_NE(load.message.find("Cut.CRD"), std::string::npos);
    load = readSiteMarks(write("Big.CRD", std::string(kSitesFileBytesLimit + 1, '1')));
    EXPECT_TRUE(load.sites.empty());
    EXPECT_NE(load.message.find("too large"), std::string::npos);
    load = readSiteMarks(write("Noise.CRD", noise(50000, 5)));
    for (const SiteMark& s : load.sites) {
        EXPECT_LE(std::fabs(s.latDeg), 90.0);
        EXPECT_LE(s.radiusPx, 50);
        EXPECT_LE(s.name.size(), 40u);
    }
    EXPECT_NE(readSiteMarks(dir / "NONE.CRD").message.find("not found"), std::string::npos);
}

} // namespace
