// The FMA version of sunPull. This file alone is compiled for AVX2 and FMA
// (with contraction off, so that only the error terms are fused); it is
// called only where the processor has both.
#include "sun_pull.h"

#include "sun_pull_kernel.h"

namespace tarvo::detail {

void sunPullFused(const SunPullInput& in, int count) { sunPullWith<FusedProduct>(in, count); }

}  // namespace tarvo::detail
