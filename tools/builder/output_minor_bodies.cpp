// BIN/ASTEREL2.BIN, BIN/MIBODIF2.BIN and BIN/COMETS.BIN: the asteroid and
// comet libraries, from the small-body exports of the Debian package
// kstars-data (asteroids.dat, comets.dat: JSON of JPL's small-body database)
// or, when given, the MPC's catalogues (--mpcorb=MPCORB.DAT,
// --cometels=CometEls.txt; mpc_orbit_import.h reads them).
//
// Asteroids: one common epoch, the one most of the source's records share;
// records at any other epoch are left out and counted in the build log.
// Record n is asteroid number n; the numbers the source lacks are blank
// records. Asteroids with a provisional designation only follow the last
// numbered one, in the source's order, named by their designation (without
// the blank when it would exceed 9 characters), so a name search finds them.
//
// One source: D = 0 and MIBODIF2.BIN is empty. MPCORB with the JPL export
// at the same epoch: the base elements lie midway, and the difference
// records give the MPC's elements back with the weight -1 (" Astorb  ") and
// the export's with +1 (" AstDys  "). An export at another epoch lends its
// diameters and albedos only.
//
// Density class from the albedo (below 0.1: class 0, carbonaceous; else 1;
// none: class 3); a missing diameter is estimated from H with albedo 0.15.
// The export has no orbit uncertainties (both codes 0); MPCORB's U gives
// the growth code.
//
// Comets: heliocentric J2000 equatorial states at their own epochs from q,
// e, i, omega, Omega and the perihelion time; H is the export's M1 and K is
// 10 (the export has no slope), or CometEls.txt's H and K = 2.5 G;
// A1 ... A3 are 0.
#include "builder_output.h"

#include "mpc_orbit_import.h"
#include "tarvo/libraries/minor_body_library.h"
#include "tarvo/libraries/orbital_elements.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <memory>
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

// Asteroids of one source at one epoch: numbered ones by number, the
// others (provisional designations) in the source's order.
struct AsteroidSource {
    double epochJd = 0;
    std::map<int, tarvo::AsteroidElementsDecoded> numbered;
    std::vector<tarvo::AsteroidElementsDecoded> provisional;
    int otherEpoch = 0, unfit = 0;
    bool present = false;
};

// Density class and diameter from the export's albedo and diameter, or from H.
void physicalData(tarvo::AsteroidElementsDecoded& el, double h, double albedo, double diameter) {
    el.absoluteMagnitude = std::isnan(h) ? 0 : h;
    el.massClass = std::isnan(albedo) ? 3 : albedo < 0.1 ? 0 : 1;
    el.diameterKm = !std::isnan(diameter) ? diameter
                    : std::isnan(h)       ? 0
                                    : 1329.0 / std::sqrt(kDefaultAlbedo) * std::pow(10.0, -h / 5);
}

// The epoch most of the values share.
double commonValue(const std::vector<double>& values) {
    std::map<double, int> count;
    for (double v : values) ++count[v];
    double common = 0;
    int most = 0;
    for (const auto& [v, n] : count)
        if (n > most) most = n, common = v;
    return common;
}

AsteroidSource readJplAsteroids(const fs::path& file) {
    AsteroidSource src;
    src.present = true;
    const nlohmann::json j = readExport(file);
    const auto c = columns(j);
    std::vector<double> epochs;
    for (const auto& row : j["data"]) epochs.push_back(cell(row, c, "epoch_mjd"));
    const double common = commonValue(epochs);
    src.epochJd = common + kMjdToJd;
    for (const auto& row : j["data"]) {
        if (cell(row, c, "epoch_mjd") != common) {
            ++src.otherEpoch;
            continue;
        }
        const ParsedName name = parseName(row[c.at("full_name")].get<std::string>());
        tarvo::AsteroidElementsDecoded el;
        el.number = name.number;
        el.name = name.name;
        el.eccentricity = cell(row, c, "e");
        el.semiMajorAxis = cell(row, c, "a");
        el.inclination = cell(row, c, "i");
        el.node = cell(row, c, "om");
        el.perihelion = cell(row, c, "w");
        el.meanAnomaly = cell(row, c, "ma");
        physicalData(el, cell(row, c, "H"), cell(row, c, "albedo"), cell(row, c, "diameter"));
        tarvo::AsteroidRecord record;
        std::string why;
        if (name.name.empty() || !tarvo::encodeElements(el, record, why)) {
            ++src.unfit;
            continue;
        }
        if (name.number > 0)
            src.numbered[name.number] = el;
        else
            src.provisional.push_back(el);
    }
    return src;
}

// The library's name of an MPC orbit: the name of a numbered asteroid
// ("(1) Ceres" -> "Ceres"), else its designation, without the blank when
// it would exceed 9 characters.
std::string mpcName(const builder::mpc::MinorPlanetOrbit& o) {
    std::string name = o.readable;
    if (const auto close = name.find(')'); name.rfind("(", 0) == 0 && close != std::string::npos)
        name = trim(name.substr(close + 1));
    if (name.empty()) name = o.designation;
    if (name.size() > tarvo::libraryNameLength)
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
    return name.substr(0, tarvo::libraryNameLength);
}

// Growth of the position uncertainty from the MPC's uncertainty parameter
// U: the along-track runoff per decade is below 648000^(U/9) arcseconds
// (U 0: one arcsecond, U 9: half the orbit), seen from the Sun at a.
double uncertaintyGrowthKmPerYear(int u, double a) {
    if (u < 0) return 0;
    const double arcsecondsPerDecade = std::pow(648000.0, u / 9.0);
    constexpr double kKmPerArcsecondPerAu = 149597870.7 * 4.84813681109536e-6;
    return arcsecondsPerDecade * kKmPerArcsecondPerAu * a / 10;
}

AsteroidSource readMpcAsteroids(const fs::path& file) {
    AsteroidSource src;
    src.present = true;
    const std::vector<builder::mpc::MinorPlanetOrbit> orbits = builder::mpc::readMpcorb(file);
    std::vector<double> epochs;
    epochs.reserve(orbits.size());
    for (const auto& o : orbits) epochs.push_back(o.epochJd);
    src.epochJd = commonValue(epochs);
    for (const auto& o : orbits) {
        if (o.epochJd != src.epochJd) {
            ++src.otherEpoch;
            continue;
        }
        tarvo::AsteroidElementsDecoded el;
        el.number = o.number;
        el.name = mpcName(o);
        el.eccentricity = o.eccentricity;
        el.semiMajorAxis = o.semiMajorAxis;
        el.inclination = o.inclination;
        el.node = o.node;
        el.perihelion = o.perihelion;
        el.meanAnomaly = o.meanAnomaly;
        physicalData(el, o.hasMagnitude ? o.absoluteMagnitude : NAN, NAN, NAN);
        el.uncertaintyGrowthKmPerYear = uncertaintyGrowthKmPerYear(o.uncertainty, o.semiMajorAxis);
        tarvo::AsteroidRecord record;
        std::string why;
        if (el.name.empty() || !tarvo::encodeElements(el, record, why)) {
            ++src.unfit;
            continue;
        }
        if (o.number > 0)
            src.numbered[o.number] = el;
        else
            src.provisional.push_back(el);
    }
    return src;
}

// Base elements and difference record of two sources: `first` is what the
// weight -1 (" Astorb  ") gives back, `second` the weight +1 (" AstDys  ").
// Element k in the units of its field: e and a x 2e9, angles x 1e7.
void splitSources(const tarvo::AsteroidElementsDecoded& first,
                  const tarvo::AsteroidElementsDecoded& second,
                  tarvo::AsteroidElementsDecoded& base, tarvo::DifferenceRecord& difference) {
    const std::array<double, 6> a{first.eccentricity, first.inclination,   first.perihelion,
                                  first.node,         first.semiMajorAxis, first.meanAnomaly};
    const std::array<double, 6> b{second.eccentricity, second.inclination,   second.perihelion,
                                  second.node,         second.semiMajorAxis, second.meanAnomaly};
    static constexpr std::array<double, 6> scale{2e9, 1e7, 1e7, 1e7, 2e9, 1e7};
    static constexpr std::array<bool, 6> angle{false, false, true, true, false, true};
    std::array<double, 6> half{};
    double largest = 0;
    for (std::size_t k = 0; k < 6; ++k) {
        double delta = b[k] - a[k];
        if (angle[k]) delta = std::remainder(delta, 360.0);
        half[k] = delta / 2 * scale[k];
        largest = std::max(largest, std::abs(half[k]));
    }
    int s = 0;
    while (largest / std::ldexp(1.0, s) > 32767) ++s;
    difference.scale = static_cast<std::uint8_t>(s);
    std::array<double, 6> mid{};
    for (std::size_t k = 0; k < 6; ++k) {
        const long d = std::lround(half[k] / std::ldexp(1.0, s));
        difference.d[k] = static_cast<std::int16_t>(d);
        mid[k] = a[k] + std::ldexp(static_cast<double>(d), s) / scale[k];
    }
    base = second; // the export's physical data where it has them
    base.eccentricity = std::max(0.0, mid[0]);
    base.inclination = std::clamp(mid[1], 0.0, 180.0);
    base.perihelion = mid[2];
    base.node = mid[3];
    base.semiMajorAxis = mid[4];
    base.meanAnomaly = mid[5];
    base.name = first.name;
    base.uncertaintyGrowthKmPerYear = first.uncertaintyGrowthKmPerYear;
}

// The library as the two files hold it: records by number and the
// difference records of asteroids 1 ... 4·D.
struct AsteroidLibraryBuild {
    double epochJd = 0;
    std::vector<tarvo::AsteroidRecord> records; // [n - 1]; blank name: not in the library
    std::vector<tarvo::DifferenceRecord> differences;
    std::string log;
};

fs::path mpcorbSource(const builder::BuildContext& ctx) {
    return ctx.option("mpcorb", "");
}

// The JPL export, unless the MPC's catalogue is given and the export is
// switched off (--asteroids=none) or absent at its default place.
fs::path jplAsteroidSource(const builder::BuildContext& ctx) {
    const fs::path jpl = asteroidSource(ctx);
    if (mpcorbSource(ctx).empty()) return jpl;
    if (jpl == "none" || (ctx.option("asteroids").empty() && !fs::exists(jpl))) return {};
    return jpl;
}

AsteroidLibraryBuild buildAsteroidLibrary(const builder::BuildContext& ctx) {
    const fs::path mpcFile = mpcorbSource(ctx), jplFile = jplAsteroidSource(ctx);
    const AsteroidSource mpc = mpcFile.empty() ? AsteroidSource{} : readMpcAsteroids(mpcFile);
    const AsteroidSource jpl = jplFile.empty() ? AsteroidSource{} : readJplAsteroids(jplFile);
    const AsteroidSource& primary = mpc.present ? mpc : jpl;

    AsteroidLibraryBuild lib;
    lib.epochJd = primary.epochJd;
    std::map<int, tarvo::AsteroidElementsDecoded> numbered = primary.numbered;
    std::map<int, tarvo::DifferenceRecord> differences;
    int physicalOnly = 0, jplOnly = 0;
    const bool sameEpoch = mpc.present && jpl.present && jpl.epochJd == mpc.epochJd;
    if (mpc.present && jpl.present) {
        for (const auto& [n, second] : jpl.numbered) {
            auto it = numbered.find(n);
            if (it == numbered.end()) {
                if (sameEpoch) numbered[n] = second, ++jplOnly;
                continue;
            }
            if (sameEpoch) {
                tarvo::AsteroidElementsDecoded base;
                splitSources(it->second, second, base, differences[n]);
                it->second = base;
            } else {
                // Elements of another epoch cannot be compared; the export's
                // diameter and albedo class still serve.
                it->second.massClass = second.massClass;
                it->second.diameterKm = second.diameterKm;
                ++physicalOnly;
            }
        }
    }
    const int lastNumber = numbered.empty() ? 0 : numbered.rbegin()->first;
    lib.records.resize(static_cast<std::size_t>(lastNumber) + primary.provisional.size());
    int unfit = primary.unfit;
    auto put = [&](std::size_t index, const tarvo::AsteroidElementsDecoded& el) {
        std::string why;
        if (!tarvo::encodeElements(el, lib.records[index], why)) {
            lib.records[index] = {};
            ++unfit;
        }
    };
    for (const auto& [n, el] : numbered) put(static_cast<std::size_t>(n) - 1, el);
    for (std::size_t k = 0; k < primary.provisional.size(); ++k)
        put(static_cast<std::size_t>(lastNumber) + k, primary.provisional[k]);
    if (!differences.empty()) {
        const int quarter = (differences.rbegin()->first + 3) / 4;
        if (quarter > 32767)
            throw std::runtime_error("differences up to asteroid " +
                                     std::to_string(differences.rbegin()->first) +
                                     " exceed the 16-bit count of the library header");
        lib.differences.resize(4u * static_cast<unsigned>(quarter));
        for (const auto& [n, d] : differences) lib.differences[static_cast<std::size_t>(n) - 1] = d;
    }
    lib.log =
        std::string(mpc.present ? "MPCORB " + mpcFile.string() : "JPL export " + jplFile.string()) +
        ": " + std::to_string(numbered.size()) + " numbered (records 1-" +
        std::to_string(lastNumber) + "), " + std::to_string(primary.provisional.size()) +
        " by designation (records " + std::to_string(lastNumber + 1) + "-" +
        std::to_string(lib.records.size()) + "), epoch JD " + std::to_string(lib.epochJd) +
        "; left out: " + std::to_string(primary.otherEpoch) + " at other epochs, " +
        std::to_string(unfit) + " the record cannot hold";
    if (mpc.present && jpl.present)
        lib.log += sameEpoch
                       ? "; JPL export at the same epoch: " + std::to_string(differences.size()) +
                             " asteroids with differences (D = " +
                             std::to_string(lib.differences.size() / 4) + "), " +
                             std::to_string(jplOnly) + " from the export alone"
                       : "; JPL export " + jplFile.string() + " at JD " +
                             std::to_string(jpl.epochJd) +
                             ", another epoch: no differences (D = 0), its diameters "
                             "and albedos for " +
                             std::to_string(physicalOnly) + " asteroids";
    else
        lib.log += "; one source: no differences (D = 0)";
    return lib;
}

// Both files come from one reading of the sources, whichever is built first.
const AsteroidLibraryBuild& asteroidLibrary(const builder::BuildContext& ctx) {
    static std::unique_ptr<AsteroidLibraryBuild> built;
    if (!built) {
        built = std::make_unique<AsteroidLibraryBuild>(buildAsteroidLibrary(ctx));
        ctx.progress(built->log);
    }
    return *built;
}

void writeAsteroids(const builder::BuildContext& ctx, const fs::path& target) {
    const AsteroidLibraryBuild& lib = asteroidLibrary(ctx);
    std::string bytes(tarvo::asteroidHeaderBytes + lib.records.size() * tarvo::asteroidRecordBytes,
                      ' ');
    const auto epochBits = std::bit_cast<std::uint64_t>(lib.epochJd);
    for (int k = 0; k < 8; ++k)
        bytes[static_cast<std::size_t>(k)] = static_cast<char>(epochBits >> (8 * k));
    const auto quarter = static_cast<std::uint16_t>(lib.differences.size() / 4);
    bytes[8] = static_cast<char>(quarter & 0xff);
    bytes[9] = static_cast<char>(quarter >> 8);
    for (std::size_t k = 0; k < lib.records.size(); ++k) {
        if (lib.records[k].name.empty()) continue; // a number the library does not hold
        const auto rec = tarvo::encodeAsteroidRecord(lib.records[k]);
        std::copy(rec.begin(), rec.end(),
                  bytes.begin() + static_cast<long>(tarvo::asteroidHeaderBytes +
                                                    k * tarvo::asteroidRecordBytes));
    }
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + target.string());
}

void writeDifferences(const builder::BuildContext& ctx, const fs::path& target) {
    const AsteroidLibraryBuild& lib = asteroidLibrary(ctx);
    std::string bytes;
    bytes.reserve(lib.differences.size() * tarvo::differenceRecordBytes);
    for (const tarvo::DifferenceRecord& d : lib.differences) {
        const auto rec = tarvo::encodeDifferenceRecord(d);
        bytes.append(reinterpret_cast<const char*>(rec.data()), rec.size());
    }
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + target.string());
}

// One comet of a source: its orbit by perihelion, at its epoch.
struct CometSource {
    std::string designation;
    double epochJd = 0;
    tarvo::OrbitElements orbit;
    double absoluteMagnitude = 0, slopeK = kDefaultCometSlope;
};

std::vector<CometSource> jplComets(const fs::path& file) {
    const nlohmann::json j = readExport(file);
    const auto c = columns(j);
    std::vector<CometSource> comets;
    for (const auto& row : j["data"]) {
        CometSource k;
        k.designation = trim(row[c.at("full_name")].get<std::string>());
        const double epochMjd = cell(row, c, "epoch.mjd");
        k.epochJd = std::isfinite(epochMjd) ? std::round(epochMjd + kMjdToJd + 0.5) - 0.5 : NAN;
        k.orbit.perihelionDistance = cell(row, c, "q");
        k.orbit.eccentricity = cell(row, c, "e");
        k.orbit.inclination = cell(row, c, "i");
        k.orbit.argumentOfPerihelion = cell(row, c, "w");
        k.orbit.ascendingNode = cell(row, c, "om");
        k.orbit.perihelionTime = cell(row, c, "tp");
        const double m1 = cell(row, c, "M1");
        k.absoluteMagnitude = std::isnan(m1) ? 0 : m1;
        comets.push_back(std::move(k));
    }
    return comets;
}

// CometEls.txt: the magnitude law m = H + 5 log D + 2.5 G log r, so K = 2.5 G.
std::vector<CometSource> mpcComets(const fs::path& file) {
    std::vector<CometSource> comets;
    for (const builder::mpc::CometOrbit& o : builder::mpc::readCometEls(file)) {
        CometSource k;
        k.designation = o.designation;
        k.epochJd = o.epochJd;
        k.orbit.perihelionDistance = o.perihelionDistance;
        k.orbit.eccentricity = o.eccentricity;
        k.orbit.inclination = o.inclination;
        k.orbit.argumentOfPerihelion = o.perihelion;
        k.orbit.ascendingNode = o.node;
        k.orbit.perihelionTime = o.perihelionJd;
        k.absoluteMagnitude = o.absoluteMagnitude;
        k.slopeK = 2.5 * o.slope;
        comets.push_back(std::move(k));
    }
    return comets;
}

void writeComets(const builder::BuildContext& ctx, const fs::path& target) {
    const std::string mpcFile = ctx.option("cometels");
    const std::vector<CometSource> comets =
        mpcFile.empty() ? jplComets(cometSource(ctx)) : mpcComets(mpcFile);
    std::string bytes;
    int unfit = 0, written = 0;
    for (const CometSource& k : comets) {
        tarvo::CometRecord r;
        r.name = trim(k.designation.substr(0, tarvo::libraryNameLength));
        r.designation = k.designation.substr(0, 23);
        r.absoluteMagnitude = k.absoluteMagnitude;
        r.slopeK = k.slopeK;
        tarvo::CartesianState s;
        const bool finite = std::isfinite(k.epochJd) &&
                            std::isfinite(static_cast<double>(k.orbit.perihelionTime)) &&
                            std::isfinite(static_cast<double>(k.orbit.eccentricity));
        if (!finite || r.name.empty()) {
            ++unfit;
            continue;
        }
        r.epochJ = static_cast<std::int32_t>(std::lround(k.epochJd + 0.5));
        if (!tarvo::elementsToState(tarvo::ElementConversion{}, 0, r.epochJ - 0.5L, k.orbit, s)
                 .ok) {
            ++unfit;
            continue;
        }
        for (std::size_t i = 0; i < 3; ++i) {
            r.position[i] = static_cast<double>(s.position[i]);
            r.velocity[i] = static_cast<double>(s.velocity[i]);
        }
        const auto rec = tarvo::encodeCometRecord(r);
        bytes.append(reinterpret_cast<const char*>(rec.data()), rec.size());
        ++written;
    }
    if (written == 0) throw std::runtime_error("no comet with a usable orbit");
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + target.string());
    ctx.progress("comets from " + (mpcFile.empty() ? cometSource(ctx).string() : mpcFile) + ": " +
                 std::to_string(written) + " written, " + std::to_string(unfit) +
                 " without a usable orbit");
}

// The files the asteroid library is read from.
std::vector<fs::path> asteroidInputs(const builder::BuildContext& ctx) {
    std::vector<fs::path> inputs;
    for (const fs::path& p : {mpcorbSource(ctx), jplAsteroidSource(ctx)})
        if (!p.empty()) inputs.push_back(p);
    return inputs;
}

const builder::Registration asteroids{
    {"BIN/ASTEREL2.BIN", 60, "2", asteroidInputs, {"asteroids", "mpcorb"}, writeAsteroids}};

const builder::Registration differences{
    {"BIN/MIBODIF2.BIN", 60, "2", asteroidInputs, {"asteroids", "mpcorb"}, writeDifferences}};

const builder::Registration comets{{"BIN/COMETS.BIN",
                                    60,
                                    "2",
                                    [](const builder::BuildContext& ctx) {
                                        const std::string mpc = ctx.option("cometels");
                                        return std::vector<fs::path>{mpc.empty() ? cometSource(ctx)
                                                                                 : fs::path(mpc)};
                                    },
                                    {"comets", "cometels"},
                                    writeComets}};

} // namespace
