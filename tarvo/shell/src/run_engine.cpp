#include "tarvo/shell/run_engine.h"

#include "fileio/atomic_file.h"
#include "tarvo/dynamics/collisions.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/events/collision_trap.h"
#include "tarvo/reductions/frames.h"
#include "tarvo/libraries/state_file.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include <cmath>

namespace tarvo {

namespace {

FrameOptions tableFrameOptions(const Session& s) {
    FrameOptions o;
    o.principalNutation = true;
    o.skipRotations = s.extraOptions.skipRotations != 0;
    return o;
}

void rotateTable(BodyTable& t, const FrameState& frame, bool toDate) {
    const std::size_t last = static_cast<std::size_t>(t.layout.bodyCount);
    if (toDate) {
        rotateToDate(frame, 0, last, t.posX.data(), t.posY.data(), t.posZ.data());
        rotateToDate(frame, 0, last, t.velX.data(), t.velY.data(), t.velZ.data());
    } else {
        rotateToJ2000(frame, last, t.posX.data(), t.posY.data(), t.posZ.data());
        rotateToJ2000(frame, last, t.velX.data(), t.velY.data(), t.velZ.data());
    }
}

} // namespace

double tidalFactorFor(double tidalValue, int dataSet) {
    if (tidalValue == 0) return 0;
    const double reference = (dataSet >= 7 && dataSet <= 9) ? 25.83 : 25.82;
    return (tidalValue - reference) / reference;
}

bool RunEngine::scan(int dataSet, std::string& message) {
    const DataSetFiles files = dataSetFiles(s.dirs.bin, s.dirs.asc, dataSet);
    if (files.library.empty()) {
        message = "Unknown data set " + std::to_string(dataSet);
        return false;
    }
    EpochTable table;
    if (!scanLibrary(files.library, table, message)) return false;
    epochs = table;
    return true;
}

bool RunEngine::loadMajorBodies(int dataSet, long double target, std::string& message) {
    DataSetParameters newParameters;
    if (!loadParameters(s.dirs.asc, dataSet, newParameters, message)) return false;
    BodyTable& t = s.bodies;
    const DataSetFiles files = dataSetFiles(s.dirs.bin, s.dirs.asc, dataSet);
    const DataSetLayoutResult layout = dataSetLayout(dataSet, t.maxBodies);
    if (!layout.ok) {
        message = "Unknown data set " + std::to_string(dataSet);
        return false;
    }
    const BodyLayout before = t.layout;
    t.layout = layout.layout;
    DataSetLoad load =
        loadDataSet(files, dataSet, target, false, s.extraOptions.tidalValue != 0, t);
    if (!load.ok) {
        t.layout = before;
        message = load.message;
        return false;
    }
    parameters = newParameters;
    recordEpoch = load.recordEpoch;
    t.layout.bodyCount = load.bodiesPerRecord;
    for (int i = 0; i <= t.layout.bodyCount; ++i) {
        t.massField[i] = 0;
        t.objectNumber[i] = -i;
    }
    prepareIntegration(dataSet, recordEpoch, 0);
    sources.clear();
    sources.record(t, 0, t.layout.bodyCount, files.library.string());
    return true;
}

bool RunEngine::loadFullFile(const std::filesystem::path& file, int dataSet, std::string& message) {
    DataSetParameters newParameters;
    if (!loadParameters(s.dirs.asc, dataSet, newParameters, message)) return false;
    StateLoadSettings settings;
    settings.kind = StateFileKind::Full;
    settings.dataSet = dataSet;
    settings.firstIndex = 0;
    settings.extraOptionY = s.extraOptions.yarkovsky != 0;
    settings.astronomicalUnit = newParameters.force.astronomicalUnit;
    settings.nonGravAlpha = s.nonGravLaw.alpha;
    StateLoadResult loaded = loadStateFile(file, settings, s.bodies);
    if (!loaded.ok) {
        message = loaded.message;
        return false;
    }
    if (loaded.earthMissing) s.toggles.geocentric = 0;
    parameters = newParameters;
    recordEpoch = loaded.epoch;
    prepareIntegration(dataSet, loaded.epoch, static_cast<long double>(loaded.nominalStep));
    s.integration.fullFileMode = true;
    coloursInUse = loaded.colourCodes;
    sources.clear();
    sources.record(s.bodies, 0, s.bodies.layout.bodyCount, file.string());
    return true;
}

void RunEngine::prepareIntegration(int dataSet, long double epoch, long double filesNominalStep) {
    BodyTable& t = s.bodies;
    for (int i = 0; i <= t.layout.bodyCount; ++i) {
        t.relFactorBase[i] = t.relFactor[i];
        // Velocities of the files are km/s; the integration starts from Gm/day.
        t.velX[i] *= kmPerSecondToGmPerDay;
        t.velY[i] *= kmPerSecondToGmPerDay;
        t.velZ[i] *= kmPerSecondToGmPerDay;
    }
    IntegrationState& st = s.integration;
    st.dataSet = dataSet;
    st.epoch = epoch;
    st.satelliteMode = dataSet == 10;
    st.fullFileMode = false;
    st.direction = 1;
    st.derived = deriveConstants(t);
    model = ForceModel{};
    model.coefficients = parameters.force;
    // The g(r) law of the non-gravitational forces, as FITRA.CFG gives it.
    const NonGravLawParameters& law = s.nonGravLaw;
    model.coefficients.gr0 = law.r0;
    model.coefficients.grM = law.m;
    model.coefficients.grB = law.scaleExponent;
    model.coefficients.grN = law.n;
    model.coefficients.grK = law.k;
    integrator = Integrator{};
    perihelionStepLimit_ = false;
    coloursInUse = false;
    smallestStep = 0;
    checkpointError.clear();

    // Nominal step: 3 days; 5 days at order 8 for the planets-only sets; a
    // full file's own step; the command-line switch overrides.
    st.nominalStep = 3.0L;
    if (dataSet == 4 || dataSet == 5 || dataSet == 9) {
        st.nominalStep = 5.0L;
        s.extraOptions.integrationOrder = 1;
    }
    if (filesNominalStep > 0 && std::isfinite(static_cast<double>(filesNominalStep)))
        st.nominalStep = filesNominalStep;
    if (s.commandLine.integratorSwitch > 0)
        st.nominalStep = 2.0L / static_cast<long double>(1 << (s.commandLine.integratorSwitch - 1));
    applyOptions();
    st.step = st.nominalStep;
    s.frame = FrameState{};
    renewFrame(st.epoch);
    beginIntegration(t, st, 1);
    lastCheckpoint_ = -1e300;
    checkpoints_ = 0;
    eventCopies_ = 0;
    st.collisionEvent = false;
}

namespace {

// FINSTAT.TVF copied to `name` through a temporary file: whole or absent.
std::string copyCheckpoint(const std::filesystem::path& here, const char* name) {
    std::string message;
    std::ifstream in(here / "FINSTAT.TVF", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in || !writeFileAtomically(here / name, text.str(), message))
        return message.empty() ? std::string("cannot copy FINSTAT.TVF to ") + name : message;
    return "";
}

} // namespace

std::string RunEngine::conservationLine() const {
    const IntegrationState& st = s.integration;
    SunFigure figure;
    if (st.options.extendedModel) {
        figure.K = model.coefficients.sunJ2Factor;
        figure.pole = model.frame.sunPole;
    }
    ConservationQuantities q =
        conservationQuantities(s.bodies, st, s.extraOptions.minorPerturb != 0, figure);
    // Vectors in the J2000 equator: the frame of date turns at every renewal.
    rotateToJ2000(s.frame, q.barycentre);
    rotateToJ2000(s.frame, q.angularMomentum);
    rotateToJ2000(s.frame, q.momentum);
    return conservationLogLine(st.epoch, q);
}

std::string RunEngine::checkpointIfDue() {
    using namespace std::chrono;
    const double now = duration<double>(steady_clock::now().time_since_epoch()).count();
    const bool event = s.integration.collisionEvent;
    if (!event && now - lastCheckpoint_ <= s.checkpointSeconds) return "";
    lastCheckpoint_ = now;
    ++checkpoints_;
    std::string message;
    const auto here = std::filesystem::current_path();
    if (!writeCheckpointFiles(here, snapshot(), static_cast<double>(s.integration.step), message))
        return message;
    {
        std::ofstream log(here / "ENERMOM.LOG", std::ios::binary | std::ios::app);
        log << conservationLine() << "\r\n";
        if (!log) return "cannot write ENERMOM.LOG";
    }
    if (checkpoints_ % 24 == 0 && checkpoints_ < 24000) {
        char name[32];
        std::snprintf(name, sizeof name, "FINAL%03d.TVF", checkpoints_ / 24);
        if (std::string e = copyCheckpoint(here, name); !e.empty()) return e;
    }
    if (event) {
        // The state just after a collision or ejection is kept.
        s.integration.collisionEvent = false;
        char name[32];
        std::snprintf(name, sizeof name, "EJEC%04d.TVF", ++eventCopies_ % 10000);
        if (std::string e = copyCheckpoint(here, name); !e.empty()) return e;
    }
    return "";
}

void RunEngine::afterStep(const IntegrateResult& step, bool nominal) {
    if (nominal && step.smallestStep > 0 && (smallestStep == 0 || step.smallestStep < smallestStep))
        smallestStep = step.smallestStep;
    if (checkpointsSuspended) return;
    const std::string error = checkpointIfDue();
    if (!error.empty() && checkpointError.empty()) checkpointError = error;
}

void RunEngine::limitStepForPerihelion() {
    perihelionStepLimit_ = true;
    IntegrationState& st = s.integration;
    if (s.commandLine.integratorSwitch == 0 && st.nominalStep > 2.0L) {
        st.previousStep = st.step;
        st.nominalStep = 2.0L;
        st.step = 2.0L;
        rescaleStep(s.bodies, st);
    }
    applyOptions();
}

void RunEngine::applyOptions() {
    const ExtraOptions& x = s.extraOptions;
    IntegrationState& st = s.integration;
    ForceOptions& o = st.options;
    o.tidalFactor = tidalFactorFor(x.tidalValue, st.dataSet);
    o.minorPerturb = x.minorPerturb != 0;
    o.relativityMinor = x.relativityMinor != 0;
    o.extendedModel = x.pureNewtonian == 0;
    o.solarMassLoss = x.solarMassLoss != 0;
    o.extendedAccumulation = x.extendedPrecision != 0;
    o.nonGravMode = x.yarkovsky ? NonGravLaw::yarkovsky : NonGravLaw::marsden;
    o.asymmetricModel = x.asymmetricModel != 0;
    o.singleImpulse = x.singleImpulse != 0;
    st.orderCode = orderCodeFromOption(x.integrationOrder);
    if ((s.commandLine.integratorSwitch > 0 || perihelionStepLimit_) && st.orderCode < 7)
        st.orderCode = 7;
    st.adaptive = s.toggles.adaptiveStep != 0 || x.trapCollisions != 0;
}

void RunEngine::renewFrame(long double t) {
    BodyTable& table = s.bodies;
    rotateTable(table, s.frame, false);
    computeFrame(s.frame, t, tableFrameOptions(s), s.precessionTable);
    rotateTable(table, s.frame, true);
    model.frame.cosObliquity = s.frame.obliquity.cos;
    model.frame.sinObliquity = s.frame.obliquity.sin;
    model.frame.sunPole = s.frame.sunPole;
    updateTimeDependentCoefficients(model.coefficients, t, s.integration.options.tidalFactor);
    applyRadialCorrections(table, parameters.radial, t, s.integration.dataSet,
                           s.integration.satelliteMode);
}

IntegrateResult RunEngine::nominalStep() {
    if (std::fabs(s.integration.epoch - s.frame.epoch) >= kFrameRenewalDays)
        renewFrame(s.integration.epoch);
    return withSources(advanceNominalStep(s.bodies, s.integration, model, integrator));
}

IntegrateResult RunEngine::withSources(IntegrateResult result) const {
    if (result.status != IntegrateStatus::ok)
        result.message += sources.note(s.bodies, result.faultBody, result.nearestBody);
    return result;
}

IntegrateResult RunEngine::advance(long double days) {
    IntegrationState& st = s.integration;
    const long double nominal = st.nominalStep;
    const long double step = st.step;
    st.previousStep = st.step;
    st.nominalStep = days;
    st.step = days;
    rescaleStep(s.bodies, st);
    IntegrateResult r = advanceNominalStep(s.bodies, st, model, integrator);
    st.previousStep = st.step;
    st.nominalStep = nominal;
    st.step = step;
    rescaleStep(s.bodies, st);
    return withSources(r);
}

void RunEngine::reverse() {
    reverseDirection(s.bodies, s.integration);
}

std::array<long double, 3> RunEngine::heliocentricJ2000(int i) const {
    std::array<long double, 3> p = heliocentricPosition(s.bodies, i, s.integration.satelliteMode);
    rotateToJ2000(s.frame, p);
    return p;
}

RunSnapshot RunEngine::snapshot() const {
    const FrameState frame = s.frame;
    VectorRotation toJ2000;
    if (!s.extraOptions.skipRotations)
        toJ2000 = [frame](const std::array<long double, 3>& v) {
            std::array<long double, 3> w = v;
            rotateToJ2000(frame, w);
            return w;
        };
    const IntegrationState& st = s.integration;
    RunSnapshot run = snapshotOfTable(
        s.bodies, st.epoch + 2451545.0L, static_cast<double>(st.nominalStep), st.step, st.direction,
        st.satelliteMode, model.coefficients.astronomicalUnit, toJ2000);
    run.coloursInUse = coloursInUse;
    run.impulseOption = s.extraOptions.singleImpulse != 0;
    run.asymmetricOption = s.extraOptions.asymmetricModel != 0;
    return run;
}

} // namespace tarvo
