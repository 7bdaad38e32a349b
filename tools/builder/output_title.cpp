// ASC/TITLE.121: the four title lines the main menu shows; the third names the
// ephemeris the planetary files were sampled from and its span.
#include "builder_output.h"
#include "builder_text.h"
#include "datasets/planetary_source.h"

namespace {

// "JPL DE405 (1959-2060)" for the ephemeris at `path`, or the path itself
// when it cannot be opened (the data sets then fail with the reason).
std::string describeSource(const std::string& path)
{
    std::string message;
    auto source = datasets::PlanetarySource::open(path, message);
    if (!source) return path;
    return "JPL " + source->name() + " (" + source->spanText() + ")";
}

std::string sourceLine(const builder::BuildContext& ctx)
{
    const std::string given = ctx.option("planetary-source");
    if (!given.empty()) return "Planetary files from " + given;
    const std::string modern = describeSource(ctx.option("jpl", datasets::defaultEphemerisPath));
    const std::string older = describeSource(ctx.option("de405", datasets::defaultEphemerisPath));
    if (modern == older) return "Planetary files from " + modern;
    return "Sets 1-6 from " + modern + ", 7-9 from " + older;
}

builder::Registration title{{
    .path = "ASC/TITLE.121",
    .order = 10,
    .version = "2",
    .inputs = nullptr,
    .optionKeys = std::vector<std::string>{"planetary-source", "jpl", "de405"},
    .build =
        [](const builder::BuildContext& ctx, const std::filesystem::path& target) {
            builder::writeCrLfLines(
                target, {"TARVO 12.1", "High Precision Ephemerides by Numerical Integration", sourceLine(ctx),
                         "Sun, planets, Moon, asteroids and comets in 80-bit precision"});
        },
}};

} // namespace
