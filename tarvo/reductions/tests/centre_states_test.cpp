// Display copies relative to the centre: differences of the absolute
// states worked by hand, the Moon kept geocentric whenever the centre is not
// the Earth, the site added in topocentric mode, and the light-time
// correction leaving the centre alone.
#include "tarvo/reductions/places.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Table {
    // Sun, Mercury, Venus, Earth, Mars, Moon (index 5).
    std::vector<double> x{0.01, 50, 100, 150, 220, 150.384}, y{0.02, 10, -20, 1, 30, 1.1}, z = zeros(),
        vx{0.001, 4, 3, 0.1, 2, 0.2}, vy{0.0, 1, 1, 2.5, 1.5, 2.6}, vz = zeros(), ax = zeros(), ay = zeros(),
        az = zeros();
    static std::vector<double> zeros() { return std::vector<double>(6, 0.0); }
    tarvo::AbsoluteStates view() const { return {x, y, z, vx, vy, vz, ax, ay, az, 3, 5}; }
};

struct Display {
    std::vector<double> x = std::vector<double>(6), y = x, z = x, vx = x, vy = x, vz = x, ax = x, ay = x, az = x, d = x;
    tarvo::DisplayStates view() { return {x, y, z, vx, vy, vz, ax, ay, az, d}; }
};

TEST(CentreStates, HeliocentricKeepsTheMoonGeocentric) {
    Table t;
    Display d;
    auto out = d.view();
    tarvo::ObserverMotion observer, moonObserver;
    const int centre = tarvo::statesFromCentre(t.view(), 6, {tarvo::CentreSelection::Kind::Sun}, {}, out, observer,
                                               moonObserver);
    EXPECT_EQ(centre, 0);
    EXPECT_DOUBLE_EQ(d.x[4], 219.99);
    EXPECT_DOUBLE_EQ(d.vx[4], 1.999);
    EXPECT_NEAR(d.x[5], 0.384, 1e-12); // Moon - Earth
    EXPECT_NEAR(d.vy[5], 0.1, 1e-12);
    EXPECT_EQ(observer.velocity, (tarvo::PlaceVector{0.001, 0.0, 0.0}));
    EXPECT_EQ(moonObserver.velocity, (tarvo::PlaceVector{0.1, 2.5, 0.0}));
    EXPECT_DOUBLE_EQ(d.x[0], 0.0);
}

TEST(CentreStates, TopocentricAddsTheSiteToTheEarth) {
    Table t;
    Display d;
    auto out = d.view();
    tarvo::ObserverState site;
    site.position = {0.004, 0.003, 0.0};
    site.velocity = {-0.02, 0.025, 0.0};
    tarvo::CentreSelection c;
    c.topocentric = true;
    tarvo::ObserverMotion observer, moonObserver;
    EXPECT_EQ(tarvo::statesFromCentre(t.view(), 6, c, site, out, observer, moonObserver), 3);
    EXPECT_NEAR(d.x[5], 0.38, 1e-12);
    EXPECT_NEAR(d.y[5], 0.097, 1e-12);
    EXPECT_NEAR(d.x[3], -0.004, 1e-13); // the Earth's centre seen from the site (150 + 0.004 rounds)
    EXPECT_NEAR(observer.velocity[0], 0.08, 1e-15);
    EXPECT_EQ(observer.velocity, moonObserver.velocity);
}

TEST(CentreStates, SatellitesStayGeocentricLikeTheMoon) {
    Table t;
    Display d;
    auto out = d.view();
    tarvo::AbsoluteStates view = t.view();
    view.firstSatellite = 4; // Mars plays a satellite here
    tarvo::ObserverMotion observer, moonObserver;
    tarvo::statesFromCentre(view, 6, {tarvo::CentreSelection::Kind::Sun}, {}, out, observer, moonObserver);
    EXPECT_DOUBLE_EQ(d.x[4], 70.0);
    EXPECT_DOUBLE_EQ(d.x[2], 99.99);
}

TEST(CentreStates, FixedPointAtRestAndBodyCentre) {
    Table t;
    Display d;
    auto out = d.view();
    tarvo::CentreSelection c{tarvo::CentreSelection::Kind::FixedPoint, 0, {100, 0, 0}};
    tarvo::ObserverMotion observer, moonObserver;
    EXPECT_EQ(tarvo::statesFromCentre(t.view(), 6, c, {}, out, observer, moonObserver), -1);
    EXPECT_DOUBLE_EQ(d.x[2], 0.0);
    EXPECT_DOUBLE_EQ(d.vx[2], 3.0);
    EXPECT_EQ(observer.velocity, (tarvo::PlaceVector{0, 0, 0}));
    c = {tarvo::CentreSelection::Kind::Body, 4, {}};
    EXPECT_EQ(tarvo::statesFromCentre(t.view(), 6, c, {}, out, observer, moonObserver), 4);
    EXPECT_DOUBLE_EQ(d.x[3], -70.0);
    EXPECT_NEAR(d.x[5], 0.384, 1e-12);
    // The light-time pass leaves the centre (distance 0) alone.
    tarvo::correctLightTime(out, 6, 4, observer, 5, moonObserver, {true, true});
    EXPECT_EQ(d.x[4], 0.0);
    EXPECT_EQ(d.vx[4], 0.0);
}

} // namespace
