#include "longitude_drift.h"

#include <cmath>

#include "datasets/data_set_run.h"
#include "tarvo/libraries/planetary_library.h"

namespace datasets {
namespace {

using Vec = std::array<long double, 3>;

Vec cross(const Vec& a, const Vec& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
long double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

// Drift (rad/day) of each fitted block's longitude in one run.
bool driftsOfOneRun(const DataSetContents& contents, std::size_t record, int direction, double years,
                    long double sampleDays, const std::vector<std::size_t>& fitted, PlanetarySource& source,
                    std::vector<long double>& drifts, std::string& message)
{
    DataSetRun run;
    RunSettings settings;
    settings.dataSet = contents.dataSet;
    if (!run.startFromContents(contents, record, settings, direction, message)) return false;
    const long double t0 = run.recordEpoch();
    const int samples = static_cast<int>(years * 365.25 / static_cast<double>(sampleDays));
    // Least squares of delta-lambda = alpha + beta (t - t0), per body.
    std::vector<long double> sx(fitted.size(), 0), sy(fitted.size(), 0), sxx(fitted.size(), 0),
        sxy(fitted.size(), 0);
    for (int j = 1; j <= samples; ++j) {
        const long double t = t0 + direction * j * sampleDays;
        if (!run.advanceTo(t, message)) return false;
        for (std::size_t f = 0; f < fitted.size(); ++f) {
            const std::size_t b = fitted[f];
            BodyState jpl;
            if (!source.state(contents.blocks[b], t, jpl, message)) return false;
            const BodyState mine = run.stateJ2000(tarvo::librarySlot(contents.dataSet, static_cast<int>(b + 1)));
            Vec h = cross(jpl.position, jpl.velocity);
            const long double hn = std::sqrt(dot(h, h));
            const long double dl = dot(cross(jpl.position, mine.position), h) / hn / dot(jpl.position, jpl.position);
            const long double x = t - t0;
            sx[f] += x, sy[f] += dl, sxx[f] += x * x, sxy[f] += x * dl;
        }
    }
    drifts.assign(fitted.size(), 0);
    for (std::size_t f = 0; f < fitted.size(); ++f)
        drifts[f] = (samples * sxy[f] - sx[f] * sy[f]) / (samples * sxx[f] - sx[f] * sx[f]);
    return true;
}

}  // namespace datasets
