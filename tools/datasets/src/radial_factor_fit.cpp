#include "datasets/radial_factor_fit.h"

#include <cmath>

#include "datasets/data_set_run.h"
#include "longitude_drift.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/planetary_library.h"

namespace datasets {
namespace {

using Vec = std::array<long double, 3>;

constexpr long double kSampleDays = 30;  // a whole number of 3- and 5-day steps

long double dot(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

bool isFitted(const BodyEntry& b)
{
    return b.kind == BodyKind::earth || b.kind == BodyKind::earthMoonBarycentre || b.kind == BodyKind::moon ||
           (b.kind == BodyKind::planet && b.jplNumber >= 1 && b.jplNumber <= 4);
}

struct Sensitivity {
    long double meanMotion = 0;  // rad/day
    long double k = 2;           // d(ln n)/d(eps)
    long double distanceGm = 0;  // mean distance, for km/yr figures
};

// For the Moon `sunMass` is the Earth's mass and the sensitivity is that of
// the mean motion to a relative change of the speed: -3 v^2 / X.
Sensitivity sensitivityOf(const BodyState& s, long double mass, long double sunMass, bool speed)
{
    const long double gm = tarvo::gravitationalConstant * (sunMass + mass);
    const long double r = std::sqrt(dot(s.position, s.position));
    long double v2 = 0;
    for (long double v : s.velocity) v2 += (v * tarvo::kmPerSecondToGmPerDay) * (v * tarvo::kmPerSecondToGmPerDay);
    const long double X = 2 * gm / r - v2;
    Sensitivity out;
    const long double a = gm / X;
    out.meanMotion = std::sqrt(gm / (a * a * a));
    out.k = speed ? -3 * v2 / X : 3 * gm / (r * X) - 1;
    out.distanceGm = a;
    return out;
}

}  // namespace

bool fitRadialFactors(DataSetContents& contents, PlanetarySource& source, const RadialFitSettings& settings,
                      RadialFitReport& report, std::string& message)
{
    report = RadialFitReport{};
    if (settings.years <= 0 || contents.epochs.empty()) return true;
    std::vector<std::size_t> fitted;
    int moonBlock = -1, earthBlock = -1;
    for (std::size_t b = 0; b < contents.blocks.size(); ++b) {
        if (isFitted(contents.blocks[b])) fitted.push_back(b);
        if (contents.blocks[b].kind == BodyKind::moon) moonBlock = static_cast<int>(b);
        if (contents.blocks[b].kind == BodyKind::earth) earthBlock = static_cast<int>(b);
    }
    // Starting records, and the direction that keeps each run inside the ephemeris.
    const long double span = settings.years * 365.25L + kSampleDays;
    struct Start {
        std::size_t record;
        int direction;
    };
    std::vector<Start> starts;
    const std::size_t centre = tarvo::nearestRecord(contents.epochs, 0);
    for (long double offset : settings.startOffsets) {
        const std::size_t r = tarvo::nearestRecord(contents.epochs, contents.epochs[centre] + offset);
        const long double t = contents.epochs[r];
        const int direction = t + span <= source.lastDay() ? +1 : -1;
        if (direction < 0 && t - span < source.firstDay()) continue;  // the ephemeris is too short
        starts.push_back({r, direction});
    }
    if (starts.empty()) return true;

    std::vector<Sensitivity> sens(fitted.size());
    double moonSpeedFactor = 1;
    for (int iteration = 0; iteration <= settings.iterations; ++iteration) {
        std::vector<long double> meanDrift(fitted.size(), 0), meanRate(fitted.size(), 0);
        for (const Start& s : starts) {
            std::vector<long double> drifts;
            if (!driftsOfOneRun(contents, s.record, s.direction, settings.years, kSampleDays, fitted, source, drifts,
                                message))
                return false;
            for (std::size_t f = 0; f < fitted.size(); ++f) {
                const std::size_t b = fitted[f];
                const bool moon = contents.blocks[b].kind == BodyKind::moon;
                sens[f] = sensitivityOf(contents.states[s.record][b], contents.masses[b],
                                        moon ? contents.masses[earthBlock] : contents.sunMass, moon);
                // Runs backward see the drift with the sign of time reversed.
                const long double drift = s.direction * drifts[f];
                meanDrift[f] += drift / starts.size();
                meanRate[f] += sens[f].k * sens[f].meanMotion / starts.size();
            }
        }
        auto kmPerYear = [&](std::size_t f) {
            return static_cast<double>(meanDrift[f] * 365.25L * sens[f].distanceGm * 1e6L);
        };
        if (iteration == 0)
            for (std::size_t f = 0; f < fitted.size(); ++f) {
                report.bodies.push_back(contents.blocks[fitted[f]].name);
                report.initialDriftKmPerYear.push_back(kmPerYear(f));
            }
        if (iteration == settings.iterations) {
            for (std::size_t f = 0; f < fitted.size(); ++f) {
                report.finalDriftKmPerYear.push_back(kmPerYear(f));
                report.factors.push_back(contents.blocks[fitted[f]].kind == BodyKind::moon ? moonSpeedFactor
                                                                                            : contents.relFactors[fitted[f]]);
            }
            break;
        }
        for (std::size_t f = 0; f < fitted.size(); ++f) {
            const long double change = -meanDrift[f] / meanRate[f];
            if (contents.blocks[fitted[f]].kind != BodyKind::moon) {
                contents.relFactors[fitted[f]] += static_cast<double>(change);
                continue;
            }
            // The Moon keeps the Earth's factor; its speed at every record takes the change.
            moonSpeedFactor *= 1 + static_cast<double>(change);
            for (auto& record : contents.states)
                for (long double& v : record[fitted[f]].velocity) v *= 1 + change;
        }
        if (moonBlock >= 0 && earthBlock >= 0) contents.relFactors[moonBlock] = contents.relFactors[earthBlock];
    }
    return true;
}

}  // namespace datasets
