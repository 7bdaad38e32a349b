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
