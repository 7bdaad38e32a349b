// The MPC's catalogues as the builder imports them: packed numbers,
// designations and epochs; an MPCORB excerpt written here in the MPC's
// fixed columns, alone and with a JPL export of the same or another epoch;
// CometEls.txt; and damaged catalogues, which fail the build and write
// nothing.
#include <gtest/gtest.h>

#include <erfa.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "mpc_orbit_import.h"
#include "scratch_directory.h"
#include "tarvo/libraries/minor_body_library.h"
#include "tarvo/libraries/orbital_elements.h"

namespace fs = std::filesystem;
using namespace builder::mpc;

namespace {

const fs::path kBuilder = fs::path(TARVO_BIN_DIR) / "tarvo-build-data";

TEST(MpcPackedForms, NumbersOfEveryWidth) {
    int n = 0;
    for (const auto& [packed, number] :
         std::vector<std::pair<const char*, int>>{{"00001", 1},
                                                  {"00433", 433},
                                                  {"99999", 99999},
                                                  {"A0000", 100000},
                                                  {"D6199", 136199},
                                                  {"K1234", 201234},
                                                  {"a0000", 360000},
                                                  {"z9999", 619999},
                                                  {"~0000", 620000},
                                                  {"~000z", 620061},
                                                  {"~0010", 620062},
                                                  {"~zzzz", 620000 + 62 * 62 * 62 * 62 - 1}}) {
        SCOPED_TRACE(packed);
        ASSERT_TRUE(unpackNumber(packed, n));
        EXPECT_EQ(n, number);
    }
    for (const char* bad : {"0000", "000001", "A00x0", "~00-0", "00000", " 0001"})
        EXPECT_FALSE(unpackNumber(bad, n)) << bad;
}

TEST(MpcPackedForms, ProvisionalAndSurveyDesignations) {
    std::string d;
    for (const auto& [packed, designation] :
         std::vector<std::pair<const char*, const char*>>{{"J95X00A", "1995 XA"},
                                                          {"J95X01L", "1995 XL1"},
                                                          {"K07Tf8A", "2007 TA418"},
                                                          {"K19A01B", "2019 AB1"},
                                                          {"I98A00A", "1898 AA"},
                                                          {"PLS2040", "2040 P-L"},
                                                          {"T1S3138", "3138 T-1"},
                                                          {"T3S2004", "2004 T-3"}}) {
        ASSERT_TRUE(unpackDesignation(packed, d)) << packed;
        EXPECT_EQ(d, designation);
    }
    for (const char* bad : {"K07T", "K07Tf8", "K07tf8A", "K07T-8A", "Z07Tf8A", "K0XTf8A"})
        EXPECT_FALSE(unpackDesignation(bad, d)) << bad;
}

TEST(MpcPackedForms, EpochsAgainstTheCalendarOfErfa) {
    for (const auto& [packed, y, m, dd] :
         std::vector<std::tuple<const char*, int, int, int>>{{"K24AH", 2024, 10, 17},
                                                             {"J9611", 1996, 1, 1},
                                                             {"K00CV", 2000, 12, 31},
                                                             {"I9922", 1899, 2, 2},
                                                             {"K242T", 2024, 2, 29}}) {
        SCOPED_TRACE(packed);
        double jd = 0, djm0 = 0, djm = 0;
        ASSERT_TRUE(unpackEpoch(packed, jd));
        ASSERT_EQ(eraCal2jd(y, m, dd, &djm0, &djm), 0);
        EXPECT_EQ(jd, djm0 + djm);
    }
    double jd = 0;
    for (const char* bad : {"K24DH", "K240H", "K2A1H", "K242U", "X24AH", "K24A"})
        EXPECT_FALSE(unpackEpoch(bad, jd)) << bad;
}

// One orbit in the columns of MPCORB.DAT.
struct Orbit {
    const char* packed;
    const char* readable;
    double h, m, peri, node, incl, e, a;
    const char* epoch = "K24AH";
    int u = 0;
};

std::string mpcorbLine(const Orbit& o) {
    char line[256];
    const double n = 0.9856076686 / std::pow(o.a, 1.5);
    std::snprintf(line, sizeof line,
                  "%-7s %5.2f %5.2f %5s %9.5f  %9.5f  %9.5f  %9.5f  %9.7f %11.8f %11.7f  %1d "
                  "%-9s %5d %3d %9s %4.2f %3s %3s %-10s %04x %-28s%8d",
                  o.packed, o.h, 0.15, o.epoch, o.m, o.peri, o.node, o.incl, o.e, n, o.a, o.u,
                  "E2024-V47", 7330, 125, "1801-2024", 0.80, "M-v", "30k", "MPCLINUX", 0x4000,
                  o.readable, 20240916);
    return line;
}

const std::vector<Orbit> kExcerpt = {
    {"00001", "(1) Ceres", 3.34, 145.84905, 73.27460, 80.25212, 10.58790, 0.0789175, 2.7666024},
    {"00002", "(2) Pallas", 4.11, 123.53007, 310.93325, 172.88650, 34.92660, 0.2306424, 2.7706741},
    {"00004", "(4) Vesta", 3.25, 26.80893, 151.53712, 103.70232, 7.14406, 0.0902009, 2.3615230},
    {"00433", "(433) Eros", 10.39, 310.55446, 178.92918, 304.27604, 10.82843, 0.2228359, 1.4580282},
    {"A0000", "(100000) Astronautica", 14.51, 12.34567, 23.45678, 34.56789, 4.56789, 0.1234567,
     2.6543210, "K24AH", 3},
    {"D6199", "(136199) Eris", -1.10, 205.98941, 150.73103, 36.02708, 43.86062, 0.4370043,
     67.9957660},
    {"~0000", "(620000) 2007 TA418", 17.20, 300.00000, 10.00000, 20.00000, 5.00000, 0.1500000,
     2.4000000},
    {"K07Tf8B", "2007 TB418", 18.10, 1.00000, 2.00000, 3.00000, 4.00000, 0.0500000, 2.2000000},
    {"J95X00A", "1995 XA", 16.30, 359.99999, 0.00001, 180.00000, 179.99999, 0.0000000, 3.1000000}};

std::string mpcorbText(const std::vector<Orbit>& orbits) {
    std::string text = "MINOR PLANET CENTER ORBIT DATABASE (MPCORB)\n\n"
                       "Des'n     H     G   Epoch     M        Peri.      Node       Incl.       e"
                       "            n           a        Reference #Obs #Opp    Arc    rms  Perts"
                       "   Computer\n"
                       "--------------------------------------------------------------------------"
                       "--------------------------------------------------------------------------"
                       "------------\n";
    for (const Orbit& o : orbits) text += mpcorbLine(o) + "\n";
    return text;
}

void writeText(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A JPL export in the layout of kstars-data's asteroids.dat.
void writeJplExport(const fs::path& file, double epochMjd,
                    const std::vector<std::tuple<std::string, std::array<double, 6>, double>>&
                        rows) { // name, {e, a, i, om, w, ma}, diameter
    nlohmann::json j;
    j["fields"] = {"full_name", "epoch_mjd", "e", "a",      "i",       "om",
                   "w",         "ma",        "H", "albedo", "diameter"};
    j["data"] = nlohmann::json::array();
    for (const auto& [name, el, diameter] : rows)
        j["data"].push_back({name, std::to_string(epochMjd), el[0], el[1], el[2], el[3], el[4],
                             el[5], "3.3", "0.09", diameter});
    std::ofstream(file) << j.dump();
}

class MpcImport : public tarvo::testing::ScratchDirectoryTest {
  protected:
    // Runs the builder for the two asteroid files; true when it succeeded.
    bool buildAsteroids(const std::string& options, const fs::path& tree) {
        bool ok = true;
        for (const char* only : {"ASTEREL2", "MIBODIF2"}) {
            const std::string command = kBuilder.string() + " --tree " + tree.string() +
                                        " --only " + only + " " + options + " > " +
                                        (dir / "log").string() + " 2> " + (dir / "errors").string();
            ok = std::system(command.c_str()) == 0 && ok;
            errors += readText(dir / "errors");
        }
        return ok;
    }
    std::string errors;
};

void expectElements(const tarvo::AsteroidElementsDecoded& el, const Orbit& o, double tolerance) {
    EXPECT_NEAR(el.eccentricity, o.e, 2.6e-10 + tolerance);
    EXPECT_NEAR(el.semiMajorAxis, o.a, 2.6e-10 + tolerance);
    EXPECT_NEAR(el.inclination, o.incl, 5.1e-8 + tolerance);
    EXPECT_NEAR(std::remainder(el.perihelion - o.peri, 360.0), 0, 5.1e-8 + tolerance);
    EXPECT_NEAR(std::remainder(el.node - o.node, 360.0), 0, 5.1e-8 + tolerance);
    EXPECT_NEAR(std::remainder(el.meanAnomaly - o.m, 360.0), 0, 5.1e-8 + tolerance);
}

TEST_F(MpcImport, MpcorbAloneFillsTheNumbersAndTheDesignations) {
    writeText(dir / "MPCORB.DAT", mpcorbText(kExcerpt));
    for (const Orbit& o : kExcerpt) ASSERT_EQ(mpcorbLine(o).substr(20, 5), o.epoch);
    ASSERT_TRUE(buildAsteroids("--mpcorb=" + (dir / "MPCORB.DAT").string() + " --asteroids=none",
                               dir / "tree"))
        << errors;
    tarvo::AsteroidLibrary lib;
    std::string message;
    ASSERT_TRUE(lib.open(dir / "tree/BIN", message)) << message;
    EXPECT_EQ(lib.epochJd(), 2460600.5);
    EXPECT_EQ(lib.differenceQuarter(), 0);
    EXPECT_EQ(fs::file_size(dir / "tree/BIN/MIBODIF2.BIN"), 0u);
    EXPECT_EQ(lib.recordCount(), 620000 + 2); // the numbered ones, then two designations

    const std::vector<std::pair<int, std::string>> names = {
        {1, "Ceres"},          {2, "Pallas"},         {4, "Vesta"},
        {433, "Eros"},         {100000, "Astronaut"}, {136199, "Eris"},
        {620000, "2007TA418"}, {620001, "2007TB418"}, {620002, "1995 XA"}};
    for (std::size_t k = 0; k < names.size(); ++k) {
        const auto& [number, name] = names[k];
        SCOPED_TRACE(name);
        EXPECT_EQ(lib.findByName(name), number);
        for (auto source : {tarvo::ElementSource::Average, tarvo::ElementSource::Astorb,
                            tarvo::ElementSource::AstDys, tarvo::ElementSource::TwinLib}) {
            tarvo::AsteroidElementsDecoded el;
            ASSERT_TRUE(lib.elements(number, source, el));
            expectElements(el, kExcerpt[k], 0);
        }
    }
    tarvo::AsteroidRecord blank;
    EXPECT_FALSE(lib.find(3, blank));
    EXPECT_FALSE(lib.find(619999, blank));
    // No albedo or diameter in MPCORB: class 3, the diameter from H with albedo 0.15.
    tarvo::AsteroidElementsDecoded eros;
    ASSERT_TRUE(lib.elements(433, tarvo::ElementSource::Average, eros));
    EXPECT_EQ(eros.massClass, 3);
    EXPECT_NEAR(eros.diameterKm, 1329.0 / std::sqrt(0.15) * std::pow(10.0, -10.39 / 5), 0.13);
    EXPECT_NEAR(eros.absoluteMagnitude, 10.4, 1e-9);
    // U 3 of (100000): the runoff of 648000^(3/9) arcseconds a decade, at 2.65 AU.
    tarvo::AsteroidElementsDecoded astronautica;
    ASSERT_TRUE(lib.elements(100000, tarvo::ElementSource::Average, astronautica));
    const double growth = std::cbrt(648000.0) * 725.27 * 2.654321 / 10;
    EXPECT_NEAR(astronautica.uncertaintyGrowthKmPerYear / growth, 1, 0.04);
}

TEST_F(MpcImport, WithTheJplExportOfTheSameEpochTheSourcesDiffer) {
    writeText(dir / "MPCORB.DAT", mpcorbText(kExcerpt));
    // Ceres and Vesta differ between the two sources; Vesta's node across 0/360.
    const Orbit ceres = kExcerpt[0];
    Orbit vesta = kExcerpt[2];
    vesta.node = 359.99;
    writeText(dir / "MPCORB.DAT",
              mpcorbText({ceres, kExcerpt[1], vesta, kExcerpt[3], kExcerpt[5]}));
    const Orbit ceresJpl{"", "", 3.34, 145.84, 73.28, 80.26, 10.5879, 0.0789, 2.76661};
    const Orbit vestaJpl{"", "", 3.25, 26.80, 151.54, 0.02, 7.14, 0.0903, 2.3616};
    writeJplExport(
        dir / "jpl.json", 60600,
        {{"     1 Ceres (A801 AA)",
          {ceresJpl.e, ceresJpl.a, ceresJpl.incl, ceresJpl.node, ceresJpl.peri, ceresJpl.m},
          939.4},
         {"     4 Vesta (A807 FA)",
          {vestaJpl.e, vestaJpl.a, vestaJpl.incl, vestaJpl.node, vestaJpl.peri, vestaJpl.m},
          525.4}});
    ASSERT_TRUE(buildAsteroids("--mpcorb=" + (dir / "MPCORB.DAT").string() +
                                   " --asteroids=" + (dir / "jpl.json").string(),
                               dir / "tree"))
        << errors;
    tarvo::AsteroidLibrary lib;
    std::string message;
    ASSERT_TRUE(lib.open(dir / "tree/BIN", message)) << message;
    EXPECT_EQ(lib.differenceQuarter(), 1); // asteroids 1 ... 4
    EXPECT_EQ(fs::file_size(dir / "tree/BIN/MIBODIF2.BIN"), 4u * 13u);
    for (const auto& [number, mpc, jpl] :
         std::vector<std::tuple<int, Orbit, Orbit>>{{1, ceres, ceresJpl}, {4, vesta, vestaJpl}}) {
        SCOPED_TRACE(number);
        const tarvo::DifferenceRecord* d = lib.difference(number);
        ASSERT_NE(d, nullptr);
        // One step of the difference scale: the rounding of the midway elements.
        const double step = std::ldexp(1.0, d->scale);
        tarvo::AsteroidElementsDecoded astorb, astdys, average, twin;
        ASSERT_TRUE(lib.elements(number, tarvo::ElementSource::Astorb, astorb));
        ASSERT_TRUE(lib.elements(number, tarvo::ElementSource::AstDys, astdys));
        ASSERT_TRUE(lib.elements(number, tarvo::ElementSource::Average, average));
        ASSERT_TRUE(lib.elements(number, tarvo::ElementSource::TwinLib, twin));
        expectElements(astorb, mpc, 0);
        expectElements(astdys, jpl, step * 1e-7);
        EXPECT_NEAR(average.eccentricity, (mpc.e + jpl.e) / 2, step / 2e9 + 1e-9);
        EXPECT_NEAR(twin.semiMajorAxis - astdys.semiMajorAxis,
                    astdys.semiMajorAxis - average.semiMajorAxis, 1e-9);
        EXPECT_EQ(average.massClass, 0); // the export's albedo 0.09
    }
    // Across 0/360 the difference is the short way round.
    tarvo::AsteroidElementsDecoded vestaAverage;
    ASSERT_TRUE(lib.elements(4, tarvo::ElementSource::Average, vestaAverage));
    EXPECT_NEAR(std::remainder(vestaAverage.node - 0.005, 360.0), 0, 1e-6);
    // Pallas, inside 1 ... 4·D but in one source only: the same for every source.
    tarvo::AsteroidElementsDecoded pallasOrb, pallasDys;
    ASSERT_TRUE(lib.elements(2, tarvo::ElementSource::Astorb, pallasOrb));
    ASSERT_TRUE(lib.elements(2, tarvo::ElementSource::AstDys, pallasDys));
    EXPECT_EQ(pallasOrb.meanAnomaly, pallasDys.meanAnomaly);
}

TEST_F(MpcImport, AJplExportOfAnotherEpochLendsDiametersOnly) {
    writeText(dir / "MPCORB.DAT", mpcorbText(kExcerpt));
    writeJplExport(dir / "jpl.json", 59800,
                   {{"     1 Ceres (A801 AA)", {0.07, 2.77, 10.6, 80.3, 73.5, 291.4}, 939.4}});
    ASSERT_TRUE(buildAsteroids("--mpcorb=" + (dir / "MPCORB.DAT").string() +
                                   " --asteroids=" + (dir / "jpl.json").string(),
                               dir / "tree"))
        << errors;
    tarvo::AsteroidLibrary lib;
    std::string message;
    ASSERT_TRUE(lib.open(dir / "tree/BIN", message)) << message;
    EXPECT_EQ(lib.differenceQuarter(), 0);
    tarvo::AsteroidElementsDecoded ceres;
    ASSERT_TRUE(lib.elements(1, tarvo::ElementSource::AstDys, ceres));
    expectElements(ceres, kExcerpt[0], 0);
    EXPECT_NEAR(ceres.diameterKm, 939.4, 0.125); // in quarters of a km
    EXPECT_EQ(ceres.massClass, 0);
}

TEST_F(MpcImport, DamagedCataloguesFailTheBuildAndWriteNothing) {
    // A library built before from a sound excerpt must survive every failure unchanged.
    writeText(dir / "MPCORB.DAT", mpcorbText(kExcerpt));
    const std::string sound = "--asteroids=none --mpcorb=" + (dir / "MPCORB.DAT").string();
    ASSERT_TRUE(buildAsteroids(sound, dir / "tree")) << errors;
    const std::string before = readText(dir / "tree/BIN/ASTEREL2.BIN");

    const std::string text = mpcorbText(kExcerpt);
    std::string garbageField = text;
    garbageField.replace(garbageField.find("0.2228359"), 9, "0.22x8359");
    std::string badNumber = text;
    badNumber.replace(badNumber.find("00433"), 5, "0#433");
    std::string hyperbolic = text;
    hyperbolic.replace(hyperbolic.find("0.2228359"), 9, "1.2228359");
    std::string binary = text;
    binary[binary.size() / 2] = '\0';
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"truncated", text.substr(0, text.size() - 150), "truncated"},
        {"garbage field", garbageField, "e (columns 71-79) is no number"},
        {"bad number", badNumber, "no packed number"},
        {"hyperbolic", hyperbolic, "no elliptic orbit"},
        {"binary", binary, "control character"},
        {"header only", text.substr(0, text.find("00001")), "no orbit records"},
        {"not a catalogue", "hello\nworld\n", "truncated"}};
    for (const auto& [what, damaged, expected] : cases) {
        SCOPED_TRACE(what);
        errors.clear();
        writeText(dir / "bad.dat", damaged);
        const std::string options = "--asteroids=none --mpcorb=" + (dir / "bad.dat").string();
        EXPECT_FALSE(buildAsteroids(options, dir / "fresh"));
        EXPECT_NE(errors.find(expected), std::string::npos) << errors;
        EXPECT_FALSE(fs::exists(dir / "fresh/BIN/ASTEREL2.BIN"));
        EXPECT_FALSE(fs::exists(dir / "fresh/BIN/MIBODIF2.BIN"));
        EXPECT_FALSE(buildAsteroids(options, dir / "tree"));
        EXPECT_EQ(readText(dir / "tree/BIN/ASTEREL2.BIN"), before);
    }
    // Oversized: a sparse file past the largest catalogue accepted.
    errors.clear();
    { std::ofstream(dir / "huge.dat", std::ios::binary) << "x"; }
    fs::resize_file(dir / "huge.dat", maximumCatalogueBytes + 1);
    EXPECT_FALSE(
        buildAsteroids("--asteroids=none --mpcorb=" + (dir / "huge.dat").string(), dir / "tree"));
    EXPECT_NE(errors.find("too large"), std::string::npos) << errors;
    EXPECT_EQ(readText(dir / "tree/BIN/ASTEREL2.BIN"), before);
    fs::remove(dir / "huge.dat");
}

// One comet in the columns of CometEls.txt.
std::string cometLine(const char* number, double q, double e, double peri, double node, double incl,
                      int py, int pm, double pd, const char* epoch, double h, double g,
                      const char* name) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "%-12s  %4d %02d %7.4f %9.6f  %8.6f  %8.4f  %8.4f  %8.4f  %-8s  %4.1f %4.1f  "
                  "%-56s %-9s",
                  number, py, pm, pd, q, e, peri, node, incl, epoch, h, g, name, "MPC106447");
    return line;
}

TEST_F(MpcImport, CometElsGivesStatesWhoseElementsComeBack) {
    const std::string text =
        cometLine("0001P", 0.574636, 0.967941, 111.8473, 59.4107, 162.1880, 1986, 2, 5.4561,
                  "20240808", 4.0, 6.0, "1P/Halley") +
        "\n" +
        cometLine("0002P", 0.339450, 0.847562, 187.2790, 334.1459, 11.3474, 2023, 10, 22.5217,
                  "20231021", 14.3, 2.8, "2P/Encke") +
        "\n" +
        cometLine("    CJ95O010", 0.890756, 0.995068, 130.4063, 282.4575, 89.4223, 1997, 4, 1.1354,
                  "", 1.0, 4.0, "C/1995 O1 (Hale-Bopp)") +
        "\n";
    writeText(dir / "CometEls.txt", text);
    const std::string command = kBuilder.string() + " --tree " + (dir / "tree").string() +
                                " --only COMETS --cometels=" + (dir / "CometEls.txt").string() +
                                " > " + (dir / "log").string() + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << readText(dir / "log");
    tarvo::CometLibrary lib;
    std::string message;
    ASSERT_TRUE(lib.open(dir / "tree/BIN", message)) << message;
    ASSERT_EQ(lib.count(), 3);
    struct Expected {
        const char* name;
        double q, e, incl, node, peri, periJd, epochJd, h, k;
    };
    double djm0 = 0, djm = 0;
    auto jd = [&](int y, int m, double d) {
        eraCal2jd(y, m, 1, &djm0, &djm);
        return djm0 + djm + d - 1;
    };
    const std::vector<Expected> expected = {
        {"1P/Halley", 0.574636, 0.967941, 162.1880, 59.4107, 111.8473, jd(1986, 2, 5.4561),
         jd(2024, 8, 8), 4.0, 15.0},
        {"2P/Encke", 0.339450, 0.847562, 11.3474, 334.1459, 187.2790, jd(2023, 10, 22.5217),
         jd(2023, 10, 21), 14.3, 7.0},
        // No epoch: the perihelion day at 0h.
        {"C/1995 O1", 0.890756, 0.995068, 89.4223, 282.4575, 130.4063, jd(1997, 4, 1.1354),
         jd(1997, 4, 1), 1.0, 10.0}};
    for (int k = 0; k < 3; ++k) {
        const Expected& x = expected[static_cast<std::size_t>(k)];
        SCOPED_TRACE(x.name);
        const tarvo::CometRecord& r = lib.record(k);
        EXPECT_EQ(lib.findByName(x.name), k);
        EXPECT_EQ(r.epochJ - 0.5, x.epochJd);
        EXPECT_NEAR(r.absoluteMagnitude, x.h, 1e-9);
        EXPECT_NEAR(r.slopeK, x.k, 1e-9);
        tarvo::CartesianState s;
        for (std::size_t i = 0; i < 3; ++i)
            s.position[i] = r.position[i], s.velocity[i] = r.velocity[i];
        const tarvo::ElementConversion conversion;
        const tarvo::OsculatingElements back = tarvo::stateToElements(
            conversion.gravityConstant, 0, conversion.astronomicalUnit, tarvo::ElementPlane{}, s);
        EXPECT_NEAR(static_cast<double>(back.perihelionDistance), x.q, 1e-9);
        EXPECT_NEAR(static_cast<double>(back.eccentricity), x.e, 1e-9);
        EXPECT_NEAR(static_cast<double>(back.inclination), x.incl, 1e-8);
        EXPECT_NEAR(static_cast<double>(back.ascendingNode), x.node, 1e-8);
        EXPECT_NEAR(static_cast<double>(back.argumentOfPerihelion), x.peri, 1e-8);
        // The perihelion time, modulo the period.
        const double n = static_cast<double>(back.meanMotion);
        const double t = x.epochJd - static_cast<double>(back.meanAnomaly) / n;
        EXPECT_NEAR(std::remainder(t - x.periJd, 360.0 / n), 0, 1e-5);
    }

    // A comet line cut short fails the build and leaves the library as it was.
    const std::string before = readText(dir / "tree/BIN/COMETS.BIN");
    writeText(dir / "CometEls.txt", text.substr(0, text.size() / 2 - 40));
    ASSERT_NE(std::system(command.c_str()), 0);
    EXPECT_NE(readText(dir / "log").find("truncated"), std::string::npos) << readText(dir / "log");
    EXPECT_EQ(readText(dir / "tree/BIN/COMETS.BIN"), before);
}

} // namespace
