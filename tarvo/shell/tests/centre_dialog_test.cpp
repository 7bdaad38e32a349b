// The centre-body dialog through scripts.
#include "tarvo/shell/centre_dialog.h"

#include "console/console.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
constexpr double kAu = 149.5978707;
const double kEps0 = 84381.406173 * std::numbers::pi / 648000.0;

tarvo::CentreChoice runDialog(const std::string& script, bool ecliptic = false) {
    // One script file per test process: ctest runs the tests of this file side by side.
    const fs::path path = fs::temp_directory_path() / ("tarvo_centre_dialog_" + std::to_string(::getpid()) + ".txt");
    std::ofstream(path, std::ios::binary) << script;
    console::Options options;
    options.scriptPath = path.string();
    options.forceScript = true;
    console::InitConsoleTools(options);
    console::setSize(81, 27);
    const auto choice = tarvo::selectCentre(11, "Pluto    ", ecliptic, std::cos(kEps0), std::sin(kEps0), kAu);
    console::shutdownConsole();
    fs::remove(path);
    return choice;
}

TEST(CentreDialog, BodyNumberWithinTheMajorBodies) {
    const auto c = runDialog("expect Enter Center Body\nexpect 0=Sun,...,11 Pluto\nexpect -1 = Fixed Point\ntext 12\ntext 2.5\ntext 4\n");
    EXPECT_TRUE(c.chosen);
    EXPECT_EQ(c.index, 4); // 12 and 2.5 were asked again
}

TEST(CentreDialog, EmptyAnswerChangesNothing) {
    EXPECT_FALSE(runDialog("text\n").chosen);
    EXPECT_FALSE(runDialog("key Esc\n").chosen);
}

TEST(CentreDialog, FixedPointInEclipticAuBecomesEquatorialGm) {
    const auto c = runDialog("text -1\nexpect Enter Coordin. (AU)\nexpect X ?\ntext 1\ntext 0\ntext 1\n", true);
    ASSERT_TRUE(c.chosen);
    EXPECT_EQ(c.index, -1);
    // Ecliptic (1, 0, 1) AU: the pole of the ecliptic leans toward -y of the equator.
    EXPECT_NEAR(c.fixedPoint[0], kAu, 1e-12);
    EXPECT_NEAR(c.fixedPoint[1], -kAu * std::sin(kEps0), 1e-12);
    EXPECT_NEAR(c.fixedPoint[2], kAu * std::cos(kEps0), 1e-12);
    const auto plain = tarvo::fixedPointFromTyped({1, 2, 3}, false, std::cos(kEps0), std::sin(kEps0), kAu);
    EXPECT_EQ(plain, (tarvo::PlaceVector{kAu, 2 * kAu, 3 * kAu}));
}

} // namespace
