// The positions-file reader: date and angle formats, site modes, exclusion,
// magnitudes, weights; an import read back against ERFA; damaged files.
#include "fitra/positions_file.h"

#include "scratch_directory.h"
#include "shared_inputs.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>

namespace {

class Positions : public tarvo::testing::ScratchDirectoryTest {
  protected:
    bool read(const std::string& text, fitra::PositionsFile& file,
              fitra::PositionsOptions options = {}) {
        write("T.POS", text);
        return fitra::readPositionsFile(dir / "T.POS", options, file, message);
    }
    std::string message;
};

TEST_F(Positions, JulianDatesDegreesAndTheSingleSiteOfModeZero) {
    fitra::PositionsFile f;
    ASSERT_TRUE(read("0 Observations of TESTBODYLONG\n0 one site\n0 degrees\n"
                     "2451545.5 10.5 -20.25 1.0\n-2451546.0 11 -21 1\n0\n40.5 14.25\n",
                     f))
        << message;
    EXPECT_EQ(f.objectName, "TESTBODY");
    ASSERT_EQ(f.observations.size(), 2u);
    EXPECT_EQ(f.observations[0].obsTime, 0.5L);
    EXPECT_EQ(f.observations[0].lineNo, 4);
    EXPECT_DOUBLE_EQ(static_cast<double>(f.observations[0].obsA), 10.5);
    EXPECT_TRUE(f.observations[1].excluded);
    EXPECT_EQ(f.observations[1].obsTime, 1.0L);
    EXPECT_NEAR(static_cast<double>(f.observations[1].siteS1), 40.5 * ERFA_DD2R, 1e-15);
    EXPECT_NEAR(static_cast<double>(f.observations[1].siteS2), 14.25 * ERFA_DD2R, 1e-15);
    // Without the last line every observation is geocentric.
    ASSERT_TRUE(read("0 x\n0\n0\n2451545.5 10.5 -20.25 1.0\n0\n", f));
    EXPECT_EQ(f.observations[0].siteS1, 0.0L);
}

TEST_F(Positions, PackedCalendarDatesAndSexagesimalAnglesAgreeWithErfa) {
    fitra::PositionsFile f;
    ASSERT_TRUE(
        read("1 x B\n-1 x\n2 packed\n-20180101.5 12.3030 -0.3030 1.00 0.5 0.8 10.0\n0\n", f))
        << message;
    const auto& o = f.observations.at(0);
    EXPECT_TRUE(o.excluded);
    double d1, d2;
    eraCal2jd(2018, 1, 1, &d1, &d2);
    EXPECT_NEAR(static_cast<double>(o.obsTime), d1 + d2 + 0.5 - ERFA_DJ00, 1e-9);
    double ra;
    eraTf2a('+', 12, 30, 30.0, &ra);
    EXPECT_NEAR(static_cast<double>(o.obsA), ra * ERFA_DR2D, 1e-12);
    EXPECT_NEAR(static_cast<double>(o.obsB), -(30.0 / 60 + 30.0 / 3600), 1e-12);
    EXPECT_NEAR(static_cast<double>(o.siteS3), 10.0 * ERFA_DD2R, 1e-15);
}

TEST_F(Positions, RadarSpacecraftWeightsAndMagnitudes) {
    fitra::PositionsOptions options;
    options.weighted = true;
    write("T.MAG", "20180101.5 17.5\n20180103.5 18.0\n");
    fitra::PositionsFile f;
    ASSERT_TRUE(read("1 x B\n-1 x\n2 packed\n"
                     "20180101.5 12.3030 -0.3030 0.5 0.5 0.8 10.0\n"
                     "20180102.5 -0.5 0 2.0 0.5 0.8 10.0 0.4 0.9 20.0\n"
                     "20180103.5 -0.25 -1 4.0 1000.0 0 0\n"
                     "20180104.5 1 1 0 0.5 0.8 10\n0\n",
                     f, options))
        << message;
    ASSERT_EQ(f.observations.size(), 3u); // the zero weight is refused
    EXPECT_EQ(f.skippedLines, 1u);
    EXPECT_NEAR(static_cast<double>(f.observations[0].weightFactor), 1378.8 / 0.5, 1e-9);
    EXPECT_TRUE(f.observations[0].hasMag);
    EXPECT_EQ(f.observations[1].obsKind, -1);
    EXPECT_DOUBLE_EQ(static_cast<double>(f.observations[1].obsA), 0.5);
    EXPECT_NEAR(static_cast<double>(f.observations[1].siteB3), 20.0 * ERFA_DD2R, 1e-15);
    EXPECT_FALSE(f.observations[1].hasMag);
    EXPECT_EQ(f.observations[2].obsKind, 1);
    EXPECT_DOUBLE_EQ(static_cast<double>(f.observations[2].obsA), -0.25);
    EXPECT_TRUE(f.observations[2].hasMag);
    EXPECT_DOUBLE_EQ(static_cast<double>(f.observations[2].magnitude), 18.0);
    EXPECT_EQ(f.observations[2].siteS1, 1000.0L); // spacecraft at the geocentre
}

TEST_F(Positions, UniversalTimeAddsDeltaT) {
    fitra::PositionsOptions options;
    options.universalTime = true;
    options.deltaT = [](long double) { return 69.0L / 86400; };
    fitra::PositionsFile f;
    ASSERT_TRUE(read("0 x\n0\n0\n2451545.5 1 1 1\n0\n", f, options));
    EXPECT_NEAR(static_cast<double>(f.observations[0].obsTime), 0.5 + 69.0 / 86400, 1e-12);
}

TEST_F(Positions, DamagedFilesGiveAClearMessageAndLeaveTheTableAlone) {
    fitra::PositionsFile f;
    f.objectName = "KEPT";
    EXPECT_FALSE(fitra::readPositionsFile(dir / "NONE.POS", {}, f, message));
    EXPECT_NE(message.find("NONE.POS"), std::string::npos);
    EXPECT_FALSE(read("1 x\n", f));
    EXPECT_NE(message.find("too short"), std::string::npos);
    EXPECT_FALSE(read(std::string("\x7f\x45\x4c\x46\x02\x01\x01\0\0\0\n\xff\xfe\n\x01\n", 16), f));
    write("T.POS", std::string(fitra::kPositionsFileBytesLimit + 10, '1'));
    EXPECT_FALSE(fitra::readPositionsFile(dir / "T.POS", {}, f, message));
    EXPECT_NE(message.find("too large"), std::string::npos);
    EXPECT_EQ(f.objectName, "KEPT");
    // Truncated in the middle of an observation: the rest is read, the cut line counted.
    ASSERT_TRUE(
        read("1 x B\n-1 x\n2 p\n20180101.5 12.3030 -0.3030 1.00 0.5 0.8 10.0\n20180102.5 12.3", f));
    EXPECT_EQ(f.observations.size(), 1u);
    EXPECT_EQ(f.skippedLines, 2u); // the cut line and the missing "0"
}

TEST_F(Positions, AnImportReadsBackAsTheErfaTtOfTheSource) {
    const auto source = fitra::testing::kSharedData / "mpc" / "12893.obs";
    FITRA_REQUIRE_FILE(source);
    FITRA_REQUIRE_FILE(fitra::testing::kTzdataLeapSeconds);
    fitra::testing::writeLines(dir / "LEAPSECS.DAT", tarvo::leapSecondsLines(fitra::testing::slurp(
                                                         fitra::testing::kTzdataLeapSeconds)));
    fitra::TimeOffsetTable leaps;
    ASSERT_TRUE(fitra::readLeapSeconds(dir / "LEAPSECS.DAT", leaps, message));
    fitra::StationTable stations; // empty: every site at the geocentre
    write("12893.MPC", fitra::testing::slurp(source));
    const auto report = fitra::importMpcFile(dir / "12893.MPC", stations, leaps);
    ASSERT_TRUE(report.written) << report.message;
    fitra::PositionsFile f;
    ASSERT_TRUE(fitra::readPositionsFile(report.positionsFile, {}, f, message)) << message;
    ASSERT_EQ(f.observations.size(), report.observations);
    EXPECT_EQ(f.objectName, "12893");
    // The first record: 1983 10 08.40478 20 52 03.89 -15 47 20.0.
    double u1, u2, a1, a2, t1, t2;
    eraCal2jd(1983, 10, 8, &u1, &u2);
    u2 += 0.40478;
    eraUtctai(u1, u2, &a1, &a2);
    eraTaitt(a1, a2, &t1, &t2);
    EXPECT_NEAR(static_cast<double>(f.observations[0].obsTime), (t1 - ERFA_DJ00) + t2, 2e-7);
    double ra, dec;
    eraTf2a('+', 20, 52, 3.89, &ra);
    eraAf2a('-', 15, 47, 20.0, &dec);
    EXPECT_NEAR(static_cast<double>(f.observations[0].obsA), ra * ERFA_DR2D, 0.001 / 240);
    EXPECT_NEAR(static_cast<double>(f.observations[0].obsB), dec * ERFA_DR2D, 0.01 / 3600);
    int withMag = 0;
    for (const auto& o : f.observations) withMag += o.hasMag;
    EXPECT_GT(withMag, 100);
}

} // namespace
