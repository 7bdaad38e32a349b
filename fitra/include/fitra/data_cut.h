// Cut Bad Data and Restore Data: a new positions file in which the
// observations whose residuals (RESID.DAT) exceed the thresholds are
// marked excluded ("-" in front), or in which excluded observations whose
// residuals are both below them are taken back. The input file is never
// written: a new name equal to the input's is refused.
#pragma once

#include <filesystem>
#include <string>

namespace fitra {

struct CutRequest {
    std::filesystem::path positions;          // the current positions file
    std::filesystem::path residuals;          // RESID.DAT of its last nominal run
    std::filesystem::path output;             // the new positions file
    double raThreshold = 1, decThreshold = 1; // arcseconds, or sigmas
    bool sigmas = false;  // divide each residual by the observation's standard deviation
    bool restore = false; // Restore Data instead of Cut Bad Data
};

struct CutOutcome {
    bool ok = false;
    std::string message;
    std::size_t changed = 0; // lines marked (Cut) or taken back (Restore)
};

// A threshold answer of 0, less, or no number is taken as 1.
double thresholdAnswer(double answer);

CutOutcome cutBadData(const CutRequest& request);

} // namespace fitra
