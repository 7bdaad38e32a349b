// Command-line forms of tarvo: capacity, integrator switch and directory.
#include "tarvo/shell/command_line.h"

#include <gtest/gtest.h>

using tarvo::parseCommandLine;

TEST(CommandLine, NumbersFromFifteenSizeTheBodyTable) {
    EXPECT_EQ(parseCommandLine("20000").maxBodies, 20000);
    EXPECT_EQ(parseCommandLine("  15 ").maxBodies, 15);
    EXPECT_EQ(parseCommandLine("10").maxBodies, tarvo::kDefaultMaxBodies); // below 15: absent
    EXPECT_EQ(parseCommandLine("").maxBodies, tarvo::kDefaultMaxBodies);
    EXPECT_EQ(parseCommandLine("abc").maxBodies, tarvo::kDefaultMaxBodies);
    EXPECT_EQ(parseCommandLine("1e300").maxBodies, 1000000000000000L); // saturates, no overflow
}

TEST(CommandLine, RepeatedXSetsTheIntegratorSwitch) {
    EXPECT_EQ(parseCommandLine("XXX").integratorSwitch, 3);
    EXPECT_EQ(parseCommandLine(" xx ").integratorSwitch, 2);
    EXPECT_EQ(parseCommandLine("XXXXXXXX").integratorSwitch, 8);
    // Nine X are no switch and no number either.
    auto nine = parseCommandLine("XXXXXXXXX");
    EXPECT_EQ(nine.integratorSwitch, 0);
    EXPECT_EQ(nine.maxBodies, tarvo::kDefaultMaxBodies);
    EXPECT_EQ(parseCommandLine("XAX").integratorSwitch, 0);
}

TEST(CommandLine, PathsKeepTheirSpelling) {
    auto cl = parseCommandLine("  /home/Obs/userdata ");
    EXPECT_EQ(cl.directory, "/home/Obs/userdata");
    EXPECT_EQ(cl.maxBodies, tarvo::kDefaultMaxBodies);
    EXPECT_EQ(parseCommandLine("../Tree/USERDATA").directory, "../Tree/USERDATA");
}
