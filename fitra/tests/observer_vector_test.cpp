// The observer vector against ERFA: the Earth-fixed site (eraGd2gc, or the
// parallax constants of the MPC list) turned by ERFA's apparent sidereal
// time (eraGst06a), for ten stations.
#include "fitra/observer_vector.h"

#include "scratch_directory.h"
#include "shared_inputs.h"
#include "tarvo/reductions/frames.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>

namespace {

constexpr double kEarthRadiusM = 6378137.0;

tarvo::FrameState frameOfDate(long double tTT) {
    tarvo::FrameState frame;
    tarvo::FrameOptions options;
    options.fullNutation = true;
    const tarvo::PrecessionTable none; // the IAU 2006 angles near J2000 need no table
    tarvo::computeFrame(frame, tTT, options, none);
    return frame;
}

// ERFA's true-equator-of-date position (metres) of an Earth-fixed vector.
std::array<double, 3> erfaSite(const double itrs[3], double tUT, double tTT) {
    const double gst = eraGst06a(ERFA_DJ00, tUT, ERFA_DJ00, tTT);
    return {itrs[0] * std::cos(gst) - itrs[1] * std::sin(gst),
            itrs[0] * std::sin(gst) + itrs[1] * std::cos(gst), itrs[2]};
}

class ObserverVector : public tarvo::testing::ScratchDirectoryTest {};

TEST_F(ObserverVector, TenMpcStationsAreWithin40MetresOfErfa) {
    const auto html = fitra::testing::kSharedData / "mpc" / "ObsCodes.html";
    FITRA_REQUIRE_FILE(html);
    fitra::testing::writeObscodesFromHtml(html, dir / "OBSCODES.TXT");
    fitra::StationTable table;
    std::string message;
    ASSERT_TRUE(fitra::readStationTable(dir / "OBSCODES.TXT", table, message));
    const char* codes[] = {"000", "309", "413", "568", "675", "691", "703", "807", "950", "G96"};
    const double dates[] = {-8000.25, 0.1, 6000.7, 9131.3};
    double worst = 0;
    for (const char* code : codes) {
        bool known = false;
        const auto& st = table.lookup(code, &known);
        ASSERT_TRUE(known) << code;
        const double lon = st.longitudeDeg * ERFA_DD2R;
        const double itrs[3] = {kEarthRadiusM * st.rhoCosPhi * std::cos(lon),
                                kEarthRadiusM * st.rhoCosPhi * std::sin(lon),
                                kEarthRadiusM * st.rhoSinPhi};
        for (double tUT : dates) {
            const double tTT = tUT + 65.0 / 86400;
            const auto want = erfaSite(itrs, tUT, tTT);
            const auto got = fitra::observerVector(tUT, 1.0L, 1, true, st.rhoSinPhi, st.rhoCosPhi,
                                                   lon, false, frameOfDate(tTT));
            const double d = std::hypot(static_cast<double>(got.position[0]) * 1e9 - want[0],
                                        static_cast<double>(got.position[1]) * 1e9 - want[1],
                                        static_cast<double>(got.position[2]) * 1e9 - want[2]);
            EXPECT_LT(d, 40.0) << code << " at " << tUT;
            worst = std::max(worst, d);
        }
    }
    RecordProperty("worst_metres", std::to_string(worst));
    std::cout << "largest distance from ERFA: " << worst << " m\n";
}

TEST(ObserverVectorGeodetic, AGeodeticSiteMatchesEraGd2gcAndMovesWithTheEarth) {
    const double lat = 40.5 * ERFA_DD2R, lon = 14.25 * ERFA_DD2R, height = 1200.0;
    double itrs[3];
    ASSERT_EQ(eraGd2gc(1, lon, lat, height, itrs), 0);
    const double tUT = 7000.3, tTT = tUT + 69.184 / 86400;
    const auto want = erfaSite(itrs, tUT, tTT);
    const auto v =
        fitra::observerVector(tUT, 0.5L, -1, true, lat, lon, height / 1e9, true, frameOfDate(tTT));
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(static_cast<double>(v.position[k]) * 1e9, want[k], 40.0);
    // Velocity per step of 0.5 day backward: the derivative of the rotation.
    const long double dt = 1e-6L;
    const auto later = fitra::observerVector(tUT + dt, 0.5L, -1, true, lat, lon, height / 1e9, true,
                                             frameOfDate(tTT));
    const auto earlier = fitra::observerVector(tUT - dt, 0.5L, -1, true, lat, lon, height / 1e9,
                                               true, frameOfDate(tTT));
    for (int k = 0; k < 2; ++k)
        EXPECT_NEAR(
            static_cast<double>(v.velocity[k]),
            static_cast<double>(-0.5L * (later.position[k] - earlier.position[k]) / (2 * dt)),
            1e-10);
    EXPECT_EQ(v.velocity[2], 0.0L);
    // The geocentre is all zero; a spacecraft is only rotated.
    const auto g = fitra::observerVector(tUT, 1, 1, true, 0, 0, 0, true, frameOfDate(tTT));
    EXPECT_EQ(g.position[0], 0.0L);
    const auto sc =
        fitra::observerVector(tUT, 1, 1, true, 1000.1L, 0.2L, 0.3L, false, frameOfDate(tTT));
    EXPECT_NEAR(
        static_cast<double>(std::hypot(sc.position[0], std::hypot(sc.position[1], sc.position[2]))),
        std::sqrt(0.01 + 0.04 + 0.09), 1e-15);
    EXPECT_EQ(sc.velocity[0], 0.0L);
}

} // namespace
