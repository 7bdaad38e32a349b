// Golden text of the elements page and its records, worked from a Ceres-like
// element set (period 360/0.2141 d = 4.6035791 y, ϖ = 153.798°, JD - Tp =
// (334.327 - 360)/0.2141 d, Tisserand 5.202/a + 2 cos i sqrt(a(1-e²)/5.202)
// = 3.30957) and a Moon-like geocentric one (a = 0.00256955529 AU = 384.4
// thousand km, period 27.32166 d).
#include "tarvo/reductions/page_elements.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvo;

ElementRow ceres() {
    ElementRow r;
    r.elements = {334.327L, 73.5316L, 80.2664L, 10.5868L, 0.0785L, 0.2141L, 2.7666L, 2.549L};
    r.julianDate = 2459800.5L;
    r.moid = MoidResult{1.58611, 123.45678, false};
    r.planeState = {{300.1L, -200.2L, 10.3L}, {12.5L, -7.25L, 0.5L}};
    return r;
}

ElementRow moon() {
    ElementRow m = ceres();
    m.geocentric = true;
    m.isMoon = true;
    m.elements = {100.0L, 318.15L, 125.08L, 5.145L, 0.0549L, 13.176358L, 0.00256955529L, 0.0024284L};
    return m;
}

TEST(ElementRows, SemiMajorAxisDisplayOnScreenAndInFiles) {
    EXPECT_EQ(elementRowText(ElementDisplay::SemiMajorAxis, ElementForm::Screen, ceres()),
              "  0.07850000  10.586800  73.531600  80.266400    2.76660000  153.798000   334.327000   4.60357909");
    EXPECT_EQ(elementRowText(ElementDisplay::SemiMajorAxis, ElementForm::BodyFile, ceres()),
              "  0.078500000  10.5868000  73.5316000  80.2664000    2.766600000  153.7980000   334.3270000   4.60357909");
}

TEST(ElementRows, PerihelionDisplayWithTisserandAndTimeFromPerihelion) {
    EXPECT_EQ(elementRowText(ElementDisplay::Perihelion, ElementForm::Screen, ceres()),
              "  0.07850000  10.586800  73.531600  80.266400   2.54900000    3.3096    -119.911256   4.60357909");
    EXPECT_EQ(elementRowText(ElementDisplay::Perihelion, ElementForm::OscelDat, ceres()),
              "  0.078500000  10.5868000  73.5316000  80.2664000   2.549000000    3.30957     -119.911256   4.60357909");
}

TEST(ElementRows, MoidDisplayWithAndWithoutAValue) {
    ElementRow r = ceres();
    EXPECT_EQ(elementRowText(ElementDisplay::Moid, ElementForm::Screen, r),
              "  0.07850000  10.586800  73.531600  80.266400    2.76660000     1.586110  123.45678   4.60357909");
    r.moid = MoidResult{0.00123456789, 7.5, true};
    // After e, i, ω, Ω (46 characters): a, the small-MOID mask, the flag, the longitude, the period.
    EXPECT_EQ(elementRowText(ElementDisplay::Moid, ElementForm::Screen, r).substr(46),
              "   2.76660000   0.00123457*    7.50000   4.60357909");
    r.moid.reset();
    EXPECT_EQ(elementRowText(ElementDisplay::Moid, ElementForm::Screen, r).substr(46),
              "   2.76660000  " + std::string(22, ' ') + "   4.60357909");
}

TEST(ElementRows, StateVectorInItsThreeForms) {
    EXPECT_EQ(elementRowText(ElementDisplay::StateVector, ElementForm::Screen, ceres()),
              "   300.10000000   -200.20000000     10.30000000    12.500000000   -7.250000000    0.500000000");
    EXPECT_EQ(elementRowText(ElementDisplay::StateVector, ElementForm::OscelDat, ceres()),
              "   300.10000000  -200.20000000    10.30000000   12.500000000   -7.250000000    0.500000000");
    EXPECT_EQ(elementRowText(ElementDisplay::StateVector, ElementForm::BodyFile, ceres()),
              "    300.100000000000   -200.200000000000     10.300000000000    12.500000000000"
              "    -7.250000000000     0.500000000000");
}

TEST(ElementRows, MoonRowInThousandsOfKilometresAndDaysWithoutTisserand) {
    EXPECT_EQ(elementRowText(ElementDisplay::SemiMajorAxis, ElementForm::Screen, moon()),
              "  0.05490000   5.145000 318.150000 125.080000  384.40000003   83.230000   100.000000  27.32166203");
    EXPECT_EQ(elementRowText(ElementDisplay::Perihelion, ElementForm::Screen, moon()),
              "  0.05490000   5.145000 318.150000 125.080000 363.28346921                 7.589351  27.32166203");
}

TEST(ElementRows, HyperbolaHasNoPeriodAndWideValuesOverflow) {
    ElementRow r = ceres();
    r.elements.eccentricity = 1.5L;
    r.elements.semiMajorAxis = -2.0L;
    EXPECT_EQ(elementRowText(ElementDisplay::SemiMajorAxis, ElementForm::Screen, r).substr(84), std::string(13, ' '));
    EXPECT_EQ(periodField(0.0L), std::string(13, ' '));
    EXPECT_EQ(periodField(99.5L), "  99.50000000");
    EXPECT_EQ(periodField(12345.0L), "      12345.0");
    EXPECT_EQ(periodField(9999999999.0L), std::string(13, ' '));
    r.elements.eccentricity = 1234.5L; // does not fit "###.########"
    EXPECT_EQ(elementRowText(ElementDisplay::SemiMajorAxis, ElementForm::Screen, r).substr(0, 14), "%1234.50000000");
}

TEST(ElementPageLines, TitleLegendDateAndColumns) {
    ElementPageTitle t;
    EXPECT_EQ(elementTitleLine(t, 2459800.5L), " Ecliptic  Osculating Elements (J2000.0) at JD 2459800.500000  ");
    t.equinoxOfDate = true;
    t.plane = ReferencePlane::Equator;
    EXPECT_EQ(elementTitleLine(t, 2459800.5L), " Equator.  Osculating Elements   (Date)  at JD 2459800.500000  ");
    t.plane = ReferencePlane::CentreOrbit;
    t.centreName = "Jupiter  ";
    t.barycentric = true;
    t.fixedEquinoxYear = 1950;
    EXPECT_EQ(elementTitleLine(t, 2459800.5L), " JupiteOrb Barycentric Elements ( 1950.0) at JD 2459800.500000  ");
    t.plane = ReferencePlane::MeanPlane;
    EXPECT_EQ(elementTitleLine(t, 2459800.5L).substr(0, 10), " MeanPlane");
    EXPECT_EQ(elementLegendLine(), " Elements in green are Geocentric, a/q in 1000Km, T0 in d ");
    EXPECT_EQ(elementDateLine("   2022/08/09", "00:00:00", 5, 2459800.5L, 12, 1.0, "days"),
              "Date:   2022/08/09:00:00:00.05 JD :   2459800.500000Step :    1.000 d");
    EXPECT_EQ(elementDateLine("   2022/08/09", "00:00:00", 5, 2459800.5L, 19, 1.0, "days"),
              "Date:   2022/08/09:00:00:00.05 JD :   2459800.500000");
    EXPECT_EQ(elementColumnHeader(ElementDisplay::Moid, "Earth    "),
              "Body           e           i          w          Node           a         Earth Moid    Long.        T0");
    EXPECT_EQ(elementColumnHeader(ElementDisplay::StateVector, ""),
              "Body            X               Y               Z              Vx             Vy             Vz");
}

TEST(ElementRecords, OscelDatAndPerBodyFiles) {
    const std::string file = elementRowText(ElementDisplay::SemiMajorAxis, ElementForm::OscelDat, ceres());
    EXPECT_EQ(oscelRecord(1, "Ceres    ", file), "      1  Ceres    " + file);
    EXPECT_EQ(oscelRecord(433, "EMbaryc", file).substr(0, 18), "    433  EMbaryc  ");
    const auto header = elementFileHeader(" Ecliptic  Osculating Elements (J2000.0)", "Ceres    ", RecordTimeUnit::JulianYears,
                                          ElementDisplay::Moid, "Earth    ");
    ASSERT_EQ(header.size(), 3u);
    EXPECT_EQ(header[0], " Ecliptic  Osculating Elements (J2000.0) of Ceres    ");
    EXPECT_EQ(header[1], "");
    EXPECT_EQ(header[2], "        Jy              e            i           w          Node            a           Earth_Moid  Long          T0");
    EXPECT_EQ(elementFileHeader("t", "n", RecordTimeUnit::Calendar, ElementDisplay::SemiMajorAxis, "")[2].substr(0, 17),
              "      Date       ");
    EXPECT_EQ(elementFileRecord(recordTime(RecordTimeUnit::JulianDate, 2459800.5L, "", ""), file),
              " 2459800.50000  " + file);
}

} // namespace
