// The importer of AstDys observation files (.rwo): optical observations
// with their standard deviations, catalogue biases and residuals, and the
// radar section. Writes stem + ".POS", stem + ".MAG" and MILRESID.DAT (the
// published residuals, each line prefixed with the line of its observation
// in the positions file) beside the input, and stem + ".TP2" (the sorted
// observation lines). Observations and residuals are sorted together by
// date, so each residual stays with its observation.
#pragma once

#include "fitra/mpc_import.h"

namespace fitra {

struct AstDysOptions {
    bool discardPoor = false; // observations not accepted or with σ > 10" are written excluded
    int catalogBias = 1;      // 1 adds the catalogue bias, -1 subtracts it, 0 ignores it
};

ImportReport importAstDysFile(const std::filesystem::path& input, const StationTable& stations,
                              const TimeOffsetTable& timeOffsets, const AstDysOptions& options);

} // namespace fitra
