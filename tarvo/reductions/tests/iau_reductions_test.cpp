// The reductions of the current IAU standard against ERFA: the frame matrix
// and sidereal time of an epoch (eraPnm06a, eraPmat06, eraGst06a), the fitted
// nutation of NUT2000A.BIN (eraNut06a), light deflection and aberration
// (eraLd, eraAb), and the whole apparent place on JPL DE405 states against
// ERFA's chain with the light-time iterated on the ephemeris itself.
#include "apparent_place_oracle.h"
#include "tarvo/reductions/iau_reductions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <optional>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

using tarvo::Matrix3;
using tarvo::PlaceVector;
constexpr double kPi = std::numbers::pi;
constexpr double kMas = kPi / 648000.0 / 1000.0;

double largestDifference(const Matrix3& m, const double e[3][3]) {
    double worst = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) worst = std::max(worst, std::fabs(m[i][j] - e[i][j]));
    return worst;
}

const std::filesystem::path kShippedTable =
    std::filesystem::path(TARVO_TEST_TREE) / "BIN/NUT2000A.BIN";

// ---- the frame of an epoch ------------------------------------------------------------

TEST(IauFrame, MatricesAndEquationOfTheEquinoxesMatchErfa) {
    double worstTrue = 0, worstMean = 0, worstEquation = 0;
    for (int k = 0; k <= 200; ++k) {
        const long double t = -73050.0L + 730.5L * k + 0.37L; // 1800 ... 2200
        const tarvo::IauFrame withNutation = tarvo::computeIauFrame(t, true, nullptr);
        const tarvo::IauFrame mean = tarvo::computeIauFrame(t, false, nullptr);
        double rnpb[3][3], rbp[3][3];
        eraPnm06a(2451545.0, static_cast<double>(t), rnpb);
        eraPmat06(2451545.0, static_cast<double>(t), rbp);
        worstTrue = std::max(worstTrue, largestDifference(withNutation.toDate, rnpb));
        worstMean = std::max(worstMean, largestDifference(mean.toDate, rbp));
        worstEquation =
            std::max(worstEquation, std::fabs(withNutation.equationOfEquinoxes -
                                              eraEe06a(2451545.0, static_cast<double>(t))));
        EXPECT_NEAR(mean.meanObliquity, eraObl06(2451545.0, static_cast<double>(t)), 1e-15);
        EXPECT_EQ(mean.equationOfEquinoxes, 0.0);
    }
    std::printf("matrix: true %.2e, mean %.2e; equation of the equinoxes %.4f mas\n", worstTrue,
                worstMean, worstEquation / kMas);
    EXPECT_LT(worstTrue, 1e-14);
    EXPECT_LT(worstMean, 1e-14);
    EXPECT_LT(worstEquation, 0.05 * kMas); // the complementary terms left out
}

TEST(IauFrame, EclipticOfDateIsErfasEclipticMatrix) {
    for (long double t : {-36525.0L, 0.0L, 8900.25L, 36525.0L}) {
        const tarvo::IauFrame mean = tarvo::computeIauFrame(t, false, nullptr);
        double rm[3][3];
        eraEcm06(2451545.0, static_cast<double>(t), rm);
        EXPECT_LT(largestDifference(tarvo::eclipticOfDate(mean.toDate, mean.meanObliquity), rm),
                  1e-14);
    }
}

TEST(IauFrame, ReductionModelHoldsWithinTwoMillennia) {
    using tarvo::ReductionModel;
    EXPECT_EQ(tarvo::effectiveReductionModel(ReductionModel::iau2006, 700000.0L),
              ReductionModel::iau2006);
    EXPECT_EQ(tarvo::effectiveReductionModel(ReductionModel::iau2006, -731000.0L),
              ReductionModel::nutation1980);
    EXPECT_EQ(tarvo::effectiveReductionModel(ReductionModel::nutation1980, 0.0L),
              ReductionModel::nutation1980);
    EXPECT_EQ(tarvo::reductionModelLabel(ReductionModel::iau2006), "IAU 2006/2000A");
}

TEST(IauSiderealTime, EarthRotationAngleAndGreenwichApparentSiderealTimeMatchErfa) {
    double worstEra = 0, worstGast = 0;
    for (int k = 0; k <= 400; ++k) {
        const long double tt = -36525.0L + 182.625L * k + 0.123456L; // 1900 ... 2100
        const long double ut = tt - 69.0L / 86400.0L;
        const double era = static_cast<double>(tarvo::earthRotationAngle(ut));
        worstEra = std::max(
            worstEra,
            std::fabs(std::remainder(era - eraEra00(2451545.0, static_cast<double>(ut)), 2 * kPi)));
        const tarvo::IauFrame f = tarvo::computeIauFrame(tt, true, nullptr);
        const double gast =
            static_cast<double>(tarvo::greenwichSiderealTimeIau(ut, tt, f.equationOfEquinoxes));
        const double oracle =
            eraGst06a(2451545.0, static_cast<double>(ut), 2451545.0, static_cast<double>(tt));
        worstGast = std::max(worstGast, std::fabs(std::remainder(gast - oracle, 2 * kPi)));
        ASSERT_GE(gast, 0.0);
        ASSERT_LT(gast, 2 * kPi);
    }
    std::printf("ERA %.2e rad, GAST %.4f mas\n", worstEra, worstGast / kMas);
    EXPECT_LT(worstEra, 1e-10); // ERFA takes UT1 as a double: 7e-12 day at 2100
    EXPECT_LT(worstGast, 0.05 * kMas);
}

// ---- NUT2000A.BIN ----------------------------------------------------------------

TEST(NutationTable, FittedSegmentsReproduceTheSeries) {
    const tarvo::NutationTable table = tarvo::computeNutationTable(8800, 8, 40, 12);
    double worst = 0;
    for (int k = 0; k < 1000; ++k) {
        const long double t = 8800.0L + 320.0L * k / 1000.0L;
        const tarvo::Nutation n = tarvo::nutationIau2000A(t, &table);
        double dpsi, deps;
        eraNut06a(2451545.0, static_cast<double>(t), &dpsi, &deps);
        worst = std::max({worst, std::fabs(static_cast<double>(n.longitude) - dpsi),
                          std::fabs(static_cast<double>(n.obliquity) - deps)});
    }
    EXPECT_LT(worst, 1e-3 * kMas) << worst / kMas << " mas";
    // Outside the segments: the series itself.
    double dpsi, deps;
    eraNut06a(2451545.0, 20000.0, &dpsi, &deps);
    EXPECT_EQ(static_cast<double>(tarvo::nutationIau2000A(20000.0L, &table).longitude), dpsi);
    eraNut06a(2451545.0, 8799.999, &dpsi, &deps);
    EXPECT_EQ(static_cast<double>(tarvo::nutationIau2000A(8799.999L, &table).obliquity), deps);
}

TEST(NutationTable, ShippedTableCoversTheTwoCenturiesToAMicroarcsecond) {
    if (!std::filesystem::exists(kShippedTable))
        GTEST_SKIP() << "SKIPPED: no " << kShippedTable << " (build the data tree)";
    tarvo::NutationTable table;
    std::string message;
    ASSERT_TRUE(tarvo::loadNutationTable(kShippedTable, table, message)) << message;
    const long double first = table.firstDay;
    const long double last = first + static_cast<long double>(table.segments()) * table.segmentDays;
    EXPECT_LE(first, -36524.5L); // 1900
    EXPECT_GE(last, 36524.5L);   // 2100
    std::mt19937_64 random(17);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    double worst = 0;
    for (int k = 0; k < 5000; ++k) {
        const long double t =
            k < 4 ? std::vector<long double>{first, first + 7.999999L, last - 1e-6L, 0.0L}[k]
                  : first + (last - first) * u(random);
        const tarvo::Nutation n = tarvo::nutationIau2000A(t, &table);
        double dpsi, deps;
        eraNut06a(2451545.0, static_cast<double>(t), &dpsi, &deps);
        worst = std::max({worst, std::fabs(static_cast<double>(n.longitude) - dpsi),
                          std::fabs(static_cast<double>(n.obliquity) - deps)});
    }
    std::printf("NUT2000A.BIN against eraNut06a: %.3f uas\n", worst / kMas * 1000);
    EXPECT_LT(worst, 1e-3 * kMas);
}

class NutationTableFile : public ::testing::Test {
  protected:
    void SetUp() override {
        good = tarvo::encodeNutationTable(tarvo::computeNutationTable(0, 8, 3, 12));
        kept = tarvo::computeNutationTable(800, 16, 2, 20);
        table = kept;
    }
    bool decode(const std::vector<unsigned char>& bytes) {
        return tarvo::decodeNutationTable(bytes, "NUT2000A.BIN", table, message);
    }
    std::vector<unsigned char> good;
    tarvo::NutationTable kept, table;
    std::string message;
};

TEST_F(NutationTableFile, RoundTripsAndRefusesDamageLeavingTheTableAsItWas) {
    ASSERT_TRUE(decode(good)) << message;
    EXPECT_EQ(table.segments(), 3u);
    EXPECT_EQ(tarvo::encodeNutationTable(table), good);
    table = kept;

    auto refused = [&](std::vector<unsigned char> bytes, const char* what) {
        message.clear();
        EXPECT_FALSE(decode(bytes)) << what;
        EXPECT_NE(message.find("NUT2000A.BIN"), std::string::npos) << what << ": " << message;
        EXPECT_EQ(table.values, kept.values) << what;
        EXPECT_EQ(table.firstDay, kept.firstDay) << what;
    };
    refused({good.begin(), good.begin() + 10}, "shorter than the header");
    refused({good.begin(), good.end() - 1}, "truncated");
    auto longer = good;
    longer.insert(longer.end(), 8, 0);
    refused(longer, "oversized");
    auto header = good;
    header[12] = 200; // 200 coefficients
    refused(header, "coefficient count");
    auto segments = good;
    segments[8] = segments[9] = segments[10] = 0xff; // a huge count
    segments[11] = 0x7f;
    refused(segments, "segment count");
    auto notANumber = good;
    for (int k = 0; k < 8; ++k) notANumber[16 + k] = 0xff; // NaN
    refused(notANumber, "NaN coefficient");
    auto huge = good;
    const double big = 1.0;
    std::memcpy(&huge[16 + 8 * 5], &big, 8);
    refused(huge, "implausible coefficient");
    std::mt19937 random(5);
    std::vector<unsigned char> garbage(good.size());
    for (auto& b : garbage) b = static_cast<unsigned char>(random());
    refused(garbage, "garbage");
}

TEST_F(NutationTableFile, MissingOrOversizedFileIsRefused) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("tarvo-nut-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    EXPECT_FALSE(tarvo::loadNutationTable(dir / "NONE.BIN", table, message));
    EXPECT_NE(message.find("NONE.BIN"), std::string::npos);
    {
        std::ofstream big(dir / "BIG.BIN", std::ios::binary);
        big.seekp((64 << 20) + 10);
        big.put('x');
    }
    EXPECT_FALSE(tarvo::loadNutationTable(dir / "BIG.BIN", table, message));
    EXPECT_NE(message.find("too large"), std::string::npos);
    EXPECT_EQ(table.values, kept.values);
    std::filesystem::remove_all(dir);
}

// ---- deflection and aberration ----------------------------------------------------

PlaceVector randomUnit(std::mt19937_64& r) {
    std::normal_distribution<double> n(0.0, 1.0);
    PlaceVector v{n(r), n(r), n(r)};
    const double m = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    return {v[0] / m, v[1] / m, v[2] / m};
}

TEST(DeflectionAndAberration, AgreeWithEraLdAndEraAb) {
    std::mt19937_64 random(3);
    const double au = 149.597870700;
    double worstLd = 0, worstAb = 0;
    for (int k = 0; k < 2000; ++k) {
        PlaceVector p = randomUnit(random), q = randomUnit(random), e = randomUnit(random);
        const double emAu = 0.3 + 30.0 * std::uniform_real_distribution<double>(0, 1)(random);
        double pp[3] = {p[0], p[1], p[2]}, qq[3] = {q[0], q[1], q[2]}, ee[3] = {e[0], e[1], e[2]},
               p1[3];
        eraLd(1.0, pp, qq, ee, emAu, 1e-6 / std::max(emAu * emAu, 1.0), p1);
        const PlaceVector mine = tarvo::sunLightDeflection(p, q, e, emAu * au, au);
        for (int c = 0; c < 3; ++c) worstLd = std::max(worstLd, std::fabs(mine[c] - p1[c]));

        const PlaceVector v = {1e-4 * q[0], 1e-4 * q[1], 1e-4 * q[2]}; // 30 km/s
        double vv[3] = {v[0], v[1], v[2]}, ppr[3];
        eraAb(pp, vv, emAu, std::sqrt(1 - eraPdp(vv, vv)), ppr);
        const PlaceVector ab = tarvo::relativisticAberration(p, v, emAu * au);
        for (int c = 0; c < 3; ++c) worstAb = std::max(worstAb, std::fabs(ab[c] - ppr[c]));
    }
    EXPECT_LT(worstLd, 1e-15);
    EXPECT_LT(worstAb, 1e-15);
    // A body straight behind the Sun: finite, bounded by the limit.
    const PlaceVector behind = tarvo::sunLightDeflection({1, 0, 0}, {1, 0, 0}, {-1, 0, 0}, au, au);
    for (double c : behind) EXPECT_TRUE(std::isfinite(c));
}

// ---- the whole place on DE405 ------------------------------------------------------

// The states the page has: barycentric, with accelerations from central
// differences of the ephemeris velocities, all at the TDB of the instant.
struct BodyMotion {
    PlaceVector p, v, a;
};
std::optional<BodyMotion> motion(jpl::Ephemeris& e, jpl::Body body, long double jd, double au) {
    constexpr double h = 0.01;
    const auto b0 = tarvo::testing::barycentric(e, body, jd);
    const auto bm = tarvo::testing::barycentric(e, body, jd - h);
    const auto bp = tarvo::testing::barycentric(e, body, jd + h);
    if (!b0 || !bm || !bp) return std::nullopt;
    BodyMotion m;
    for (int k = 0; k < 3; ++k) {
        m.p[k] = b0->position[k] * au;
        m.v[k] = b0->velocity[k] * au;
        m.a[k] = (bp->velocity[k] - bm->velocity[k]) / (2 * h) * au;
    }
    return m;
}

TEST(ApparentPlaceOnDe405, MatchesErfasChainGeocentricAndTopocentric) {
    std::string message;
    auto ephemeris = tarvo::testing::openDe405(message);
    if (!ephemeris) GTEST_SKIP() << "SKIPPED: " << message;
    const double auKm = static_cast<double>(ephemeris->header().auKm), au = auKm * 1e-6;
    const jpl::Body bodies[] = {jpl::Body::Sun,    jpl::Body::Moon,   jpl::Body::Mercury,
                                jpl::Body::Venus,  jpl::Body::Mars,   jpl::Body::Jupiter,
                                jpl::Body::Saturn, jpl::Body::Uranus, jpl::Body::Neptune};
    double worst = 0, worstTopocentric = 0;
    for (int step = 0; step < 40; ++step) {
        const long double jdTT = 2437000.5L + step * 919.07L;
        const long double jd = tarvo::testing::tdbOfTt(jdTT);
        const auto earth = motion(*ephemeris, jpl::Body::Earth, jd, au);
        const auto sun = motion(*ephemeris, jpl::Body::Sun, jd, au);
        ASSERT_TRUE(earth && sun);
        // Mauna Kea, UT1 = TT - 69 s.
        const double lon = -155.4681 * kPi / 180, lat = 19.8207 * kPi / 180, height = 4205.0;
        const auto site =
            tarvo::testing::gcrsSite(lon, lat, height, jdTT - 69.0L / 86400.0L, jdTT, auKm);
        const tarvo::IauFrame frame = tarvo::computeIauFrame(jdTT - 2451545.0L, true, nullptr);
        for (jpl::Body body : bodies) {
            const auto b = motion(*ephemeris, body, jd, au);
            ASSERT_TRUE(b);
            for (bool topocentric : {false, true}) {
                tarvo::ApparentPlaceInput in{b->p,     b->v,     b->a,
                                             earth->p, earth->v, sun->p,
                                             sun->v,   sun->a,   body == jpl::Body::Sun};
                tarvo::testing::GcrsSite seenFrom;
                if (topocentric) {
                    seenFrom = site;
                    for (int k = 0; k < 3; ++k) {
                        in.observerPosition[k] += site.position[k] * au;
                        in.observerVelocity[k] += site.velocity[k] * au;
                    }
                }
                const auto place = tarvo::apparentPlace(in, true, true, au);
                const PlaceVector ofDate = tarvo::multiply(frame.toDate, place.direction);
                const auto oracle =
                    tarvo::testing::iauApparentRaDec(*ephemeris, body, jdTT, seenFrom);
                ASSERT_TRUE(oracle);
                double v[3] = {ofDate[0], ofDate[1], ofDate[2]}, ra, dec;
                eraC2s(v, &ra, &dec);
                const double error = eraSeps(ra, dec, oracle->rightAscension, oracle->declination);
                (topocentric ? worstTopocentric : worst) =
                    std::max(topocentric ? worstTopocentric : worst, error);
            }
        }
    }
    std::printf(
        "apparent places on DE405 against ERFA: geocentric %.4f mas, topocentric %.4f mas\n",
        worst / kMas, worstTopocentric / kMas);
    EXPECT_LT(worst, 0.05 * kMas);
    EXPECT_LT(worstTopocentric, 0.05 * kMas);
}

TEST(ApparentPlace, SwitchesGiveGeometricAndAstrometricPlaces) {
    tarvo::ApparentPlaceInput in;
    in.bodyPosition = {100, 0, 0};
    in.bodyVelocity = {0, 2, 0};
    in.observerPosition = {0, 0, 0};
    in.observerVelocity = {0, 2.6, 0};
    in.sunPosition = {0, -150, 0};
    const auto geometric = tarvo::apparentPlace(in, false, true, 149.6);
    EXPECT_DOUBLE_EQ(geometric.direction[0], 1.0);
    EXPECT_DOUBLE_EQ(geometric.lightTimeDistanceGm, 100.0);
    const auto astrometric = tarvo::apparentPlace(in, true, false, 149.6);
    const double tau = astrometric.lightTimeDays;
    EXPECT_NEAR(tau * tarvo::kSpeedOfLightGmPerDay, astrometric.lightTimeDistanceGm, 1e-12);
    EXPECT_NEAR(astrometric.direction[1], -2.0 * tau / astrometric.lightTimeDistanceGm, 1e-12);
    // Aberration by the observer's motion turns the direction forward.
    const auto apparent = tarvo::apparentPlace(in, true, true, 149.6);
    EXPECT_GT(apparent.direction[1], astrometric.direction[1]);
}

} // namespace
