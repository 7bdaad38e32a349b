// CFG/DELTAT.COF: the coefficients A, B, C of the Custom Delta-T mode
// (ΔT = A + B T + C T², T years from J2000.0): the quadratic through the IERS
// values of ΔT at 2000.0, 2010.0 and 2020.0.
#include "builder_output.h"

#include "tarvo/reductions/time_scales.h"

#include <fstream>
#include <stdexcept>

namespace {

builder::Registration deltat{{
    .path = "CFG/DELTAT.COF",
    .order = 10,
    .version = "1",
    .inputs = {},
    .optionKeys = {},
    .build =
        [](const builder::BuildContext&, const std::filesystem::path& target) {
            std::ofstream out(target, std::ios::binary);
            out << tarvo::formatDeltaTCoefficients(
                tarvo::kPublishedDeltaTA, tarvo::kPublishedDeltaTB, tarvo::kPublishedDeltaTC);
            if (!out.flush()) throw std::runtime_error("write failed for " + target.string());
        },
}};

} // namespace
