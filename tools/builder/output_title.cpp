// ASC/TITLE.121: the four title lines the main menu shows; the third names the
// source of the planetary files.
#include "builder_output.h"
#include "builder_text.h"

namespace {

builder::Registration title{{
    .path = "ASC/TITLE.121",
    .order = 10,
    .version = "1",
    .inputs = {},
    .optionKeys = {"planetary-source"},
    .build =
        [](const builder::BuildContext& ctx, const std::filesystem::path& target) {
            const std::string source = ctx.option("planetary-source", "JPL DE405 (1960-2060)");
            builder::writeCrLfLines(
                target, {"TARVO 12.1", "High Precision Ephemerides by Numerical Integration",
                         "Planetary files from " + source,
                         "Sun, planets, Moon, asteroids and comets in 80-bit precision"});
        },
}};

} // namespace
