#include "fitra/fit_dynamics.h"

#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/data_set_parameters.h"
#include "tarvo/libraries/planetary_library.h"
#include "tarvo/libraries/state_file.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace fitra {

namespace {

// Enough slots for the largest data set, the added body and the fitted body.
constexpr int kFitTableSlots = tarvo::minimumMaxBodies;

bool finite3(const Vector3& v) {
    return std::isfinite(static_cast<double>(v[0])) && std::isfinite(static_cast<double>(v[1])) &&
           std::isfinite(static_cast<double>(v[2]));
}

Vector3 trueVelocity(const tarvo::BodyTable& t, const tarvo::IntegrationState& s, int i) {
    const long double scale = 1.0L / (s.direction * s.step);
    return {t.velX[i] * scale, t.velY[i] * scale, t.velZ[i] * scale};
}

// Advances the table to `target` in pieces of at most `maxPiece` days.
bool advanceTo(tarvo::BodyTable& t, tarvo::IntegrationState& s, tarvo::ForceModel& model,
               tarvo::Integrator& integrator, long double target, long double maxPiece,
               std::string& message) {
    const long double slack = 1e-9L;
    while (s.direction * (target - s.epoch) > slack) {
        const long double remaining = std::fabs(target - s.epoch);
        const long double h = remaining < maxPiece - slack ? remaining : maxPiece;
        if (h != s.step) {
            s.previousStep = s.step;
            s.step = h;
            tarvo::rescaleStep(t, s);
        }
        s.nominalStep = h;
        const tarvo::IntegrateResult r = tarvo::advanceNominalStep(t, s, model, integrator);
        if (r.status != tarvo::IntegrateStatus::ok) {
            message = r.message.empty() ? "the integration failed" : r.message;
            return false;
        }
    }
    s.epoch = target;
    s.epochCarry = 0;
    return true;
}

EpochStates statesOf(const tarvo::BodyTable& t, const tarvo::IntegrationState& s,
                     const FitDynamics& d) {
    EpochStates e;
    const int n = d.fittedIndex;
    e.body = {t.posX[n], t.posY[n], t.posZ[n]};
    e.bodyVelocity = trueVelocity(t, s, n);
    e.sun = {t.posX[0], t.posY[0], t.posZ[0]};
    e.sunVelocity = trueVelocity(t, s, 0);
    if (d.satellite) {
        // Geocentric integration: the Earth is the origin of the satellite.
        e.earth = {0, 0, 0};
        e.earthVelocity = {0, 0, 0};
    } else {
        const int k = d.earthIndex;
        e.earth = {t.posX[k], t.posY[k], t.posZ[k]};
        e.earthVelocity = trueVelocity(t, s, k);
    }
    return e;
}

} // namespace

int fitDataSet(const FitraSettings& settings) {
    if (settings.satellite) return 10;
    switch (settings.minorPlanets) {
    case -1:
        return 2; // three massive asteroids
    case 1:
        return 6; // sixteen
    case 2:
        return 1; // thirty-five
    default:
        return 3; // planets and the Moon
    }
}

void applyIntegratorSettings(const FitraSettings& settings, FitDynamics& d) {
    tarvo::IntegrationState& s = d.state;
    if (settings.satellite) {
        s.orderCode = 7;
        s.adaptive = false;
        s.nominalStep = 1.0L / 128.0L;
        d.maxPiece = 0.5L;
    } else if (settings.adaptiveStep) {
        s.orderCode = 7;
        s.adaptive = true;
        s.nominalStep = 3.0L;
        d.maxPiece = 3.0L;
    } else {
        s.orderCode = 6;
        s.adaptive = false;
        s.nominalStep = 3.0L;
        d.maxPiece = 3.0L;
    }
    s.step = s.nominalStep;
    s.options.extendedModel = true;
    s.options.solarMassLoss = false;
    s.options.tidalFactor = 0;
    s.options.relativityMinor = settings.relativistic != 0;
    s.options.nonGravMode =
        settings.yarkovsky ? tarvo::NonGravLaw::yarkovsky : tarvo::NonGravLaw::marsden;
    d.model.coefficients.gr0 = settings.nonGravR0;
    d.model.coefficients.grM = settings.nonGravM;
    d.model.coefficients.grB = settings.nonGravB;
    d.model.coefficients.grN = settings.nonGravN;
    d.model.coefficients.grK = settings.nonGravK;
    d.nonGravScale = static_cast<long double>(settings.nonGravA) * tarvo::astronomicalUnit;
    if (settings.yarkovsky) d.nonGravScale = tarvo::astronomicalUnit;
}

bool buildFitDynamics(const std::filesystem::path& binDir, const std::filesystem::path& ascDir,
                      const FitraSettings& settings, long double epoch, FitDynamics& d,
                      std::string& message, const std::filesystem::path& addedBodyFile) {
    const int dataSet = fitDataSet(settings);
    tarvo::DataSetParameters parameters;
    if (!tarvo::loadParameters(ascDir, dataSet, parameters, message)) return false;
    FitDynamics fresh;
    if (!tarvo::createBodyTable(kFitTableSlots, fresh.table).ok) {
        message = "The body table of the fit cannot be made";
        return false;
    }
    tarvo::BodyTable& t = fresh.table;
    const tarvo::DataSetLayoutResult layout = tarvo::dataSetLayout(dataSet, t.maxBodies);
    if (!layout.ok) {
        message = "Unknown data set " + std::to_string(dataSet);
        return false;
    }
    t.layout = layout.layout;
    const tarvo::DataSetFiles files = tarvo::dataSetFiles(binDir, ascDir, dataSet);
    const tarvo::DataSetLoad load = tarvo::loadDataSet(files, dataSet, epoch, false, false, t);
    if (!load.ok) {
        message = load.message;
        return false;
    }
    t.layout.bodyCount = load.bodiesPerRecord;
    for (int i = 0; i <= t.layout.bodyCount; ++i) {
        t.massField[i] = 0;
        t.objectNumber[i] = -i;
        t.relFactorBase[i] = t.relFactor[i];
        t.velX[i] *= tarvo::kmPerSecondToGmPerDay;
        t.velY[i] *= tarvo::kmPerSecondToGmPerDay;
        t.velZ[i] *= tarvo::kmPerSecondToGmPerDay;
    }
    tarvo::IntegrationState& s = fresh.state;
    s.dataSet = dataSet;
    s.satelliteMode = dataSet == 10;
    s.epoch = load.recordEpoch;
    s.direction = 1;
    fresh.model.coefficients = parameters.force;
    applyIntegratorSettings(settings, fresh);
    tarvo::updateTimeDependentCoefficients(fresh.model.coefficients, epoch, 0.0);
    tarvo::applyRadialCorrections(t, parameters.radial, epoch, dataSet, s.satelliteMode);
    s.derived = tarvo::deriveConstants(t);
    fresh.earthIndex = t.layout.earthIndex;
    fresh.satellite = s.satelliteMode;

    tarvo::StateFileContents added;
    if (settings.addBody) {
        if (!tarvo::readStateFile(addedBodyFile, tarvo::StateFileKind::MinorBody, 1, added,
                                  message))
            return false;
        if (added.records.empty()) {
            message = addedBodyFile.string() + " holds no body to add";
            return false;
        }
    }
    // The major bodies from the record's epoch to the starting epoch, the
    // added body joining them at its own epoch.
    tarvo::Integrator integrator;
    if (settings.addBody) {
        const long double tAdd = added.julianDate - 2451545.0L;
        tarvo::beginIntegration(t, s, tAdd >= s.epoch ? 1 : -1);
        if (!advanceTo(t, s, fresh.model, integrator, tAdd, fresh.maxPiece, message)) return false;
        const tarvo::StateRecord& r = added.records.front();
        const int a = t.layout.bodyCount + 1;
        const long double stepScale = tarvo::kmPerSecondToGmPerDay * s.direction * s.step;
        t.posX[a] = r.position[0] + t.posX[0];
        t.posY[a] = r.position[1] + t.posY[0];
        t.posZ[a] = r.position[2] + t.posZ[0];
        t.velX[a] = r.velocity[0] * stepScale + t.velX[0];
        t.velY[a] = r.velocity[1] * stepScale + t.velY[0];
        t.velZ[a] = r.velocity[2] * stepScale + t.velZ[0];
        t.mass[a] = r.massField > 0 ? r.massField : 0;
        tarvo::setBodyName(t, a, r.nameField.substr(0, 8));
        t.relFactor[a] = t.relFactorBase[a] = r.relFactor;
        t.layout.bodyCount = a;
        t.layout.lastMassive = a;
        t.stepMass[a] = t.mass[a] * tarvo::gravitationalConstant * s.step * s.step;
        s.derived = tarvo::deriveConstants(t);
    }
    tarvo::IntegrationState& st = s;
    const int direction = epoch >= st.epoch ? 1 : -1;
    if (settings.addBody) {
        if (direction != st.direction) tarvo::reverseDirection(t, st);
    } else {
        tarvo::beginIntegration(t, st, direction);
    }
    if (!advanceTo(t, s, fresh.model, integrator, epoch, fresh.maxPiece, message)) return false;
    const long double back = 1.0L / (s.direction * s.step);
    for (int i = 0; i <= t.layout.bodyCount; ++i) {
        t.velX[i] *= back;
        t.velY[i] *= back;
        t.velZ[i] *= back;
    }
    // The fitted body follows.
    const int n = t.layout.bodyCount + 1;
    t.layout.bodyCount = n;
    tarvo::setBodyName(t, n, "FITTED");
    t.mass[n] = 0;
    t.relFactor[n] = t.relFactorBase[n] = 0;
    fresh.fittedIndex = n;
    fresh.epoch = epoch;
    s.epoch = epoch;
    s.epochCarry = 0;
    s.direction = 1;
    s.step = s.nominalStep;
    s.previousStep = 1;
    d = std::move(fresh);
    return true;
}

namespace {

bool integrateArc(const FitDynamics& d, const FittedStart& start, int direction,
                  const std::vector<long double>& times, const std::vector<std::size_t>& order,
                  std::vector<EpochStates>& states, std::string& message) {
    if (order.empty()) return true;
    tarvo::BodyTable t = d.table;
    tarvo::IntegrationState s = d.state;
    tarvo::ForceModel model = d.model;
    tarvo::Integrator integrator;
    const int n = d.fittedIndex;
    const long double k = tarvo::kmPerSecondToGmPerDay;
    t.posX[n] = start.position[0];
    t.posY[n] = start.position[1];
    t.posZ[n] = start.position[2];
    t.velX[n] = start.velocity[0] * k;
    t.velY[n] = start.velocity[1] * k;
    t.velZ[n] = start.velocity[2] * k;
    const bool nonGrav = start.nonGrav[0] != 0 || start.nonGrav[1] != 0 || start.nonGrav[2] != 0;
    t.nonGravFlag[n] = nonGrav ? tarvo::suiteTrue : tarvo::suiteFalse;
    t.A1[n] = static_cast<double>(start.nonGrav[0] * d.nonGravScale);
    t.A2[n] = static_cast<double>(start.nonGrav[1] * d.nonGravScale);
    t.A3[n] = static_cast<double>(start.nonGrav[2] * d.nonGravScale);
    if (start.setPrecedingMass && n - 1 > 0) t.mass[n - 1] = start.precedingMass;
    s.derived = tarvo::deriveConstants(t);
    tarvo::beginIntegration(t, s, direction);
    for (std::size_t idx : order) {
        if (!advanceTo(t, s, model, integrator, times[idx], d.maxPiece, message)) return false;
        states[idx] = statesOf(t, s, d);
        if (!finite3(states[idx].body) || !finite3(states[idx].bodyVelocity)) {
            message = "The fitted body's state is no longer finite";
            return false;
        }
    }
    return true;
}

} // namespace

bool integrateRun(const FitDynamics& d, const FittedStart& start,
                  const std::vector<long double>& times, std::vector<EpochStates>& states,
                  std::string& message) {
    states.assign(times.size(), EpochStates{});
    std::vector<std::size_t> forward, backward;
    for (std::size_t i = 0; i < times.size(); ++i)
        (times[i] >= d.epoch ? forward : backward).push_back(i);
    std::stable_sort(forward.begin(), forward.end(),
                     [&](std::size_t a, std::size_t b) { return times[a] < times[b]; });
    std::stable_sort(backward.begin(), backward.end(),
                     [&](std::size_t a, std::size_t b) { return times[a] > times[b]; });
    return integrateArc(d, start, 1, times, forward, states, message) &&
           integrateArc(d, start, -1, times, backward, states, message);
}

} // namespace fitra
