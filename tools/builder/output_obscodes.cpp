// CFG/OBSCODES.TXT: observatory codes for the location dialog and for the
// reduction of observations.  Without options, a handful of well-known
// observatories written from their published geodetic coordinates; with
// --mpc-obscodes=FILE, the Minor Planet Center's complete list (its
// ObsCodes.html page or the plain text of it).
//
// Layout (the MPC's): a header line, then code in columns 1-3, east
// longitude in degrees 5-13, ρ cos φ' 14-21 and ρ sin φ' 22-30 in Earth
// radii, the name from column 31.
#include "builder_output.h"
#include "builder_text.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

const char* const kHeader = "Code  Long.   cos      sin    Name";

struct Observatory {
    const char* code;
    double eastLongitudeDeg, latitudeDeg, heightM; // geodetic, published
    const char* name;
};

// Published geodetic positions of the sites (WGS 84 / GRS 80 ellipsoid).
constexpr Observatory kObservatories[] = {
    {"000", 0.0, 51.477928, 46.0, "Greenwich"},
    {"309", 289.59583, -24.62733, 2635.0, "Cerro Paranal"},
    {"568", 204.52778, 19.82611, 4200.0, "Mauna Kea"},
    {"675", 243.13500, 33.35639, 1706.0, "Palomar Mountain"},
    {"691", 248.39972, 31.96333, 2089.0, "Steward Observatory, Kitt Peak-Spacewatch"},
    {"807", 289.19375, -30.16906, 2207.0, "Cerro Tololo Observatory, La Serena"},
    {"950", 342.11833, 28.76056, 2326.0, "La Palma"},
};

// ρ cos φ' and ρ sin φ' of a geodetic site (a = 6378.137 km, e² = 0.006694378).
std::string codeLine(const Observatory& o) {
    constexpr double a = 6378137.0, e2 = 0.006694378;
    const double phi = o.latitudeDeg * 3.14159265358979323846 / 180.0;
    const double w = std::sqrt(1.0 - e2 * std::sin(phi) * std::sin(phi));
    const double rhoCos = (1.0 / w + o.heightM / a) * std::cos(phi);
    const double rhoSin = ((1.0 - e2) / w + o.heightM / a) * std::sin(phi);
    char line[160];
    std::snprintf(line, sizeof line, "%s %9.5f%8.6f%+9.6f%s", o.code, o.eastLongitudeDeg, rhoCos, rhoSin, o.name);
    return line;
}

std::string decodeEntities(std::string text) {
    const std::pair<const char*, const char*> entities[] = {{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}};
    for (const auto& [from, to] : entities)
        for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
            text.replace(at, std::string(from).size(), to);
    return text;
}

// The code lines of the MPC list: inside <pre> ... </pre> for the HTML page,
// every line otherwise; the list's own header line is left out.
std::vector<std::string> mpcCodeLines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::vector<std::string> raw;
    bool html = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find("<pre>") != std::string::npos) html = true;
        raw.push_back(line);
    }
    std::vector<std::string> lines;
    bool inside = !html;
    for (const auto& line : raw) {
        if (html && line.find("<pre>") != std::string::npos) {
            inside = true;
            continue;
        }
        if (html && line.find("</pre>") != std::string::npos) break;
        if (!inside || line.size() < 3 || line.rfind("Code", 0) == 0) continue;
        lines.push_back(decodeEntities(line));
    }
    if (lines.empty()) throw std::runtime_error("no observatory codes in " + file.string());
    return lines;
}

builder::Registration obscodes{{
    .path = "CFG/OBSCODES.TXT",
    .order = 10,
    .version = "1",
    .inputs =
        [](const builder::BuildContext& context) {
            std::vector<std::filesystem::path> files;
            if (const auto mpc = context.option("mpc-obscodes"); !mpc.empty()) files.push_back(mpc);
            return files;
        },
    .optionKeys = {"mpc-obscodes"},
    .build =
        [](const builder::BuildContext& context, const std::filesystem::path& target) {
            std::vector<std::string> lines{kHeader};
            if (const auto mpc = context.option("mpc-obscodes"); !mpc.empty()) {
                const auto codes = mpcCodeLines(mpc);
                lines.insert(lines.end(), codes.begin(), codes.end());
                context.progress("OBSCODES.TXT: " + std::to_string(codes.size()) + " codes from " + mpc);
            } else {
                for (const Observatory& o : kObservatories) lines.push_back(codeLine(o));
                lines.push_back("500   0.000000.000000 0.000000Geocentric");
            }
            builder::writeCrLfLines(target, lines);
        },
}};

} // namespace
