// Minimum orbit intersection distance against a dense brute-force search
// (nested sampling of both anomalies, no derivatives), and against the Earth
// MOIDs of JPL's small-body database in the kstars-data package with the
// Earth's osculating orbit taken from JPL DE405 at each element epoch.
#include "apparent_place_oracle.h"
#include "tarvo/reductions/page_elements.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <map>
#include <numbers>
#include <random>

namespace {

using tarvo::MoidOrbit;
constexpr double kDeg = std::numbers::pi / 180.0;

struct Point {
    double x, y, z;
    bool valid;
};

// Position on an orbit at true anomaly ν by the rotation Rz(Ω) Rx(i) Rz(ω).
Point orbitPoint(const MoidOrbit& o, double nu, bool reference) {
    const double w = 1.0 + o.eccentricity * std::cos(nu);
    if (w <= 1e-12) return {0, 0, 0, false};
    const double r = o.perihelionDistance * (1 + o.eccentricity) / w;
    const double u = o.argumentOfPerihelion * kDeg + nu, node = o.ascendingNode * kDeg;
    const double inc = reference ? 0.0 : o.inclination * kDeg;
    const double xo = r * std::cos(u), yo = r * std::sin(u);
    return {xo * std::cos(node) - yo * std::cos(inc) * std::sin(node),
            xo * std::sin(node) + yo * std::cos(inc) * std::cos(node), yo * std::sin(inc), true};
}

double distance(const MoidOrbit& a, double nu, const MoidOrbit& b, double nuRef) {
    const Point p = orbitPoint(a, nu, false), q = orbitPoint(b, nuRef, true);
    if (!p.valid || !q.valid) return 1e30;
    return std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) + (p.z - q.z) * (p.z - q.z));
}

double bruteForceMoid(const MoidOrbit& a, const MoidOrbit& b) {
    constexpr int n = 720;
    const double step = 2 * std::numbers::pi / n;
    std::vector<double> grid(n * n);
    for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k) grid[j * n + k] = distance(a, j * step, b, k * step);
    struct Cell {
        double d;
        int j, k;
    };
    std::vector<Cell> cells;
    for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k) {
            const double d = grid[j * n + k];
            bool minimum = true;
            for (int dj = -1; dj <= 1; ++dj)
                for (int dk = -1; dk <= 1; ++dk)
                    if ((dj || dk) && grid[((j + dj + n) % n) * n + (k + dk + n) % n] < d) minimum = false;
            if (minimum) cells.push_back({d, j, k});
        }
    std::sort(cells.begin(), cells.end(), [](const Cell& x, const Cell& y) { return x.d < y.d; });
    if (cells.size() > 24) cells.resize(24);
    double best = 1e30;
    for (const Cell& c : cells) {
        double nu = c.j * step, nuRef = c.k * step, half = 2 * step, d = c.d;
        for (int level = 0; level < 16; ++level) {
            double bestNu = nu, bestRef = nuRef;
            for (int p = -10; p <= 10; ++p)
                for (int q = -10; q <= 10; ++q) {
                    const double tn = nu + p * half / 10, tr = nuRef + q * half / 10;
                    const double td = distance(a, tn, b, tr);
                    if (td < d) {
                        d = td;
                        bestNu = tn;
                        bestRef = tr;
                    }
                }
            nu = bestNu;
            nuRef = bestRef;
            half /= 4;
        }
        best = std::min(best, d);
    }
    return best;
}

MoidOrbit orbit(double e, double i, double w, double node, double q) { return {e, i, w, node, 0.0, q}; }

TEST(MoidAgainstBruteForce, RandomAndNearlyDegenerateOrbitPairsWithin1e8Au) {
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<std::pair<MoidOrbit, MoidOrbit>> pairs;
    for (int n = 0; n < 24; ++n) {
        const double e = n % 3 == 0 ? 1e-7 * u(random) : 0.6 * u(random);
        const double i = n % 4 == 0 ? 1e-6 * u(random) : n % 4 == 1 ? 0.01 * u(random) : 170 * u(random);
        pairs.push_back({orbit(e, i, 360 * u(random), 360 * u(random), 0.5 + 3 * u(random)),
                         orbit(n % 2 ? 0.0167 : 1e-8, 0, 360 * u(random), 0, 0.9833)});
    }
    pairs.push_back({orbit(1.3, 25, 40, 80, 0.9), orbit(0.0167, 0, 102.9, 0, 0.9833)}); // hyperbola
    pairs.push_back({orbit(1.0, 60, 10, 200, 0.5), orbit(0.0167, 0, 102.9, 0, 0.9833)}); // parabola
    double worst = 0;
    for (const auto& [body, reference] : pairs) {
        const tarvo::MoidResult m = tarvo::moid(body, reference);
        const double brute = bruteForceMoid(body, reference);
        worst = std::max(worst, std::fabs(m.distance - brute));
        EXPECT_NEAR(m.distance, brute, 1e-8) << "e " << body.eccentricity << " i " << body.inclination;
        EXPECT_FALSE(m.notConverged);
        EXPECT_GE(m.longitudeDeg, 0.0);
        EXPECT_LT(m.longitudeDeg, 360.0);
    }
    std::printf("MOID: %zu pairs, worst difference from brute force %.3g AU\n", pairs.size(), worst);
}

TEST(MoidDegenerateCases, CoplanarCirclesEndWithTheirRadiusDifference) {
    const auto m = tarvo::moid(orbit(0, 0, 0, 0, 1.5), orbit(0, 0, 0, 0, 1.0));
    EXPECT_NEAR(m.distance, 0.5, 1e-15);
    EXPECT_FALSE(m.notConverged);
    EXPECT_TRUE(std::isfinite(m.longitudeDeg));
}

TEST(MoidDegenerateCases, ReferenceBodysOwnRowIsZero) {
    const MoidOrbit earth = orbit(0.0167, 0, 102.9, 0, 0.9833);
    const auto m = tarvo::moid(earth, earth);
    EXPECT_LT(m.distance, 1e-12);
    EXPECT_FALSE(m.notConverged);
    const MoidOrbit circle = orbit(0, 0, 0, 0, 1.0);
    EXPECT_LT(tarvo::moid(circle, circle).distance, 1e-12);
}

TEST(MoidDegenerateCases, LongitudeOfTheReferencePoint) {
    // A body crossing the ecliptic only at its node 75°, 1 AU from the Sun: the
    // reference circle of 1 AU is met there.
    const auto m = tarvo::moid(orbit(0, 30, 0, 75, 1.0), orbit(0, 0, 0, 0, 1.0));
    EXPECT_LT(m.distance, 1e-12);
    EXPECT_NEAR(std::remainder(m.longitudeDeg - 75.0, 180.0), 0.0, 1e-6);
}

TEST(MoidAgainstJplSmallBodies, EarthMoidsOfTheKstarsAsteroids) {
    std::ifstream in("/usr/share/kstars/asteroids.dat");
    if (!in) GTEST_SKIP() << "kstars-data not installed (/usr/share/kstars/asteroids.dat)";
    std::string message;
    auto de405 = tarvo::testing::openDe405(message);
    if (!de405) GTEST_SKIP() << message;
    const auto json = nlohmann::json::parse(in, nullptr, false);
    ASSERT_FALSE(json.is_discarded());
    const auto& fields = json["fields"];
    std::map<std::string, int> column;
    for (std::size_t c = 0; c < fields.size(); ++c) column[fields[c].get<std::string>()] = static_cast<int>(c);
    const long double au = de405->header().auKm * 1e-6L; // Gm
    std::map<std::string, MoidOrbit> earthAt;
    int all = 0, allWithin = 0, near = 0, nearWithin = 0;
    double worstNear = 0;
    for (const auto& row : json["data"]) {
        const auto text = [&](const char* name) -> std::string {
            const auto& v = row[column[name]];
            return v.is_string() ? v.get<std::string>() : std::string();
        };
        if (text("moid").empty() || text("e").empty() || text("q").empty()) continue;
        const std::string epoch = text("epoch_mjd");
        const long double jd = std::stold(epoch) + 2400000.5L;
        if (!de405->covers(jd)) continue;
        if (!earthAt.count(epoch)) {
            jpl::StateVector s;
            ASSERT_TRUE(de405->state(jpl::Body::Earth, jpl::Body::Sun, jd, s, message)) << message;
            tarvo::CartesianState state;
            for (int k = 0; k < 3; ++k) {
                state.position[k] = s.position[k] * au;
                state.velocity[k] = s.velocity[k] * au / 0.0864L;
            }
            const auto el = tarvo::stateToElements(tarvo::gaussianGravitationalConstant, 3.00348959632e-6L, au,
                                                   tarvo::ElementPlane{}, state);
            earthAt[epoch] = tarvo::moidOrbit(el);
        }
        const MoidOrbit body = orbit(std::stod(text("e")), std::stod(text("i")), std::stod(text("w")),
                                     std::stod(text("om")), std::stod(text("q")));
        const double published = std::stod(text("moid"));
        const double computed = tarvo::moid(body, earthAt[epoch]).distance;
        const bool within = std::fabs(computed - published) <= 2e-4;
        ++all;
        allWithin += within;
        if (published < 0.5) {
            ++near;
            nearWithin += within;
            worstNear = std::max(worstNear, std::fabs(computed - published));
        }
    }
    std::printf("JPL Earth MOIDs: %d/%d asteroids within 2e-4 AU; below 0.5 AU %d/%d (worst %.2g AU)\n", allWithin, all,
                nearWithin, near, worstNear);
    ASSERT_GT(all, 1000);
    EXPECT_GE(nearWithin, 0.95 * near);
    EXPECT_GE(allWithin, 0.95 * all);
}

} // namespace
