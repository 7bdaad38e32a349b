// The elements page on hand-made body tables whose elements are known by
// construction: circular orbits in chosen planes about a Sun of the Gaussian
// constant's mass.  The reference planes, the Earth-Moon barycentre, MOID
// between circles, the key menu and the records; the ecliptic of date
// against ERFA's IAU 2006 ecliptic matrix.
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/shell/elements_page.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

namespace {

using tarvo::ElementKeyAction;
using tarvo::ElementsPage;
using tarvo::RunSettings;
using tarvo::Session;

constexpr double kAu = 149.5978707;
constexpr double kGauss = 0.01720209895;
constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kObliquity = 84381.448 / 3600.0 * kDegree; // of the elements

using Vec = std::array<double, 3>;

// Ecliptic J2000 components -> equatorial J2000.
Vec toEquator(const Vec& e) {
    return {e[0], e[1] * std::cos(kObliquity) - e[2] * std::sin(kObliquity),
            e[1] * std::sin(kObliquity) + e[2] * std::cos(kObliquity)};
}

// A point of a circular orbit of radius r (AU) at argument u, in a plane of
// inclination i and node Ω on the J2000 ecliptic (degrees): position (Gm) and
// velocity (Gm/day), equatorial J2000.
struct Circle {
    Vec position, velocity;
};
Circle circle(double r, double iDeg, double nodeDeg, double uDeg, double mu = kGauss * kGauss) {
    const double i = iDeg * kDegree, node = nodeDeg * kDegree, u = uDeg * kDegree;
    const double speed = std::sqrt(mu / r) * kAu; // Gm/day
    const Vec p{std::cos(u), std::sin(u), 0}, v{-std::sin(u), std::cos(u), 0};
    auto rotate = [&](const Vec& x) {
        const Vec a{x[0], x[1] * std::cos(i), x[1] * std::sin(i)};
        return Vec{a[0] * std::cos(node) - a[1] * std::sin(node),
                   a[0] * std::sin(node) + a[1] * std::cos(node), a[2]};
    };
    const Vec pe = rotate(p), ve = rotate(v);
    return {toEquator({pe[0] * r * kAu, pe[1] * r * kAu, pe[2] * r * kAu}),
            toEquator({ve[0] * speed, ve[1] * speed, ve[2] * speed})};
}

// Sun (at rest, the Gaussian constant's mass), Earth, Moon (geocentric),
// Mars and a minor body; J2000 frame, 3-day steps.
struct Table {
    Session s;
    RunSettings run;
    Table() {
        EXPECT_TRUE(tarvo::createBodyTable(tarvo::minimumMaxBodies + 40, s.bodies).ok);
        auto& b = s.bodies;
        b.layout.bodyCount = 4;
        b.layout.earthIndex = 1;
        b.layout.moonIndex = 2;
        b.layout.lastMajor = 3;
        b.layout.lastMassive = 3;
        b.layout.noMoon = false;
        const char* names[] = {"SUN", "EARTH", "MOON", "MARS", "ICARUS"};
        for (int i = 0; i <= 4; ++i) tarvo::setBodyName(b, i, names[i]);
        b.mass[0] = tarvo::nominalSunMass;
        s.integration.step = 3;
        s.integration.direction = 1;
        s.integration.dataSet = 2;
        run.precession = tarvo::PrecessionState::off;
        run.deltaT.mode = tarvo::DeltaTMode::Off;
        set(1, circle(1.0, 0, 0, 0));
        set(2, {{0, 0.384, 0}, {-0.08, 0, 0}});
        set(3, circle(1.5, 0, 0, 90));
        set(4, circle(2.0, 0, 0, 180));
    }
    // Positions in Gm, velocities per day (stored as step velocities).
    void set(int i, const Circle& c) {
        auto& b = s.bodies;
        b.posX[i] = c.position[0], b.posY[i] = c.position[1], b.posZ[i] = c.position[2];
        b.velX[i] = 3 * c.velocity[0], b.velY[i] = 3 * c.velocity[1], b.velZ[i] = 3 * c.velocity[2];
    }
    ElementsPage page() const { return tarvo::assembleElementsPage(s, run, kAu); }
};

const tarvo::OsculatingElements& elementsOf(const ElementsPage& p, int index) {
    return p.bodies.at(static_cast<std::size_t>(index - 1)).row.elements;
}

TEST(ElementsPagePlanes, EquatorEclipticMeanPlaneAndCentreOrbit) {
    Table t;
    // Earth and Mars in a plane 10° inclined with its node at 40°, the
    // minor body in the ecliptic.
    t.set(1, circle(1.0, 10, 40, 0));
    t.set(3, circle(1.5, 10, 40, 90));
    t.s.bodies.mass[1] = 5.97, t.s.bodies.mass[3] = 0.642, t.s.bodies.mass[2] = 0.0735;

    ElementsPage p = t.page();
    EXPECT_NEAR(static_cast<double>(elementsOf(p, 3).inclination), 10.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(elementsOf(p, 3).ascendingNode), 40.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(elementsOf(p, 4).inclination), 0.0, 1e-9);
    EXPECT_EQ(p.title.rfind(" Ecliptic  Osculating", 0), 0u) << p.title;

    t.run.elements.plane = -1; // the equator: the ecliptic body is inclined by ε
    p = t.page();
    EXPECT_NEAR(static_cast<double>(elementsOf(p, 4).inclination), 84381.448 / 3600.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(elementsOf(p, 4).ascendingNode), 0.0, 1e-9);
    EXPECT_EQ(p.title.rfind(" Equator. ", 0), 0u) << p.title;

    // The mean plane of Sun, Earth (+ Moon, geocentric) and Mars is their
    // common plane when the Moon moves in it too.
    const Circle moon = circle(0.384 / kAu, 10, 40, 30, kGauss * kGauss * 3.0e-6);
    t.set(2, moon);
    t.run.elements.plane = 2;
    p = t.page();
    EXPECT_NEAR(static_cast<double>(elementsOf(p, 1).inclination), 0.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(elementsOf(p, 3).inclination), 0.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(elementsOf(p, 4).inclination), 10.0, 1e-9);
    EXPECT_EQ(p.title.rfind(" MeanPlane Osculating", 0), 0u) << p.title;

    // The orbit plane of the centre body (Mars).
    t.run.planetCentric = true;
    t.run.centreBody = 3;
    t.run.elements.plane = 1;
    p = t.page();
    EXPECT_NEAR(static_cast<double>(elementsOf(p, 3).inclination), 0.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(elementsOf(p, 4).inclination), 10.0, 1e-9);
    EXPECT_EQ(p.title.rfind(" MARS  Orb Osculating", 0), 0u) << p.title;
    // Display 3 shows the state in that plane: Mars has no z there.
    EXPECT_NEAR(static_cast<double>(p.bodies[2].row.planeState.position[2]), 0.0, 1e-9);
    EXPECT_NEAR(std::hypot(static_cast<double>(p.bodies[2].row.planeState.position[0]),
                           static_cast<double>(p.bodies[2].row.planeState.position[1])),
                1.5 * kAu, 1e-9);
}

// Circles about one centre meet nowhere closer than the difference of their
// radii, along the line of nodes: the MOID of the Earth (r = 1) and of the
// minor body (r = 2) from Mars' orbit (r = 1.5, inclined) is 0.5 AU; Mars'
// own row gives 0, the Moon and hidden bodies none.
TEST(ElementsPageMoid, CirclesAgainstTheCentreOrbitAndTheEarth) {
    Table t;
    t.set(3, circle(1.5, 10, 40, 90));
    t.run.elements.display = 2;
    t.run.planetCentric = true;
    t.run.centreBody = 3;
    t.run.elements.plane = 1;
    ElementsPage p = t.page();
    EXPECT_EQ(p.referenceName.rfind("MARS", 0), 0u);
    const auto lines = tarvo::elementsPageLines(p);
    EXPECT_NE(lines[3].find("MARS  Moid"), std::string::npos) << lines[3];
    ASSERT_TRUE(p.bodies[0].row.moid && p.bodies[2].row.moid && p.bodies[3].row.moid);
    EXPECT_NEAR(p.bodies[0].row.moid->distance, 0.5, 1e-8);
    EXPECT_NEAR(p.bodies[3].row.moid->distance, 0.5, 1e-8);
    EXPECT_NEAR(p.bodies[2].row.moid->distance, 0.0, 1e-8);
    EXPECT_FALSE(p.bodies[1].row.moid); // the Moon

    // Without a centre the Earth is the reference; a hidden body gets none
    // and its row keeps the 22 blanks.
    t.run.planetCentric = false;
    t.run.elements.plane = 0;
    t.s.bodies.hiddenPlanet[3] = -1;
    p = t.page();
    EXPECT_EQ(p.referenceName.rfind("EARTH", 0), 0u);
    EXPECT_FALSE(p.bodies[2].shown);
    EXPECT_FALSE(p.bodies[2].row.moid);
    ASSERT_TRUE(p.bodies[3].row.moid);
    EXPECT_NEAR(p.bodies[3].row.moid->distance, 1.0, 1e-8);
    // The equator is no MOID plane.
    t.run.elements.plane = -1;
    EXPECT_FALSE(t.page().bodies[3].row.moid);
}

// The barycentre row: Earth + m_Moon/(m_Earth + m_Moon) * geocentric Moon,
// named "EMbaryc  ", with the pair's mass; the Moon's row stays geocentric.
TEST(ElementsPageBarycentre, EarthRowBecomesTheEarthMoonBarycentre) {
    Table t;
    auto& b = t.s.bodies;
    b.mass[1] = 5.9722, b.mass[2] = 0.07346;
    t.run.elements.earthMoonBarycentre = true;
    t.run.elements.plane = -1; // no rotation: the state as given
    t.run.elements.display = 3;
    const ElementsPage p = t.page();
    const double f = 0.07346 / (5.9722 + 0.07346);
    const Circle earth = circle(1.0, 0, 0, 0);
    EXPECT_EQ(p.bodies[0].name, "EMbaryc  ");
    EXPECT_NEAR(static_cast<double>(p.bodies[0].row.planeState.position[0]), earth.position[0],
                1e-9);
    EXPECT_NEAR(static_cast<double>(p.bodies[0].row.planeState.position[1]),
                earth.position[1] + f * 0.384, 1e-12);
    // Velocity in km/s: the Moon's -0.08 Gm/day along x.
    EXPECT_NEAR(static_cast<double>(p.bodies[0].row.planeState.velocity[0]),
                (earth.velocity[0] - f * 0.08) / tarvo::kmPerSecondToGmPerDay, 1e-9);
    EXPECT_EQ(p.bodies[1].name.rfind("MOON", 0), 0u);
    EXPECT_TRUE(p.bodies[1].row.geocentric);
    const std::string oscel = tarvo::oscelText(p);
    EXPECT_NE(oscel.find("EMbaryc"), std::string::npos);
    EXPECT_EQ(std::count(oscel.begin(), oscel.end(), '\n'), 4);
}

// The ecliptic of date of the 1980 model: an orbit in the J2000 ecliptic is
// inclined on the ecliptic of 2100 by the angle π_A between the two
// ecliptics, its ascending node 180° from theirs, at the longitude
// Π_A + p_A + 180° counted from the equinox of date.  Oracle: eraP06e (IAU
// 2006 precession quantities, no frame bias, as that model has none).
TEST(ElementsPageEquinox, EclipticOfDateAgreesWithErfa) {
    Table t;
    t.s.toggles.iauReductions = 0;
    const double days = 36525.0;
    t.s.integration.epoch = days;
    // The body in the J2000 ecliptic of the precession theory (ε0 = 84381.406").
    const double e0 = 84381.406 / 3600.0 * kDegree;
    const double speed = kGauss * std::sqrt(1.0 / 2.0) * kAu;
    t.set(4, {{0, 2.0 * kAu * std::cos(e0), 2.0 * kAu * std::sin(e0)}, {-speed, 0, 0}});
    t.run.elements.equinoxOfDate = true;
    const ElementsPage p = t.page();
    EXPECT_NE(p.title.find("  (Date) "), std::string::npos) << p.title;
    const auto& e = elementsOf(p, 4);

    double eps0, psia, oma, bpa, bqa, pia, bpia, epsa, chia, za, zetaa, thetaa, pa, gam, phi, psi;
    eraP06e(2451545.0 + days, 0.0, &eps0, &psia, &oma, &bpa, &bqa, &pia, &bpia, &epsa, &chia, &za,
            &zetaa, &thetaa, &pa, &gam, &phi, &psi);
    const double inclination = pia / kDegree;
    const double node = std::fmod((bpia + pa) / kDegree + 180.0, 360.0);
    ASSERT_GT(inclination, 40.0 / 3600); // 47": the test means something
    EXPECT_NEAR(static_cast<double>(e.inclination), inclination, 0.001 / 3600);
    // The node of a 47" tilt moves by 1/47 rad for each 1" of the pole: 5" here
    // are a pole good to 0.001".
    EXPECT_NEAR(static_cast<double>(e.ascendingNode), node, 5.0 / 3600);
}

// The ecliptic of date of the IAU model includes the frame bias: an orbit
// built in ERFA's ecliptic of 2100 (eraEcm06: bias, IAU 2006 precession,
// mean obliquity) with i = 10°, Ω = 40° shows those elements.
TEST(ElementsPageEquinox, IauEclipticOfDateIsErfasEclipticMatrix) {
    Table t;
    const double days = 36525.0;
    t.s.integration.epoch = days;
    double rm[3][3];
    eraEcm06(2451545.0 + days, 0.0, rm);
    Circle c = circle(2.0, 10.0, 40.0, 75.0); // in the elements' J2000 ecliptic, then equatorial
    // Back to ecliptic components, then from the ecliptic of date to the ICRS.
    auto fromEcliptic = [&](const Vec& equatorial) {
        const Vec e{equatorial[0],
                    equatorial[1] * std::cos(kObliquity) + equatorial[2] * std::sin(kObliquity),
                    -equatorial[1] * std::sin(kObliquity) + equatorial[2] * std::cos(kObliquity)};
        double in[3] = {e[0], e[1], e[2]}, out[3];
        eraTrxp(rm, in, out);
        return Vec{out[0], out[1], out[2]};
    };
    t.set(4, {fromEcliptic(c.position), fromEcliptic(c.velocity)});
    t.run.elements.equinoxOfDate = true;
    const ElementsPage p = t.page();
    const auto& e = elementsOf(p, 4);
    EXPECT_NEAR(static_cast<double>(e.inclination), 10.0, 1e-9);
    EXPECT_NEAR(static_cast<double>(e.ascendingNode), 40.0, 1e-9);
}

TEST(ElementsPageKeys, MenuCyclesAndToggles) {
    RunSettings run;
    run.precession = tarvo::PrecessionState::off;
    for (int expected : {1, 2, 3, 0}) {
        EXPECT_EQ(tarvo::elementsPageKey('&', run, true), ElementKeyAction::redraw);
        EXPECT_EQ(run.elements.display, expected);
    }
    // Q without a centre: 0 -> -1 -> 2 -> (1 skipped) 0.
    for (int expected : {-1, 2, 0}) {
        tarvo::elementsPageKey('q', run, true);
        EXPECT_EQ(run.elements.plane, expected);
    }
    run.planetCentric = true, run.centreBody = 4;
    run.elements.plane = 2;
    tarvo::elementsPageKey('Q', run, true);
    EXPECT_EQ(run.elements.plane, 1);
    run.centreBody = -1; // the fixed point has no orbit
    run.elements.plane = 2;
    tarvo::elementsPageKey('Q', run, true);
    EXPECT_EQ(run.elements.plane, 0);

    EXPECT_EQ(tarvo::elementsPageKey('D', run, true), ElementKeyAction::redraw);
    EXPECT_TRUE(run.elements.equinoxOfDate);
    EXPECT_EQ(run.precession, tarvo::PrecessionState::on);
    tarvo::elementsPageKey('d', run, true);
    EXPECT_FALSE(run.elements.equinoxOfDate);
    EXPECT_EQ(run.precession, tarvo::PrecessionState::on);

    EXPECT_EQ(tarvo::elementsPageKey('E', run, true), ElementKeyAction::redraw);
    EXPECT_TRUE(run.elements.earthMoonBarycentre);
    EXPECT_EQ(tarvo::elementsPageKey('E', run, false),
              ElementKeyAction::leave); // no Moon: not a menu key
    tarvo::elementsPageKey('B', run, true);
    EXPECT_TRUE(run.backward);
    EXPECT_EQ(tarvo::elementsPageKey(' ', run, true), ElementKeyAction::nextStep);
    EXPECT_EQ(tarvo::elementsPageKey(13, run, true), ElementKeyAction::nextStep);
    EXPECT_EQ(tarvo::elementsPageKey('M', run, true), ElementKeyAction::dump);
    EXPECT_EQ(tarvo::elementsPageKey('F', run, true), ElementKeyAction::fileOutput);
    EXPECT_EQ(tarvo::elementsPageKey('X', run, true), ElementKeyAction::leave);
    EXPECT_EQ(tarvo::elementsPageKey(27, run, true), ElementKeyAction::leave);

    // Clicks land on the menu lines; the E line exists only with a Moon.
    EXPECT_EQ(tarvo::elementMenuKeyAt(23, 3, true), '&');
    EXPECT_EQ(tarvo::elementMenuKeyAt(24, 60, true), 'E');
    EXPECT_EQ(tarvo::elementMenuKeyAt(24, 60, false), 0);
    EXPECT_EQ(tarvo::elementMenuKeyAt(27, 10, true), ' ');
    EXPECT_EQ(tarvo::elementMenuKeyAt(5, 10, true), 0);
}

// The records of a body's file in display 2: three header lines naming the
// reference, then the time column and the file string with the MOID.
TEST(ElementsPageRecords, FileLinesOfTheMoidDisplay) {
    Table t;
    t.run.elements.display = 2;
    const ElementsPage p = t.page();
    const auto lines =
        tarvo::elementFileLines(p, p.bodies[3], tarvo::RecordTimeUnit::JulianDate, true);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find(" of ICARUS"), std::string::npos) << lines[0];
    EXPECT_NE(lines[2].find("EARTH_Moid"), std::string::npos) << lines[2];
    std::istringstream fields(lines[3]);
    double jd, e, i, w, node, a, moid;
    ASSERT_TRUE(fields >> jd >> e >> i >> w >> node >> a >> moid) << lines[3];
    EXPECT_DOUBLE_EQ(jd, 2451545.0);
    EXPECT_NEAR(a, 2.0, 1e-8);
    EXPECT_NEAR(moid, 1.0, 1e-8);
}

} // namespace
