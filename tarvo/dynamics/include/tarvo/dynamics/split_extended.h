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
struct SplitExtended {
  double hi = 0.0;
  double lo = 0.0;
  long double value() const { return static_cast<long double>(hi) + lo; }
  void set(long double v) {
    hi = static_cast<double>(v);
    lo = static_cast<double>(v - hi);
  }
};

}  // namespace tarvo
