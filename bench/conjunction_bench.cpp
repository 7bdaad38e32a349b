// The conjunction search's cost against the integration it rides on: 1 000
// minor bodies in the main belt (circular orbits about the Sun, 3-day
// steps), every pair searched for conjunctions within 5 degrees as seen from
// the Sun, with light time; a year is 122 steps. The integration of the same
// number of bodies (data-set-2 majors plus 1 000 massless minor bodies,
// order 6, one thread) over the same year.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <unistd.h>
#ifdef _OPENMP
#include <omp.h>
#endif

#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/dynamics/weight_tables.h"
#include "tarvo/events/close_approach_search.h"
#include "test_systems.h"

namespace {

using namespace tarvo;

constexpr int kBodies = 1000;
constexpr int kStepsPerYear = 122;
constexpr long double kStep = 3.0L; // days

struct Belt {
    std::vector<long double> radius, rate, phase, tilt;
    void fill(TableStates& s, long double t) const {
        s.resize(radius.size());
        for (std::size_t k = 1; k < radius.size(); ++k) {
            const long double r = radius[k], w = rate[k], c = std::cos(phase[k] + w * t),
                              sn = std::sin(phase[k] + w * t), ci = std::cos(tilt[k]),
                              si = std::sin(tilt[k]);
            s.x[k] = r * c, s.y[k] = r * sn * ci, s.z[k] = r * sn * si;
            s.vx[k] = -r * w * sn, s.vy[k] = r * w * c * ci, s.vz[k] = r * w * c * si;
            s.ax[k] = -w * w * s.x[k], s.ay[k] = -w * w * s.y[k], s.az[k] = -w * w * s.z[k];
        }
    }
};

Belt makeBelt() {
    Belt b;
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> radius(330, 480), phase(0, 6.283185307179586),
        tilt(-0.3, 0.3);
    const long double mu = gravitationalConstant * 1988500.0L;
    b.radius.assign(kBodies + 1, 0), b.rate.assign(kBodies + 1, 0);
    b.phase.assign(kBodies + 1, 0), b.tilt.assign(kBodies + 1, 0);
    for (std::size_t k = 1; k <= kBodies; ++k) {
        b.radius[k] = radius(random);
        b.rate[k] = std::sqrt(mu / (b.radius[k] * b.radius[k] * b.radius[k]));
        b.phase[k] = phase(random);
        b.tilt[k] = tilt(random);
    }
    return b;
}

void BM_ConjunctionSearchYear(benchmark::State& state) {
    const Belt belt = makeBelt();
    BodyTable table;
    createBodyTable(kBodies + 8, table);
    table.layout = BodyLayout{};
    table.layout.bodyCount = kBodies;
    table.layout.lastMajor = table.layout.lastMassive = 0;
    table.layout.noMoon = true;
    table.layout.moonIndex = table.maxBodies;
    table.layout.earthIndex = table.maxBodies - 1;
    IntegrationState integration;
    FrameState frame;
    ForceCoefficients force;
    PrecessionTable precession;
    DataDirectories dirs;
    dirs.workDir = std::filesystem::temp_directory_path() /
                   ("tarvo-bench-conjunctions-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dirs.workDir);
    RunContext run(table, integration, frame, force, precession, dirs);
    run.centre.kind = CentreSelection::Kind::Sun;
    CloseApproachSettings settings;
    settings.angular = true;
    settings.maxAngleDegrees = 5.0;
    settings.conjunction.kind = ConjunctionKind::conjunction;
    std::vector<TableStates> states(kStepsPerYear + 1);
    for (int n = 0; n <= kStepsPerYear; ++n)
        belt.fill(states[static_cast<std::size_t>(n)], n * kStep);
    int events = 0;
    for (auto _ : state) {
        auto search = makeCloseApproachSearch(settings);
        std::string message;
        if (!search->begin(run, message)) state.SkipWithError(message.c_str());
        for (int n = 0; n < kStepsPerYear; ++n) {
            StepEnds step;
            step.t0 = n * kStep, step.t1 = (n + 1) * kStep, step.h = kStep;
            step.bodyCount = kBodies;
            step.start = &states[static_cast<std::size_t>(n)];
            step.end = &states[static_cast<std::size_t>(n + 1)];
            search->afterStep(step, run);
        }
        events = search->finish(run).events;
    }
    state.counters["events"] = events;
    state.counters["step_ms"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kStepsPerYear * 1e-3,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    std::filesystem::remove_all(dirs.workDir);
}
BENCHMARK(BM_ConjunctionSearchYear)->Unit(benchmark::kMillisecond);

void BM_IntegrationYear(benchmark::State& state) {
#ifdef _OPENMP
    omp_set_num_threads(1);
#endif
    for (auto _ : state) {
        state.PauseTiming();
        BodyTable table;
        IntegrationState integration;
        ForceModel model;
        Integrator integrator;
        testing::buildSolarSystem(table, integration, true, kBodies);
        integration.step = integration.nominalStep = kStep;
        integration.orderCode = 6;
        model.coefficients = forceCoefficientsForDataSet(2);
        beginIntegration(table, integration, 1);
        state.ResumeTiming();
        for (int n = 0; n < kStepsPerYear; ++n)
            advanceNominalStep(table, integration, model, integrator);
        benchmark::DoNotOptimize(table.posX[100]);
    }
    state.counters["step_ms"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kStepsPerYear * 1e-3,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_IntegrationYear)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
