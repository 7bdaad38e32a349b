// Asteroids and comets chosen from the libraries, driven by key script from
// the main menu: the temporary files of the selection, the page showing the
// bodies, and the final files that load again.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <tuple>

#include "program_runner.h"
#include "tarvo/libraries/element_file.h"
#include "tarvo/libraries/state_file.h"

namespace fs = std::filesystem;
using tarvo::testing::readFile;

namespace {

// The right ascension (hours) and declination (degrees) of the last page row
// that starts with `name` (the angular page, sexagesimal units).
std::pair<double, double> lastRowPlace(const std::string& transcript, const std::string& name) {
    const std::size_t at = transcript.rfind("\n" + name + " ");
    if (at == std::string::npos) return {NAN, NAN};
    int h = 0, m = 0, dd = 0, dm = 0;
    double s = 0, ds = 0;
    char sign = '+';
    if (std::sscanf(transcript.c_str() + at + 1 + name.size(), " %d %d %lf %c%d %d %lf", &h, &m, &s,
                    &sign, &dd, &dm, &ds) != 7)
        return {NAN, NAN};
    const double dec = dd + dm / 60.0 + ds / 3600.0;
    return {h + m / 60.0 + s / 3600.0, sign == '-' ? -dec : dec};
}

class LibraryEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/ASTEREL2.BIN", {"CFG"}); }
    fs::path work() const { return root / "USERDATA"; }
    tarvo::StateFileContents finalMinorBodies() {
        tarvo::StateFileContents contents;
        std::string message;
        EXPECT_TRUE(tarvo::readStateFile(work() / "FINAL.TVX", tarvo::StateFileKind::MinorBody,
                                         100000, contents, message))
            << message;
        return contents;
    }
};

TEST_F(LibraryEndToEnd, AsteroidsByNumberRangeAndNameRunOnDataSetTwo) {
    std::ofstream(work() / "MINE.LST") << "433\r\n1036\r\nMINE.LST\r\n";
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key *\n"
                 "expect Enter Asteroid Name, Number, Range or .LST FileName (0 to end):\n"
                 "text MINE.LST\n"
                 "text eris\n"
                 "text 1-10\n"
                 "text Nosuchrock\n"
                 "expect Asteroid Nosuchrock not in Library\n"
                 "text 617102\n"
                 "expect Asteroid 617102 not in Library\n"
                 "text 0\n"
                 // Ceres, Pallas and Vesta are perturbers of data set 2 already.
                 "expect Left out, starting inside a body already integrated:\n"
                 "expect Vesta (inside VESTA), Pallas (inside PALLAS), Ceres (inside CERES)\n"
                 "key Enter\n"
                 "expect Eros\n"
                 "expect Ganymed\n"
                 "expect Eris\n"
                 "expect Juno\n"
                 "expect ... and 4 more bodies\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_NE(transcript().find("names itself"), std::string::npos) << transcript();

    // FOUNDAST.LST: the thirteen asteroids in the order asked for.
    const std::string found = readFile(work() / "FOUNDAST.LST");
    EXPECT_EQ(found.substr(0, 14), "   433 Eros\r\n ");
    EXPECT_NE(found.find("136199 Eris"), std::string::npos);
    EXPECT_NE(found.find("    10 Hygiea"), std::string::npos);

    tarvo::ElementFileContents elements;
    std::string message;
    ASSERT_TRUE(tarvo::readElementFile(work() / "AST.TMP", tarvo::StateFileKind::MinorBody, 100,
                                       elements, message))
        << message;
    ASSERT_EQ(elements.records.size(), 13u);
    EXPECT_DOUBLE_EQ(static_cast<double>(elements.julianDate), 2459800.5);
    // Ceres keeps its fixed mass; no uncertainty lands in a force field.
    for (const auto& rec : elements.records) {
        EXPECT_EQ(rec.A1, 0);
        EXPECT_EQ(rec.A2, 0);
        EXPECT_EQ(rec.A3, 0);
    }

    // The final files hold the ten that ran and load again.
    const tarvo::StateFileContents final = finalMinorBodies();
    EXPECT_EQ(final.records.size(), 10u);
}

TEST_F(LibraryEndToEnd, AnAsteroidOfTheDataSetChosenAgainIsLeftOutAndNamed) {
    // Data set 2 integrates Ceres as a perturbing asteroid; the library's
    // Ceres starts a few hundred metres from it, inside it, where the point
    // mass would fling it away. It is left out with its name, and the
    // data set's CERES steps on where it was.
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key *\n"
                 "text 1\n"
                 "text 433\n"
                 "text 0\n"
                 "expect Left out, starting inside a body already integrated:\n"
                 "expect Ceres (inside CERES)\n"
                 "key Enter\n"
                 "expect Eros \n"
                 "key Space\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const std::string t = transcript();
    const std::string lastPage = t.substr(t.rfind("Body         RA"));
    EXPECT_EQ(lastPage.find("Ceres    "), std::string::npos) << lastPage;
    EXPECT_NE(lastPage.find("CERES    "), std::string::npos) << lastPage;
    const std::string minorBodies = readFile(work() / "FINAL.TVX");
    EXPECT_EQ(minorBodies.find("Ceres"), std::string::npos) << minorBodies;
    EXPECT_NE(minorBodies.find("Eros"), std::string::npos) << minorBodies;
}

TEST_F(LibraryEndToEnd, FilterAndClonesOfTheAnswers) {
    // a between 2.5 and 2.6 AU, every other line off; in script mode the
    // editor is not started and the file is read as it stands.
    std::ofstream(work() / "FILTER.AST") << "  Lower     Upper\r\n"
                                            "0 -1 H\r\n0 -1 D\r\n2.5 2.6 a\r\n0 -1 e\r\n"
                                            "0 -1 q\r\n0 -1 i\r\n0 -1 w\r\n0 -1 node\r\n";
    auto r = run("key Enter\n"
                 "key *\n"
                 "expect Enter Asteroid Name, Number, Range or .LST FileName (0 to end):\n"
                 "text 433/C 5\n"
                 "expect No clones of Eros: this library has no differences between element "
                 "sources\n"
                 "text 1-20/F\n"
                 "expect 17 left out by FILTER.AST\n"
                 "text 0\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_EQ(readFile(work() / "FOUNDAST.LST"),
              "   433 Eros\r\n     5 Astraea\r\n    13 Egeria\r\n    14 Irene\r\n");
    EXPECT_EQ(finalMinorBodies().records.size(), 4u);

    // A damaged filter: a message, nothing chosen for that answer.
    std::ofstream(work() / "FILTER.AST") << "header\r\n0 -1 H\r\nrubbish\r\n";
    r = run("key Enter\n"
            "key *\n"
            "text 1-20/F\n"
            "expect FILTER.AST line 3\n"
            "text 0\n"
            "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    EXPECT_EQ(readFile(work() / "FOUNDAST.LST"),
              "   433 Eros\r\n     5 Astraea\r\n    13 Egeria\r\n    14 Irene\r\n");
}

// Position (Gm) and velocity (km/s) of the minor body `name` of FINAL.TVX.
std::array<double, 6> finalState(const tarvo::StateFileContents& c, const std::string& name) {
    for (const auto& rec : c.records)
        if (rec.nameField.rfind(name, 0) == 0)
            return {static_cast<double>(rec.position[0]), static_cast<double>(rec.position[1]),
                    static_cast<double>(rec.position[2]), static_cast<double>(rec.velocity[0]),
                    static_cast<double>(rec.velocity[1]), static_cast<double>(rec.velocity[2])};
    return {NAN, NAN, NAN, NAN, NAN, NAN};
}

TEST_F(LibraryEndToEnd, AsteroidsAndACometJoinARunFromTheKeyActionScreen) {
    // The run of data set 2 stands at 2000-01-15; Eros and Ganymed are
    // carried there from the library epoch (2022) and join it, then 1P/Halley.
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,15\n"
                 "expect Space: next step\n"
                 "key Esc\n"
                 "expect Add Asteroids\n"
                 "key *\n"
                 "expect Enter Asteroid Name, Number, Range or .LST FileName (0 to end):\n"
                 "text 433\n"
                 "text Ganymed\n"
                 "text 0\n"
                 "expect Eros \n"
                 "expect Ganymed \n"
                 // (K, a page toggle, stands between the jumps and the Esc
                 // that would otherwise stop them.)
                 "key K\n"
                 "key Esc\n"
                 "key @\n"
                 "text 1P/Halley\n"
                 "expect 1P/Halley \n"
                 "key K\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const tarvo::StateFileContents joined = finalMinorBodies();
    ASSERT_EQ(joined.records.size(), 3u);
    EXPECT_NEAR(static_cast<double>(joined.julianDate), 2451558.5, 0.001); // TT of 0h UT
    const auto eros = finalState(joined, "Eros");
    const auto halley = finalState(joined, "1P/Halley");
    ASSERT_FALSE(std::isnan(halley[0])) << readFile(work() / "FINAL.TVX");

    // The same Eros started from the library in the menu and jumped to
    // 2000-01-15 with J: the joining keeps the state in the table's frame,
    // origin and step units to the metre.
    r = run("key Enter\n"
            "key 2\n"
            "text 2000,01,15\n"
            "key Esc\n"
            "key Esc\n"
            "key *\n"
            "text 433\n"
            "text 0\n"
            "expect Eros \n"
            "key J\n"
            "text 2000,01,15\n"
            "expect Eros \n"
            "key K\n"
            "key Esc\n"
            "key Esc\n"
            "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const tarvo::StateFileContents alone = finalMinorBodies();
    ASSERT_EQ(alone.records.size(), 1u);
    EXPECT_EQ(alone.julianDate, joined.julianDate);
    const auto oracle = finalState(alone, "Eros");
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(eros[k], oracle[k], 1e-6) << k;         // Gm: 1 m
        EXPECT_NEAR(eros[k + 3], oracle[k + 3], 1e-7) << k; // km/s: 0.1 mm/s
    }
}

TEST_F(LibraryEndToEnd, CometsByNameWithAPhysicalRadius) {
    // The page names a comet as the library does, "/" and all; COMET.TMP
    // and the final files write the name field with "_".
    for (const auto& [name, written] :
         {std::pair{"1P/Halley", "1P_Halley"}, std::pair{"2P/Encke", "2P_Encke"}}) {
        SCOPED_TRACE(name);
        auto r = run(std::string("key Enter\n"
                                 "key @\n"
                                 "text 9P/Nothing\n"
                                 "expect Comet 9P/Nothing not in Library\n"
                                 "key Enter\n"
                                 "text ") +
                     name +
                     "\n"
                     "expect Space: next step\n"
                     "key Esc\n"
                     "key Esc\n"
                     "key Esc\n");
        ASSERT_EQ(r.status, 0) << r.output << transcript();
        const std::string t = transcript();
        std::string padded(name);
        padded.resize(9, ' ');
        EXPECT_FALSE(std::isnan(lastRowPlace(t, padded).first)) << t; // its row on the page
        EXPECT_EQ(t.find(written), std::string::npos) << t;
        EXPECT_NE(readFile(work() / "COMET.TMP").find(written), std::string::npos);
        tarvo::StateFileContents comet;
        std::string message;
        ASSERT_TRUE(tarvo::readStateFile(work() / "COMET.TMP", tarvo::StateFileKind::MinorBody, 10,
                                         comet, message))
            << message;
        ASSERT_EQ(comet.records.size(), 1u);
        EXPECT_DOUBLE_EQ(static_cast<double>(comet.records[0].radius), -1e-5); // a comet of 10 km
        EXPECT_EQ(finalMinorBodies().records.size(), 1u);
    }
}

} // namespace

namespace {

// Ceres, Pallas and Vesta chosen from the library (on data set 3, which
// carries no asteroids, with extra option C so that they pull on each other
// as in data set 2) and jumped back to 2000-01-01, against the CERES, PALLAS
// and VESTA of data set 2 there, which the builder integrated from the same
// kstars-data catalogue. Measured: 42, 99 and 67 km (without option C:
// 328, 3.4 and 882 km); docs/minor-bodies.md says where the gap comes from.
// The bounds keep those figures from growing unnoticed.
TEST_F(LibraryEndToEnd, CeresPallasAndVestaOfTheLibraryMeetDataSetTwoIn2000) {
    auto r = run("key Enter\n"
                 "key 2\n"
                 "text 2000,01,01\n"
                 "key Esc\n"
                 "key Esc\n"
                 "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    tarvo::StateFileContents dataSet;
    std::string message;
    ASSERT_TRUE(tarvo::readStateFile(work() / "FINAL.TVF", tarvo::StateFileKind::Full, 100, dataSet,
                                     message))
        << message;

    r = run("key Enter\n"
            "key X\n"
            "key C\n"
            "key Esc\n"
            "key 3\n"
            "text 2000,01,01\n"
            "key Esc\n"
            "key Esc\n"
            "key *\n"
            "text 1\n"
            "text 2\n"
            "text 4\n"
            "text 0\n"
            "expect Vesta \n"
            "key J\n"
            "text 2000,01,01\n"
            "expect Vesta \n"
            "key K\n"
            "key Esc\n"
            "key Esc\n"
            "key Esc\n");
    ASSERT_EQ(r.status, 0) << r.output << transcript();
    const tarvo::StateFileContents library = finalMinorBodies();
    ASSERT_EQ(library.records.size(), 3u);
    EXPECT_EQ(library.julianDate, dataSet.julianDate);
    for (const auto& [mine, theirs, boundKm] :
         std::vector<std::tuple<std::string, std::string, double>>{
             {"Ceres", "CERES", 65}, {"Pallas", "PALLAS", 150}, {"Vesta", "VESTA", 100}}) {
        SCOPED_TRACE(mine);
        const auto a = finalState(library, mine);
        std::array<double, 6> b{NAN, NAN, NAN, NAN, NAN, NAN};
        for (const auto& rec : dataSet.records)
            if (rec.nameField.rfind(theirs, 0) == 0)
                for (int k = 0; k < 3; ++k) {
                    b[k] = static_cast<double>(rec.position[k]);
                    b[k + 3] = static_cast<double>(rec.velocity[k]);
                }
        const double km = 1e6 * std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
        std::printf("%s: %.3f km from %s of data set 2 at JD %.4f\n", mine.c_str(), km,
                    theirs.c_str(), static_cast<double>(library.julianDate));
        EXPECT_LT(km, boundKm);
    }
}

} // namespace
