#include "jpl/chebyshev.h"

namespace jpl {

void evaluateChebyshev(const double* coefficients, int count, long double x, long double& value,
                       long double& derivative)
{
    // T0 = 1, T1 = x, Tk = 2x T(k-1) - T(k-2); the derivatives follow from
    // dTk/dx = 2 T(k-1) + 2x dT(k-1)/dx - dT(k-2)/dx.
    long double tPrevious = 1.0L, t = x;
    long double dPrevious = 0.0L, d = 1.0L;
    value = coefficients[0];
    derivative = 0.0L;
    if (count < 2) return;
    value += coefficients[1] * t;
    derivative += coefficients[1] * d;
    const long double twoX = 2.0L * x;
    for (int k = 2; k < count; ++k) {
        const long double tNext = twoX * t - tPrevious;
        const long double dNext = twoX * d + 2.0L * t - dPrevious;
        tPrevious = t;
        t = tNext;
        dPrevious = d;
        d = dNext;
        value += coefficients[k] * t;
        derivative += coefficients[k] * d;
    }
}

}  // namespace jpl
