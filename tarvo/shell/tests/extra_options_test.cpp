// The extra options' own rules: cycles, exclusions and the cutoff.
#include "tarvo/shell/extra_options.h"
#include "tarvo/shell/main_menu.h"

#include <gtest/gtest.h>

using tarvo::ExtraOptions;
using tarvo::toggleExtraOption;

TEST(ExtraOptions, OrderCyclesBackToNormalAfterThreePresses) {
    ExtraOptions o;
    for (int i = 0; i < 3; ++i) toggleExtraOption(o, 'G');
    EXPECT_EQ(o.integrationOrder, 0);
    toggleExtraOption(o, 'G');
    EXPECT_EQ(o.integrationOrder, -1);
    toggleExtraOption(o, 'G');
    EXPECT_EQ(o.integrationOrder, 1);
}

TEST(ExtraOptions, ImpulseAndAsymmetricModelExcludeEachOther) {
    ExtraOptions o;
    toggleExtraOption(o, '<');
    toggleExtraOption(o, '^');
    EXPECT_EQ(o.singleImpulse, -1);
    EXPECT_EQ(o.asymmetricModel, 0);
    toggleExtraOption(o, '<');
    EXPECT_EQ(o.asymmetricModel, -1);
    EXPECT_EQ(o.singleImpulse, 0);
    // Switching one off leaves the other off.
    toggleExtraOption(o, '<');
    EXPECT_EQ(o.asymmetricModel, 0);
    EXPECT_EQ(o.singleImpulse, 0);
}

TEST(ExtraOptions, CutoffInAstronomicalUnits) {
    EXPECT_DOUBLE_EQ(tarvo::ejectionCutoff(0.5, 149.5978707L), 0.5 * 149.5978707);
    EXPECT_DOUBLE_EQ(tarvo::ejectionCutoff(-2.0, 149.5978707L), 2.0 * 149.5978707);
    EXPECT_EQ(tarvo::ejectionCutoff(0.0, 149.5978707L), 9.9e99); // empty answer: no cut
    EXPECT_EQ(tarvo::ejectionCutoff(1e-9, 149.5978707L), 9.9e99);
    EXPECT_EQ(tarvo::ejectionCutoff(1e308 * 10, 149.5978707L), 9.9e99);
}

TEST(ExtraOptions, MainMenuSwitchesMassLossRotationsAndPureNewtonOff) {
    ExtraOptions o;
    o.solarMassLoss = o.skipRotations = o.pureNewtonian = o.minorPerturb = -1;
    tarvo::resetForMainMenu(o);
    EXPECT_EQ(o.solarMassLoss, 0);
    EXPECT_EQ(o.skipRotations, 0);
    EXPECT_EQ(o.pureNewtonian, 0);
    EXPECT_EQ(o.minorPerturb, -1); // the others keep their values
}

TEST(MainMenu, SelectorsCycle) {
    EXPECT_EQ(tarvo::nextHelpLanguage(0), 1);
    EXPECT_EQ(tarvo::nextHelpLanguage(2), 0);
    EXPECT_EQ(tarvo::nextHelpLanguage(5), 0);
    EXPECT_EQ(tarvo::nextLibrarySource(-1), 0);
    EXPECT_EQ(tarvo::nextLibrarySource(2), -1);
}
