// BIN/ASTEREL2.BIN, BIN/MIBODIF2.BIN and BIN/COMETS.BIN: the asteroid and
// comet libraries, from the small-body exports of the Debian package
// kstars-data (asteroids.dat, comets.dat: JSON of JPL's small-body database).
//
// Asteroids: one common epoch, the one most of the export's records share
// (MJD 59800, 2022-08-09 TT); records at any other epoch are left out and
// counted in the build log. Record n is asteroid number n; the numbers the
// export lacks are blank records. Asteroids with a provisional designation
// only follow the last numbered one, in the export's order, named by their
// designation (without the blank when it would exceed 9 characters), so a
// name search finds them. One source only: D = 0 and MIBODIF2.BIN is empty.
// Density class from the albedo (below 0.1: class 0, carbonaceous; else 1;
// none: class 3); a missing diameter is estimated from H with albedo 0.15.
// The export has no orbit uncertainties: both uncertainty codes are 0.
//
// Comets: heliocentric J2000 equatorial states at their own epochs from q,
// e, i, omega, Omega and the perihelion time; H is the export's M1, and K
// is 10 (the export has no slope); A1 ... A3 are 0.
#include "builder_output.h"

#include "tarvo/libraries/minor_body_library.h"
#include "tarvo/libraries/orbital_elements.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr double kMjdToJd = 2400000.5;
constexpr double kDefaultAlbedo = 0.15;
constexpr double kDefaultCometSlope = 10.0;

fs::path asteroidSource(const builder::BuildContext& ctx) {
    return ctx.option("asteroids", "/usr/share/kstars/asteroids.dat");
}
fs::path cometSource(const builder::BuildContext& ctx) {
    return ctx.option("comets", "/usr/share/kstars/comets.dat");
}

nlohmann::json readExport(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string() +
                                 " (Debian package kstars-data; scripts/setup installs it)");
    nlohmann::json j;
    try {
        j = nlohmann::json::parse(in);
    } catch (const std::exception& e) {
        throw std::runtime_error(file.string() + ": " + e.what());
    }
    if (!j.contains("fields") || !j.contains("data") || !j["fields"].is_array() ||
        !j["data"].is_array())
        throw std::runtime_error(file.string() + ": no \"fields\" and \"data\" arrays");
    return j;
}

// Column index by field name.
std::map<std::string, std::size_t> columns(const nlohmann::json& j) {
    std::map<std::string, std::size_t> c;
    for (std::size_t k = 0; k < j["fields"].size(); ++k) c[j["fields"][k].get<std::string>()] = k;
    return c;
}

// A numeric cell (the export writes numbers as strings, sometimes as numbers); NaN when absent.
double cell(const nlohmann::json& row, const std::map<std::string, std::size_t>& c,
            const std::string& name) {
    const auto it = c.find(name);
    if (it == c.end() || it->second >= row.size()) return NAN;
    const nlohmann::json& v = row[it->second];
    if (v.is_number()) return v.get<double>();
    if (!v.is_string()) return NAN;
    const std::string text = v.get<std::string>();
    char* end = nullptr;
    const double x = std::strtod(text.c_str(), &end);
    return end == text.c_str() ? NAN : x;
}

std::string trim(std::string s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

struct ParsedName {
    int number = 0;   // 0: provisional designation only
    std::string name; // the library's 9-character name
};

// "     1 Ceres (A801 AA)" -> 1, "Ceres"; "       (1927 LA)" -> 0, "1927 LA".
ParsedName parseName(const std::string& full) {
    ParsedName p;
    std::string s = trim(full);
    std::size_t used = 0;
    if (!s.empty() && std::isdigit(static_cast<unsigned char>(s[0]))) {
        p.number = std::stoi(s, &used);
        s = trim(s.substr(used));
    }
    const auto open = s.find('(');
    std::string name = trim(open == std::string::npos ? s : s.substr(0, open));
    if (name.empty() && open != std::string::npos) {
        name = trim(s.substr(open + 1, s.find(')') - open - 1));
        if (name.size() > tarvo::libraryNameLength)
            name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    }
    p.name = name.substr(0, tarvo::libraryNameLength);
    return p;
}

void writeAsteroids(const builder::BuildContext& ctx, const fs::path& target) {
    const nlohmann::json j = readExport(asteroidSource(ctx));
    const auto c = columns(j);
    std::map<double, int> epochs;
    for (const auto& row : j["data"]) ++epochs[cell(row, c, "epoch_mjd")];
    double common = 0;
    int most = 0;
    for (const auto& [e, n] : epochs)
        if (n > most) most = n, common = e;

    std::map<int, tarvo::AsteroidRecord> numbered;
    std::vector<tarvo::AsteroidRecord> provisional;
    int otherEpoch = 0, unfit = 0, lastNumber = 0;
    for (const auto& row : j["data"]) {
        if (cell(row, c, "epoch_mjd") != common) {
            ++otherEpoch;
            continue;
        }
        const ParsedName name = parseName(row[c.at("full_name")].get<std::string>());
        tarvo::AsteroidElementsDecoded el;
        el.name = name.name;
        el.eccentricity = cell(row, c, "e");
        el.semiMajorAxis = cell(row, c, "a");
        el.inclination = cell(row, c, "i");
        el.node = cell(row, c, "om");
        el.perihelion = cell(row, c, "w");
        el.meanAnomaly = cell(row, c, "ma");
        const double h = cell(row, c, "H"), albedo = cell(row, c, "albedo");
        el.absoluteMagnitude = std::isnan(h) ? 0 : h;
        el.massClass = std::isnan(albedo) ? 3 : albedo < 0.1 ? 0 : 1;
        const double diameter = cell(row, c, "diameter");
        el.diameterKm = !std::isnan(diameter) ? diameter
                        : std::isnan(h)
                            ? 0
                            : 1329.0 / std::sqrt(kDefaultAlbedo) * std::pow(10.0, -h / 5);
        tarvo::AsteroidRecord record;
        std::string why;
        if (name.name.empty() || !tarvo::encodeElements(el, record, why)) {
            ++unfit;
            continue;
        }
        if (name.number > 0) {
            numbered[name.number] = record;
            lastNumber = std::max(lastNumber, name.number);
        } else {
            provisional.push_back(record);
        }
    }
    const std::size_t count = static_cast<std::size_t>(lastNumber) + provisional.size();
    std::string bytes(tarvo::asteroidHeaderBytes + count * tarvo::asteroidRecordBytes, ' ');
    const double epochJd = common + kMjdToJd;
    const auto epochBits = std::bit_cast<std::uint64_t>(epochJd);
    for (int k = 0; k < 8; ++k)
        bytes[static_cast<std::size_t>(k)] = static_cast<char>(epochBits >> (8 * k));
    bytes[8] = bytes[9] = 0; // D = 0
    auto put = [&](std::size_t number, const tarvo::AsteroidRecord& r) {
        const auto rec = tarvo::encodeAsteroidRecord(r);
        std::copy(rec.begin(), rec.end(),
                  bytes.begin() + static_cast<long>(tarvo::asteroidHeaderBytes +
                                                    (number - 1) * tarvo::asteroidRecordBytes));
    };
    for (const auto& [n, r] : numbered) put(static_cast<std::size_t>(n), r);
    for (std::size_t k = 0; k < provisional.size(); ++k)
        put(static_cast<std::size_t>(lastNumber) + 1 + k, provisional[k]);
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + target.string());
    ctx.progress("asteroids: " + std::to_string(numbered.size()) + " numbered (records 1-" +
                 std::to_string(lastNumber) + "), " + std::to_string(provisional.size()) +
                 " by designation (records " + std::to_string(lastNumber + 1) + "-" +
                 std::to_string(count) + "), epoch JD " + std::to_string(epochJd) +
                 "; left out: " + std::to_string(otherEpoch) + " at other epochs, " +
                 std::to_string(unfit) + " the record cannot hold");
}

void writeComets(const builder::BuildContext& ctx, const fs::path& target) {
    const nlohmann::json j = readExport(cometSource(ctx));
    const auto c = columns(j);
    std::string bytes;
    int unfit = 0, written = 0;
    for (const auto& row : j["data"]) {
        const std::string full = trim(row[c.at("full_name")].get<std::string>());
        const double epochMjd = cell(row, c, "epoch.mjd");
        tarvo::OrbitElements oe;
        oe.perihelionDistance = cell(row, c, "q");
        oe.eccentricity = cell(row, c, "e");
        oe.inclination = cell(row, c, "i");
        oe.argumentOfPerihelion = cell(row, c, "w");
        oe.ascendingNode = cell(row, c, "om");
        oe.perihelionTime = cell(row, c, "tp");
        tarvo::CometRecord r;
        r.name = trim(full.substr(0, tarvo::libraryNameLength));
        r.designation = full.substr(0, 23);
        r.epochJ = static_cast<std::int32_t>(std::lround(epochMjd + kMjdToJd + 0.5));
        const double m1 = cell(row, c, "M1");
        r.absoluteMagnitude = std::isnan(m1) ? 0 : m1;
        r.slopeK = kDefaultCometSlope;
        tarvo::CartesianState s;
        const bool finite = std::isfinite(epochMjd) &&
                            std::isfinite(static_cast<double>(oe.perihelionTime)) &&
                            std::isfinite(static_cast<double>(oe.eccentricity));
        if (!finite || full.empty() ||
            !tarvo::elementsToState(tarvo::ElementConversion{}, 0, r.epochJ - 0.5L, oe, s).ok) {
            ++unfit;
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            r.position[static_cast<std::size_t>(k)] =
                static_cast<double>(s.position[static_cast<std::size_t>(k)]);
            r.velocity[static_cast<std::size_t>(k)] =
                static_cast<double>(s.velocity[static_cast<std::size_t>(k)]);
        }
        const auto rec = tarvo::encodeCometRecord(r);
        bytes.append(reinterpret_cast<const char*>(rec.data()), rec.size());
        ++written;
    }
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + target.string());
    ctx.progress("comets: " + std::to_string(written) + " written, " + std::to_string(unfit) +
                 " without a usable orbit");
}

const builder::Registration asteroids{
    {"BIN/ASTEREL2.BIN",
     60,
     "1",
     [](const builder::BuildContext& ctx) { return std::vector<fs::path>{asteroidSource(ctx)}; },
     {"asteroids"},
     writeAsteroids}};

const builder::Registration differences{
    {"BIN/MIBODIF2.BIN",
     60,
     "1",
     [](const builder::BuildContext&) { return std::vector<fs::path>{}; },
     {},
     [](const builder::BuildContext&, const fs::path& target) {
         std::ofstream out(target, std::ios::binary); // one source: no difference records
         if (!out) throw std::runtime_error("cannot write " + target.string());
     }}};

const builder::Registration comets{
    {"BIN/COMETS.BIN",
     60,
     "1",
     [](const builder::BuildContext& ctx) { return std::vector<fs::path>{cometSource(ctx)}; },
     {"comets"},
     writeComets}};

} // namespace
