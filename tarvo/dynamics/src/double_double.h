// Double-double arithmetic: a value held as the unevaluated sum hi + lo of
// two doubles (|lo| <= ulp(hi)/2 after normalisation), about 106 bits. Every
// step is a plain IEEE double operation or the exact error of one, so the
// same inputs give the same bits on every machine that rounds to nearest.
//
// The product's error term comes from a policy: FusedProduct (one fused
// multiply-add) or SplitProduct (Dekker's split into 26-bit halves). Both
// give the exact error a * b - fl(a * b), hence identical results; a file
// compiled for processors with FMA uses the first, a portable file the
// second. The contents sit in an unnamed namespace on purpose: each of the
// two files gets its own copy compiled for its own instruction set.
#pragma once

#include <cmath>

namespace tarvo::detail {
namespace {

struct DoubleDouble {
  double hi = 0.0;  // the value rounded to double
  double lo = 0.0;  // what rounding left, exactly
};

// a + b exactly as s + err (Knuth), for any a, b.
inline DoubleDouble twoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// a + b exactly, for |a| >= |b| (Dekker).
inline DoubleDouble fastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

struct FusedProduct {
  static double error(double a, double b, double p) { return std::fma(a, b, -p); }
};

struct SplitProduct {
  // 2^27 + 1: splits a double into two halves of 26 bits that multiply exactly.
  static constexpr double splitter = 134217729.0;
  static double error(double a, double b, double p) {
    const double ta = splitter * a, tb = splitter * b;
    const double ah = ta - (ta - a), al = a - ah;
    const double bh = tb - (tb - b), bl = b - bh;
    return ((ah * bh - p) + ah * bl + al * bh) + al * bl;
  }
};

// a - b, good to about 1e-32 of |a| + |b|: for differences that are not
// much smaller than their terms.
inline DoubleDouble subtract(DoubleDouble a, DoubleDouble b) {
  DoubleDouble s = twoSum(a.hi, -b.hi);
  s.lo += a.lo - b.lo;
  return fastTwoSum(s.hi, s.lo);
}

// a + b for terms of the same sign (no cancellation to guard against).
inline DoubleDouble addSameSign(DoubleDouble a, DoubleDouble b) {
  DoubleDouble s = twoSum(a.hi, b.hi);
  s.lo += a.lo + b.lo;
  return fastTwoSum(s.hi, s.lo);
}

// a + b for a double b.
inline DoubleDouble addDouble(DoubleDouble a, double b) {
  DoubleDouble s = twoSum(a.hi, b);
  s.lo += a.lo;
  return fastTwoSum(s.hi, s.lo);
}

template <class Product>
inline DoubleDouble multiply(DoubleDouble a, DoubleDouble b) {
  const double p = a.hi * b.hi;
  double e = Product::error(a.hi, b.hi, p);
  e += a.hi * b.lo + a.lo * b.hi;
  return fastTwoSum(p, e);
}

template <class Product>
inline DoubleDouble square(DoubleDouble a) {
  const double p = a.hi * a.hi;
  double e = Product::error(a.hi, a.hi, p);
  e += 2.0 * a.hi * a.lo;
  return fastTwoSum(p, e);
}

// 1/sqrt(a) for a > 0: the double estimate y refined by one Newton step,
// y (1 + (1 - a y^2)/2), with the residual 1 - a y^2 formed exactly enough
// that the result is good to about 1e-31.
template <class Product>
inline DoubleDouble inverseSquareRoot(DoubleDouble a) {
  const double y = 1.0 / std::sqrt(a.hi);
  const double yy = y * y;
  const double yyError = Product::error(y, y, yy);
  const double t = a.hi * yy;
  const double tError = Product::error(a.hi, yy, t) + (a.hi * yyError + a.lo * yy);
  const double residual = (1.0 - t) - tError;  // exact (Sterbenz): t is within a few ulps of 1
  return fastTwoSum(y, 0.5 * y * residual);
}

}  // namespace
}  // namespace tarvo::detail
