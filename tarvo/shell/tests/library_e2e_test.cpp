// Asteroids and comets chosen from the libraries, driven by key script from
// the main menu: the temporary files of the selection, the page showing the
// bodies, and the final files that load again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "program_runner.h"
#include "tarvo/libraries/element_file.h"
#include "tarvo/libraries/state_file.h"

namespace fs = std::filesystem;
using tarvo::testing::readFile;

namespace {

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
                 "expect Eros\n"
                 "expect Ganymed\n"
                 "expect Eris\n"
                 "expect Juno\n"
                 "expect ... and 7 more bodies\n"
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

    // The final files hold the thirteen and load again.
    const tarvo::StateFileContents final = finalMinorBodies();
    EXPECT_EQ(final.records.size(), 13u);
}

TEST_F(LibraryEndToEnd, CometsByNameWithAPhysicalRadius) {
    // The page names a comet by its designation, "/" written "_".
    for (const auto& [name, shown] :
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
                     "expect " +
                     shown +
                     "\n"
                     "key Esc\n"
                     "key Esc\n"
                     "key Esc\n");
        ASSERT_EQ(r.status, 0) << r.output << transcript();
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
