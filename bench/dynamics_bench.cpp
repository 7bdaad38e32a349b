// Speed of the force model and the integrator.
//  (a) Sun, 9 planets, Moon, 3 asteroids (data-set-2 layout): steps per
//      second at M = 6, 7, 8, one thread.
//  (b) the same with 10 000 massless minor bodies: nanoseconds per
//      major-minor pair and force evaluation, double and extended paths,
//      on every thread OpenMP offers.
//  (c) option C (minor bodies attract the majors, the Sun and each other)
//      with 2 000 minor bodies.
// The counters: steps/s; ns_per_pair = wall time / (force evaluations *
// lastMajor * minor bodies).
#include <benchmark/benchmark.h>

#include <chrono>
#ifdef _OPENMP
#include <omp.h>
#endif

#include "test_systems.h"
#include "tarvo/dynamics/weight_tables.h"

namespace {

using namespace tarvo;

struct System {
  BodyTable table;
  IntegrationState state;
  ForceModel model;
  Integrator integrator;
};

void prepare(System& s, int minors, int order, bool extended, bool minorPerturb) {
  testing::buildSolarSystem(s.table, s.state, true, minors);
  s.state.options.extendedAccumulation = extended;
  s.state.options.minorPerturb = minorPerturb;
  if (minorPerturb) {
    for (int i = 14; i <= s.table.layout.bodyCount; ++i) s.table.mass[i] = 1e-9L;
  }
  s.state.step = s.state.nominalStep = 3.0L;
  s.state.orderCode = order;
  s.model.coefficients = forceCoefficientsForDataSet(2);
  beginIntegration(s.table, s.state, 1);
}

void setThreads(int threads) {
#ifdef _OPENMP
  omp_set_num_threads(threads);
#else
  (void)threads;
#endif
}

int availableThreads() {
#ifdef _OPENMP
  return omp_get_num_procs();
#else
  return 1;
#endif
}

// (a) Major bodies only.
void BM_DataSet2Steps(benchmark::State& st) {
  setThreads(1);
  System s;
  prepare(s, 0, static_cast<int>(st.range(0)), false, false);
  for (auto _ : st) {
    advanceNominalStep(s.table, s.state, s.model, s.integrator);
    benchmark::DoNotOptimize(s.table.posX[3]);
  }
  st.counters["steps/s"] = benchmark::Counter(static_cast<double>(st.iterations()),
                                              benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DataSet2Steps)->Arg(6)->Arg(7)->Arg(8)->Unit(benchmark::kMicrosecond);

// The same system as point masses (option E off): what the extended model's
// terms cost on top of the Newtonian pairs.
void BM_DataSet2PointMasses(benchmark::State& st) {
  setThreads(1);
  System s;
  prepare(s, 0, static_cast<int>(st.range(0)), false, false);
  s.state.options.extendedModel = false;
  for (auto _ : st) {
    advanceNominalStep(s.table, s.state, s.model, s.integrator);
    benchmark::DoNotOptimize(s.table.posX[3]);
  }
  st.counters["steps/s"] = benchmark::Counter(static_cast<double>(st.iterations()),
                                              benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DataSet2PointMasses)->Arg(6)->Unit(benchmark::kMicrosecond);

// (b) 10 000 massless minor bodies. Arg 0: 0 double path, 1 extended path.
void BM_MinorBodies(benchmark::State& st) {
  const int threads = static_cast<int>(st.range(1));
  setThreads(threads);
  System s;
  const int minors = 10000;
  prepare(s, minors, 6, st.range(0) != 0, false);
  for (auto _ : st) {
    advanceNominalStep(s.table, s.state, s.model, s.integrator);
    benchmark::DoNotOptimize(s.table.posX[100]);
  }
  const double pairs = static_cast<double>(forceEvaluationsPerStep(6)) *
                       s.table.layout.lastMajor * minors;
  st.counters["ns_per_pair"] = benchmark::Counter(
      pairs * static_cast<double>(st.iterations()) * 1e-9,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  st.counters["steps/s"] = benchmark::Counter(static_cast<double>(st.iterations()),
                                              benchmark::Counter::kIsRate);
  setThreads(availableThreads());
}
BENCHMARK(BM_MinorBodies)
    ->Args({0, 1})
    ->Args({0, 2})
    ->Args({1, 1})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// (c) Option C with 2 000 massive minor bodies.
void BM_MinorPerturb(benchmark::State& st) {
  setThreads(static_cast<int>(st.range(0)));
  System s;
  prepare(s, 2000, 6, false, true);
  for (auto _ : st) {
    advanceNominalStep(s.table, s.state, s.model, s.integrator);
    benchmark::DoNotOptimize(s.table.posX[100]);
  }
  st.counters["steps/s"] = benchmark::Counter(static_cast<double>(st.iterations()),
                                              benchmark::Counter::kIsRate);
  setThreads(availableThreads());
}
BENCHMARK(BM_MinorPerturb)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
