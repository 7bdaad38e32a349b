// FITRA.CFG: read by label whatever the order, by position as the fallback,
// the consistency rules, an exact round trip, damaged files refused.
#include "fitra/fitra_settings.h"

#include "scratch_directory.h"

namespace {

class FitraConfiguration : public tarvo::testing::ScratchDirectoryTest {};

TEST_F(FitraConfiguration, WrittenAndReadBackGivesTheSameSettings) {
    fitra::FitraSettings s;
    s.weighted = -1;
    s.weightFactor = 2.5;
    s.minorPlanets = 2;
    s.nonGravA = 0.25;
    s.helpLanguage = 2;
    s.startDistanceAu = 1.75;
    std::string message;
    ASSERT_TRUE(fitra::writeFitraConfiguration(dir / "FITRA.CFG", s, message)) << message;
    fitra::FitraSettings r;
    ASSERT_TRUE(fitra::readFitraConfiguration(dir / "FITRA.CFG", r, message)) << message;
    EXPECT_TRUE(message.empty()) << message;
    EXPECT_EQ(fitra::formatFitraConfiguration(r), fitra::formatFitraConfiguration(s));
    EXPECT_EQ(r.minorPlanets, 2);
    EXPECT_DOUBLE_EQ(r.nonGravA, 0.25);
    const std::string text = fitra::formatFitraConfiguration(s);
    EXPECT_EQ(text.substr(0, 21), "Value        Toggle\r\n");
    EXPECT_NE(text.find("\r\n 2.50         Weight Factor\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\n 2              Minor Pl.\r\n"), std::string::npos);
}

TEST_F(FitraConfiguration, EntriesAreFoundByLabelInAnyOrderAndTheRulesApply) {
    write("FITRA.CFG", "Value        Toggle\n"
                       "-1            Topocentric\n"
                       " 0            Geocentric\n"
                       " 1            Ref. Equinox\n"
                       " 7            Skip 1st observation\n"
                       " 4            Help_Language\n");
    fitra::FitraSettings s;
    std::string message;
    ASSERT_TRUE(fitra::readFitraConfiguration(dir / "FITRA.CFG", s, message));
    EXPECT_EQ(s.geocentric, 0);
    EXPECT_EQ(s.topocentric, 0); // no topocentric place without the Earth
    EXPECT_EQ(s.referenceEquinox, -1);
    EXPECT_EQ(s.skipFirst, -1);
    EXPECT_EQ(s.helpLanguage, 0);
    EXPECT_EQ(s.equatorial, -1); // missing: the default
    EXPECT_NE(message.find("missing"), std::string::npos);
}

TEST_F(FitraConfiguration, AnEntryWithAnUnknownLabelIsTakenByItsPosition) {
    // An older file whose first label is spelt differently.
    write("Fitra.cfg", "Value        Toggle\n-1            Orthogonal Coordinates\n");
    fitra::FitraSettings s;
    std::string message;
    ASSERT_TRUE(fitra::readFitraConfiguration(dir / "Fitra.cfg", s, message));
    EXPECT_EQ(s.orthogonal, -1);
    EXPECT_EQ(s.angularOnly, 0);
}

TEST_F(FitraConfiguration, SatelliteModeSetsItsStartingDistance) {
    write("FITRA.CFG", "Value        Toggle\n-1            Satellite\n 0            Geocentric\n");
    fitra::FitraSettings s;
    std::string message;
    ASSERT_TRUE(fitra::readFitraConfiguration(dir / "FITRA.CFG", s, message));
    EXPECT_EQ(s.geocentric, -1);
    EXPECT_DOUBLE_EQ(s.startDistanceAu, 5e-5);
}

TEST_F(FitraConfiguration, DamagedFilesLeaveTheSettingsAndTheFileAlone) {
    fitra::FitraSettings s;
    s.weighted = -1;
    std::string message;
    ASSERT_TRUE(
        fitra::readFitraConfiguration(dir / "NONE.CFG", s, message)); // missing: defaults stay
    EXPECT_EQ(s.weighted, -1);
    const std::string binary("\x7f"
                             "ELF\x02\x01\x01\0\0\0\0",
                             12);
    write("BIN.CFG", binary);
    EXPECT_FALSE(fitra::readFitraConfiguration(dir / "BIN.CFG", s, message));
    EXPECT_NE(message.find("BIN.CFG"), std::string::npos);
    write("BIG.CFG", std::string(1 << 20, '7'));
    EXPECT_FALSE(fitra::readFitraConfiguration(dir / "BIG.CFG", s, message));
    EXPECT_NE(message.find("too large"), std::string::npos);
    EXPECT_EQ(s.weighted, -1);
    // Truncated in a label: the value is the entry's of that position.
    write("CUT.CFG", "Value        Toggle\n 0            Orthogonal\n 0            Geoc");
    ASSERT_TRUE(fitra::readFitraConfiguration(dir / "CUT.CFG", s, message));
    EXPECT_EQ(s.geocentric, 0);
    // Truncated in a number: no value, the default stays.
    s = {};
    write("CUT.CFG", "Value        Toggle\n 0            Orthogonal\n-");
    ASSERT_TRUE(fitra::readFitraConfiguration(dir / "CUT.CFG", s, message));
    EXPECT_EQ(s.geocentric, -1);
}

} // namespace
