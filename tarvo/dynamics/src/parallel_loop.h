// Loops over body indices that run on the OpenMP threads only when asked:
// entering an OpenMP region costs synchronisation even with a false if
// clause, which would dominate the force model of a few dozen bodies.
#pragma once

namespace tarvo::detail {

template <typename Body>
inline void forEachIndex(int first, int last, bool parallel, Body&& body) {
  if (parallel) {
#pragma omp parallel for schedule(static)
    for (int i = first; i <= last; ++i) body(i);
  } else {
    for (int i = first; i <= last; ++i) body(i);
  }
}

}  // namespace tarvo::detail
