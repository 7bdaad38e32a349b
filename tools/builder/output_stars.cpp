// BIN/STARS3D.BIN, BIN/STNAMS3D.BIN, BIN/STDES3D.BIN and ASC/COSTLAB.DAT: the
// star catalogue, from the data files of the npm package d3-celestial
// (BSD-3-Clause): the Hipparcos stars to magnitude 8 of data/stars.8.json
// (J2000 positions, V, B-V) in their Hipparcos order, then the Messier
// objects of data/messier.json as deep-sky records; proper names and the
// Bayer or Flamsteed designations of data/starnames.json; the 89
// constellation labels of data/constellations.json in its order.
//
// d3-celestial gives no proper motions, so the three motion values are 0;
// positions are given to 0.0001 degree, which is why every star carries the
// uncertainty code 67 (2^6.7 = 104 milliarcseconds, the standard deviation
// of that rounding).  docs/stars.md describes the record in full.
#include "builder_output.h"

#include "tarvo/libraries/star_catalogue.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <numbers>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr int kStarUncertaintyCode = 67;

fs::path packageDir(const builder::BuildContext& ctx) {
#ifdef TARVO_NPM_DIR
    const std::string fallback = std::string(TARVO_NPM_DIR) + "/node_modules/d3-celestial";
#else
    const std::string fallback = "node_modules/d3-celestial";
#endif
    return ctx.option("d3-celestial", fallback);
}

std::vector<fs::path> sourceFiles(const builder::BuildContext& ctx) {
    const fs::path data = packageDir(ctx) / "data";
    return {data / "stars.8.json", data / "starnames.json", data / "constellations.json",
            data / "messier.json"};
}

nlohmann::json readJson(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string() +
                                 " (npm package d3-celestial; scripts/setup installs it)");
    try {
        return nlohmann::json::parse(in);
    } catch (const std::exception& e) {
        throw std::runtime_error(file.string() + ": " + e.what());
    }
}

// Greek letters of the Bayer designations as their three-letter abbreviations.
const std::map<std::string, std::string>& greekLetters() {
    static const std::map<std::string, std::string> letters{
        {"α", "alf"}, {"β", "bet"}, {"γ", "gam"}, {"δ", "del"}, {"ε", "eps"}, {"ζ", "zet"},
        {"η", "eta"}, {"θ", "tet"}, {"ι", "iot"}, {"κ", "kap"}, {"λ", "lam"}, {"μ", "mu."},
        {"ν", "nu."}, {"ξ", "ksi"}, {"ο", "omi"}, {"π", "pi."}, {"ρ", "rho"}, {"σ", "sig"},
        {"τ", "tau"}, {"υ", "ups"}, {"φ", "phi"}, {"χ", "chi"}, {"ψ", "psi"}, {"ω", "ome"},
        {"¹", "1"},   {"²", "2"},   {"³", "3"},   {"⁴", "4"},   {"⁵", "5"},   {"⁶", "6"},
        {"⁷", "7"},   {"⁸", "8"},   {"⁹", "9"},   {"´", "'"},   {"é", "e"},   {"ë", "e"},
        {"ä", "a"},   {"ö", "o"},   {"ü", "u"},   {"á", "a"},   {"í", "i"},   {"ó", "o"}};
    return letters;
}

// The text in printable ASCII: the letters above spelt out, other
// characters outside ASCII left out.
std::string ascii(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c < 128) {
            if (c >= 32 && c < 127) out += static_cast<char>(c);
            ++at;
            continue;
        }
        std::size_t length = c >= 0xf0 ? 4 : c >= 0xe0 ? 3 : 2;
        length = std::min(length, text.size() - at);
        const auto found = greekLetters().find(text.substr(at, length));
        if (found != greekLetters().end()) out += found->second;
        at += length;
    }
    return out;
}

std::string fixed16(std::string text) {
    text.resize(tarvo::kStarTextBytes, ' ');
    return text;
}

std::string stringField(const nlohmann::json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

double numberField(const nlohmann::json& value, bool& known) {
    known = true;
    if (value.is_number()) return value.get<double>();
    if (value.is_string()) {
        const std::string s = value.get<std::string>();
        try {
            std::size_t used = 0;
            const double v = std::stod(s, &used);
            if (used > 0) return v;
        } catch (const std::exception&) {
        }
    }
    known = false;
    return 0;
}

// Right ascension and polar distance of a GeoJSON point [lon, lat] in degrees.
void placeRecord(const nlohmann::json& geometry, tarvo::StarRecord& r) {
    const auto& c = geometry.at("coordinates");
    double ra = c.at(0).get<double>(), dec = c.at(1).get<double>();
    if (ra < 0) ra += 360.0;
    double units = ra * std::numbers::pi / 180.0 * tarvo::kStarAngleUnitsPerRadian;
    if (units >= static_cast<double>(tarvo::kStarAngleFullCircle) / 2.0)
        units -= static_cast<double>(tarvo::kStarAngleFullCircle);
    r.rightAscension = static_cast<std::int32_t>(std::lround(units));
    dec = std::clamp(dec, -90.0, 90.0);
    // Field 4 must not be 0 (it ends the data): the south pole itself is one unit off it.
    r.polarDistance = std::max<std::int32_t>(
        1, static_cast<std::int32_t>(std::lround((90.0 + dec) * std::numbers::pi / 180.0 *
                                                 tarvo::kStarAngleUnitsPerRadian)));
}

std::uint16_t magnitudeWord(double magnitude, int colourClass) {
    const int code = std::clamp(
        static_cast<int>(std::lround(magnitude * 40.0)) + tarvo::kMagnitudeCodeOffset, 0, 511);
    return static_cast<std::uint16_t>(code | colourClass << 9);
}

// The four file images, made once per builder run.
struct CatalogueImages {
    std::string stars, names, designations, constellations;
    std::size_t starCount = 0, deepSkyCount = 0;
};

const CatalogueImages& catalogue(const builder::BuildContext& ctx) {
    static std::map<std::string, CatalogueImages> made;
    const std::string key = packageDir(ctx).string();
    if (auto it = made.find(key); it != made.end()) return it->second;
    const auto sources = sourceFiles(ctx);
    const nlohmann::json stars = readJson(sources[0]), starNames = readJson(sources[1]),
                         constellations = readJson(sources[2]), messier = readJson(sources[3]);
    CatalogueImages images;
    std::vector<std::string> names, designations; // record k at index k - 1
    auto append = [&](const tarvo::StarRecord& r) {
        const auto b = tarvo::encodeStarRecord(r);
        images.stars.append(reinterpret_cast<const char*>(b.data()), b.size());
    };
    auto textRecord = [](std::vector<std::string>& list, const std::string& text,
                         std::size_t limit) {
        if (text.empty() || list.size() >= limit) return 0;
        list.push_back(fixed16(text));
        return static_cast<int>(list.size());
    };

    for (const auto& feature : stars.at("features")) {
        tarvo::StarRecord r;
        placeRecord(feature.at("geometry"), r);
        const auto& p = feature.at("properties");
        bool magKnown = false, bvKnown = false;
        const double mag = numberField(p.at("mag"), magKnown);
        if (!magKnown) continue;
        const double bv = p.contains("bv") ? numberField(p.at("bv"), bvKnown) : 0.0;
        r.magnitudeWord = magnitudeWord(mag, tarvo::colourClassFromIndex(bv, bvKnown));
        const int hip = feature.at("id").is_number_integer() ? feature.at("id").get<int>() : 0;
        int nameRecord = 0, designationRecord = 0;
        if (const auto named = starNames.find(std::to_string(hip)); named != starNames.end()) {
            const std::string constellation = stringField(*named, "c");
            std::string designation;
            if (const std::string bayer = ascii(stringField(*named, "bayer")); !bayer.empty())
                designation = bayer + " " + constellation;
            else if (const std::string flam = stringField(*named, "flam"); !flam.empty())
                designation = flam + " " + constellation;
            else if (const std::string var = ascii(stringField(*named, "var")); !var.empty())
                designation = var + " " + constellation;
            nameRecord = textRecord(names, ascii(stringField(*named, "name")), 1023);
            designationRecord = textRecord(designations, designation, 8191);
        }
        r.valueA = std::min(hip, tarvo::kStarValueLimit);
        if (nameRecord != 0) { // a star with a proper name is flagged
            r.polarDistance = -r.polarDistance;
            r.valueA = -r.valueA;
        }
        r.crossReference =
            tarvo::crossReferenceWord(kStarUncertaintyCode, designationRecord, nameRecord, false);
        append(r);
        ++images.starCount;
    }

    for (const auto& feature : messier.at("features")) {
        tarvo::StarRecord r;
        placeRecord(feature.at("geometry"), r);
        const auto& p = feature.at("properties");
        bool magKnown = false;
        double mag = numberField(p.at("mag"), magKnown);
        if (!magKnown || mag > 12.0) mag = 12.0;
        r.magnitudeWord = magnitudeWord(mag, 0);
        // Drawn radius in units of 10": half the larger dimension (arcminutes).
        bool dimKnown = false;
        const double dimension = numberField(p.value("dim", nlohmann::json("")), dimKnown);
        const int radius =
            dimKnown ? std::clamp(static_cast<int>(std::lround(dimension * 3.0)), 1, 255) : 6;
        std::string designation = stringField(p, "name"); // "M42" -> "M 42"
        if (designation.size() > 1 && designation[0] == 'M' && designation[1] != ' ')
            designation.insert(1, " ");
        const int nameRecord = textRecord(names, ascii(stringField(p, "alt")), 1023);
        const int designationRecord = textRecord(designations, ascii(designation), 8191);
        r.crossReference = tarvo::crossReferenceWord(radius, designationRecord, nameRecord, true);
        append(r);
        ++images.deepSkyCount;
    }

    for (const auto& n : names) images.names += n;
    for (const auto& d : designations) images.designations += d;
    for (const auto& feature : constellations.at("features")) {
        std::string id = feature.at("id").get<std::string>();
        id.resize(tarvo::kConstellationLabelBytes, ' ');
        images.constellations += id;
    }
    if (images.constellations.size() !=
        tarvo::kConstellationCount * tarvo::kConstellationLabelBytes)
        throw std::runtime_error(sources[2].string() + " does not hold the 89 constellations");
    return made.emplace(key, std::move(images)).first->second;
}

void writeImage(const fs::path& target, const std::string& bytes) {
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("write failed for " + target.string());
}

builder::Output starOutput(const char* path, std::string CatalogueImages::*member) {
    return {
        .path = path,
        .order = 20,
        .version = "1",
        .inputs = sourceFiles,
        .optionKeys = {"d3-celestial"},
        .build =
            [member, path](const builder::BuildContext& ctx, const fs::path& target) {
                const CatalogueImages& images = catalogue(ctx);
                writeImage(target, images.*member);
                if (std::string(path) == "BIN/STARS3D.BIN")
                    ctx.progress("STARS3D.BIN: " + std::to_string(images.starCount) + " stars, " +
                                 std::to_string(images.deepSkyCount) + " deep-sky objects");
            },
    };
}

builder::Registration starsFile{starOutput("BIN/STARS3D.BIN", &CatalogueImages::stars)};
builder::Registration namesFile{starOutput("BIN/STNAMS3D.BIN", &CatalogueImages::names)};
builder::Registration designationsFile{
    starOutput("BIN/STDES3D.BIN", &CatalogueImages::designations)};
builder::Registration labelsFile{starOutput("ASC/COSTLAB.DAT", &CatalogueImages::constellations)};

// The region filter the "/F" answer of the star prompt reads (the program
// copies it into the working directory for the user to edit).
builder::Registration filterFile{{
    .path = "ASC/FILTER.STR",
    .order = 20,
    .version = "1",
    .inputs = {},
    .optionKeys = {},
    .build = [](const builder::BuildContext&,
                const fs::path& target) { writeImage(target, tarvo::defaultRegionFilterText()); },
}};

} // namespace
