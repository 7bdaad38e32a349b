// BIN/PL*.BIN and ASC/PL*.DAT of the planetary data sets 1..10, their
// colour files and the parameter files *.PAR.
//
// Options: --jpl=FILE the ephemeris of data sets 1-6 and 10 (any JPL binary
// DE file or the casacore DE405 directory; default the Debian DE405);
// --de405=PATH the DE405/DE406 source of data sets 7-9; --asteroids=FILE the
// asteroid element export (default kstars-data); --record-days=N the record
// spacing (default 10); --first-day=T / --last-day=T limit the records
// (days from J2000); --extend-years=N adds records of the data set's own
// model integrated N years beyond each end of the ephemeris, every
// --extend-record-days=D days (default 100; the spacing widens farther out);
// --span=FIRST,LAST the years the records reach by that integration
// (default -3000,3000; "none" for the ephemeris alone; --extend-years, when
// given, replaces it); --span-1-6=FIRST,LAST a wider span for data sets 1-6
// ("de431" for -13000,17000, the span of DE431).
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "builder_output.h"
#include "builder_sources.h"
#include "datasets/data_set_factory.h"
#include "tarvo/libraries/data_set_parameters.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kSourceOptions = {"jpl",       "de405",    "asteroids",    "record-days",
                                                 "first-day", "last-day", "extend-years", "extend-record-days",
                                                 "span",      "span-1-6"};

std::string optionsKey(const builder::BuildContext& ctx)
{
    std::string key;
    for (const auto& k : kSourceOptions) key += k + "=" + ctx.option(k) + "\n";
    return key;
}

// One factory per set of options for the whole builder run, so that the
// asteroids are integrated once for all the data sets that carry them.
datasets::DataSetFactory& factory(const builder::BuildContext& ctx)
{
    static std::map<std::string, std::unique_ptr<datasets::DataSetFactory>> factories;
    auto& shared = factories[optionsKey(ctx)];
    if (!shared) shared = std::make_unique<datasets::DataSetFactory>(builder::planetarySourceOptions(ctx));
    return *shared;
}

// Files whose change makes the data sets stale.
std::vector<fs::path> sourceFiles(const builder::BuildContext& ctx)
{
    std::vector<fs::path> files;
    for (fs::path p : {fs::path(ctx.option("jpl", datasets::defaultEphemerisPath)),
                       fs::path(ctx.option("de405", datasets::defaultEphemerisPath)),
                       fs::path(ctx.option("asteroids", datasets::defaultAsteroidElementsPath))}) {
        std::error_code ec;
        if (fs::is_directory(p, ec)) p /= "table.f0i";  // the casacore table's data file
        files.push_back(p);
    }
    return files;
}

struct Built {
    datasets::DataSetContents contents;
    std::vector<datasets::BlockScales> scales;
};

// Contents of a data set, made once per builder run.
const Built& builtDataSet(const builder::BuildContext& ctx, int dataSet)
{
    static std::map<std::pair<std::string, int>, Built> cache;
    datasets::DataSetFactory& f = factory(ctx);
    auto key = std::make_pair(optionsKey(ctx), dataSet);
    auto known = cache.find(key);
    if (known != cache.end()) return known->second;
    std::string message;
    Built built;
    const double before = f.asteroidWork().seconds;
    if (!f.contents(dataSet, built.contents, message))
        throw std::runtime_error("data set " + std::to_string(dataSet) + ": " + message);
    const datasets::PlanetarySource* source = f.sourceFor(dataSet, message);
    if (f.asteroidWork().seconds > before) {
        char line[160];
        std::snprintf(line, sizeof line, "  asteroids integrated over the span: %ld steps in %.1f s",
                      f.asteroidWork().steps, f.asteroidWork().seconds);
        std::string text = line;
        if (source && f.asteroidWork().planetsStartedFrom != source->name())
            text += " (the planets started from " + f.asteroidWork().planetsStartedFrom + " at the elements' epoch, "
                    "which " + source->name() + " does not reach)";
        ctx.progress(text);
    }
    if (const datasets::RadialFitReport* fit = f.fitReport(dataSet)) {
        if (fit->bodies.empty() && f.options().radialFit.years > 0 && source) {
            char line[200];
            std::snprintf(line, sizeof line,
                          "  radial factors not fitted: %s (%s) is shorter than a %.0f-year fitting run; "
                          "the mean post-Newtonian factors are kept",
                          source->name().c_str(), source->spanText().c_str(), f.options().radialFit.years);
            ctx.progress(line);
        }
        for (std::size_t k = 0; k < fit->bodies.size(); ++k) {
            char line[200];
            std::snprintf(line, sizeof line, "  %-9s fitted: %.9e (drift %.3f -> %.3f km/yr)",
                          fit->bodies[k].c_str(), fit->factors[k], fit->initialDriftKmPerYear[k],
                          fit->finalDriftKmPerYear[k]);
            ctx.progress(line);
        }
    }
    built.scales = datasets::chooseScales(built.contents);
    return cache[key] = std::move(built);
}

// One output made from a data set's contents: every such output is rebuilt
// when the sources, the options or the contents' version change.
void registerFromContents(const std::string& path, int dataSet, void (*write)(const Built&, const fs::path&))
{
    builder::registerOutput({
        .path = path,
        .order = 60,
        .version = "11",
        .inputs = sourceFiles,
        .optionKeys = kSourceOptions,
        .build = [dataSet, write](const builder::BuildContext& ctx,
                                  const fs::path& target) { write(builtDataSet(ctx, dataSet), target); },
    });
}

void registerDataSet(int dataSet)
{
    const tarvo::DataSetFileNames* names = tarvo::dataSetFileNames(dataSet);
    registerFromContents(std::string("BIN/") + names->library, dataSet, [](const Built& b, const fs::path& target) {
        std::vector<unsigned char> bytes;
        std::string message;
        if (!datasets::encodeLibrary(b.contents, b.scales, bytes, message)) throw std::runtime_error(message);
        datasets::writeBytes(target, bytes);
    });
    registerFromContents(std::string("ASC/") + names->description, dataSet,
                         [](const Built& b, const fs::path& target) {
                             datasets::writeLines(target, datasets::descriptionLines(b.contents, b.scales));
                         });
}

void registerTextFile(const std::string& path, std::vector<std::string> lines)
{
    builder::registerOutput({
        .path = path,
        .order = 20,
        .version = "1",
        .inputs = nullptr,
        .optionKeys = std::vector<std::string>{},
        .build = [lines](const builder::BuildContext&,
                         const fs::path& target) { datasets::writeLines(target, lines); },
    });
}

const bool registered = [] {
    for (int set = tarvo::firstDataSet; set <= tarvo::lastDataSet; ++set) registerDataSet(set);
    registerTextFile("ASC/PLCOL.DAT", datasets::colourLines(1));
    registerTextFile("ASC/PLXSHCOL.DAT", datasets::colourLines(10));
    // Parameter files: zero coefficients (no radial-factor polynomials fitted);
    // each as long as the longest use of it.
    std::map<std::string, int> rows;
    for (int set = tarvo::firstDataSet; set <= tarvo::lastDataSet; ++set) {
        const tarvo::DataSetFileNames* names = tarvo::dataSetFileNames(set);
        if (names->parameters[0] != '\0')
            rows[names->parameters] = std::max(rows[names->parameters], names->lastParameterRow);
    }
    for (const auto& [name, lastRow] : rows)
        registerTextFile("ASC/" + name, datasets::zeroParameterLines(lastRow));
    return true;
}();

}  // namespace

namespace {

// "FIRST,LAST" in years (astronomical numbering), within +-100000.
void readYearSpan(const std::string& option, const std::string& text, double& first, double& last)
{
    char* end = nullptr;
    first = std::strtod(text.c_str(), &end);
    const bool comma = end && *end == ',';
    last = comma ? std::strtod(end + 1, &end) : 0;
    if (!comma || *end != '\0' || !(first <= last) || first < -100000 || last > 100000)
        throw std::runtime_error("--" + option + "=" + text +
                                 ": give the first and the last year as FIRST,LAST (e.g. -3000,3000), or none");
}

}  // namespace

datasets::SourceOptions builder::planetarySourceOptions(const builder::BuildContext& ctx)
{
    datasets::SourceOptions o;
    o.ephemeris = ctx.option("jpl", datasets::defaultEphemerisPath);
    o.oldEphemeris = ctx.option("de405", datasets::defaultEphemerisPath);
    o.asteroidElements = ctx.option("asteroids", datasets::defaultAsteroidElementsPath);
    o.recordDays = std::atoi(ctx.option("record-days", "10").c_str());
    if (o.recordDays <= 0) throw std::runtime_error("--record-days must be a positive number of days");
    if (!ctx.option("first-day").empty()) o.firstDay = std::strtold(ctx.option("first-day").c_str(), nullptr);
    if (!ctx.option("last-day").empty()) o.lastDay = std::strtold(ctx.option("last-day").c_str(), nullptr);
    o.extendYears = std::atof(ctx.option("extend-years", "0").c_str());
    o.extendRecordDays = std::atoi(ctx.option("extend-record-days", "100").c_str());
    if (o.extendYears < 0 || o.extendYears > 100000 || o.extendRecordDays <= 0)
        throw std::runtime_error("--extend-years must lie in 0..100000 and --extend-record-days be positive");
    const std::string span = ctx.option("span", o.extendYears > 0 ? "none" : builder::defaultIntegratedSpan);
    if (span != "none") readYearSpan("span", span, o.spanFirstYear, o.spanLastYear);
    const std::string wide = ctx.option("span-1-6");
    if (!wide.empty() && wide != "none")
        readYearSpan("span-1-6", wide == "de431" ? "-13000,17000" : wide, o.wideFirstYear, o.wideLastYear);
    return o;
}
