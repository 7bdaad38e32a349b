// An extended value held as the exact sum of two doubles, for work arrays
// that are written often: an x87 store of an 80-bit value costs some 15
// cycles on current processors, two double stores one each.
#pragma once

namespace tarvo {

// Every 80-bit value v splits exactly: hi = v rounded to double, lo = v - hi
// (at most 11 significant bits, exact in both formats), and hi + lo gives v
// back bit for bit (for |v| between 1e-290 and 1e308, far beyond any value
// of the integrator). hi is also v rounded to double, so a double copy of v
// is hi itself. The arithmetic on these values stays extended.
inline void splitExtended(long double v, double& hi, double& lo) {
  // hi is read back from memory: kept in a register it would live in an SSE
  // register (where doubles live), reached from the x87 one through a stack
  // slot, twice the memory traffic of the integrator's innermost loops.
  hi = static_cast<double>(v);
  lo = static_cast<double>(v - *static_cast<volatile double*>(&hi));
}

// v held as the pair (hi, lo).
struct SplitExtended {
  double hi = 0.0;
  double lo = 0.0;
  long double value() const { return static_cast<long double>(hi) + lo; }
  void set(long double v) { splitExtended(v, hi, lo); }
};

}  // namespace tarvo
