// Clones of a fitted orbit: parameter sets drawn at random from the
// covariance of the fit (a Cholesky factor times Gaussian deviates), and the
// program's own generator of uniform and Gaussian deviates.
#pragma once

#include "fitra/fit_outputs.h"

#include <cstdint>
#include <vector>

namespace fitra {

// Uniform deviates in (0, 1): two-term multiplicative recurrence modulo
// 2^31 - 1 with a shuffle table of 97 entries, in exact 64-bit integers.
class UniformGenerator {
  public:
    // `seed` in [1, 2^31 - 2] starts the recurrence (the program seeds it
    // from the clock).
    explicit UniformGenerator(std::uint64_t seed);
    double next();

  private:
    std::uint64_t step();
    std::uint64_t x1_ = 0, x2_ = 0, y_ = 0;
    std::uint64_t table_[97] = {};
};

// Normal deviates by the polar method; the second deviate of a pair is kept
// for the next call.
class GaussianDeviate {
  public:
    explicit GaussianDeviate(UniformGenerator& uniform) : uniform_(uniform) {}
    double next(double sigma);

  private:
    UniformGenerator& uniform_;
    bool haveKept_ = false;
    double kept_ = 0;
};

// Lower Cholesky factor of the covariance of the active slots (indices as
// the slots). False when the matrix is not positive definite.
bool choleskyFactor(const std::array<bool, kSlotCount + 1>& active, const SlotMatrix& covariance,
                    SlotMatrix& lower);

// `count` clones: the nominal values plus L z, z standard deviates.
std::vector<SlotVector> drawClones(const ParameterSlots& nominal, const SlotMatrix& lower,
                                   int count, GaussianDeviate& gauss);

// Clones.TVX: the epoch and one body record per clone ("CLONEnnnnn").
bool writeClonesFile(const std::filesystem::path& file, const FitDynamics& dynamics,
                     const ParameterSlots& nominal, const std::vector<SlotVector>& clones,
                     const FitraSettings& settings, std::string& message);

} // namespace fitra
