// The main menu and the extra options, driven by key scripts.
#include "program_runner.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;
using tarvo::testing::readFile;

namespace {

class MenuEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("HLP/HELP2.HLP", {"HLP", "CFG"}); }
    // Runs tarvo with the title-screen key, then `script`.
    tarvo::testing::ProgramRun run(const std::string& script) {
        return TreeFixture::run("key Enter\n" + script);
    }
};

TEST_F(MenuEndToEnd, EveryItemIsShownAndEscQuits) {
    auto r = run("expect Select Option\n"
                 "expect 1.     DE431L, 35 aster.\n"
                 "expect 9.     DE406O, Planets only\n"
                 "expect M.     Min. Bodies File\n"
                 "expect F.     Full N-body File\n"
                 "expect *.     Asteroid Library\n"
                 "expect @.     Comet Library\n"
                 "expect 0.     Reload Stars\n"
                 "expect X.     Extra Options\n"
                 "expect H.     HELP Language\n"
                 "expect Esc.   Quit\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(MenuEndToEnd, RightClickOnFullFileShowsRecordElevenOfScreenTwo) {
    auto r = run("rclick 14 17\n"
                 "expect Help message\n"
                 "expect Full N-body file: choose a state file\n"
                 "key Enter\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(MenuEndToEnd, MissingHelpFileSaysSoAndTheProgramGoesOn) {
    fs::remove(root / "HLP" / "HELP2.HLP");
    auto r = run("rclick 14 17\n"
                 "expect No help available\n"
                 "key Enter\n"
                 "expect Select Option\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(MenuEndToEnd, HelpLanguageStepsByKeyAndByClick) {
    auto r = run("key h\n"
                 "expect Italiano\n"
                 "click 52 22\n"
                 "expect Deutsch\n"
                 "key H\n"
                 "expect English\n"
                 "click 52 18\n"
                 "expect Astorb\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(MenuEndToEnd, ExtraOptionsToggleAndCycle) {
    auto r = run("key x\n"
                 "expect G. Integ. Order: 14  Normal\n"
                 "key g\n"
                 "expect G. Integ. Order: 16  Medium\n"
                 "key g\n"
                 "expect G. Integ. Order: 18    High\n"
                 "key g\n"
                 "expect G. Integ. Order: 14  Normal\n"
                 "key ^\n"
                 "expect ^. Single Impulse flag:  On\n"
                 "key <\n"
                 "expect <. Asymm. model for Ai:  On\n"
                 "expect ^. Single Impulse flag: Off\n"
                 "key a\n"
                 "expect DE406 Def: 25.83 arcsecs/Cy^2\n"
                 "text -26.5\n"
                 "expect A. Moon Tid. Accel: 26.50\n"
                 "key E\n"
                 "expect E. Pure Newt.PointMass:  On\n"
                 "key Esc\n"
                 // Shown again, the menu has switched E off.
                 "key X\n"
                 "expect E. Pure Newt.PointMass: Off\n"
                 "expect A. Moon Tid. Accel: 26.50\n"
                 "key Esc\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(MenuEndToEnd, CollisionTrapAsksForTheCutoffAndOpensItsLogs) {
    auto r = run("key x\n"
                 "key i\n"
                 "expect Set distance for the cutoff\n"
                 "text 0.5\n"
                 "expect I. Trap Collisions:  On\n"
                 "key Esc\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(readFile(root / "USERDATA" / "COLLIS.LOG"), "     TJ2000          #1      #2   \r\n");
    EXPECT_EQ(readFile(root / "USERDATA" / "EJECTED.LOG"), "     TJ2000          #\r\n");
}

// Text that is no number reads as 0 (the default); a number out of range
// is refused with a message and the value stays; keys that are no item of
// the menu do nothing.
TEST_F(MenuEndToEnd, NonsenseAtThePromptsLeavesTheProgramRunning) {
    auto r = run("key x\n"
                 "key a\n"
                 "text 25.5\n"
                 "expect A. Moon Tid. Accel: 25.50\n"
                 "key a\n"
                 "text banana\n"
                 "expect A. Moon Tid. Accel: Default\n"
                 "key a\n"
                 "text 12\n"
                 "key a\n"
                 "text 1e999\n"
                 "expect Not a usable value: 1e999\n"
                 "key Enter\n"
                 "expect A. Moon Tid. Accel: 12.00\n"
                 "key a\n"
                 "key Esc\n"
                 "expect A. Moon Tid. Accel: Default\n" // Esc is an empty answer
                 "key Esc\n"
                 "key Q\n"
                 "key ?\n"
                 "expect Select Option\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output << transcript();
}

// TARVO.CFG with the built-in toggles and the help language `language`
// (0 English, 1 Italian, 2 German) on its line 13.
void writeConfigurationWithHelpLanguage(const fs::path& file, int language) {
    const char* const keys[] = {
        "Geocentric",     "Precession",    "Ecliptic",        "Aberration",     "Light-Time",
        "Orthogonal",     "Decimal_Units", "Refract_RiseSet", "Limb_RiseSet",   "Nutation",
        "Horizon",        "Polar_View",    "Help_Language",   "Adapt.Stepsize", "Date in Images",
        "Yarkovsky n.G.", "Windows 10"};
    const int values[] = {-1, -1, 0, -1, -1, 0, 0, -1, -1, -1, 0, 0, language, 0, 0, 0, 0};
    std::ofstream out(file, std::ios::binary);
    out << "Value     Toggle\r\n";
    for (int i = 0; i < 17; ++i) {
        std::string value = (values[i] < 0 ? "" : " ") + std::to_string(values[i]) + " ";
        value.resize(14, ' ');
        out << value << keys[i] << "\r\n";
    }
}

TEST_F(MenuEndToEnd, ItalianFromTarvoCfgShowsTheItalianHelpOfAMenuItem) {
    writeConfigurationWithHelpLanguage(root / "CFG" / "TARVO.CFG", 1);
    auto r = run("expect Italiano\n"
                 "rclick 14 17\n"
                 "expect Help message\n"
                 "expect File N-corpi completo: permette di scegliere un file di stato (.TVF)\n"
                 "expect vengono riconosciuti dal nome.\n"
                 "key Enter\n"
                 "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(transcript().find("Full N-body file: choose"), std::string::npos);
}

TEST_F(MenuEndToEnd, GermanChosenByKeyShowsTheGermanHelpOfTheMenuAndTheExtraOptions) {
    auto r =
        run("key H\n"
            "key H\n"
            "expect Deutsch\n"
            "rclick 14 17\n"
            "expect Vollständige N-Körper-Datei: wählt eine Zustandsdatei (.TVF)\n"
            "key Enter\n"
            "key X\n"
            "rclick 25 10\n"
            "expect Integrationsordnung: \"Normal\" (14), \"Medium\" (16) oder \"High\" (18).\n"
            "key Enter\n"
            "key Esc\n"
            "key Esc\n");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(transcript().find("Full N-body file: choose"), std::string::npos);
}

} // namespace
