// The asteroids of the data sets integrated with the Sun and the planets.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "datasets/asteroid_ephemeris.h"
#include "datasets/integration_driver.h"
#include "datasets/radial_factor.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/orbital_elements.h"
#include "tarvo/libraries/state_file.h"

namespace datasets {
namespace {

constexpr int kPlanets = 9;
constexpr int kMajorAsteroids = 3;
// Without the Moon the suite integrates with 5-day steps at order 8.
constexpr long double kStepDays = 5.0L;
constexpr int kOrderCode = 8;
constexpr int kModelDataSet = 4;

struct StartingTable {
    tarvo::BodyTable table;
    long double epoch = 0;
};

bool startingTable(PlanetarySource& source, const std::map<int, AsteroidElements>& elements, StartingTable& start,
                   std::string& message)
{
    const auto& catalogue = asteroidCatalogue();
    const int last = kPlanets + static_cast<int>(catalogue.size());
    tarvo::createBodyTable(std::max(last + 3, tarvo::minimumMaxBodies), start.table);
    tarvo::BodyTable& t = start.table;
    t.layout = tarvo::dataSetLayout(kModelDataSet, t.maxBodies).layout;
    t.layout.lastMajor = kPlanets + kMajorAsteroids;
    t.layout.lastMassive = last;
    t.layout.bodyCount = last;

    // Every asteroid must share one element epoch (the export has one).
    start.epoch = elements.at(catalogue[0].asteroidNumber).epoch;
    for (const BodyEntry& a : catalogue)
        if (elements.at(a.asteroidNumber).epoch != start.epoch) {
            message = "the asteroid elements are not all of one epoch";
            return false;
        }
    const long double sunMass = source.sunMass();
    t.mass[0] = sunMass;
    auto put = [&](int i, double mass, const BodyState& s) {
        t.mass[i] = mass;
        t.posX[i] = s.position[0], t.posY[i] = s.position[1], t.posZ[i] = s.position[2];
        t.velX[i] = s.velocity[0] * tarvo::kmPerSecondToGmPerDay;
        t.velY[i] = s.velocity[1] * tarvo::kmPerSecondToGmPerDay;
        t.velZ[i] = s.velocity[2] * tarvo::kmPerSecondToGmPerDay;
        t.relFactor[i] = t.relFactorBase[i] = postNewtonianRadialFactor(s.position, s.velocity, sunMass);
        t.objectNumber[i] = -i;
    };
    const std::vector<BodyEntry> planets = dataSetBlocks(5);
    for (int p = 0; p < kPlanets; ++p) {
        BodyState s;
        if (!source.state(planets[p], start.epoch, s, message)) return false;
        put(p + 1, source.massOf(planets[p]), s);
    }
    // Osculating elements about the Sun of the ephemeris (k from its GM).
    const jpl::EphemerisHeader& h = source.ephemeris().header();
    tarvo::ElementConversion conversion;
    conversion.gravityConstant = std::sqrt(static_cast<long double>(*h.constant("GMS")));
    conversion.astronomicalUnit = h.auKm / 1e6L;
    for (std::size_t k = 0; k < catalogue.size(); ++k) {
        const AsteroidElements& el = elements.at(catalogue[k].asteroidNumber);
        tarvo::OrbitElements oe;
        oe.eccentricity = el.e;
        oe.inclination = el.i;
        oe.argumentOfPerihelion = el.perihelion;
        oe.ascendingNode = el.node;
        oe.semiMajorAxis = el.a;
        oe.meanAnomaly = el.meanAnomaly;
        oe.perihelionDistance = el.a * (1 - el.e);
        tarvo::CartesianState cs;
        const tarvo::ConversionResult r =
            tarvo::elementsToState(conversion, 0, j2000JulianDate + start.epoch, oe, cs);
        if (!r.ok) {
            message = "asteroid " + std::to_string(el.number) + ": " + r.message;
            return false;
        }
        put(kPlanets + 1 + static_cast<int>(k), source.massOf(catalogue[k]), BodyState{cs.position, cs.velocity});
    }
    return true;
}

// Integrates from the starting table through `epochs` (ordered away from the
// start) and stores the heliocentric asteroid states.
bool sampleOneWay(const StartingTable& start, const std::vector<long double>& epochs, int direction,
                  AsteroidSamples& samples, std::vector<std::size_t>& slots, long& steps, std::string& message)
{
    if (epochs.empty()) return true;
    tarvo::BodyTable t = start.table;
    Integration run;
    run.state.dataSet = kModelDataSet;
    run.state.orderCode = kOrderCode;
    run.state.step = run.state.nominalStep = kStepDays;
    run.state.epoch = start.epoch;
    run.model.coefficients = tarvo::forceCoefficientsForDataSet(kModelDataSet);
    run.state.derived = tarvo::deriveConstants(t);
    tarvo::beginIntegration(t, run.state, direction);
    const int first = kPlanets + 1, last = t.layout.bodyCount;
    for (std::size_t n = 0; n < epochs.size(); ++n) {
        if (!integrateTo(t, run, epochs[n], kStepDays, message)) return false;
        std::vector<BodyState>& out = samples.states[slots[n]];
        out.resize(static_cast<std::size_t>(last - first + 1));
        const auto sunVelocity = trueVelocity(t, run.state, 0);
        for (int i = first; i <= last; ++i) {
            const auto v = trueVelocity(t, run.state, i);
            BodyState& s = out[static_cast<std::size_t>(i - first)];
            s.position = {t.posX[i] - t.posX[0], t.posY[i] - t.posY[0], t.posZ[i] - t.posZ[0]};
            for (int k = 0; k < 3; ++k) s.velocity[k] = (v[k] - sunVelocity[k]) / tarvo::kmPerSecondToGmPerDay;
        }
    }
    steps += run.steps;
    return true;
}

}  // namespace

const std::vector<BodyState>* AsteroidSamples::at(long double epoch) const
{
    const auto it = std::lower_bound(epochs.begin(), epochs.end(), epoch);
    if (it == epochs.end() || *it != epoch) return nullptr;
    return &states[static_cast<std::size_t>(it - epochs.begin())];
}

bool integrateAsteroids(PlanetarySource& source, const std::map<int, AsteroidElements>& elements,
                        const std::vector<long double>& epochs, AsteroidSamples& samples,
                        AsteroidIntegrationReport& report, std::string& message)
{
    const auto clockStart = std::chrono::steady_clock::now();
    StartingTable start;
    if (!startingTable(source, elements, start, message)) return false;
    AsteroidSamples result;
    result.epochs = epochs;
    std::sort(result.epochs.begin(), result.epochs.end());
    result.epochs.erase(std::unique(result.epochs.begin(), result.epochs.end()), result.epochs.end());
    result.states.resize(result.epochs.size());
    std::vector<long double> forward, backward;
    std::vector<std::size_t> forwardSlots, backwardSlots;
    for (std::size_t n = 0; n < result.epochs.size(); ++n)
        if (result.epochs[n] >= start.epoch) forward.push_back(result.epochs[n]), forwardSlots.push_back(n);
    for (std::size_t n = result.epochs.size(); n-- > 0;)
        if (result.epochs[n] < start.epoch) backward.push_back(result.epochs[n]), backwardSlots.push_back(n);
    long steps = 0;
    if (!sampleOneWay(start, forward, +1, result, forwardSlots, steps, message) ||
        !sampleOneWay(start, backward, -1, result, backwardSlots, steps, message))
        return false;
    samples = std::move(result);
    report.steps = steps;
    report.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - clockStart).count();
    return true;
}

}  // namespace datasets
