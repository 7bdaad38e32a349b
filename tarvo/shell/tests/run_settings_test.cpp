// The coupled toggles of the key-action screen, and per-body output files
// appended page after page.
#include "tarvo/reductions/ephemeris_tables.h"
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

// N cycles the reduction models: IAU 2006/2000A -> 1980 nutation -> no
// nutation -> IAU; the IAU model without nutation (a reference equinox
// switched it off) goes back to the IAU model with nutation.
TEST(RunToggles, NutationKeyCyclesTheReductionModels) {
    RunSettings run;
    DisplayToggles t;
    EXPECT_EQ(tarvo::nutationStatus(t), "IAU ");
    applyRunToggle('N', run, t, false);
    EXPECT_EQ(tarvo::nutationStatus(t), "1980");
    EXPECT_EQ(t.nutation, -1);
    EXPECT_EQ(t.iauReductions, 0);
    applyRunToggle('N', run, t, false);
    EXPECT_EQ(tarvo::nutationStatus(t), "Off ");
    EXPECT_EQ(t.nutation, 0);
    applyRunToggle('N', run, t, false);
    EXPECT_EQ(tarvo::nutationStatus(t), "IAU ");
    EXPECT_EQ(t.iauReductions, -1);
    t.nutation = 0; // as the reference-equinox dialog leaves it
    EXPECT_EQ(tarvo::nutationStatus(t), "Mean");
    run.precession = PrecessionState::off;
    applyRunToggle('N', run, t, false);
    EXPECT_EQ(tarvo::nutationStatus(t), "IAU ");
    EXPECT_EQ(run.precession, PrecessionState::on);
}

TEST(RunToggles, HorizontalForcesItsFrameAndCentres) {
    RunSettings run;
    DisplayToggles t;
    t.geocentric = 0;
    t.ecliptic = -1;
    t.orthogonal = -1;
    run.planetCentric = true; // about a body or the fixed point: not from a site
    run.centreBody = -1;
    run.precession = PrecessionState::off;
    applyRunToggle('Z', run, t, false);
    EXPECT_EQ(t.horizon, -1);
    EXPECT_EQ(t.geocentric, -1);
    EXPECT_FALSE(run.planetCentric);
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

TEST(FileOutput, ThousandsOfBodiesAppendWithoutHoldingFiles) {
    char pattern[] = "/tmp/tarvo-out-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path dir = pattern;
    std::vector<std::string> bodies;
    for (int i = 0; i < 3000; ++i) bodies.push_back("B" + std::to_string(i % 1500)); // half repeat
    auto names = tarvo::outputFileNames(bodies);
    for (int page = 0; page < 2; ++page)
        for (const auto& n : names) {
            std::string message;
            ASSERT_TRUE(tarvo::appendLines((dir / n).string(), {"record"}, message)) << message;
        }
    std::ifstream in(dir / names[2999], std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "record\r\nrecord\r\n");
    std::filesystem::remove_all(dir);
}
