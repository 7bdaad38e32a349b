#include "datasets/data_set_run.h"

#include <cmath>

#include "tarvo/dynamics/force_frame_link.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/planetary_library.h"

namespace datasets {
namespace {

bool withoutMoon(int dataSet) { return dataSet == 4 || dataSet == 5 || dataSet == 9; }

}  // namespace

bool DataSetRun::prepare(const RunSettings& settings, std::string& message)
{
    settings_ = settings;
    const int set = settings.dataSet;
    if (!tarvo::createBodyTable(100, table_).ok) {
        message = "cannot create the body table";
        return false;
    }
    const tarvo::DataSetLayoutResult layout = tarvo::dataSetLayout(set, table_.maxBodies);
    if (!layout.ok) {
        message = "data set " + std::to_string(set) + " does not exist";
        return false;
    }
    table_.layout = layout.layout;
    return true;
}

bool DataSetRun::start(const RunSettings& settings, int direction, std::string& message)
{
    if (!prepare(settings, message)) return false;
    const int set = settings.dataSet;
    const tarvo::DataSetLoad load =
        tarvo::loadDataSet(tarvo::dataSetFiles(settings.tree / "BIN", settings.tree / "ASC", set), set,
                           settings.wantedEpoch, true, false, table_);
    if (!load.ok) {
        message = load.message;
        return false;
    }
    if (load.bodiesPerRecord != table_.layout.bodyCount) {
        message = "data set " + std::to_string(set) + ": the library holds " + std::to_string(load.bodiesPerRecord) +
                  " bodies, the data set has " + std::to_string(table_.layout.bodyCount);
        return false;
    }
    if (!tarvo::loadParameters(settings.tree / "ASC", set, parameters_, message)) return false;
    recordEpoch_ = load.recordEpoch;
    beginRun(direction);
    return true;
}

bool DataSetRun::startFromContents(const DataSetContents& contents, std::size_t record, const RunSettings& settings,
                                   int direction, std::string& message)
{
    if (!prepare(settings, message)) return false;
    const int K = static_cast<int>(contents.blocks.size());
    if (K != table_.layout.bodyCount || record >= contents.states.size()) {
        message = "data set " + std::to_string(settings.dataSet) + ": contents do not fit its layout";
        return false;
    }
    table_.mass[0] = contents.sunMass;
    table_.posX[0] = table_.posY[0] = table_.posZ[0] = 0;
    table_.velX[0] = table_.velY[0] = table_.velZ[0] = 0;
    table_.relFactor[0] = 0;
    for (int b = 1; b <= K; ++b) {
        const int i = tarvo::librarySlot(settings.dataSet, b);
        const BodyState& s = contents.states[record][static_cast<std::size_t>(b - 1)];
        table_.mass[i] = contents.masses[static_cast<std::size_t>(b - 1)];
        table_.relFactor[i] = contents.relFactors[static_cast<std::size_t>(b - 1)];
        table_.posX[i] = s.position[0], table_.posY[i] = s.position[1], table_.posZ[i] = s.position[2];
        table_.velX[i] = s.velocity[0], table_.velY[i] = s.velocity[1], table_.velZ[i] = s.velocity[2];
    }
    if (settings.dataSet == 3 || settings.dataSet == 8 || settings.dataSet == 10) table_.layout.moonIndex = K;
    parameters_ = tarvo::DataSetParameters{};
    parameters_.force = tarvo::forceCoefficientsForDataSet(settings.dataSet);
    recordEpoch_ = contents.epochs[record];
    beginRun(direction);
    return true;
}

// Completes the table as a run's start does and begins the integration.
void DataSetRun::beginRun(int direction)
{
    const int set = settings_.dataSet;
    const int N = table_.layout.bodyCount;
    for (int i = 0; i <= N; ++i) {
        table_.massField[i] = 0;
        table_.objectNumber[i] = -i;
        table_.relFactorBase[i] = table_.relFactor[i];
        // Library velocities are km/s; the integrator starts from Gm/day.
        table_.velX[i] *= tarvo::kmPerSecondToGmPerDay;
        table_.velY[i] *= tarvo::kmPerSecondToGmPerDay;
        table_.velZ[i] *= tarvo::kmPerSecondToGmPerDay;
    }
    run_ = Integration{};
    run_.state.dataSet = set;
    run_.state.epoch = recordEpoch_;
    nominalStep_ = withoutMoon(set) ? 5 : 3;
    run_.state.orderCode = withoutMoon(set) ? 8 : 6;
    if (settings_.nominalStep > 0) nominalStep_ = settings_.nominalStep;
    if (settings_.orderCode > 0) run_.state.orderCode = settings_.orderCode;
    run_.state.step = run_.state.nominalStep = nominalStep_;
    run_.state.derived = tarvo::deriveConstants(table_);
    run_.model.coefficients = parameters_.force;
    enterFrame(recordEpoch_);
    tarvo::beginIntegration(table_, run_.state, direction);
}

// Rotates the table from J2000 to the frame of t and sets the quantities
// the force model takes from the frame epoch.
void DataSetRun::enterFrame(long double t)
{
    const int N = table_.layout.bodyCount;
    tarvo::FrameOptions options;
    options.principalNutation = true;
    options.skipRotations = settings_.frameRenewalDays <= 0;
    tarvo::computeFrame(frame_, t, options, precessionTable_);
    tarvo::rotateToDate(frame_, 0, static_cast<std::size_t>(N), table_.posX.data(), table_.posY.data(),
                        table_.posZ.data());
    tarvo::rotateToDate(frame_, 0, static_cast<std::size_t>(N), table_.velX.data(), table_.velY.data(),
                        table_.velZ.data());
    run_.model.frame = tarvo::forceFrameOf(frame_);
    tarvo::updateTimeDependentCoefficients(run_.model.coefficients, t, 0.0);
    tarvo::applyRadialCorrections(table_, parameters_.radial, t, settings_.dataSet);
}

void DataSetRun::leaveFrame()
{
    const auto N = static_cast<std::size_t>(table_.layout.bodyCount);
    tarvo::rotateToJ2000(frame_, N, table_.posX.data(), table_.posY.data(), table_.posZ.data());
    tarvo::rotateToJ2000(frame_, N, table_.velX.data(), table_.velY.data(), table_.velZ.data());
}

bool DataSetRun::advanceTo(long double t, std::string& message)
{
    const long double renewal = settings_.frameRenewalDays;
    while (run_.state.direction * (t - run_.state.epoch) > 1e-9L) {
        long double next = t;
        if (renewal > 0) {
            const long double frameEnd = frame_.epoch + run_.state.direction * renewal;
            if (run_.state.direction * (frameEnd - t) < 0) next = frameEnd;
        }
        if (!integrateTo(table_, run_, next, nominalStep_, message)) return false;
        if (renewal > 0 && next != t) {
            leaveFrame();
            enterFrame(run_.state.epoch);
        }
    }
    return true;
}

BodyState DataSetRun::stateJ2000(int i) const
{
    std::array<long double, 3> r = {table_.posX[i], table_.posY[i], table_.posZ[i]};
    std::array<long double, 3> v = trueVelocity(table_, run_.state, i);
    const bool geocentric = tarvo::isStoredGeocentric(table_, i, false);
    if (!geocentric) {
        const auto v0 = trueVelocity(table_, run_.state, 0);
        for (int k = 0; k < 3; ++k) {
            r[k] -= (k == 0 ? table_.posX[0] : k == 1 ? table_.posY[0] : table_.posZ[0]);
            v[k] -= v0[k];
        }
    }
    tarvo::rotateToJ2000(frame_, r);
    tarvo::rotateToJ2000(frame_, v);
    BodyState s;
    s.position = r;
    for (int k = 0; k < 3; ++k) s.velocity[k] = v[k] / tarvo::kmPerSecondToGmPerDay;
    return s;
}

}  // namespace datasets
