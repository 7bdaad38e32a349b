// CFG/UMBRAVUE.CFG and CFG/SITES.CRD: the path mapper's options and the
// sites it marks on its maps. The options file has one option a line, the
// value first and a comment after the comma; the sites file has a heading
// line and then one site a line: latitude, longitude (degrees, north and
// east positive), marker radius (pixels) and name. The default sites are the
// cities of the location library (GEOSITES.DAT, built before).
#include "builder_output.h"
#include "builder_text.h"

#include "tarvo/reductions/site_files.h"

#include <cstdio>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kDefaultOptions = {
    "UMBRA, picture name: the first free number and .BMP are added (UMBRA000.BMP, ...)",
    "1600, largest width of the map window (pixels)",
    "1000, largest height of the map window (pixels)",
    "4, longitude margin on both sides of the path (degrees)",
    "3, latitude margin above and below the path (degrees)",
    "13, font height of the labels (pixels; the title is 2 higher)",
    "8, horizontal offset of a time label from its point (pixels, to the right)",
    "6, vertical offset of a time label from its point (pixels, up)",
    "0, thinning: only every (n+1)-th point of a path is used",
    "9, label spacing: every (m+1)-th used point gets its time; negative: none",
    "0, extension: not 0 draws the path's uncertainty HWerr around every point",
    "0, all events: not 0 draws every event of a file in one picture",
    "-1, sites: not 0 marks the sites of SITES.CRD",
    "0, world view: not 0 shows at least 120 degrees of longitude on the biggest map",
};

builder::Registration options{{
    .path = "CFG/UMBRAVUE.CFG",
    .order = 60,
    .version = "1",
    .inputs = {},
    .optionKeys = {},
    .build = [](const builder::BuildContext&,
                const fs::path& target) { builder::writeCrLfLines(target, kDefaultOptions); },
}};

builder::Registration sites{{
    .path = "CFG/SITES.CRD",
    .order = 60,
    .version = "1",
    .inputs =
        [](const builder::BuildContext& ctx) {
            return std::vector<fs::path>{ctx.tree / "CFG" / "GEOSITES.DAT"};
        },
    .optionKeys = {},
    .build =
        [](const builder::BuildContext& ctx, const fs::path& target) {
            const fs::path source = ctx.tree / "CFG" / "GEOSITES.DAT";
            const tarvo::GeoSitesLoad load = tarvo::readGeoSites(source);
            if (!load.ok || load.sites.empty())
                throw std::runtime_error("no sites to take from " + source.string() + ": " +
                                         load.message);
            std::vector<std::string> lines = {"   Lat.       Long.    R  Name"};
            for (const tarvo::GeoSite& s : load.sites) {
                char line[96];
                std::snprintf(line, sizeof line, "%8.3f, %9.3f, 2, %s", s.latitudeDeg,
                              s.longitudeDeg, s.name.c_str());
                lines.push_back(line);
            }
            builder::writeCrLfLines(target, lines);
            ctx.progress("SITES.CRD: " + std::to_string(load.sites.size()) + " sites from " +
                         source.string());
        },
}};

} // namespace
