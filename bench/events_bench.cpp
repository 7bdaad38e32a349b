// The close-approach search's cost per step for a swarm of minor bodies in
// the main belt (circular orbits about the Sun, 3-day steps), with every
// pair searched and the largest Dmax the table's size allows: the sweep of
// candidate pairs, the pair function at both ends, and the refinement of the
// pairs whose function changes sign.
#include "tarvo/events/close_approach.h"

#include "tarvo/dynamics/physical_constants.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

struct Swarm {
    tarvo::TableStates start, end;
    tarvo::StepEnds step;
};

Swarm makeSwarm(int bodies, long double h) {
    Swarm s;
    s.start.resize(static_cast<std::size_t>(bodies + 1));
    s.end.resize(static_cast<std::size_t>(bodies + 1));
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> radius(330, 480), phase(0, 6.283185307179586),
        tilt(-0.3, 0.3);
    const long double mu = tarvo::gravitationalConstant * 1988500.0L;
    for (int i = 0; i <= bodies; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const long double r = i == 0 ? 0 : radius(random),
                          w = i == 0 ? 0 : std::sqrt(mu / (r * r * r));
        const long double f = phase(random), inc = tilt(random);
        for (auto [st, t] : {std::pair{&s.start, 0.0L}, std::pair{&s.end, h}}) {
            const long double c = std::cos(f + w * t), sn = std::sin(f + w * t);
            st->x[k] = r * c, st->y[k] = r * sn * std::cos(inc), st->z[k] = r * sn * std::sin(inc);
            st->vx[k] = -r * w * sn, st->vy[k] = r * w * c * std::cos(inc),
            st->vz[k] = r * w * c * std::sin(inc);
            st->ax[k] = -w * w * st->x[k], st->ay[k] = -w * w * st->y[k],
            st->az[k] = -w * w * st->z[k];
        }
    }
    s.step.t0 = 0, s.step.t1 = h, s.step.h = h, s.step.bodyCount = bodies;
    s.step.start = &s.start, s.step.end = &s.end;
    return s;
}

void BM_AllPairsSearchStep(benchmark::State& state) {
    const int bodies = static_cast<int>(state.range(0));
    const double dmax = bodies > 2023 ? 15.0 : 30.0; // Gm: the table-size limits
    const Swarm s = makeSwarm(bodies, 3.0L);
    std::size_t candidates = 0, events = 0;
    for (auto _ : state) {
        const auto pairs = tarvo::candidatePairs(s.step, {}, dmax);
        candidates = pairs.size();
        events = 0;
        for (auto [i, j] : pairs) {
            const long double f0 = tarvo::pairFunction(s.start, i, j);
            const long double f1 = tarvo::pairFunction(s.end, i, j);
            if (!tarvo::bracketsExtremum(f0, f1, false)) continue;
            if (tarvo::refineSpatial(s.step, i, j, f0, f1, false).distance <= dmax) ++events;
        }
        benchmark::DoNotOptimize(events);
    }
    state.counters["candidates"] = static_cast<double>(candidates);
    state.counters["events"] = static_cast<double>(events);
}
BENCHMARK(BM_AllPairsSearchStep)->Arg(1000)->Arg(8000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
