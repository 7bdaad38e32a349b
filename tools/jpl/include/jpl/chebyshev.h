// Chebyshev series with their derivative.
#pragma once

namespace jpl {

// Value and derivative of a Chebyshev series.
//
// Given:
//   coefficients  c[0..count-1] of T0..T(count-1)
//   count         number of coefficients (>= 1)
//   x             normalised argument in [-1, +1]
// Returned:
//   value         sum c[k] T_k(x)
//   derivative    sum c[k] dT_k/dx (per unit of x)
//
// Notes: evaluated by the three-term recurrences in extended precision; the
// rounding error is a few units of the last place of the largest term.
// Reference: Newhall, X X, Celest. Mech. 45, 305 (1989).
void evaluateChebyshev(const double* coefficients, int count, long double x, long double& value,
                       long double& derivative);

}  // namespace jpl
