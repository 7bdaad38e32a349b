// ASC/TITLE.121: the four title lines the main menu shows; the third names the
// ephemeris the planetary files were sampled from, its span, and the years
// the records reach by the suite's own integration beyond it.
#include "builder_output.h"
#include "builder_sources.h"
#include "builder_text.h"
#include "datasets/planetary_source.h"

#include <algorithm>
#include <cmath>

namespace {

// "JPL DE405 (1959-2060)" for the ephemeris at `path`, with the years the
// records span (--first-day and --last-day narrow the file's span), or the
// path itself when it cannot be opened (the data sets then fail with the reason).
std::string describeSource(const builder::BuildContext& ctx, const std::string& path)
{
    std::string message;
    auto source = datasets::PlanetarySource::open(path, message);
    if (!source) return path;
    const datasets::SourceOptions limits = builder::planetarySourceOptions(ctx);
    long double first = std::max(source->firstDay(), limits.firstDay);
    long double last = std::min(source->lastDay(), limits.lastDay);
    if (!(first <= last)) first = source->firstDay(), last = source->lastDay(); // the data sets refuse such a span
    return "JPL " + source->name() + " (" + datasets::PlanetarySource::yearSpanText(first, last) + ")";
}

// ", integrated -3000 to 3000" for the years the records of a data set reach
// beyond the ephemeris, "" when they do not.
std::string integratedText(const builder::BuildContext& ctx, int dataSet)
{
    const datasets::SourceOptions o = builder::planetarySourceOptions(ctx);
    const auto [first, last] = datasets::integratedYears(o, dataSet);
    if (!std::isnan(first) && !std::isnan(last))
        return ", integrated " + std::to_string(static_cast<long>(first)) + " to " +
               std::to_string(static_cast<long>(last));
    if (o.extendYears > 0) return ", integrated " + std::to_string(static_cast<long>(o.extendYears)) + " years beyond";
    return "";
}

std::string sourceLine(const builder::BuildContext& ctx)
{
    const std::string given = ctx.option("planetary-source");
    if (!given.empty()) return "Planetary files from " + given;
    const std::string modernSource = describeSource(ctx, ctx.option("jpl", datasets::defaultEphemerisPath));
    const std::string olderSource = describeSource(ctx, ctx.option("de405", datasets::defaultEphemerisPath));
    const std::string modernSpan = integratedText(ctx, 1), olderSpan = integratedText(ctx, 7);
    // One ephemeris, sets 1-6 integrated farther (--span-1-6): short enough for the menu.
    if (modernSource == olderSource && modernSpan != olderSpan && !olderSpan.empty())
        return modernSource + ", sets 1-6" + modernSpan + ", 7-9" +
               olderSpan.substr(std::string(", integrated").size());
    const std::string modern = modernSource + modernSpan;
    const std::string older = olderSource + olderSpan;
    if (modern == older) return "Planetary files from " + modern;
    return "Sets 1-6 from " + modern + ", 7-9 from " + older;
}

builder::Registration title{{
    .path = "ASC/TITLE.121",
    .order = 10,
    .version = "4",
    .inputs = nullptr,
    .optionKeys = std::vector<std::string>{"planetary-source", "jpl", "de405", "first-day", "last-day",
                                          "extend-years", "span", "span-1-6"},
    .build =
        [](const builder::BuildContext& ctx, const std::filesystem::path& target) {
            builder::writeCrLfLines(
                target, {"TARVO 12.1", "High Precision Ephemerides by Numerical Integration", sourceLine(ctx),
                         "Sun, planets, Moon, asteroids and comets in 80-bit precision"});
        },
}};

} // namespace
