// parseTabStep: the answer of the tabulation-step prompt, "dd.hhmmss".
//
// Given:    answer  the typed line (Enter alone: 1 day)
// Returned: the step in days, or nothing when the step is zero or negative
// Notes:    d = FIX(x); f1 = Q(x - d, 9)·100, h = FIX(f1); f2 = Q(f1 - h, 7)·100,
//           m = FIX(f2); s = Q(f2 - m, 5)·100; step = d + h/24 + m/1440 +
//           s/86400, Q(v, n) the multiple of 10^-n nearest to v, halves to
//           even.  0.0130 gives 1 h 30 min = 0.0625 day.

#include "tarvo/reductions/date_input.h"
#include "fileio/text_util.h"

#include <cmath>

namespace tarvo {

namespace {
long double nearestMultiple(long double v, int decimals) {
    const long double scale = std::pow(10.0L, decimals);
    return std::nearbyint(v * scale) / scale;
}
} // namespace

std::optional<long double> parseTabStep(std::string_view answer) {
    if (answer.find_first_not_of(" \t\r\n") == std::string_view::npos) return 1.0L;
    const long double x = readFreeNumber(answer);
    const long double d = std::trunc(x);
    const long double f1 = nearestMultiple(x - d, 9) * 100.0L;
    const long double h = std::trunc(f1);
    const long double f2 = nearestMultiple(f1 - h, 7) * 100.0L;
    const long double m = std::trunc(f2);
    const long double s = nearestMultiple(f2 - m, 5) * 100.0L;
    const long double step = d + h / 24.0L + m / 1440.0L + s / 86400.0L;
    if (!(step > 0.0L)) return std::nullopt;
    return step;
}

} // namespace tarvo
