#include "datasets/data_set_factory.h"

#include <cmath>
#include <cstdio>

#include "datasets/data_set_run.h"
#include "datasets/radial_factor.h"
#include "tarvo/libraries/planetary_library.h"
#include "tarvo/libraries/state_file.h"

namespace datasets {
namespace {

// A data set of the sets 7-9 source.
constexpr int kOldConstantsDataSet = 7;

std::string dayText(long double days)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.0Lf", days);
    return text;
}

}  // namespace

PlanetarySource* DataSetFactory::sourceFor(int dataSet, std::string& message)
{
    const std::filesystem::path& path =
        dataSetUsesOldConstants(dataSet) ? options_.oldEphemeris : options_.ephemeris;
    auto& slot = sources_[path.string()];
    if (!slot) slot = PlanetarySource::open(path, message);
    return slot.get();
}

bool DataSetFactory::recordEpochs(int dataSet, std::vector<std::int32_t>& epochs, std::string& message)
{
    PlanetarySource* source = sourceFor(dataSet, message);
    if (!source) return false;
    const long double first = std::max(source->firstDay(), options_.firstDay);
    const long double last = std::min(source->lastDay(), options_.lastDay);
    const long double spacing = options_.recordDays > 0 ? options_.recordDays : 10;
    const long double firstEpoch = std::ceil(first / spacing) * spacing;
    const std::string within = "days " + dayText(first) + " to " + dayText(last) + " from J2000 (" + source->name() +
                               " covers " + dayText(source->firstDay()) + " to " + dayText(source->lastDay()) + ")";
    if (!(firstEpoch <= last)) {
        message = "no record epoch (a whole multiple of " + dayText(spacing) + " days from J2000) lies within " +
                  within + "; space the records closer (--record-days) or widen the span";
        return false;
    }
    const long double count = std::floor((last - firstEpoch) / spacing) + 1;
    if (count > static_cast<long double>(options_.mostRecords)) {
        message = dayText(count) + " records every " + dayText(spacing) + " days within " + within +
                  " are more than the " + std::to_string(options_.mostRecords) +
                  " a data set is built with; limit the span (--first-day, --last-day) or space the records out "
                  "(--record-days)";
        return false;
    }
    epochs.clear();
    for (long double t = firstEpoch; t <= last; t += spacing) epochs.push_back(static_cast<std::int32_t>(t));
    return true;
}

bool DataSetFactory::asteroidsFor(int dataSet, const AsteroidSamples*& samples, std::string& message)
{
    PlanetarySource* source = sourceFor(dataSet, message);
    if (!source) return false;
    const std::string key = (dataSetUsesOldConstants(dataSet) ? options_.oldEphemeris : options_.ephemeris).string();
    const auto known = asteroidSamples_.find(key);
    if (known != asteroidSamples_.end()) {
        samples = &known->second;
        return true;
    }
    if (elements_.empty()) {
        std::vector<int> numbers;
        for (const BodyEntry& a : asteroidCatalogue()) numbers.push_back(a.asteroidNumber);
        if (!readAsteroidElements(options_.asteroidElements, numbers, elements_, message)) return false;
    }
    // The planets start from the ephemeris at the elements' epoch and are
    // integrated with the asteroids. An ephemeris that does not reach that
    // epoch (an excerpt, one part of a long-span ephemeris) lends the start
    // to the source of sets 7-9; the integration carries all to its span.
    const long double elementEpoch = elements_.at(asteroidCatalogue().front().asteroidNumber).epoch;
    PlanetarySource* start = source;
    if (!source->covers(elementEpoch)) {
        std::string ignored;
        PlanetarySource* other = sourceFor(kOldConstantsDataSet, ignored);
        if (!other || !other->covers(elementEpoch)) {
            char jd[32];
            std::snprintf(jd, sizeof jd, "%.1Lf", j2000JulianDate + elementEpoch);
            message = options_.asteroidElements.string() + ": the asteroid elements are of JD " + jd + ", outside " +
                      source->name() + " (" + source->spanText() + ")" +
                      (other && other != source ? " and " + other->name() + " (" + other->spanText() + ")" : std::string()) +
                      ", which the planets would start from; give elements of an epoch inside the span "
                      "(--asteroids) or an ephemeris that covers theirs (--de405)";
            return false;
        }
        start = other;
    }
    std::vector<std::int32_t> epochs;
    if (!recordEpochs(dataSet, epochs, message)) return false;
    AsteroidSamples sampled;
    AsteroidIntegrationReport report;
    if (!integrateAsteroids(*start, elements_, std::vector<long double>(epochs.begin(), epochs.end()), sampled,
                            report, message))
        return false;
    asteroidWork_.steps += report.steps;
    asteroidWork_.seconds += report.seconds;
    asteroidWork_.planetsStartedFrom = start->name();
    samples = &(asteroidSamples_[key] = std::move(sampled));
    return true;
}

bool DataSetFactory::contents(int dataSet, DataSetContents& result, std::string& message)
{
    DataSetContents c;
    c.dataSet = dataSet;
    c.blocks = dataSetBlocks(dataSet);
    if (c.blocks.empty()) {
        message = "data set " + std::to_string(dataSet) + " does not exist";
        return false;
    }
    PlanetarySource* source = sourceFor(dataSet, message);
    if (!source || !recordEpochs(dataSet, c.epochs, message)) return false;
    const AsteroidSamples* asteroids = nullptr;
    if (dataSetHasAsteroids(dataSet) && !asteroidsFor(dataSet, asteroids, message)) return false;

    // Index of each asteroid block in the catalogue.
    const auto& catalogue = asteroidCatalogue();
    std::vector<int> catalogueIndex(c.blocks.size(), -1);
    for (std::size_t b = 0; b < c.blocks.size(); ++b)
        for (std::size_t k = 0; k < catalogue.size(); ++k)
            if (c.blocks[b].kind == BodyKind::asteroid && catalogue[k].asteroidNumber == c.blocks[b].asteroidNumber)
                catalogueIndex[b] = static_cast<int>(k);

    c.states.resize(c.epochs.size());
    for (std::size_t n = 0; n < c.epochs.size(); ++n) {
        std::vector<BodyState>& record = c.states[n];
        record.resize(c.blocks.size());
        const std::vector<BodyState>* sampled = asteroids ? asteroids->at(c.epochs[n]) : nullptr;
        for (std::size_t b = 0; b < c.blocks.size(); ++b) {
            if (catalogueIndex[b] >= 0) {
                if (!sampled) {
                    message = "the asteroids were not sampled at day " + std::to_string(c.epochs[n]);
                    return false;
                }
                record[b] = (*sampled)[static_cast<std::size_t>(catalogueIndex[b])];
            } else if (!source->state(c.blocks[b], c.epochs[n], record[b], message)) {
                return false;
            }
        }
    }

    // Physical data and radial factors.
    c.sunMass = source->sunMass();
    int earthBlock = -1;
    for (std::size_t b = 0; b < c.blocks.size(); ++b) {
        const BodyEntry& body = c.blocks[b];
        c.masses.push_back(source->massOf(body));
        double radius = body.radiusKm, magnitude = body.absoluteMagnitude;
        if (body.kind == BodyKind::asteroid) {
            const AsteroidElements& el = elements_.at(body.asteroidNumber);
            radius = el.diameterKm / 2;
            magnitude = el.absoluteMagnitude;
        }
        c.radiiKm.push_back(radius);
        c.magnitudes.push_back(magnitude);
        // The factor matching the post-Newtonian period varies along an
        // eccentric orbit; its mean over the records (evenly spread in time,
        // so in mean anomaly) serves runs started from any record best.
        long double sum = 0;
        if (body.kind != BodyKind::moon)
            for (const auto& record : c.states)
                sum += postNewtonianRadialFactor(record[b].position, record[b].velocity, c.sunMass);
        c.relFactors.push_back(static_cast<double>(sum / static_cast<long double>(c.states.size())));
        if (body.kind == BodyKind::earth) earthBlock = static_cast<int>(b);
    }
    // The Moon runs with the Earth's factor.
    for (std::size_t b = 0; b < c.blocks.size(); ++b)
        if (c.blocks[b].kind == BodyKind::moon && earthBlock >= 0) c.relFactors[b] = c.relFactors[earthBlock];
    // Velocities of the planets nudged so that a run from any record keeps
    // the post-Newtonian period (the asteroids come from the model itself).
    for (auto& record : c.states)
        for (std::size_t b = 0; b < c.blocks.size(); ++b) {
            const BodyKind kind = c.blocks[b].kind;
            if (kind == BodyKind::moon || kind == BodyKind::asteroid) continue;
            record[b].velocity = matchPostNewtonianPeriod(record[b].position, record[b].velocity, c.relFactors[b],
                                                          c.sunMass);
        }
    RadialFitReport report;
    if (!fitRadialFactors(c, *source, options_.radialFit, report, message)) return false;
    fitReports_[dataSet] = report;
    if (options_.extendYears > 0 && !extendBeyondEphemeris(c, message)) return false;
    result = std::move(c);
    return true;
}

// The data set's model integrated from its first record backward and from
// its last record forward, sampled at whole multiples of the spacing.
bool DataSetFactory::extendBeyondEphemeris(DataSetContents& c, std::string& message)
{
    const long double spacing = options_.extendRecordDays > 0 ? options_.extendRecordDays : 100;
    const long double reach = options_.extendYears * 365.25L;
    // The same bound as for the ephemeris' own records: the states are held in memory.
    const long double added = 2 * std::floor(reach / spacing);
    if (added + static_cast<long double>(c.epochs.size()) > static_cast<long double>(options_.mostRecords)) {
        message = dayText(added) + " records every " + dayText(spacing) + " days beyond the ephemeris make more than the " +
                  std::to_string(options_.mostRecords) +
                  " a data set is built with; extend by fewer years (--extend-years) or space the records out "
                  "(--extend-record-days)";
        return false;
    }
    std::vector<std::int32_t> before, after;
    std::vector<std::vector<BodyState>> beforeStates, afterStates;
    for (int direction : {-1, +1}) {
        const std::size_t from = direction < 0 ? 0 : c.epochs.size() - 1;
        const long double t0 = c.epochs[from];
        DataSetRun run;
        RunSettings settings;
        settings.dataSet = c.dataSet;
        if (!run.startFromContents(c, from, settings, direction, message)) return false;
        long double t = direction < 0 ? std::floor((t0 - 1) / spacing) * spacing : std::ceil((t0 + 1) / spacing) * spacing;
        for (; direction * (t - t0) <= reach; t += direction * spacing) {
            if (!run.advanceTo(t, message)) return false;
            std::vector<BodyState> record(c.blocks.size());
            for (std::size_t b = 0; b < c.blocks.size(); ++b)
                record[b] = run.stateJ2000(tarvo::librarySlot(c.dataSet, static_cast<int>(b + 1)));
            (direction < 0 ? before : after).push_back(static_cast<std::int32_t>(t));
            (direction < 0 ? beforeStates : afterStates).push_back(std::move(record));
        }
    }
    std::vector<std::int32_t> epochs(before.rbegin(), before.rend());
    std::vector<std::vector<BodyState>> states(beforeStates.rbegin(), beforeStates.rend());
    epochs.insert(epochs.end(), c.epochs.begin(), c.epochs.end());
    states.insert(states.end(), c.states.begin(), c.states.end());
    epochs.insert(epochs.end(), after.begin(), after.end());
    states.insert(states.end(), afterStates.begin(), afterStates.end());
    c.epochs = std::move(epochs);
    c.states = std::move(states);
    return true;
}

const RadialFitReport* DataSetFactory::fitReport(int dataSet) const
{
    const auto it = fitReports_.find(dataSet);
    return it == fitReports_.end() ? nullptr : &it->second;
}

}  // namespace datasets
