// CFG/GEOSITES.DAT: the location library of the location dialog, made from
// the time-zone cities of tzdata's zone1970.tab (their ISO 6709 coordinates,
// height 0 where none is known).  One site per line in fixed columns: 1-24
// name, 26-44 region, 46-52 latitude, 53-60 longitude (degrees, north and
// east positive), 61- height in metres.
#include "builder_output.h"
#include "builder_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace {

const char* const kZoneTable = "/usr/share/zoneinfo/zone1970.tab";

struct Site {
    std::string name, region;
    double latitude = 0, longitude = 0;
};

// ISO 6709 ±DDMM[SS] or ±DDDMM[SS] -> degrees; nullopt when malformed.
std::optional<double> sexagesimal(const std::string& text, int degreeDigits) {
    if (text.size() < static_cast<std::size_t>(1 + degreeDigits + 2) || (text[0] != '+' && text[0] != '-'))
        return std::nullopt;
    for (std::size_t i = 1; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    const int degrees = std::stoi(text.substr(1, degreeDigits));
    const int minutes = std::stoi(text.substr(1 + degreeDigits, 2));
    const int seconds = text.size() >= static_cast<std::size_t>(1 + degreeDigits + 4)
                            ? std::stoi(text.substr(3 + degreeDigits, 2))
                            : 0;
    const double value = degrees + minutes / 60.0 + seconds / 3600.0;
    return text[0] == '-' ? -value : value;
}

std::string upper(std::string text) {
    for (char& c : text) {
        if (c == '_') c = ' ';
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

std::vector<Site> readZoneCities(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read " + file.string() + " (package tzdata)");
    std::vector<Site> sites;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string f; std::getline(split, f, '\t');) fields.push_back(f);
        if (fields.size() < 3) continue;
        const std::string& c = fields[1];
        const auto cut = c.find_first_of("+-", 1);
        if (cut == std::string::npos) continue;
        const auto latitude = sexagesimal(c.substr(0, cut), 2);
        const auto longitude = sexagesimal(c.substr(cut), 3);
        if (!latitude || !longitude) continue;
        const std::string& zone = fields[2];
        const auto slash = zone.rfind('/');
        if (slash == std::string::npos) continue;
        sites.push_back({upper(zone.substr(slash + 1)), upper(zone.substr(0, slash)), *latitude, *longitude});
    }
    std::stable_sort(sites.begin(), sites.end(), [](const Site& a, const Site& b) { return a.name < b.name; });
    return sites;
}

builder::Registration geosites{{
    .path = "CFG/GEOSITES.DAT",
    .order = 10,
    .version = "1",
    .inputs = [](const builder::BuildContext&) { return std::vector<std::filesystem::path>{kZoneTable}; },
    .optionKeys = {},
    .build =
        [](const builder::BuildContext& context, const std::filesystem::path& target) {
            const auto sites = readZoneCities(kZoneTable);
            if (sites.empty()) throw std::runtime_error(std::string("no sites in ") + kZoneTable);
            std::vector<std::string> lines;
            for (const Site& s : sites) {
                char numbers[64];
                std::snprintf(numbers, sizeof numbers, "%7.3f%8.3f%6d", s.latitude, s.longitude, 0);
                lines.push_back(padded(s.name, 24) + " " + padded(s.region, 19) + " " + numbers);
            }
            builder::writeCrLfLines(target, lines);
            context.progress("GEOSITES.DAT: " + std::to_string(lines.size()) + " sites from " + kZoneTable);
        },
}};

} // namespace
