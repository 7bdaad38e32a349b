// CFG/GEOLOC.CRD: the default observing site, the Royal Observatory at
// Greenwich (the Airy transit circle), in the layout the location dialog
// writes: latitude and longitude in degrees, height in metres, then the label.
#include "builder_output.h"
#include "builder_text.h"

#include <cstdio>

namespace {

constexpr double kLatitudeDeg = 51.477928;  // north positive
constexpr double kLongitudeDeg = -0.001545; // east positive
constexpr double kHeightM = 46.0;

builder::Registration geoloc{{
    .path = "CFG/GEOLOC.CRD",
    .order = 10,
    .version = "1",
    .inputs = {},
    .optionKeys = {},
    .build =
        [](const builder::BuildContext&, const std::filesystem::path& target) {
            char line[64];
            std::snprintf(line, sizeof line, "%10.6f %10.6f %8.1f", kLatitudeDeg, kLongitudeDeg,
                          kHeightM);
            builder::writeCrLfLines(target, {line, "Greenwich"});
        },
}};

} // namespace
