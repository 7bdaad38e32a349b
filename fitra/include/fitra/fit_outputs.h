// The files a fit writes after its iterations: the covariance and
// correlation matrix (CovMat.DAT, CovarExt.dat), the residuals (RESID.DAT),
// the computed positions as a positions file (CALCD.DAT), and the state
// files the main program starts from (BESTPOS.TVX, BESTELE.TVX, the
// exported stem + "X.TVX"). Every file is written whole through a
// temporary name.
#pragma once

#include "fitra/least_squares.h"

#include <filesystem>
#include <string>

namespace fitra {

// CovMat.DAT and CovarExt.dat texts (CR LF) from N^-1 and the unit-weight scale s.
std::string formatCovarianceMatrix(const ParameterSlots& slots, const SlotMatrix& inverse,
                                   long double s, const FitraSettings& settings, bool extended);

struct ResidualSummary {
    long double rmsDistance = 0;                     // Gm
    long double rmsRa = 0, rmsDec = 0, rmsAngle = 0; // arcseconds, observations in the fit
    std::size_t used = 0;
};

// RESID.DAT text; the RA residual ends in column 58 and the Dec residual in 68.
std::string formatResiduals(const FitObservations& obs, const IterationResult& run,
                            const FitraSettings& settings, ResidualSummary& summary);

// CALCD.DAT: the computed angles as a positions file.
std::string formatCalculatedPositions(const PositionsFile& file, const FitObservations& obs,
                                      const IterationResult& run, const FitraSettings& settings);

// One body as a minor-body state file: heliocentric position (Gm) and
// velocity (km/s), J2000 equator, at the Julian date `jd` (TT).
bool writeBodyStateFile(const std::filesystem::path& file, long double jd, const Vector3& position,
                        const Vector3& velocity, const std::array<long double, 3>& nonGrav,
                        bool satellite, const std::string& name, std::string& message);

// The fitted body at `t` (days from J2000, TT), integrated from the
// starting epoch with the current slots (GoTo; LAST1.TVX).
bool writeStateAtEpoch(const std::filesystem::path& file, const FitDynamics& dynamics,
                       const ParameterSlots& slots, const FitraSettings& settings, long double t,
                       const std::string& name, std::string& message);

// The fitted body at the starting epoch as a minor-body state file.
bool writeFittedStateFile(const std::filesystem::path& file, const FitDynamics& dynamics,
                          const ParameterSlots& slots, const FitraSettings& settings,
                          const std::string& name, std::string& message);

// The block ORBIT.LOG receives for one iteration: σ and its change, the
// state or elements (`initial` gives the change since the start), formal
// errors and increments, then the mass and the other fitted slots.
std::string formatOrbitLogEntry(int iteration, long double sigma, long double dSigma,
                                const ParameterSlots& slots, const SlotVector& initial,
                                const IterationResult& run, const FitraSettings& settings);

// Writes CovMat.DAT, CovarExt.dat, RESID.DAT, CALCD.DAT and, when σ
// improved, BESTPOS.TVX (BESTELE.TVX for a Keplerian fit) into `dir`.
bool writeIterationFiles(const std::filesystem::path& dir, const PositionsFile& file,
                         const FitObservations& obs, const IterationResult& run,
                         const ParameterSlots& slotsAfter, const FitDynamics& dynamics,
                         const FitraSettings& settings, ResidualSummary& summary,
                         std::string& message);

} // namespace fitra
