// reductionModelLabel, effectiveReductionModel: which model reduces the
// display copies, and its name in headers.
#include "tarvo/reductions/iau_reductions.h"
#include "tarvo/reductions/time_scales.h"

#include <cmath>

namespace tarvo {

std::string_view reductionModelLabel(ReductionModel model) {
    return model == ReductionModel::iau2006 ? "IAU 2006/2000A" : "1980 nutation";
}

ReductionModel effectiveReductionModel(ReductionModel chosen, long double t) {
    // The IAU 2006 polynomials and the nutation series are meant for a few
    // thousand years about J2000; the 1980 model continues with the
    // long-term precession from 2 millennia on.
    constexpr long double kLimitDays = 2.0L * kDaysPerJulianMillennium;
    if (chosen == ReductionModel::iau2006 && std::fabs(t) < kLimitDays)
        return ReductionModel::iau2006;
    return ReductionModel::nutation1980;
}

} // namespace tarvo
