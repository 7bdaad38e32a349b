// The fit of a real body: (12893) 1998 QS55 from its MPC observations,
// 1983-2019, with the planets and the Moon of the data tree, topocentric
// astrometric places. The arc is widened in stages from the apparition of
// the starting epoch, as a user starts such a fit.
#include "fitra/fit_outputs.h"
#include "fitra/least_squares.h"
#include "fitra/mpc_import.h"
#include "fitra/observation_tables.h"

#include "scratch_directory.h"
#include "shared_inputs.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace fitra;
namespace fs = std::filesystem;

class RealOrbit : public tarvo::testing::ScratchDirectoryTest {};

TEST_F(RealOrbit, Asteroid12893ConvergesBelowOneArcsecond) {
    const fs::path tree = TARVO_TEST_TREE;
    const fs::path obsFile = fitra::testing::kSharedData / "mpc" / "12893.obs";
    FITRA_REQUIRE_FILE(obsFile);
    FITRA_REQUIRE_FILE(tree / "BIN" / "PL431SN.BIN");
    StationTable stations;
    TimeOffsetTable leaps;
    std::string why;
    // The full list of the MPC: the tree's own holds only a few stations.
    const fs::path html = fitra::testing::kSharedData / "mpc" / "ObsCodes.html";
    FITRA_REQUIRE_FILE(html);
    fitra::testing::writeObscodesFromHtml(html, dir / "OBSCODES.TXT");
    ASSERT_TRUE(readStationTable(dir / "OBSCODES.TXT", stations, why)) << why;
    ASSERT_TRUE(readLeapSeconds(tree / "CFG" / "LEAPSECS.DAT", leaps, why)) << why;
    fs::copy_file(obsFile, dir / "12893.obs");
    const ImportReport imported = importMpcFile(dir / "12893.obs", stations, leaps);
    ASSERT_TRUE(imported.written) << imported.message;
    PositionsOptions options;
    PositionsFile all;
    ASSERT_TRUE(readPositionsFile(imported.positionsFile, options, all, why)) << why;

    FitraSettings s;
    s.topocentric = -1;
    s.astrometric = -1;
    s.apparent = 0;
    s.startDistanceAu = 1.3;
    const long double epoch = autoStartEpoch(all);
    FitDynamics d;
    ASSERT_TRUE(buildFitDynamics(tree / "BIN", tree / "ASC", s, epoch, d, why)) << why;
    ParameterSlots p = initialSlots(s, autoStartingConditions(all, s, d), d);
    IterationResult last;
    FitObservations obs;
    for (long double window : {40.0L, 400.0L, 2000.0L, 1e6L}) {
        PositionsFile part = all;
        for (Observation& o : part.observations)
            o.excluded = o.excluded || std::fabs(o.obsTime - epoch) > window;
        obs = prepareObservations(part, s);
        FitHistory h;
        for (int k = 0; k < 25; ++k) {
            last = runIteration(d, obs, s, p, h);
            ASSERT_TRUE(last.ok) << last.message << " window " << static_cast<double>(window);
            if (last.converged) break;
        }
    }
    // Residuals beyond 2" in either coordinate are the outliers every long
    // record holds: cut them, as Cut Bad Data does, and fit again.
    std::size_t cut = 0;
    for (std::size_t k = 0; k < obs.observations.size(); ++k) {
        const auto r = angularResiduals(obs.observations[k], last.directions[k]);
        if (std::fabs(r[0]) > 2 || std::fabs(r[1]) > 2) {
            obs.observations[k].excluded = true;
            ++cut;
        }
    }
    FitHistory h;
    for (int k = 0; k < 25; ++k) {
        last = runIteration(d, obs, s, p, h);
        ASSERT_TRUE(last.ok) << last.message;
        if (last.converged) break;
    }
    ResidualSummary summary;
    formatResiduals(obs, last, s, summary);
    std::cout << "12893: " << summary.used << " observations kept (" << cut
              << " cut), RMS RA*cos(Dec) " << static_cast<double>(summary.rmsRa) << "\", Dec "
              << static_cast<double>(summary.rmsDec) << "\"\n";
    EXPECT_TRUE(last.converged);
    EXPECT_LT(summary.rmsAngle, 1.0L);
    EXPECT_GT(summary.used, 1300u);
}

} // namespace
