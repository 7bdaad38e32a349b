// The portable version of sunPull and the choice between the two.
#include "sun_pull.h"

#include "sun_pull_kernel.h"

namespace tarvo::detail {

void sunPullPortable(const SunPullInput& in, int count) { sunPullWith<SplitProduct>(in, count); }

#ifdef TARVO_FUSED_KERNELS
// Asked here, in portable code: the other file may use AVX2 anywhere.
bool sunPullFusedAvailable() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}
#else
bool sunPullFusedAvailable() { return false; }
void sunPullFused(const SunPullInput& in, int count) { sunPullPortable(in, count); }
#endif

void sunPull(const SunPullInput& in, int count) {
  static const bool fused = sunPullFusedAvailable();
  if (fused) {
    sunPullFused(in, count);
  } else {
    sunPullPortable(in, count);
  }
}

}  // namespace tarvo::detail
