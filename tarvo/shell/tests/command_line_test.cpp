// Command-line forms of tarvo: capacity, integrator switch and directory.
#include "tarvo/shell/command_line.h"

#include <gtest/gtest.h>

using tarvo::parseCommandLine;

TEST(CommandLine, RepeatedXSetsTheIntegratorSwitch) {
    EXPECT_EQ(parseCommandLine("XXX").integratorSwitch, 3);
    EXPECT_EQ(parseCommandLine(" xx ").integratorSwitch, 2);
    EXPECT_EQ(parseCommandLine("XXXXXXXX").integratorSwitch, 8);
    // Nine X are no switch and no number either.
    auto nine = parseCommandLine("XXXXXXXXX");
    EXPECT_EQ(nine.integratorSwitch, 0);
    EXPECT_EQ(parseCommandLine("XAX").integratorSwitch, 0);
}

TEST(CommandLine, PathsKeepTheirSpelling) {
    auto cl = parseCommandLine("  /home/Obs/userdata ");
    EXPECT_EQ(cl.directory, "/home/Obs/userdata");
    EXPECT_EQ(parseCommandLine("../Tree/USERDATA").directory, "../Tree/USERDATA");
}
