// Golden text of the ephemeris page and its records.  The numbers in the
// expected lines were worked by hand from the inputs (noted beside them);
// the layouts are the masks of the page.
#include "tarvo/reductions/ephemeris_tables.h"
#include "tarvo/reductions/time_scales.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>

#include <unistd.h>

namespace {

using namespace tarvo;
constexpr double kDeg = std::numbers::pi / 180.0;
constexpr double kAu = 149.5978707;

const ObserverSite kGreenwich{51.4779 * kDeg, -0.0015 * kDeg, 46e-9, "Greenwich"};

PageSettings apparentSettings() {
    PageSettings s;
    s.dataSetName = "DE431M";
    return s;
}

TEST(PageHeader, ApparentGeocentricEquatorial) {
    const auto lines = headerLines(apparentSettings(), kGreenwich);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Geocentric    Angular  Equatorial Coordinates True Equinox of Date   DE431M");
    EXPECT_EQ(lines[1],
              " (Corrected for Aberr. & L-time)   - Apparent Coordinates -    IAU 2006/2000A");
    PageSettings old = apparentSettings();
    old.model = ReductionModel::nutation1980;
    EXPECT_EQ(headerLines(old, kGreenwich)[1],
              " (Corrected for Aberr. & L-time)   - Apparent Coordinates -    1980 nutation");
}

TEST(PageHeader, AstrometricNeedsPrecessionOffLightTimeOnAberrationOff) {
    PageSettings s = apparentSettings();
    s.precession = false;
    s.nutation = false;
    s.aberration = false;
    HeaderStrings h = headerStrings(s);
    EXPECT_EQ(h.note, "- Astrometric Coordinates -");
    EXPECT_EQ(h.correction, " (Corrected for Light-time) ");
    EXPECT_EQ(h.equinox, "of J2000");
    EXPECT_EQ(h.trueOrMean, "Mean ");
    s.frame = CoordinateFrame::Ecliptic;
    EXPECT_EQ(headerStrings(s).note, "");
    EXPECT_EQ(headerStrings(s).frame, " Ecliptic  ");
    s.lightTime = false;
    s.frame = CoordinateFrame::Equatorial;
    EXPECT_EQ(headerStrings(s).correction, " (Geometric Positions)  ");
    EXPECT_EQ(headerStrings(s).note, "");
}

TEST(PageHeader, MoonIsGeocentricWheneverTheCentreIsNotTheEarth) {
    PageSettings s = apparentSettings();
    s.centre = CentreKind::Heliocentric;
    EXPECT_EQ(headerStrings(s).centre, "Heliocentric ");
    EXPECT_EQ(headerStrings(s).note, "  - Moon is Geocentric -   ");
    s.centre = CentreKind::BodyCentric;
    s.centreBodyName = "Mars     ";
    EXPECT_EQ(headerStrings(s).centre, "Mars     Centric ");
    EXPECT_EQ(headerStrings(s).note, "  - Moon is Geocentric -   ");
    s.referenceYear = 2050.5;
    s.orthogonal = true;
    EXPECT_EQ(headerStrings(s).equinox, "of  2050"); // "#####" rounds the year, ties to even
    EXPECT_EQ(headerStrings(s).kind, "Orthogonal ");
}

TEST(PageHeader, TopocentricAddsTheSiteLine) {
    PageSettings s = apparentSettings();
    s.centre = CentreKind::Topocentric;
    const auto lines = headerLines(s, kGreenwich);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1],
              " (Corrected for Aberr. & L-time)    IAU 2006/2000A"); // no apparent label in
                                                                     // topocentric mode
    EXPECT_EQ(lines[2], "Lat = 51.478N   Lon =   0.002W   Alt =    46 m     Greenwich");
    const ObserverSite south{-33.8676 * kDeg, 151.2070 * kDeg, 58e-9, "Loc: SYDNEY"};
    EXPECT_EQ(siteLine(south), "Lat = 33.868S   Lon = 151.207E   Alt =    58 m     Loc: SYDNEY");
}

TEST(TimeLine, UniversalTimeWithSiderealTimeAndDeltaT) {
    // 2024-04-08 18:00 TT = JD 2460409.25; ΔT = 69.2 s gives 17:58:50.8 UT.
    const PageTime t{8864.25L, 69.2L / 86400.0L, 0.1L, 1.88};
    EXPECT_EQ(timeLine(apparentSettings(), kGreenwich, t),
              "UT:   2024/04/08: 17:58:50.8  Step= 0.10000  JD:  2460409.2491991  Mon  GST:07:10:51.9"
              "  DeltaT =      69.2 s");
}

TEST(TimeLine, DeltaTOffShowsTerrestrialTimeAndNoSiderealTime) {
    PageSettings s = apparentSettings();
    s.deltaTOn = false;
    const PageTime t{8864.25L, 0.0L, 12.5L, 1.88};
    EXPECT_EQ(timeLine(s, kGreenwich, t), "TT:   2024/04/08: 18:00:00.0  Step=  12.500  JD:  2460409.2500000  Mon");
}

TEST(TimeLine, AMidnightReachedFromTerrestrialTimeKeepsItsWeekday) {
    // 1761 June 6 0h UT was a Saturday; Delta-T of 15 s taken off a TT a
    // rounding short of it must not show the Friday.
    const long double deltaT = 15.0L / 86400.0L;
    const long double ut = 2364408.5L - kJulianDateJ2000 - 1e-10L;
    const PageTime t{ut + deltaT, deltaT, 3.0L, 0.0};
    const std::string line = timeLine(apparentSettings(), kGreenwich, t);
    EXPECT_NE(line.find("1761/06/06: 00:00:00.0"), std::string::npos) << line;
    EXPECT_NE(line.find("JD:  2364408.5000000  Sat"), std::string::npos) << line;
}

TEST(TimeLine, HorizontalCoordinatesShowLocalTime) {
    PageSettings s = apparentSettings();
    s.frame = CoordinateFrame::Horizontal;
    s.centre = CentreKind::Topocentric;
    const ObserverSite tokyo{35.68 * kDeg, 139.77 * kDeg, 0.0, "Tokyo"};
    const PageTime t{8864.25L, 69.2L / 86400.0L, -0.1L, 1.0};
    // 17:58:50.8 UT + 9 h (139.77° rounded to whole hours) = 02:58:50.8 the next day;
    // θ = 1 rad = 3.8197186 h = 03:49:10.99.
    EXPECT_EQ(timeLine(s, tokyo, t),
              "LT:   2024/04/09: 02:58:50.8  Step=-0.10000  JD:  2460409.2491991  Mon  LST:03:49:11.0"
              "  DeltaT =      69.2 s");
}

TEST(AngularTable, SexagesimalEquatorialRowWithRates) {
    PageSettings s = apparentSettings();
    s.showVelocity = true;
    EXPECT_EQ(angularHeader(s), "Body         RA (h m s)     Decl         True D (AU)   Vra (\"/h) Vdec   Ang (°)");
    // α = 0.4 rad = 1h31m40.3948s, δ = -0.2 rad = -11°27'32.961", 300 Gm = 2.0053761 AU.
    const AngularRow row{"Mars     ", {0.4, -0.2}, 300.0, {12.5, -3.25, false, 104.0}};
    EXPECT_EQ(angularRow(s, row, kAu), "Mars       1 31 40.3948 -11 27 32.961     2.0053761     12.5000    -3.2500  104.00");
}

TEST(AngularTable, DecimalUnitsAndDegreeRates) {
    PageSettings s = apparentSettings();
    s.decimalUnits = true;
    s.showVelocity = true;
    const AngularRow row{"Moon     ", {0.4, -0.2}, 0.3844, {1.25, -0.5, true, 291.8}};
    EXPECT_EQ(angularRow(s, row, kAu), "Moon        22.91831181   -11.4591559     0.0025696      1.2500    -0.5000° 291.80");
}

TEST(AngularTable, EclipticGigametresAndOverflow) {
    PageSettings s = apparentSettings();
    s.frame = CoordinateFrame::Ecliptic;
    s.distancesInAu = false;
    EXPECT_EQ(angularHeader(s), "Body        long (dms)      lat          True D (Gm)");
    const AngularRow row{"Sedna    ", {6.2, 0.01}, 123456.0, {}};
    // 6.2 rad = 355.2338330° = 355°14'01.799"; 0.01 rad = +0°34'22.648"; 123456 Gm does not fit "#####.#####".
    EXPECT_EQ(angularRow(s, row, kAu), "Sedna     355 14 01.799 +00 34 22.648  %123456.00000  ");
}

TEST(AngularTable, SecondsThatRoundToSixtyCarryIntoTheMinute) {
    // 59.99999" of arc rounds to the next minute at three decimals.
    EXPECT_EQ(sexagesimalDegrees((10.0 + 59.0 / 60 + 59.99999 / 3600) * kDeg, 3, true), "+11 00 00.000");
    EXPECT_EQ(sexagesimalHours(2 * std::numbers::pi - 1e-12, 4), " 0 00 00.0000");
    // A negative angle that rounds to zero shows no minus sign.
    EXPECT_EQ(sexagesimalDegrees(-1e-12, 3, true), "+00 00 00.000");
}

TEST(HorizontalTable, RowWithMagnitudeAndTimes) {
    EXPECT_EQ(horizontalHeader(), "Body        Azim  (°)  alt    Elong.  LunEl.   Phase  Magn   Rise  Trans.  Set ");
    const HorizontalRow row{"Moon     ", {123.4567, -5.4321}, {0.87, -4.5, true, 95.2, 0.0}, "06:12", "12:40", "19:03"};
    EXPECT_EQ(horizontalRow(row), "Moon      123.4567  -5.4321   95.2     0.0    0.87   -4.5  06:12  12:40  19:03");
}

TEST(HorizontalTable, CentreWithoutMagnitudeAndAbsentRiseAndSet) {
    HorizontalRow row{"Earth    ", {0.0, 90.0}, {}, "     ", "11:59", "     "};
    row.phase.magnitudeShown = false;
    row.phase.elongationDeg = -179.96;
    EXPECT_EQ(horizontalRow(row), "Earth       0.0000  90.0000 -180.0     0.0    1.00                11:59       ");
}

// The listing of one body: its own header, one more decimal in the time
// column, phase and magnitude before the elongations.
TEST(HorizontalTable, ListingOfOneBody) {
    EXPECT_EQ(horizontalListingHeader(),
              "LT                Azim     Alt.    Phas   Magn   Elong  LunEl  Rise   Trans   Set");
    const HorizontalRow row{"Moon     ", {123.4567, -5.4321}, {0.87, -4.5, true, 95.2, 0.0}, "06:12", "12:40", "19:03"};
    const long double jd = 2460409.25L;
    EXPECT_EQ(horizontalListingRecord(listingTime(RecordTimeUnit::JulianDate, jd, "", ""), row),
              " 2460409.250000   123.46   -5.43  0.87   -4.5    95.2    0.0  06:12  12:40  19:03");
    EXPECT_EQ(listingTime(RecordTimeUnit::JulianYears, jd, "", ""), "     24.2689938  ");
    EXPECT_EQ(listingTime(RecordTimeUnit::JulianCenturies, jd, "", ""), "    0.242689938  ");
    EXPECT_EQ(listingTime(RecordTimeUnit::JulianMillennia, jd, "", ""), "   0.0242689938  ");
    HorizontalRow dark = row;
    dark.phase.magnitudeShown = false;
    dark.rise = dark.set = "     ";
    EXPECT_EQ(horizontalListingRecord("x ", dark), "x  123.46   -5.43  0.87           95.2    0.0         12:40       ");
}

TEST(OrthogonalTable, PositionsLightTimeAndVelocities) {
    const OrthogonalRow row{"Jupiter  ", {700.0, -123.4, 33.3}, {1.0, 2.0, -0.5}};
    EXPECT_EQ(orthogonalHeader(true), "Body          X (AU)         Y (AU)         Z (AU)         R (AU)    L-time (s)");
    // r = sqrt(506336.45) = 711.5732218 Gm = 4.7565732 AU, light time r/c = 2373.553 s.
    EXPECT_EQ(orthogonalRow(row, true, kAu),
              "Jupiter       4.679210986   -0.824878051    0.222596751    4.756573195     2373.553");
    EXPECT_EQ(orthogonalRow(row, false, kAu),
              "Jupiter       700.0000000   -123.4000000     33.3000000    711.5732218     2373.553");
    EXPECT_EQ(orthogonalVelocityHeader(true), "Body        Vx (km/s)     Vy (km/s)     Vz (km/s)     |V| (km/s)     Vr (km/s) ");
    // 1 Gm/day = 11.574074 km/s; |V| = 2.2913 Gm/day; Vr = (700 - 246.8 - 16.65)/711.573 Gm/day.
    EXPECT_EQ(orthogonalVelocityRow(row, true),
              "Jupiter        11.574074     23.148148     -5.787037     26.519535      7.100692");
    EXPECT_EQ(orthogonalVelocityRow(row, false),
              "Jupiter         1.000000      2.000000     -0.500000      2.291288      0.613500");
}

TEST(OutputRecords, TimeColumnsInEveryUnit) {
    const long double jd = 2460409.25L; // 8864.25 days from J2000
    EXPECT_EQ(recordTime(RecordTimeUnit::JulianDate, jd, "", ""), " 2460409.25000  ");
    EXPECT_EQ(recordTime(RecordTimeUnit::JulianYears, jd, "", ""), "     24.268994  ");
    EXPECT_EQ(recordTime(RecordTimeUnit::JulianCenturies, jd, "", ""), "    0.24268994  ");
    EXPECT_EQ(recordTime(RecordTimeUnit::JulianMillennia, jd, "", ""), "   0.024268994  ");
    EXPECT_EQ(recordTime(RecordTimeUnit::Calendar, jd, "   2024/04/08", "18:00:00"), "   2024/04/08 18:00:00 ");
}

TEST(OutputRecords, AngularRecordIsTheTimeAndTheScreenFields) {
    PageSettings s = apparentSettings();
    const AngularRow row{"Mars     ", {0.4, -0.2}, 300.0, {}};
    EXPECT_EQ(recordLine(recordTime(RecordTimeUnit::JulianDate, 2460409.25L, "", ""), angularRow(s, row, kAu)),
              " 2460409.25000   1 31 40.3948 -11 27 32.961     2.0053761 ");
    EXPECT_EQ(recordLine("x", "short"), "x");
}

TEST(OutputRecords, OutputLogOpening) {
    PageSettings s = apparentSettings();
    const auto lines = outputLogHeader(s, "   2024/04/08", "UT:", "17:58:50");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Geocentric    Angular  Equatorial           ");
    EXPECT_EQ(lines[1], "True DE431M of Date  (Corrected for Aberr. & L-time)  IAU 2006/2000A");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "Date:   2024/04/08   UT:   17:58:50");
    EXPECT_EQ(lines[4], "");
}

TEST(OutputRecords, OrthogonalFileLayout) {
    EXPECT_EQ(orthogonalFileHeader(RecordTimeUnit::JulianCenturies).substr(0, 30), "        JCy                   ");
    EXPECT_EQ(orthogonalFileHeader(RecordTimeUnit::Calendar).substr(0, 11), "       Date");
    const OrthogonalRow row{"Jupiter  ", {700.0, -123.4, 33.3}, {1.0, 2.0, -0.5}};
    const std::string record = orthogonalFileRecord(" 2460409.25000  ", row, true, kAu);
    EXPECT_EQ(record.substr(0, 34), " 2460409.25000       4.67921098559");
    EXPECT_EQ(record.size(), 16u + 9 * 18);
}

TEST(OutputFileNames, SlashesBlanksAndCollisions) {
    const auto files = outputFileNames({"  Ceres  ", "C/2023 A3", "C/2023 A3", "P/Halley ", "ceres    ", "         ", "Mars     "});
    ASSERT_EQ(files.size(), 7u);
    EXPECT_EQ(files[0], "CERES.OUT");
    EXPECT_EQ(files[1], "C_2023 A.OUT");
    EXPECT_EQ(files[2], "C_2023 A_2.OUT");
    EXPECT_EQ(files[3], "P_HALLEY.OUT");
    EXPECT_EQ(files[4], "CERES_4.OUT");
    EXPECT_EQ(files[5], "BODY.OUT");
    EXPECT_EQ(files[6], "MARS.OUT");
    // Stable: the same list gives the same names.
    EXPECT_EQ(outputFileNames({"  Ceres  ", "C/2023 A3", "C/2023 A3", "P/Halley ", "ceres    ", "         ", "Mars     "}), files);
}

TEST(OutputFileNames, RecordsAreAppendedAndTheFileClosedEachTime) {
    const auto dir = std::filesystem::temp_directory_path() / ("tarvo_places_append_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "MARS.OUT").string();
    std::filesystem::remove(path);
    std::string message;
    ASSERT_TRUE(appendLines(path, {"one"}, message));
    ASSERT_TRUE(appendLines(path, {"two", "three"}, message));
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(text, "one\r\ntwo\r\nthree\r\n");
    EXPECT_FALSE(appendLines((dir / "no-such-dir" / "X.OUT").string(), {"x"}, message));
    EXPECT_NE(message.find("X.OUT"), std::string::npos);
    std::filesystem::remove_all(dir);
}

} // namespace
