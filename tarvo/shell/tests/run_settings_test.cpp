// The coupled toggles of the key-action screen and the file names of the
// per-body output files.
#include "tarvo/shell/file_output.h"
#include "tarvo/shell/run_settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

using tarvo::applyRunToggle;
using tarvo::DisplayToggles;
using tarvo::PrecessionState;
using tarvo::RunSettings;

TEST(RunToggles, AberrationNeedsLightTimeAndLightTimeOffDropsAberration) {
    RunSettings run;
    DisplayToggles t;
    t.lightTime = 0;
    t.aberration = 0;
    applyRunToggle('A', run, t, false);
    EXPECT_EQ(t.aberration, -1);
    EXPECT_EQ(t.lightTime, -1);
    applyRunToggle('L', run, t, false);
    EXPECT_EQ(t.lightTime, 0);
    EXPECT_EQ(t.aberration, 0);
}

TEST(RunToggles, PrecessionCyclesThroughLieskeOnlyWhenAllowed) {
    RunSettings run;
    DisplayToggles t;
    applyRunToggle('P', run, t, false);
    EXPECT_EQ(run.precession, PrecessionState::off);
    EXPECT_EQ(t.nutation, 0); // nutation needs precession
    applyRunToggle('P', run, t, false);
    EXPECT_EQ(run.precession, PrecessionState::on);
    applyRunToggle('P', run, t, true);
    EXPECT_EQ(run.precession, PrecessionState::lieske);
    applyRunToggle('P', run, t, true);
    EXPECT_EQ(run.precession, PrecessionState::off);
    applyRunToggle('N', run, t, true); // nutation on forces precession on
    EXPECT_EQ(t.nutation, -1);
    EXPECT_EQ(run.precession, PrecessionState::on);
}

TEST(RunToggles, HorizontalForcesItsFrameAndCentres) {
    RunSettings run;
    DisplayToggles t;
    t.geocentric = 0;
    t.ecliptic = -1;
    t.orthogonal = -1;
    run.precession = PrecessionState::off;
    applyRunToggle('Z', run, t, false);
    EXPECT_EQ(t.horizon, -1);
    EXPECT_EQ(t.geocentric, -1);
    EXPECT_TRUE(run.topocentric);
    EXPECT_EQ(t.ecliptic, 0);
    EXPECT_EQ(t.orthogonal, 0);
    EXPECT_EQ(run.precession, PrecessionState::on);
    applyRunToggle('O', run, t, false); // orthogonal on switches horizontal off
    EXPECT_EQ(t.horizon, 0);
}

TEST(RunToggles, TopocentricForcesTheGeocentricCentreAndDeltaT) {
    RunSettings run;
    DisplayToggles t;
    t.geocentric = 0;
    run.planetCentric = true;
    run.deltaT.mode = tarvo::DeltaTMode::Off;
    applyRunToggle('T', run, t, false);
    EXPECT_EQ(t.geocentric, -1);
    EXPECT_FALSE(run.planetCentric);
    EXPECT_EQ(run.deltaT.mode, tarvo::DeltaTMode::Auto);
}

TEST(RunToggles, TimeUnitCyclesAndDialogKeysAreNoToggles) {
    RunSettings run;
    DisplayToggles t;
    for (int i = 0; i < 5; ++i) applyRunToggle('U', run, t, false);
    EXPECT_EQ(run.timeUnit, 0);
    for (char key : {'W', 'R', 'D', 'J', 'F', '#', '!'})
        EXPECT_FALSE(applyRunToggle(key, run, t, false));
}

TEST(RunToggles, ScaleFactorIsClampedToTheAcceptedRange) {
    EXPECT_EQ(tarvo::clampScaleFactor(0.5), 0.5);
    EXPECT_EQ(tarvo::clampScaleFactor(1e9), 9999.0);
    EXPECT_EQ(tarvo::clampScaleFactor(1e-9), 0.001);
    EXPECT_EQ(tarvo::clampScaleFactor(0), 1.0); // nonsense reads as 0: the default
    EXPECT_EQ(tarvo::clampScaleFactor(-3), 1.0);
    EXPECT_EQ(tarvo::clampScaleFactor(std::numeric_limits<double>::infinity()), 1.0);
}

TEST(FileOutput, NamesAreSafeAndDistinct) {
    auto names =
        tarvo::outFileNames({"SUN      ", "C/1995 O1", "CERES    ", "Ceres", "   ", "a:b*c"});
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(names[0], "SUN.OUT");
    EXPECT_EQ(names[1], "C_1995_O1.OUT");
    EXPECT_EQ(names[2], "CERES.OUT");
    EXPECT_EQ(names[3], "Ceres_2.OUT"); // would share CERES.OUT
    EXPECT_EQ(names[4], "BODY.OUT");
    EXPECT_EQ(names[5], "a_b_c.OUT");
}

TEST(FileOutput, ThousandsOfBodiesAppendWithoutHoldingFiles) {
    char pattern[] = "/tmp/tarvo-out-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path dir = pattern;
    std::vector<std::string> bodies;
    for (int i = 0; i < 3000; ++i) bodies.push_back("B" + std::to_string(i % 1500)); // half repeat
    auto names = tarvo::outFileNames(bodies);
    for (int page = 0; page < 2; ++page)
        for (const auto& n : names) ASSERT_TRUE(tarvo::appendRecord(dir / n, "record"));
    std::ifstream in(dir / names[2999], std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "record\r\nrecord\r\n");
    std::filesystem::remove_all(dir);
}
