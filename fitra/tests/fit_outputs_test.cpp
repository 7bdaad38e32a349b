// The files of a fit: the covariance matrix, the residuals with their
// columns, CALCD.DAT read back as a positions file, the best state read
// back by the suite's state-file reader, and Cut / Restore on damaged and
// well-formed inputs.
#include "fitra/data_cut.h"
#include "fitra/fit_outputs.h"

#include "scratch_directory.h"
#include "synthetic_orbit.h"
#include "tarvo/libraries/state_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

using namespace fitra;
using namespace fitra::testing;

std::string slurp(const std::filesystem::path& f) {
    std::ifstream in(f, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        out.push_back(l);
    }
    return out;
}

class FitOutputs : public tarvo::testing::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        s.astrometric = -1;
        s.relativistic = 0;
        d = sunOnlyDynamics(s, 0);
        file = syntheticObservations(orbit, -100, 40, 0.6L, 0.4);
        obs = prepareObservations(file, s);
        Vector3 r, v;
        twoBodyState(orbit, 0, r, v);
        StartingConditions c;
        for (int k = 0; k < 3; ++k) {
            c.state[k] = r[k];
            c.state[k + 3] = v[k] / 0.0864L;
        }
        p = initialSlots(s, c, d);
        FitHistory h;
        run = runIteration(d, obs, s, p, h);
        ASSERT_TRUE(run.ok) << run.message;
    }
    FitraSettings s;
    FitDynamics d;
    TwoBodyOrbit orbit{2.2L * kAuGm, 0.1L, 0.3L, 0.4L, 1.0L, 2.0L, 0.0L};
    PositionsFile file;
    FitObservations obs;
    ParameterSlots p;
    IterationResult run;
};

TEST_F(FitOutputs, CovarianceMatrixRowsFollowTheActiveSlots) {
    const auto six = linesOf(formatCovarianceMatrix(p, run.inverse, 2, s, false));
    ASSERT_EQ(six.size(), 3u + 6u);
    EXPECT_EQ(six[0], "              Covariances and Correlation Coefficients");
    EXPECT_EQ(six[2].substr(0, 10), "       X0 ");
    EXPECT_EQ(six[3].substr(0, 4), " X0 ");
    // Diagonal: s^2 N^-1; below it the correlations, within [-1, 1].
    ParameterSlots one = p;
    for (int i = 2; i <= kSlotCount; ++i) one.active[i] = false;
    SlotMatrix inv{};
    inv[1][1] = 0.25L;
    const auto single = linesOf(formatCovarianceMatrix(one, inv, 2, s, false));
    ASSERT_EQ(single.size(), 4u);
    EXPECT_EQ(single[3], " X0  1.00E+00 ");
    const auto ext = linesOf(formatCovarianceMatrix(p, run.inverse, 1, s, true));
    ASSERT_EQ(ext.size(), 6u);
    for (int i = 1; i < 6; ++i) {
        const double rho = std::stod(ext[i].substr(0, 22));
        EXPECT_LE(std::fabs(rho), 1.0) << ext[i];
    }
}

TEST_F(FitOutputs, OrbitLogBlockHoldsStateChangesErrorsAndIncrements) {
    SlotVector initial = p.value;
    initial[1] -= 0.5L;
    const auto lines = linesOf(formatOrbitLogEntry(3, 1.25e-4L, -2e-5L, p, initial, run, s));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "Iteration 3. ;  Sigma = 1.25000E-04 deg  dSigma =-2.00E-05");
    EXPECT_EQ(lines[1].substr(0, 13), " X, Y, Z:    ");
    EXPECT_NEAR(std::stold(lines[1].substr(13, 25)), p.value[1], 1e-15L * std::fabs(p.value[1]));
    EXPECT_EQ(lines[3].substr(0, 13), "Dif  X,Y,Z:  ");
    EXPECT_NEAR(std::stod(lines[3].substr(13, 23)), 0.5, 1e-3);
    EXPECT_EQ(lines[8].substr(0, 13), "Inc VX,VY,VZ:");
}

TEST_F(FitOutputs, ResidualColumnsHoldTheAngularResiduals) {
    ResidualSummary sum;
    const auto lines = linesOf(formatResiduals(obs, run, s, sum));
    ASSERT_EQ(lines.size(), 2 + obs.observations.size() + 2);
    EXPECT_EQ(lines[1], std::string(78, ' '));
    long double squares = 0;
    for (std::size_t k = 0; k < obs.observations.size(); ++k) {
        const std::string& l = lines[2 + k];
        ASSERT_EQ(l.size(), 78u);
        EXPECT_EQ(std::stoi(l.substr(0, 4)), static_cast<int>(k + 1));
        const auto r = angularResiduals(obs.observations[k], run.directions[k]);
        EXPECT_NEAR(std::stod(l.substr(48, 10)), static_cast<double>(r[0]), 6e-4);
        EXPECT_NEAR(std::stod(l.substr(58, 10)), static_cast<double>(r[1]), 6e-4);
        squares += r[0] * r[0];
    }
    EXPECT_NEAR(sum.rmsRa, std::sqrt(squares / obs.observations.size()), 1e-12L);
    const std::string rmsLine = "  RMS ------------------------------ ";
    EXPECT_EQ(lines[2 + obs.observations.size()].substr(0, rmsLine.size()), rmsLine);
}

TEST_F(FitOutputs, CalculatedPositionsReadBackAsAPositionsFile) {
    const auto path = write("CALCD.DAT", formatCalculatedPositions(file, obs, run, s));
    PositionsFile back;
    std::string why;
    ASSERT_TRUE(readPositionsFile(path, PositionsOptions{}, back, why)) << why;
    ASSERT_EQ(back.observations.size(), obs.observations.size());
    for (std::size_t k = 0; k < back.observations.size(); ++k) {
        const auto r = angularResiduals(back.observations[k], run.directions[k]);
        EXPECT_LT(std::hypot(r[0], r[1]), 2e-3L) << k; // the masks keep 1e-4 s and 1e-4"
        EXPECT_NEAR(back.observations[k].obsTime, obs.times[k], 1e-6L);
    }
}

TEST_F(FitOutputs, TheBestStateReadsBackThroughTheSuitesReader) {
    std::string why;
    ASSERT_TRUE(writeFittedStateFile(dir / "BESTPOS.TVX", d, p, s, "SYNTH", why)) << why;
    tarvo::StateFileContents c;
    ASSERT_TRUE(
        tarvo::readStateFile(dir / "BESTPOS.TVX", tarvo::StateFileKind::MinorBody, 10, c, why))
        << why;
    ASSERT_EQ(c.records.size(), 1u);
    EXPECT_NEAR(c.julianDate, 2451545.0L, 1e-9L);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(c.records[0].position[k], p.value[1 + k],
                    1e-12L * std::fabs(p.value[1 + k]) + 1e-15L);
        EXPECT_NEAR(c.records[0].velocity[k], p.value[4 + k],
                    1e-12L * std::fabs(p.value[4 + k]) + 1e-15L);
    }
}

TEST_F(FitOutputs, GoToWritesTheIntegratedStateAtItsEpoch) {
    std::string why;
    ParameterSlots exact = initialSlots(
        s,
        [&] {
            Vector3 r, v;
            twoBodyState(orbit, 0, r, v);
            StartingConditions c;
            for (int k = 0; k < 3; ++k) {
                c.state[k] = r[k];
                c.state[k + 3] = v[k] / 0.0864L;
            }
            return c;
        }(),
        d);
    ASSERT_TRUE(writeStateAtEpoch(dir / "LAST1.TVX", d, exact, s, 300, "SYNTH", why)) << why;
    tarvo::StateFileContents c;
    ASSERT_TRUE(
        tarvo::readStateFile(dir / "LAST1.TVX", tarvo::StateFileKind::MinorBody, 10, c, why))
        << why;
    EXPECT_NEAR(c.julianDate, 2451545.0L + 300, 1e-9L);
    Vector3 r, v;
    twoBodyState(orbit, 300, r, v);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(c.records[0].position[k], r[k], 1e-9L * 330) << k;
        EXPECT_NEAR(c.records[0].velocity[k] * 0.0864L, v[k], 1e-9L * 2) << k;
    }
}

class CutData : public tarvo::testing::ScratchDirectoryTest {
  protected:
    // Residual lines with the RA residual in columns 49-58 and Dec in 59-68.
    static std::string residLine(int n, double ra, double dec) {
        char buf[128];
        std::snprintf(buf, sizeof buf, "%4d %-15s %14s %10s %10.3f%10.3f%10.3f", n, "20190101.5",
                      "2458485.0", "0.0", ra, dec, std::hypot(ra, dec));
        return buf;
    }
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        pos = write("A.POS", "1 Observations of A\r\n-1\r\n2\r\n"
                             " 20190101.5 1.0 2.0 1.0 0.5 0.8 0.1\r\n"
                             " 20190102.5 1.0 2.0 1.0 0.5 0.8 0.1\r\n"
                             "-20190103.5 1.0 2.0 1.0 0.5 0.8 0.1\r\n"
                             "-20190104.5 1.0 2.0 1.0 0.5 0.8 0.1\r\n0\r\n");
        resid = write("RESID.DAT", "head\r\n\r\n" + residLine(1, 2.0, 0.1) + "\r\n" +
                                       residLine(2, 0.1, -2.5) + "\r\n" + residLine(3, 2.0, 0.1) +
                                       "\r\n" + residLine(4, 1.0, 0.5) + "\r\n");
    }
    std::filesystem::path pos, resid;
};

TEST_F(CutData, ThresholdsCutAndRestoreAsTheirEdgesSay) {
    const std::string before = slurp(pos);
    CutRequest r{pos, resid, dir / "B.POS", 2.0, 2.0, false, false};
    CutOutcome out = cutBadData(r);
    ASSERT_TRUE(out.ok) << out.message;
    auto lines = linesOf(slurp(dir / "B.POS"));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[3][0], ' '); // equal to the threshold: kept
    EXPECT_EQ(lines[4][0], '-'); // beyond it in Dec: cut
    EXPECT_EQ(out.changed, 1u);
    EXPECT_EQ(lines.back(), "0");
    EXPECT_EQ(slurp(pos), before);
    r.restore = true;
    r.output = dir / "C.POS";
    out = cutBadData(r);
    ASSERT_TRUE(out.ok) << out.message;
    lines = linesOf(slurp(dir / "C.POS"));
    EXPECT_EQ(lines[5][0], '-'); // at the threshold: not restored
    EXPECT_EQ(lines[6][0], ' '); // both below: restored
    EXPECT_EQ(out.changed, 1u);
}

TEST_F(CutData, TheInputIsNeverOverwrittenAndDamagedResidualsAreRefused) {
    const std::string before = slurp(pos);
    CutOutcome out = cutBadData({pos, resid, dir / "a.pos", 1, 1, false, false});
    EXPECT_FALSE(out.ok);
    EXPECT_NE(out.message.find("another name"), std::string::npos);
    EXPECT_EQ(slurp(pos), before);
    out = cutBadData({pos, write("R2.DAT", "x"), dir / "D.POS", 1, 1, false, false});
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(std::filesystem::exists(dir / "D.POS"));
    // Garbage residual lines cut nothing and do not crash.
    out = cutBadData({pos, write("R3.DAT", std::string(5000, '\x07') + "\n\n\n\n"), dir / "E.POS",
                      1, 1, false, false});
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(thresholdAnswer(0), 1);
    EXPECT_EQ(thresholdAnswer(-3), 1);
    EXPECT_EQ(thresholdAnswer(std::nan("")), 1);
    EXPECT_EQ(thresholdAnswer(2.5), 2.5);
}

} // namespace
