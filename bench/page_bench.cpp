// Cost of one ephemeris page of 14 bodies (Sun, 9 planets, Moon, 3
// asteroids: the data-set-2 layout) in each reduction model: the display
// copies (assembleEphemerisPage) and the page's lines, geocentric apparent
// places of date with nutation, each page at a new epoch 3 days on.
//   BM_Page/0  IAU 2006/2000A, nutation from BIN/NUT2000A.BIN of the data tree
//   BM_Page/1  1980 nutation
//   BM_Page/2  IAU 2006/2000A with the nutation series summed (no table)
// Run with --benchmark_repetitions=N --benchmark_enable_random_interleaving=true
// so that the models alternate.
#include <benchmark/benchmark.h>

#include "tarvo/shell/ephemeris_page.h"

#include <cmath>
#include <filesystem>
#include <string>

namespace {

using namespace tarvo;

constexpr double kAu = 149.5978707;

// Circular orbits at the planets' distances, in the ecliptic's rough plane.
Session makeSession() {
    Session s;
    createBodyTable(minimumMaxBodies + 40, s.bodies);
    BodyTable& b = s.bodies;
    b.layout.bodyCount = 13;
    b.layout.earthIndex = 3;
    b.layout.moonIndex = 10;
    b.layout.lastMajor = 10;
    b.layout.lastMassive = 10;
    b.layout.noMoon = false;
    const char* names[] = {"SUN",    "MERCURY", "VENUS", "EARTH", "MARS",  "JUPITER", "SATURN",
                           "URANUS", "NEPTUNE", "PLUTO", "MOON",  "CERES", "PALLAS",  "VESTA"};
    const double radiusAu[] = {0,    0.387, 0.723, 1.0, 1.524, 5.2,  9.54,
                               19.2, 30.1,  39.5,  0,   2.77,  2.77, 2.36};
    const double mass[] = {1989100, 0.33, 4.87,  5.97,   0.642, 1898, 568,
                           86.8,    102,  0.013, 0.0735, 0,     0,    0};
    for (int i = 0; i <= 13; ++i) {
        setBodyName(b, i, names[i]);
        b.mass[i] = mass[i];
        const double r = radiusAu[i] * kAu, angle = 0.7 * i;
        b.posX[i] = r * std::cos(angle);
        b.posY[i] = r * std::sin(angle) * 0.917;
        b.posZ[i] = r * std::sin(angle) * 0.398 + 0.01 * i;
        const double v = r > 0 ? std::sqrt(2.959e-4 / radiusAu[i]) * kAu * 3.0 : 0; // step velocity
        b.velX[i] = -v * std::sin(angle);
        b.velY[i] = v * std::cos(angle) * 0.917;
        b.velZ[i] = v * std::cos(angle) * 0.398;
    }
    b.posX[10] = 0.384, b.velY[10] = 0.088 * 3.0; // the Moon, stored geocentric
    s.integration.step = 3;
    s.integration.direction = 1;
    s.integration.dataSet = 2;
    s.integration.nominalStep = 3;
    return s;
}

void BM_Page(benchmark::State& state) {
    Session s = makeSession();
    const int variant = static_cast<int>(state.range(0));
    s.toggles.iauReductions = variant == 1 ? 0 : -1;
    if (variant == 0) {
        const auto table = std::filesystem::path(TARVO_BENCH_TREE) / "BIN/NUT2000A.BIN";
        std::string message;
        if (!loadNutationTable(table, s.nutationTable, message)) {
            state.SkipWithError(message.c_str());
            return;
        }
    }
    RunSettings run;
    run.deltaT.mode = DeltaTMode::Off;
    const std::vector<bool> shown(14, true);
    long double t = 8000.25L;
    for (auto _ : state) {
        s.integration.epoch = t;
        const EphemerisPage page = assembleEphemerisPage(s, run, kAu);
        benchmark::DoNotOptimize(ephemerisPageLines(page, shown));
        t += 3.0L;
    }
}
BENCHMARK(BM_Page)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
