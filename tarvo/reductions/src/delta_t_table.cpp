// makeDeltaTTable, observedDeltaTSeconds, deltaTAutoSeconds (with a table):
// the observed ΔT and its joins to the polynomials.
//
// Given:    the observed values (DELTAT.TAB), a Julian epoch y
// Returned: ΔT in seconds
// Notes:    inside the table a cubic Hermite piece between neighbouring
//           values with the slopes of makeDeltaTTable: it passes through
//           every value, value and rate continuous.  Beyond each end, over
//           40 years, a cubic Hermite bridge from the table's end value and
//           slope to the polynomials' value and rate 40 years out; from there
//           on the polynomials of deltaTAutoSeconds unchanged.  The length
//           keeps the bridge's rate near the observed one for the first
//           years (the 2020-2050 polynomial runs 3 s above the observations
//           of 2023 and rises at 0.6 s a year).  The polynomials' rate is
//           taken on the side that continues outward, so a branch boundary
//           at the bridge's end does not bend it.

#include "tarvo/reductions/delta_t_table.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>

namespace tarvo {

namespace {

// Least-squares slope of the samples [first, first + count).
double endSlope(const std::vector<double>& x, const std::vector<double>& y, std::size_t first,
                std::size_t count) {
    double mx = 0, my = 0;
    for (std::size_t k = first; k < first + count; ++k) mx += x[k], my += y[k];
    mx /= static_cast<double>(count), my /= static_cast<double>(count);
    double sxy = 0, sxx = 0;
    for (std::size_t k = first; k < first + count; ++k) {
        sxy += (x[k] - mx) * (y[k] - my);
        sxx += (x[k] - mx) * (x[k] - mx);
    }
    return sxx > 0 ? sxy / sxx : 0.0;
}

// Cubic Hermite through (x0, y0, d0) and (x1, y1, d1) at x.
double hermite(double x0, double y0, double d0, double x1, double y1, double d1, double x) {
    const double h = x1 - x0, s = (x - x0) / h;
    const double s2 = s * s, s3 = s2 * s;
    return (2 * s3 - 3 * s2 + 1) * y0 + (s3 - 2 * s2 + s) * h * d0 + (-2 * s3 + 3 * s2) * y1 +
           (s3 - s2) * h * d1;
}

constexpr double kRateStepYears = 1e-4;

} // namespace

DeltaTTable makeDeltaTTable(std::vector<DeltaTSample> samples) {
    DeltaTTable t;
    const std::size_t n = samples.size();
    if (n < 4) return t;
    for (const DeltaTSample& s : samples) t.years.push_back(s.year), t.seconds.push_back(s.seconds);
    t.rates.resize(n);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double h0 = t.years[i] - t.years[i - 1], h1 = t.years[i + 1] - t.years[i];
        const double s0 = (t.seconds[i] - t.seconds[i - 1]) / h0;
        const double s1 = (t.seconds[i + 1] - t.seconds[i]) / h1;
        t.rates[i] = (h0 * s1 + h1 * s0) / (h0 + h1);
    }
    const std::size_t end = std::min<std::size_t>(5, n);
    t.rates.front() = endSlope(t.years, t.seconds, 0, end);
    t.rates.back() = endSlope(t.years, t.seconds, n - end, end);
    t.earlyYear = t.years.front() - kDeltaTBridgeYears;
    t.earlySeconds = deltaTAutoSeconds(t.earlyYear);
    t.earlyRate =
        (t.earlySeconds - deltaTAutoSeconds(t.earlyYear - kRateStepYears)) / kRateStepYears;
    t.lateYear = t.years.back() + kDeltaTBridgeYears;
    t.lateSeconds = deltaTAutoSeconds(t.lateYear);
    t.lateRate = (deltaTAutoSeconds(t.lateYear + kRateStepYears) - t.lateSeconds) / kRateStepYears;
    return t;
}

std::optional<double> observedDeltaTSeconds(const DeltaTTable& t, double y) {
    if (t.empty() || !(y >= t.earlyYear && y <= t.lateYear)) return std::nullopt;
    if (y < t.firstYear())
        return hermite(t.earlyYear, t.earlySeconds, t.earlyRate, t.firstYear(), t.seconds.front(),
                       t.rates.front(), y);
    if (y > t.lastYear())
        return hermite(t.lastYear(), t.seconds.back(), t.rates.back(), t.lateYear, t.lateSeconds,
                       t.lateRate, y);
    const auto upper = std::upper_bound(t.years.begin(), t.years.end(), y);
    const std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(upper - t.years.begin()),
                                                t.years.size() - 1);
    const std::size_t k = i - 1;
    return hermite(t.years[k], t.seconds[k], t.rates[k], t.years[i], t.seconds[i], t.rates[i], y);
}

double deltaTAutoSeconds(double year, const DeltaTTable* table) {
    if (table) {
        if (const auto observed = observedDeltaTSeconds(*table, year)) return *observed;
    }
    return deltaTAutoSeconds(year);
}

} // namespace tarvo
