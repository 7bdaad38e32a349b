// The page assembler on small hand-made body tables whose answers are known
// in closed form: straight-line geometry for the centres and frames, the
// step-velocity convention of the table for the rates, and the row budget of
// a 27-row page.
#include "tarvo/libraries/orbital_elements.h"
#include "tarvo/shell/elements_page.h"
#include "tarvo/shell/ephemeris_page.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <sstream>

namespace {

using tarvo::CentreKind;
using tarvo::EphemerisPage;
using tarvo::RunSettings;
using tarvo::Session;

constexpr double kAu = 149.5978707;
constexpr double kC = 25902.06837; // Gm/day

// Sun at the origin, the Earth at 1 AU on x, the Moon 0.384 Gm from the
// Earth along y, Mars at 1.5 AU on y, all at rest, J2000 frame, light-time
// and precession off unless a test says otherwise.
struct Table {
    Session s;
    RunSettings run;
    Table(int bodies = 4) {
        EXPECT_TRUE(tarvo::createBodyTable(tarvo::minimumMaxBodies + 40, s.bodies).ok);
        auto& b = s.bodies;
        b.layout.bodyCount = bodies;
        b.layout.earthIndex = 1;
        b.layout.moonIndex = 2;
        b.layout.lastMajor = 3;
        b.layout.lastMassive = 3;
        b.layout.noMoon = false;
        const char* names[] = {"SUN", "EARTH", "MOON", "MARS"};
        for (int i = 0; i <= bodies; ++i)
            tarvo::setBodyName(b, i, i < 4 ? names[i] : ("B" + std::to_string(i)).c_str());
        b.posX[1] = kAu;
        b.posY[2] = 0.384; // stored geocentric
        b.posY[3] = 1.5 * kAu;
        for (int i = 4; i <= bodies; ++i) b.posX[i] = 2 * kAu, b.posZ[i] = 0.1 * i;
        s.integration.step = 3;
        s.integration.direction = 1;
        s.integration.dataSet = 2;
        s.toggles.lightTime = 0;
        s.toggles.aberration = 0;
        s.toggles.nutation = 0;
        run.precession = tarvo::PrecessionState::off;
        run.deltaT.mode = tarvo::DeltaTMode::Off;
    }
    EphemerisPage page() const { return tarvo::assembleEphemerisPage(s, run, kAu); }
};

double deg(double radians) {
    return radians * 180.0 / std::numbers::pi;
}

TEST(EphemerisPageCentres, GeometryOfGeocentricHeliocentricAndTheMoon) {
    Table t;
    // Geocentric: the Sun is due -x (RA 180°), Mars at (-1, 1.5) AU.
    EphemerisPage p = t.page();
    EXPECT_EQ(p.settings.centre, CentreKind::Geocentric);
    EXPECT_TRUE(p.bodies[1].centre);
    EXPECT_NEAR(deg(p.bodies[0].angles.longitude), 180.0, 1e-12);
    EXPECT_NEAR(p.bodies[0].trueDistanceGm, kAu, 1e-9);
    EXPECT_NEAR(deg(p.bodies[3].angles.longitude), deg(std::atan2(1.5, -1.0)), 1e-12);
    EXPECT_NEAR(deg(p.bodies[2].angles.longitude), 90.0, 1e-12);
    EXPECT_NEAR(p.bodies[2].trueDistanceGm, 0.384, 1e-12);
    // Heliocentric: the Earth at RA 0, Mars at 90°, and the Moon still from the Earth.
    t.s.toggles.geocentric = 0;
    p = t.page();
    EXPECT_EQ(p.settings.centre, CentreKind::Heliocentric);
    EXPECT_TRUE(p.bodies[0].centre);
    EXPECT_FALSE(p.bodies[1].centre);
    EXPECT_NEAR(deg(p.bodies[1].angles.longitude), 0.0, 1e-12);
    EXPECT_NEAR(deg(p.bodies[3].angles.longitude), 90.0, 1e-12);
    EXPECT_NEAR(p.bodies[2].trueDistanceGm, 0.384, 1e-12);
    EXPECT_NE(tarvo::headerLines(p.settings, p.site)[1].find("Moon is Geocentric"),
              std::string::npos);
    // Mars-centric: the Sun straight down the -y axis at 1.5 AU.
    t.run.planetCentric = true;
    t.run.centreBody = 3;
    p = t.page();
    EXPECT_EQ(p.settings.centre, CentreKind::BodyCentric);
    EXPECT_TRUE(p.bodies[3].centre);
    EXPECT_NEAR(deg(p.bodies[0].angles.longitude), 270.0, 1e-12);
    EXPECT_NEAR(p.bodies[0].trueDistanceGm, 1.5 * kAu, 1e-9);
}

// The table holds direction * v * h: a body moving +y at 1 Gm/day must show
// the same rate whether the run steps forward or backward, and any step.
TEST(EphemerisPageRates, StepVelocitiesGiveTheSameRateInBothDirections) {
    for (int direction : {1, -1}) {
        for (double h : {3.0, 0.25}) {
            Table t;
            t.s.integration.direction = direction;
            t.s.integration.step = h;
            t.s.bodies.velY[3] = direction * h * 1.0; // Mars: 1 Gm/day along +y
            t.s.bodies.posY[3] = 0, t.s.bodies.posX[3] = kAu + 10.0;
            const EphemerisPage p = t.page();
            // Seen from the Earth 10 Gm away on +x: dα/dt = 1/10 rad/day.
            const double expected = 0.1 * 180.0 / std::numbers::pi * 3600.0 / 24.0; // "/h
            EXPECT_NEAR(p.bodies[3].rates.first, expected, 1e-9 * expected)
                << "direction " << direction << " step " << h;
            EXPECT_NEAR(p.bodies[3].velocity[1], 1.0, 1e-12);
        }
    }
}

// Light-time alone: a body moving across the line of sight is shown where it
// was τ = ρ/c earlier; with aberration the observer's own motion is taken off.
TEST(EphemerisPageCorrections, LightTimeAndAberrationShiftByTauTimesTheVelocity) {
    Table t;
    t.s.bodies.posX[3] = kAu + 100.0, t.s.bodies.posY[3] = 0;
    t.s.bodies.velY[3] = 3.0 * 2.0; // Mars: 2 Gm/day along +y
    t.s.bodies.velY[1] = 3.0 * 0.5; // Earth: 0.5 Gm/day along +y
    t.s.toggles.lightTime = -1;
    EphemerisPage p = t.page();
    const double tau = 100.0 / kC;
    EXPECT_NEAR(p.bodies[3].position[1], -tau * 2.0, 1e-9);
    EXPECT_NEAR(p.bodies[3].trueDistanceGm, 100.0, 1e-9);
    EXPECT_NE(tarvo::headerLines(p.settings, p.site)[1].find("(Corrected for Light-time)"),
              std::string::npos);
    t.s.toggles.aberration = -1;
    p = t.page();
    EXPECT_NEAR(p.bodies[3].position[1], -tau * (2.0 - 0.5), 1e-9);
    // The centre itself is never corrected.
    EXPECT_EQ(p.bodies[1].position, (tarvo::PlaceVector{0, 0, 0}));
}

// Frames: a body in the J2000 ecliptic has zero ecliptic latitude of J2000;
// with precession to a date 50 years on the same body's ecliptic latitude
// stays under 1" (the ecliptic moves ~47"/cy about a node) while its
// longitude grows by the general precession, 50 × 50.29".
TEST(EphemerisPageFrames, EclipticOfJ2000AndPrecessionToTheDate) {
    Table t;
    t.s.toggles.geocentric = 0;
    t.s.toggles.ecliptic = -1;
    const double eps = 84381.406173 / 3600.0 * std::numbers::pi / 180.0;
    // Mars on the J2000 ecliptic at longitude 90°: equatorial (0, cos ε, sin ε).
    t.s.bodies.posY[3] = 1.5 * kAu * std::cos(eps);
    t.s.bodies.posZ[3] = 1.5 * kAu * std::sin(eps);
    EphemerisPage p = t.page();
    EXPECT_NEAR(deg(p.bodies[3].angles.latitude) * 3600.0, 0.0, 1e-6);
    EXPECT_NEAR(deg(p.bodies[3].angles.longitude), 90.0, 1e-10);
    t.run.precession = tarvo::PrecessionState::on;
    t.run.referenceEquinox = -1;
    t.s.integration.epoch = 50 * 365.25L;
    p = t.page();
    EXPECT_NE(tarvo::headerLines(p.settings, p.site)[0].find("Mean Equinox of Date"),
              std::string::npos);
    EXPECT_LT(std::fabs(deg(p.bodies[3].angles.latitude) * 3600.0), 25.0);
    EXPECT_NEAR((deg(p.bodies[3].angles.longitude) - 90.0) * 3600.0, 50 * 50.29, 2.0);
    // J2000 chosen with precession on: back to the J2000 numbers.
    t.run.referenceEquinox = 0;
    p = t.page();
    EXPECT_NEAR(deg(p.bodies[3].angles.longitude), 90.0, 1e-10);
}

// More bodies than rows: the page keeps to 26 lines (the key line is the
// 27th), shows the bodies in order and counts the rest; hidden planets are
// left out.
TEST(EphemerisPageLines, MoreBodiesThanRowsAndHiddenPlanets) {
    Table t(40);
    const EphemerisPage p = t.page();
    std::vector<bool> shown(p.bodies.size(), true);
    shown[3] = false;
    const auto lines = tarvo::ephemerisPageLines(p, shown);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(tarvo::kPageRows - 1));
    EXPECT_EQ(lines[0].rfind("Geocentric", 0), 0u);
    EXPECT_EQ(lines[2].rfind("TT:", 0), 0u);
    EXPECT_EQ(lines[4].rfind("Body", 0), 0u);
    EXPECT_EQ(lines[5].rfind("SUN", 0), 0u);
    EXPECT_EQ(lines[7].rfind("MOON", 0), 0u);
    EXPECT_EQ(lines[8].rfind("B4 ", 0), 0u); // MARS hidden
    // Rows 6 .. 25 hold 20 bodies: SUN, EARTH, MOON and B4 .. B20; B21 .. B40 are counted.
    EXPECT_EQ(lines.back(), "... and 20 more bodies (file output writes every body)");
    for (const auto& l : lines) EXPECT_LE(l.size(), static_cast<std::size_t>(tarvo::kPageColumns));
    // A table that fits shows every body and no count.
    Table few;
    const auto all = tarvo::ephemerisPageLines(few.page(), {});
    EXPECT_EQ(all.size(), 5u + 5u);
    EXPECT_EQ(all.back().rfind("B4", 0), 0u);
}

// Orthogonal with velocities: each body has its position line and its
// velocity line; the records of the ".OUT" files get the column header.
TEST(EphemerisPageLines, OrthogonalWithVelocitiesAndItsRecords) {
    Table t;
    t.s.toggles.orthogonal = -1;
    t.run.showVelocities = true;
    const EphemerisPage p = t.page();
    const auto lines = tarvo::ephemerisPageLines(p, {});
    ASSERT_GE(lines.size(), 6u);
    EXPECT_NE(lines[4].find("X (AU)"), std::string::npos);
    EXPECT_NE(lines[5].find("Vx (km/s)"), std::string::npos);
    EXPECT_EQ(lines[6].rfind("SUN", 0), 0u);
    EXPECT_EQ(lines[7].rfind("SUN", 0), 0u) << lines[7]; // its velocities
    EXPECT_EQ(lines[8].rfind("EARTH", 0), 0u);
    EXPECT_FALSE(tarvo::bodyFileHeader(p, tarvo::RecordTimeUnit::JulianDate).empty());
    EXPECT_TRUE(tarvo::outputLogOpening(p).empty());
    const std::string record = tarvo::bodyRecord(p, p.bodies[0], tarvo::RecordTimeUnit::JulianDate);
    EXPECT_EQ(record.rfind(" 2451545.00000  ", 0), 0u) << record;
}

} // namespace

namespace {

// The elements page: a massless body on a circular orbit of 1 AU in the
// J2000 ecliptic about a Sun of the Gaussian constant's mass has a = 1,
// e = 0, i = 0 and a period of 2π/k days; the Moon's row is geocentric.
TEST(ElementsPage, CircularOrbitAndTheGeocentricMoon) {
    Table t;
    auto& b = t.s.bodies;
    b.mass[0] = tarvo::nominalSunMass;
    const double k = 0.01720209895;
    const double speed = k * kAu; // Gm/day on a circle of 1 AU (μ = k² AU³/day²)
    const double eps = 84381.448 / 3600.0 * std::numbers::pi / 180.0;
    // Mars at 1 AU on x, moving along the ecliptic's y axis (equatorial y, z).
    b.posX[3] = kAu, b.posY[3] = 0;
    b.velY[3] = 3.0 * speed * std::cos(eps);
    b.velZ[3] = 3.0 * speed * std::sin(eps);
    b.mass[1] = 5.97, b.mass[2] = 0.0735;
    b.velX[2] = 3.0 * 0.0885; // the Moon, 1.02 km/s across its radius vector
    const auto lines = tarvo::elementsPageLines(tarvo::assembleElementsPage(t.s, t.run, kAu));
    ASSERT_EQ(lines.size(), 4u + 4u);
    EXPECT_NE(lines[0].find(" Ecliptic  Osculating Elements (J2000.0) at JD 2451545.000000"),
              std::string::npos)
        << lines[0];
    EXPECT_EQ(lines[3].rfind("Body", 0), 0u);
    const std::string& mars = lines[6];
    ASSERT_EQ(mars.rfind("MARS", 0), 0u);
    std::istringstream fields(mars.substr(9));
    double e, i, w, node, a, varpi, m0, period;
    ASSERT_TRUE(fields >> e >> i >> w >> node >> a >> varpi >> m0 >> period) << mars;
    EXPECT_NEAR(e, 0.0, 1e-7);
    EXPECT_NEAR(i, 0.0, 1e-5);
    EXPECT_NEAR(a, 1.0, 1e-7);
    EXPECT_NEAR(period, 2 * std::numbers::pi / k / 365.25, 1e-6) << mars; // years
    EXPECT_EQ(lines[5].rfind("MOON", 0), 0u);
}

} // namespace
