#include "datasets/data_set_factory.h"

#include <array>
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
    // A lender built for another data set's records is built once.
    const auto made = lenderContents_.find(dataSet);
    if (made != lenderContents_.end()) {
        result = std::move(made->second);
        lenderContents_.erase(made);
        return true;
    }
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
    const auto [firstYear, lastYear] = integratedYears(options_, dataSet);
    const bool bySpan = !std::isnan(firstYear) && !std::isnan(lastYear);
    if ((bySpan || options_.extendYears > 0) && !extendBeyondEphemeris(c, message)) return false;
    result = std::move(c);
    return true;
}

long double extensionSpacingDays(long double yearsBeyond, long double baseDays)
{
    long double spacing = baseDays;
    for (long double threshold : {100.0L, 300.0L, 700.0L, 1500.0L})
        if (yearsBeyond >= threshold) spacing *= 2;
    return spacing;
}

std::vector<std::int32_t> extensionEpochs(long double t0, int direction, long double reachDays, long double baseDays,
                                          bool coverEnd)
{
    std::vector<std::int32_t> epochs;
    long double t = t0;
    for (;;) {
        const long double spacing = extensionSpacingDays(std::fabs(t - t0) / 365.25L, baseDays);
        t = direction < 0 ? std::floor((t - 1) / spacing) * spacing : std::ceil((t + 1) / spacing) * spacing;
        const long double beyond = direction * (t - t0);
        if (beyond > reachDays && !(coverEnd && (epochs.empty() || direction * (epochs.back() - t0) < reachDays)))
            break;
        epochs.push_back(static_cast<std::int32_t>(t));
    }
    return epochs;
}

std::pair<double, double> integratedYears(const SourceOptions& o, int dataSet)
{
    const bool wide = dataSet >= 1 && dataSet <= 6 && !std::isnan(o.wideFirstYear) && !std::isnan(o.wideLastYear);
    if (wide) return {o.wideFirstYear, o.wideLastYear};
    return {o.spanFirstYear, o.spanLastYear};
}

namespace {

// The data set whose integration beyond the ephemeris a data set takes its
// records from. Data set 2 holds the planets, the Moon and the three major
// asteroids; the others of the current constants take what they share with
// it (the Earth-Moon barycentre from the Earth and the Moon), data sets 8
// and 9 likewise from 7. The perturbers of data sets 1 and 6 beyond those
// three follow Keplerian orbits from their state at the ephemeris' end: their
// pull on the planets is below what the records resolve over a run's reach
// from its record, and a run integrates them in full from there.
int lenderOf(int dataSet)
{
    switch (dataSet) {
        case 1:
        case 3:
        case 4:
        case 5:
        case 6:
        case 10:
            return 2;
        case 8:
        case 9:
            return 7;
        default:
            return dataSet;
    }
}

bool sameBody(const BodyEntry& a, const BodyEntry& b)
{
    return a.kind == b.kind && a.jplNumber == b.jplNumber && a.asteroidNumber == b.asteroidNumber;
}

}  // namespace

BodyState keplerPropagate(const BodyState& start, long double seconds, long double muKm3PerS2)
{
    std::array<long double, 3> r0, v0;
    for (int k = 0; k < 3; ++k) r0[k] = start.position[k] * 1e6L, v0[k] = start.velocity[k];
    const long double rr = std::sqrt(r0[0] * r0[0] + r0[1] * r0[1] + r0[2] * r0[2]);
    const long double vv = v0[0] * v0[0] + v0[1] * v0[1] + v0[2] * v0[2];
    const long double a = 1 / (2 / rr - vv / muKm3PerS2);
    if (!(a > 0)) return start;  // not elliptic: left where it is (no asteroid of the sets)
    const long double pi2 = 2 * std::acos(-1.0L);
    const long double period = pi2 * std::sqrt(a * a * a / muKm3PerS2);
    const long double dt = seconds - std::floor(seconds / period) * period;
    const long double sigma = (r0[0] * v0[0] + r0[1] * v0[1] + r0[2] * v0[2]) / std::sqrt(muKm3PerS2);
    const long double m = pi2 * dt / period, sa = std::sqrt(a);
    long double e = m;  // the change of the eccentric anomaly
    for (int it = 0; it < 50; ++it) {
        const long double f = e - (1 - rr / a) * std::sin(e) + sigma / sa * (1 - std::cos(e)) - m;
        const long double df = 1 - (1 - rr / a) * std::cos(e) + sigma / sa * std::sin(e);
        const long double step = f / df;
        e -= step;
        if (std::fabs(step) < 1e-15L) break;
    }
    const long double r = a + (rr - a) * std::cos(e) + sigma * sa * std::sin(e);
    const long double F = 1 - a / rr * (1 - std::cos(e));
    const long double G = dt + std::sqrt(a * a * a / muKm3PerS2) * (std::sin(e) - e);
    const long double Fdot = -std::sqrt(muKm3PerS2 * a) / (r * rr) * std::sin(e);
    const long double Gdot = 1 - a / r * (1 - std::cos(e));
    BodyState s;
    for (int k = 0; k < 3; ++k) {
        s.position[k] = (F * r0[k] + G * v0[k]) / 1e6L;
        s.velocity[k] = Fdot * r0[k] + Gdot * v0[k];
    }
    return s;
}

// The data set's model integrated from its first record backward and from
// its last record forward (or a lending data set's integration of the same
// bodies), sampled at whole multiples of a spacing that widens outward.
bool DataSetFactory::extendBeyondEphemeris(DataSetContents& c, std::string& message)
{
    const long double base = options_.extendRecordDays > 0 ? options_.extendRecordDays : 100;
    const auto [firstYear, lastYear] = integratedYears(options_, c.dataSet);
    const bool bySpan = !std::isnan(firstYear) && !std::isnan(lastYear);
    std::array<long double, 2> reach{};  // days beyond the first and the last record
    if (bySpan) {
        reach[0] = std::max(0.0L, c.epochs.front() - yearStartDay(firstYear));
        reach[1] = std::max(0.0L, yearStartDay(lastYear + 1) - 1 - c.epochs.back());
    } else {
        reach[0] = reach[1] = options_.extendYears * 365.25L;
    }
    // The same bound as for the ephemeris' own records: the states are held in memory.
    std::size_t added = 0;
    for (int side = 0; side < 2; ++side)
        added += extensionEpochs(side == 0 ? c.epochs.front() : c.epochs.back(), side == 0 ? -1 : 1, reach[side], base,
                                 bySpan)
                     .size();
    if (added + c.epochs.size() > options_.mostRecords) {
        message = std::to_string(added) + " records every " + dayText(base) +
                  " days beyond the ephemeris (or wider farther out) make more than the " + std::to_string(options_.mostRecords) +
                  " a data set is built with; extend by fewer years or space the records out "
                  "(--extend-record-days)";
        return false;
    }
    std::array<std::vector<std::int32_t>, 2> epochs;
    std::array<std::vector<std::vector<BodyState>>, 2> states;
    for (int side = 0; side < 2; ++side) {
        const int direction = side == 0 ? -1 : 1;
        if (reach[side] <= 0) continue;
        if (!integrateBeyond(c, direction, reach[side], bySpan, epochs[side], states[side], message)) return false;
    }
    std::vector<std::int32_t> all(epochs[0].rbegin(), epochs[0].rend());
    std::vector<std::vector<BodyState>> allStates(states[0].rbegin(), states[0].rend());
    all.insert(all.end(), c.epochs.begin(), c.epochs.end());
    allStates.insert(allStates.end(), c.states.begin(), c.states.end());
    all.insert(all.end(), epochs[1].begin(), epochs[1].end());
    allStates.insert(allStates.end(), states[1].begin(), states[1].end());
    c.epochs = std::move(all);
    c.states = std::move(allStates);
    return true;
}

bool DataSetFactory::integrateBeyond(const DataSetContents& c, int direction, long double reach, bool coverEnd,
                                     std::vector<std::int32_t>& epochs, std::vector<std::vector<BodyState>>& states,
                                     std::string& message)
{
    const long double base = options_.extendRecordDays > 0 ? options_.extendRecordDays : 100;
    const std::size_t from = direction < 0 ? 0 : c.epochs.size() - 1;
    const long double t0 = c.epochs[from];
    epochs = extensionEpochs(t0, direction, reach, base, coverEnd);
    states.clear();

    // A lender's integration of the same epochs serves.
    const int lender = lenderOf(c.dataSet);
    if (lender != c.dataSet) {
        if (lent_.find({lender, direction}) == lent_.end() && lenderContents_.find(lender) == lenderContents_.end()) {
            DataSetContents own;
            if (!contents(lender, own, message)) return false;
            lenderContents_[lender] = std::move(own);
        }
        const auto lent = lent_.find({lender, direction});
        if (lent != lent_.end() && lent->second.epochs == epochs) return lendTo(c, from, lent->second, states);
    }
    DataSetRun run;
    RunSettings settings;
    settings.dataSet = c.dataSet;
    if (!run.startFromContents(c, from, settings, direction, message)) return false;
    for (std::int32_t t : epochs) {
        if (!run.advanceTo(t, message)) return false;
        std::vector<BodyState> record(c.blocks.size());
        for (std::size_t b = 0; b < c.blocks.size(); ++b)
            record[b] = run.stateJ2000(tarvo::librarySlot(c.dataSet, static_cast<int>(b + 1)));
        states.push_back(std::move(record));
    }
    if (lenderOf(c.dataSet) == c.dataSet) lent_[{c.dataSet, direction}] = Extension{c.blocks, c.masses, epochs, states};
    return true;
}

// The records of a data set from its lender's integration: the bodies they
// share, the Earth-Moon barycentre from the Earth and the Moon, the other
// asteroids on Keplerian orbits from the data set's record `from`.
bool DataSetFactory::lendTo(const DataSetContents& c, std::size_t from, const Extension& lent,
                            std::vector<std::vector<BodyState>>& states)
{
    constexpr long double gravitationalConstant = 6.67430e-20L;  // km^3 / (kg s^2)
    const long double mu = gravitationalConstant * c.sunMass * 1e24L;
    int earth = -1, moon = -1;
    std::vector<int> index(c.blocks.size(), -1);
    for (std::size_t k = 0; k < lent.blocks.size(); ++k) {
        if (lent.blocks[k].kind == BodyKind::earth) earth = static_cast<int>(k);
        if (lent.blocks[k].kind == BodyKind::moon) moon = static_cast<int>(k);
        for (std::size_t b = 0; b < c.blocks.size(); ++b)
            if (sameBody(c.blocks[b], lent.blocks[k])) index[b] = static_cast<int>(k);
    }
    states.clear();
    for (std::size_t n = 0; n < lent.states.size(); ++n) {
        const std::vector<BodyState>& record = lent.states[n];
        std::vector<BodyState> own(c.blocks.size());
        for (std::size_t b = 0; b < c.blocks.size(); ++b) {
            if (index[b] >= 0) {
                own[b] = record[static_cast<std::size_t>(index[b])];
            } else if (c.blocks[b].kind == BodyKind::earthMoonBarycentre && earth >= 0 && moon >= 0) {
                const long double me = lent.masses[static_cast<std::size_t>(earth)];
                const long double mm = lent.masses[static_cast<std::size_t>(moon)];
                const BodyState& e = record[static_cast<std::size_t>(earth)];
                const BodyState& m = record[static_cast<std::size_t>(moon)];  // geocentric
                for (int k = 0; k < 3; ++k) {
                    own[b].position[k] = e.position[k] + mm / (me + mm) * m.position[k];
                    own[b].velocity[k] = e.velocity[k] + mm / (me + mm) * m.velocity[k];
                }
            } else {
                const long double seconds = (lent.epochs[n] - c.epochs[from]) * secondsPerDay;
                own[b] = keplerPropagate(c.states[from][b], seconds, mu);
            }
        }
        states.push_back(std::move(own));
    }
    return true;
}

const RadialFitReport* DataSetFactory::fitReport(int dataSet) const
{
    const auto it = fitReports_.find(dataSet);
    return it == fitReports_.end() ? nullptr : &it->second;
}

}  // namespace datasets
