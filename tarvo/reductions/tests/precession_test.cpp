// Precession angles and the frames they imply.
// Oracles: ERFA eraP06e (IAU 2006 angles), eraBp06 (IAU 2006 precession
// matrix without frame bias, built from the Fukushima-Williams angles), eraLtp
// (long-term precession of Vondrák, Capitaine & Wallace 2011), and the values
// quoted for J2000 and the Lieske variant.

#include "frame_matrices.h"
#include "tarvo/reductions/frames.h"
#include "tarvo/reductions/time_scales.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace tarvo;
using namespace frametest;

const PrecessionTable kNoTable;

FrameState frameAt(long double t, const PrecessionTable& table = kNoTable) {
    FrameState f;
    computeFrame(f, t, FrameOptions{}, table);
    return f;
}

double arcsec(long double radians) { return static_cast<double>(radians / kArcsecToRadians); }

TEST(PrecessionAngles, AtJ2000) {
    const PrecessionAngles a = precessionAngles(0.0L, false, kNoTable);
    EXPECT_EQ(arcsec(a.generalPrecession), 0.0);
    EXPECT_EQ(arcsec(a.inclination), 0.0);
    EXPECT_NEAR(arcsec(a.nodeLongitude), 629546.7936, 1e-9);
    EXPECT_NEAR(arcsec(a.meanObliquity), 84381.406, 1e-9);
}

TEST(PrecessionAngles, LieskeVariantAtOneCentury) {
    const PrecessionAngles a = precessionAngles(36525.0L, true, kNoTable);
    EXPECT_NEAR(arcsec(a.generalPrecession),
                5029.096595 + 1.1111298 + 0.00007964 - 0.000023857 - 0.0000000383, 1e-9);
    EXPECT_NEAR(arcsec(a.meanObliquity), 84381.406 - 46.814999 - 0.0005901 + 0.0020034 -
                                             0.000000576 - 0.0000000434, 1e-9);
    // Beyond two millennia the variant is not used.
    const long double t = 2.5L * 365250.0L;
    EXPECT_EQ(arcsec(precessionAngles(t, true, kNoTable).generalPrecession),
              arcsec(precessionAngles(t, false, kNoTable).generalPrecession));
}

class CentralEpochs : public ::testing::TestWithParam<double> {};

// IAU 2006 angles: the same polynomials as ERFA's, so agreement to rounding.
TEST_P(CentralEpochs, AnglesAgreeWithErfaP06e) {
    const double years = GetParam();
    const double t = years * 365.25;
    double eps0, psia, oma, bpa, bqa, pia, bpia, epsa, chia, za, zetaa, thetaa, pa, gam, phi, psi;
    eraP06e(2451545.0, t, &eps0, &psia, &oma, &bpa, &bqa, &pia, &bpia, &epsa, &chia, &za, &zetaa,
            &thetaa, &pa, &gam, &phi, &psi);
    const PrecessionAngles a = precessionAngles(t, false, kNoTable);
    const double tolerance = std::fabs(years) <= 200 ? 1e-6 : 1e-3; // arcsec
    EXPECT_NEAR(arcsec(a.generalPrecession), pa / kArcsec, tolerance);
    EXPECT_NEAR(arcsec(a.meanObliquity), epsa / kArcsec, tolerance);
    EXPECT_NEAR(arcsec(a.inclination), pia / kArcsec, tolerance);
    // Π_A matters only through π_A: compare the displacement sin π_A ΔΠ_A.
    EXPECT_NEAR(std::remainder(arcsec(a.nodeLongitude) - bpia / kArcsec, 1296000.0) * std::sin(pia),
                0.0, tolerance);
}

// The ecliptic of date implied by rotateToDate (ecliptic only) against the one
// ERFA builds from its own angles.
TEST_P(CentralEpochs, EclipticOfDateAgreesWithErfa) {
    const double years = GetParam();
    const double t = years * 365.25;
    double eps0, psia, oma, bpa, bqa, pia, bpia, epsa, chia, za, zetaa, thetaa, pa, gam, phi, psi;
    eraP06e(2451545.0, t, &eps0, &psia, &oma, &bpa, &bqa, &pia, &bpia, &epsa, &chia, &za, &zetaa,
            &thetaa, &pa, &gam, &phi, &psi);
    double e[3][3];
    eraIr(e);
    eraRz(bpia, e);
    eraRx(pia, e);
    eraRz(-(bpia + pa), e);
    Matrix ours;
    systemMatrixFromJ2000Ecliptic(frameAt(t), true, ours);
    const double tolerance = std::fabs(years) <= 200 ? 1e-6 : 1e-3;
    EXPECT_LT(largestDifferenceArcsec(ours, e), tolerance) << years << " years";
}

// The equator of date implied by rotateToDate against the one built from
// ERFA's four ecliptic angles, R1(-ε_A) R3(-(Π_A + p_A)) R1(π_A) R3(Π_A).
TEST_P(CentralEpochs, EquatorOfDateAgreesWithErfaP06eEclipticAngles) {
    const double years = GetParam();
    const double t = years * 365.25;
    double eps0, psia, oma, bpa, bqa, pia, bpia, epsa, chia, za, zetaa, thetaa, pa, gam, phi, psi;
    eraP06e(2451545.0, t, &eps0, &psia, &oma, &bpa, &bqa, &pia, &bpia, &epsa, &chia, &za, &zetaa,
            &thetaa, &pa, &gam, &phi, &psi);
    double m[3][3];
    eraIr(m);
    eraRz(bpia, m);
    eraRx(pia, m);
    eraRz(-(bpia + pa), m);
    eraRx(-epsa, m);
    Matrix ours;
    systemMatrixFromJ2000Ecliptic(frameAt(t), false, ours);
    const double tolerance = std::fabs(years) <= 200 ? 1e-6 : 1e-3;
    EXPECT_LT(largestDifferenceArcsec(ours, m), tolerance) << years << " years";
}

// Against ERFA's canonical angles ψ_A, ω_A, χ_A (P = R3(χ_A) R1(-ω_A)
// R3(-ψ_A) R1(ε0)): separately truncated polynomials of the same theory,
// which depart from the four-angle form by 2e-6" at ±200 years and 0.11" at
// ±2000 years; that bounds what this comparison can show.
TEST_P(CentralEpochs, EquatorOfDateAgreesWithErfaP06eCanonicalAngles) {
    const double years = GetParam();
    const double t = years * 365.25;
    double eps0, psia, oma, bpa, bqa, pia, bpia, epsa, chia, za, zetaa, thetaa, pa, gam, phi, psi;
    eraP06e(2451545.0, t, &eps0, &psia, &oma, &bpa, &bqa, &pia, &bpia, &epsa, &chia, &za, &zetaa,
            &thetaa, &pa, &gam, &phi, &psi);
    double m[3][3];
    eraIr(m);
    eraRz(-psia, m);
    eraRx(-oma, m);
    eraRz(chia, m);
    Matrix ours;
    systemMatrixFromJ2000Ecliptic(frameAt(t), false, ours);
    const double tolerance = std::fabs(years) <= 200 ? 2.5e-6 : 0.12;
    EXPECT_LT(largestDifferenceArcsec(ours, m), tolerance) << years << " years";
}

// Against ERFA's precession matrix from the Fukushima-Williams angles (frame
// bias removed).  Those polynomials are a separate fit of the same theory:
// they depart from the four-angle form by 2e-6" at ±200 years and 0.06" at
// ±2000 years, which bounds what this comparison can show.
TEST_P(CentralEpochs, EquatorOfDateAgreesWithErfaBp06) {
    const double years = GetParam();
    const double t = years * 365.25;
    double rb[3][3], rp[3][3], rbp[3][3];
    eraBp06(2451545.0, t, rb, rp, rbp);
    Matrix theirs, ours;
    erfaMatrixFromJ2000Ecliptic(rp, theirs);
    systemMatrixFromJ2000Ecliptic(frameAt(t), false, ours);
    const double tolerance = std::fabs(years) <= 200 ? 3e-6 : 0.07;
    EXPECT_LT(largestDifferenceArcsec(ours, theirs), tolerance) << years << " years";
}

INSTANTIATE_TEST_SUITE_P(WithinTwoMillennia, CentralEpochs,
                         ::testing::Values(-200.0, -150.0, -77.7, -20.0, -1.0, 0.0, 0.5, 13.25,
                                           50.0, 100.0, 199.9, -1999.0, -1500.0, -1000.0, -500.0,
                                           -250.0, 300.0, 600.0, 1000.0, 1499.0, 1999.0));

class LongTermEpochs : public ::testing::TestWithParam<double> {};

// 2.1 to 200 millennia: the long-term model itself.
TEST_P(LongTermEpochs, EquatorOfDateWithinATenthOfAnArcsecondOfErfaLtp) {
    const double millennia = GetParam();
    double rp[3][3];
    eraLtp(2000.0 + 1000.0 * millennia, rp);
    Matrix theirs, ours;
    erfaMatrixFromJ2000Ecliptic(rp, theirs);
    systemMatrixFromJ2000Ecliptic(frameAt(millennia * 365250.0L), false, ours);
    EXPECT_LT(largestDifferenceArcsec(ours, theirs), 0.1) << millennia << " millennia";
}
INSTANTIATE_TEST_SUITE_P(From2Point1To200Millennia, LongTermEpochs,
                         ::testing::Values(-200.0, -150.3, -99.9, -45.0, -30.0000001, -30.0, -29.9,
                                           -12.0, -5.0, -3.0, -2.1, 2.1, 2.5, 3.0, 4.2, 7.0, 10.0, 20.0, 29.99,
                                           30.0, 30.0000001, 31.0, 64.0, 120.0, 175.5, 200.0));

// Between 2.0 and 2.1 millennia the IAU 2006 - model difference at ±2 is
// faded out: the frame stays within that difference (0.8") of the model.
TEST(PrecessionJoin, WhileFadingStaysNearTheModel) {
    for (double millennia = -2.1; millennia <= 2.1; millennia += 0.005) {
        if (std::fabs(millennia) < 2.0) continue;
        double rp[3][3];
        eraLtp(2000.0 + 1000.0 * millennia, rp);
        Matrix theirs, ours;
        erfaMatrixFromJ2000Ecliptic(rp, theirs);
        systemMatrixFromJ2000Ecliptic(frameAt(millennia * 365250.0L), false, ours);
        EXPECT_LT(largestDifferenceArcsec(ours, theirs), 0.8) << millennia;
    }
}

TEST(PrecessionJoin, AnglesAreContinuousAtTheRangeBoundaries) {
    const long double day = 1.0L;
    for (long double boundary : {2.0L, 2.1L, 30.0L, 30.0000001L}) {
        for (long double sign : {-1.0L, 1.0L}) {
            const long double t = sign * boundary * 365250.0L;
            const PrecessionAngles before = precessionAngles(t - sign * day, false, kNoTable);
            const PrecessionAngles after = precessionAngles(t + sign * day, false, kNoTable);
            // Two days of precession are 0.275" in p_A; anything more is a step.
            EXPECT_NEAR(arcsec(after.generalPrecession - before.generalPrecession), sign * 0.275, 0.03)
                << static_cast<double>(boundary);
            EXPECT_NEAR(arcsec(after.meanObliquity - before.meanObliquity), 0.0, 0.01);
            EXPECT_NEAR(arcsec(after.inclination - before.inclination), 0.0, 0.01);
            EXPECT_NEAR(arcsec(after.nodeLongitude - before.nodeLongitude), 0.0, 0.1);
        }
    }
}

TEST(PrecessionFixedLaw, BeyondAMillionYears) {
    const PrecessionAngles a = precessionAngles(1500.0L * 365250.0L, false, kNoTable);
    EXPECT_NEAR(static_cast<double>(a.generalPrecession * 180.0L / 3.14159265358979323846L),
                14.01311 * 1500 + 2.60645, 1e-9);
    EXPECT_NEAR(static_cast<double>(a.nodeLongitude * 180.0L / 3.14159265358979323846L), -4.0, 1e-12);
    EXPECT_NEAR(static_cast<double>(a.inclination * 180.0L / 3.14159265358979323846L), 0.12, 1e-12);
    EXPECT_NEAR(static_cast<double>(a.meanObliquity * 180.0L / 3.14159265358979323846L), 23.31624, 1e-12);
    // The blend reaches the fixed law at a million years.
    const PrecessionAngles b = precessionBlended(1000.0L);
    const PrecessionAngles f = precessionFixedLaw(1000.0L);
    EXPECT_NEAR(arcsec(b.generalPrecession - f.generalPrecession), 0.0, 1e-6);
    EXPECT_NEAR(arcsec(b.meanObliquity - f.meanObliquity), 0.0, 1e-6);
}

} // namespace
