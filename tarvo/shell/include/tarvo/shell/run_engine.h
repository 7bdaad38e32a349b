// The computing side of a run, apart from its screens: loading the major
// bodies of a data set, the switches the extra options give the force model
// and the integrator, the nominal steps and the jumps between epochs, and
// the frame of date the body table is held in.
//
// The table is held in the equator and equinox of date (with the principal
// nutation term) of a frame epoch; the frame is renewed whenever the epoch
// has moved kFrameRenewalDays from it, and always at the start epoch of a
// run. With the "skip rotations" option the table stays in J2000.
#pragma once

#include "tarvo/dynamics/force_model.h"
#include "tarvo/dynamics/integrator.h"
#include "tarvo/libraries/data_set_parameters.h"
#include "tarvo/libraries/final_files.h"
#include "tarvo/shell/body_sources.h"
#include "tarvo/shell/session.h"

#include <array>
#include <cmath>
#include <string>

namespace tarvo {

inline constexpr long double kFrameRenewalDays = 100.0L;

struct RunEngine {
    explicit RunEngine(Session& session) : s(session) {}

    Session& s;
    ForceModel model;
    Integrator integrator;
    DataSetParameters parameters;
    EpochTable epochs;
    long double recordEpoch = 0; // epoch of the library record loaded, days from J2000
    // The files the bodies of the table came from: a step that fails names
    // the file of the body it names, and of the body nearest to it.
    BodySources sources;

    // Reads the data set's epoch table; false with a message naming the file.
    bool scan(int dataSet, std::string& message);

    // Loads the major bodies of `dataSet` from the record nearest `target`
    // (days from J2000, TT) and prepares the integration at that record's
    // epoch: layout, masses, derived constants, options, nominal step,
    // frame of date. False with a message; the table is then as it was.
    bool loadMajorBodies(int dataSet, long double target, std::string& message);

    // Loads a full N-body file (FINSTAT.TVF with its FINSTAT.BIN) as the whole
    // table and prepares the integration at its epoch with the force
    // constants of `dataSet`. False with a message; the table is then as it was.
    bool loadFullFile(const std::filesystem::path& file, int dataSet, std::string& message);

    // Writes the checkpoint (FINSTAT.TVF, FINSTAT.BIN, every 24th copied to
    // FINALnnn.TVF) into the working directory when more than
    // Session::checkpointSeconds (300 s) of wall-clock time have passed
    // since the last one; the first comes at the first opportunity. Returns
    // a message when writing failed. integrateTo calls it after every step.
    std::string checkpointIfDue();
    // The line of ENERMOM.LOG for the state as it stands.
    std::string conservationLine() const;
    // No checkpoints while an event search runs.
    bool checkpointsSuspended = false;
    // The first checkpoint failure since the caller last took it.
    std::string checkpointError;

    // An element file reported a perihelion inside 0.25 AU: the nominal step
    // becomes 2 days at most (unless the command-line switch set it) and
    // the order code at least 7.
    void limitStepForPerihelion();

    // Some body of the state file last read had a colour code: the final
    // files write colour codes for every body.
    bool coloursInUse = false;

    // The shortest substep the adaptive control took since the caller last
    // reset it (0: none), for the run screen's row of halvings.
    long double smallestStep = 0;

    // The extra options and display toggles as the force model and the
    // integrator see them; recomputes the order code.
    void applyOptions();

    // Integrates from the current epoch to `target` by whole nominal steps
    // and a remainder; `progress(t)` is called after every step and may
    // return false to stop there. Returns the result of the last step.
    template <class Progress> IntegrateResult integrateTo(long double target, Progress&& progress);

    // One nominal step in the current direction (renewing the frame when due).
    IntegrateResult nominalStep();

    // Renews the frame of date at epoch t: the table goes back to J2000 with
    // the old frame and forward with the new one; the force model's frame
    // quantities, time-dependent coefficients and radial factors follow.
    void renewFrame(long double t);

    // Reverses the direction of the integration.
    void reverse();

    // Heliocentric position of body i in the J2000 equator, Gm (the Moon and
    // satellites are made heliocentric too).
    std::array<long double, 3> heliocentricJ2000(int i) const;

    // The copy the final files and checkpoints are written from.
    RunSnapshot snapshot() const;

  private:
    IntegrateResult advance(long double days);
    // A failed step's message gets the files its bodies came from.
    IntegrateResult withSources(IntegrateResult result) const;
    // After every step of integrateTo: the smallest substep, the checkpoint.
    void afterStep(const IntegrateResult& step, bool nominal);
    bool perihelionStepLimit_ = false;
    // Everything after the table is filled: constants, options, frame, step
    // velocities; `filesNominalStep` (days) when the file gave one.
    void prepareIntegration(int dataSet, long double epoch, long double filesNominalStep);
    double lastCheckpoint_ = -1e300; // steady-clock seconds
    int checkpoints_ = 0;
    int eventCopies_ = 0; // EJECnnnn.TVF files written in this run
};

// The Moon's tidal factor f_tide of a typed tidal acceleration (arcsec/cy^2).
double tidalFactorFor(double tidalValue, int dataSet);

template <class Progress>
IntegrateResult RunEngine::integrateTo(long double target, Progress&& progress) {
    IntegrateResult last;
    const long double span = target - s.integration.epoch;
    if (span == 0.0L) return last;
    if ((span < 0) != (s.integration.direction < 0)) reverse();
    const long double h = s.integration.nominalStep;
    const long double whole = std::floor(std::fabs(span) / h);
    for (long double k = 0; k < whole; k += 1) {
        last = nominalStep();
        if (last.status != IntegrateStatus::ok) return last;
        afterStep(last, true);
        if (!progress(s.integration.epoch)) return last;
    }
    const long double rest = std::fabs(target - s.integration.epoch);
    if (rest > 0 && rest < h) {
        last = advance(rest);
        if (last.status == IntegrateStatus::ok) afterStep(last, false);
        progress(s.integration.epoch);
    }
    return last;
}

} // namespace tarvo
