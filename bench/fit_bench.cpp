// One iteration of the differential correction: 2,000 observations over
// 30 years, the planets and the Moon of the data tree, 6 and 9 parameters
// (the state, then with A1..A3).
#include "fitra/least_squares.h"

#include "../fitra/tests/synthetic_orbit.h"

#include <benchmark/benchmark.h>

namespace {

using namespace fitra;

void FitIteration(benchmark::State& state) {
    const std::filesystem::path tree = TARVO_BENCH_TREE;
    FitraSettings s;
    s.topocentric = 0;
    s.astrometric = -1;
    const fitra::testing::TwoBodyOrbit orbit{2.6L * fitra::testing::kAuGm, 0.15L, 0.2L, 1.0L,
                                             2.0L, 0.5L, 0.0L};
    FitDynamics d;
    std::string why;
    if (!buildFitDynamics(tree / "BIN", tree / "ASC", s, 0.0L, d, why)) {
        state.SkipWithError(why.c_str());
        return;
    }
    const PositionsFile file =
        fitra::testing::syntheticObservations(orbit, -15 * 365.25L, 2000, 30.0L, 0.5);
    const FitObservations obs = prepareObservations(file, s);
    Vector3 r, v;
    fitra::testing::twoBodyState(orbit, 0, r, v);
    StartingConditions c;
    for (int k = 0; k < 3; ++k) {
        c.state[k] = r[k];
        c.state[k + 3] = v[k] / 0.0864L;
    }
    ParameterSlots start = initialSlots(s, c, d);
    if (state.range(0) == 9) start.active[7] = start.active[8] = start.active[9] = true;
    for (auto _ : state) {
        ParameterSlots p = start;
        FitHistory h;
        const IterationResult res = runIteration(d, obs, s, p, h);
        benchmark::DoNotOptimize(res.sigmaDeg);
    }
}
BENCHMARK(FitIteration)->Arg(6)->Arg(9)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
