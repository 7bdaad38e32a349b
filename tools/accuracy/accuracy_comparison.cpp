#include "accuracy_comparison.h"

#include <chrono>
#include <cmath>

#include "datasets/body_catalogue.h"
#include "datasets/data_set_run.h"
#include "tarvo/libraries/planetary_library.h"

namespace accuracy {
namespace {

constexpr long double kMasPerRadian = 180.0L / 3.14159265358979323846264338327950288L * 3600.0L * 1000.0L;

using Vec = std::array<long double, 3>;

Vec minus(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

long double norm(const Vec& a) { return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]); }

long double angleBetween(const Vec& a, const Vec& b)
{
    const Vec c = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    return std::atan2(norm(c), a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
}

}  // namespace

bool compareWithEphemeris(const ComparisonSettings& settings, datasets::PlanetarySource& source,
                          ComparisonResult& result, std::string& message)
{
    const auto clockStart = std::chrono::steady_clock::now();
    datasets::DataSetRun run;
    datasets::RunSettings rs;
    rs.dataSet = settings.dataSet;
    rs.tree = settings.tree;
    rs.wantedEpoch = settings.startEpoch;
    rs.frameRenewalDays = settings.frameRenewalDays;
    rs.nominalStep = settings.nominalStep;
    rs.orderCode = settings.orderCode;
    if (!run.start(rs, settings.direction, message)) return false;
    result = ComparisonResult{};
    result.recordEpoch = run.recordEpoch();

    // The bodies of the JPL ephemeris and their places in the table.
    const std::vector<datasets::BodyEntry> blocks = datasets::dataSetBlocks(settings.dataSet);
    struct Compared {
        datasets::BodyEntry body;
        int index;
    };
    std::vector<Compared> compared;
    int earthIndex = -1;
    datasets::BodyEntry earthSpec;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        if (blocks[b].kind == datasets::BodyKind::asteroid) continue;
        const int index = tarvo::librarySlot(settings.dataSet, static_cast<int>(b + 1));
        compared.push_back({blocks[b], index});
        if (blocks[b].kind == datasets::BodyKind::earth || blocks[b].kind == datasets::BodyKind::earthMoonBarycentre) {
            earthIndex = index;
            earthSpec = blocks[b];
        }
    }

    const long double step = run.nominalStep();
    for (double years : settings.spansYears) {
        const long double steps = std::round(years * 365.25L / step);
        const long double end = run.recordEpoch() + settings.direction * steps * step;
        if (!run.advanceTo(end, message)) return false;
        SpanResult span;
        span.years = years;
        span.endEpoch = end;
        datasets::BodyState earthRun = run.stateJ2000(earthIndex), earthJpl;
        if (!source.state(earthSpec, end, earthJpl, message)) return false;
        for (const Compared& c : compared) {
            datasets::BodyState jpl;
            if (!source.state(c.body, end, jpl, message)) return false;
            const datasets::BodyState mine = run.stateJ2000(c.index);
            BodyDifference d;
            d.name = c.body.name;
            d.positionKm = static_cast<double>(norm(minus(mine.position, jpl.position)) * 1e6L);
            if (c.body.kind == datasets::BodyKind::moon) {
                d.geocentricMas = static_cast<double>(angleBetween(mine.position, jpl.position) * kMasPerRadian);
            } else if (c.index != earthIndex) {
                d.geocentricMas = static_cast<double>(
                    angleBetween(minus(mine.position, earthRun.position), minus(jpl.position, earthJpl.position)) *
                    kMasPerRadian);
            } else {
                d.geocentricMas = std::nan("");  // the observer itself
            }
            span.bodies.push_back(d);
        }
        result.spans.push_back(std::move(span));
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - clockStart).count();
    return true;
}

}  // namespace accuracy
