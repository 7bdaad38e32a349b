// The conjunction family on circular coplanar orbits, whose conjunctions,
// oppositions, quadratures and greatest elongations are known in closed
// form; the suffixes of the Max Angle; and a crowd of bodies whose groups
// of multiple conjunctions could be 2^c.
#include "tarvo/events/close_approach_search.h"
#include "tarvo/events/conjunction.h"

#include "scratch_directory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <vector>

namespace tarvo {
namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;

// Body 0 (the Sun) at rest at the origin; body k on a circle of radius
// a[k] Gm at the rate n[k] rad/day from the angle phase[k], in the x, y plane.
struct Circles {
    std::vector<long double> a, n, phase;
    void fill(TableStates& s, long double t) const {
        s.resize(a.size());
        for (std::size_t k = 1; k < a.size(); ++k) {
            const long double th = n[k] * t + phase[k], c = std::cos(th), si = std::sin(th);
            s.x[k] = a[k] * c, s.y[k] = a[k] * si, s.z[k] = 0;
            s.vx[k] = -a[k] * n[k] * si, s.vy[k] = a[k] * n[k] * c, s.vz[k] = 0;
            s.ax[k] = -a[k] * n[k] * n[k] * c, s.ay[k] = -a[k] * n[k] * n[k] * si, s.az[k] = 0;
        }
    }
};

constexpr long double kInner = 1.0L, kOuter = 1.5L;
const Circles kPlanets{{0, kInner, kOuter}, {0, 1.0L, 0.5443L}, {0, 0.0L, 0.3L}};
constexpr long double kSynodicRate = 1.0L - 0.5443L; // rad/day of the inner against the outer

std::vector<ConjunctionEvent> eventsOver(ConjunctionKind kind, int centre, int a, int b,
                                         double maxAngle) {
    std::vector<ConjunctionEvent> events;
    const SearchFrame frame;
    const FrameState table;
    const long double h = 0.1L;
    for (long double t = 0.0L; t < 30.0L; t += h) {
        TableStates s0, s1;
        kPlanets.fill(s0, t);
        kPlanets.fill(s1, t + h);
        StepEnds step;
        step.t0 = t, step.t1 = t + h, step.h = h, step.bodyCount = 2;
        step.start = &s0, step.end = &s1;
        SightGeometry g;
        g.step = &step;
        g.centre.body = centre;
        g.frame = &frame;
        g.table = &table;
        g.lightTime = false;
        if (const auto ev = conjunctionStep(g, kind, a, b, maxAngle)) events.push_back(*ev);
    }
    return events;
}

// The instants in 0 .. 30 days at which the inner planet leads the outer by
// psi (mod 2 pi).
std::vector<long double> whenLeading(long double psi) {
    std::vector<long double> t;
    for (int k = -2; k < 6; ++k) {
        const long double x = (psi + 0.3L + 2 * kPi * k) / kSynodicRate;
        if (x > 0 && x < 30) t.push_back(x);
    }
    std::sort(t.begin(), t.end());
    return t;
}

void expectTimes(const std::vector<ConjunctionEvent>& events, std::vector<long double> expected) {
    ASSERT_EQ(events.size(), expected.size());
    for (std::size_t k = 0; k < events.size(); ++k)
        EXPECT_NEAR(static_cast<double>(events[k].time), static_cast<double>(expected[k]), 1e-6)
            << "event " << k;
}

// Seen from the inner planet: the outer one's oppositions (same heliocentric
// longitude), conjunctions (behind the Sun) and quadratures (cos psi =
// a_in / a_out).
TEST(ConjunctionFamily, CircularOrbitsSeenFromTheInnerPlanet) {
    const auto oppositions = eventsOver(ConjunctionKind::opposition, 1, 2, 0, kPi);
    expectTimes(oppositions, whenLeading(0));
    for (const auto& ev : oppositions) EXPECT_NEAR(static_cast<double>(ev.separation), M_PI, 1e-9);
    const auto conjunctions = eventsOver(ConjunctionKind::conjunction, 1, 2, 0, 0.1);
    expectTimes(conjunctions, whenLeading(kPi));
    for (const auto& ev : conjunctions) EXPECT_LT(ev.separation, 1e-9L);
    auto quadratures = whenLeading(std::acos(kInner / kOuter));
    for (long double t : whenLeading(-std::acos(kInner / kOuter))) quadratures.push_back(t);
    std::sort(quadratures.begin(), quadratures.end());
    expectTimes(eventsOver(ConjunctionKind::quadrature, 1, 2, 0, kPi / 2), quadratures);
    // A conjunction limit below the planets' separation keeps none; the
    // sine's zeros at the oppositions are no conjunctions.
    EXPECT_EQ(eventsOver(ConjunctionKind::conjunction, 1, 2, 0, kPi).size(), conjunctions.size());
}

// Seen from the outer planet the inner one's greatest elongations are
// asin(a_in / a_out).
TEST(ConjunctionFamily, GreatestElongationOfTheInnerPlanet) {
    const auto events = eventsOver(ConjunctionKind::elongation, 2, 1, 0, kPi);
    auto expected = whenLeading(std::acos(kInner / kOuter));
    for (long double t : whenLeading(-std::acos(kInner / kOuter))) expected.push_back(t);
    std::sort(expected.begin(), expected.end());
    expectTimes(events, expected);
    for (const auto& ev : events)
        EXPECT_NEAR(static_cast<double>(ev.separation), std::asin(1.0 / 1.5), 1e-10);
}

TEST(ConjunctionFamily, FunctionIsZeroForABodyOnThePole) {
    EXPECT_EQ(conjunctionFunction(ConjunctionKind::conjunction, {0, 0, 1}, {1, 0, 0}), 0.0L);
    EXPECT_EQ(conjunctionFunction(ConjunctionKind::quadrature, {1, 0, 0}, {0, 0, -2}), 0.0L);
    EXPECT_NEAR(
        static_cast<double>(conjunctionFunction(ConjunctionKind::quadrature, {2, 0, 5}, {0, 3, 1})),
        0.0, 1e-18);
    EXPECT_FALSE(bracketsConjunction(ConjunctionKind::conjunction, 0.0L, 1.0L));
    EXPECT_TRUE(bracketsConjunction(ConjunctionKind::conjunction, 1.0L, 0.0L));
    EXPECT_TRUE(bracketsConjunction(ConjunctionKind::elongation, -1.0L, 1.0L));
    EXPECT_FALSE(bracketsConjunction(ConjunctionKind::elongation, 1.0L, -1.0L));
}

TEST(ConjunctionFamily, SuffixesOfTheMaxAngle) {
    std::string problem;
    auto a = readAngleAnswer("5/C", false, problem);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->options.kind, ConjunctionKind::conjunction);
    EXPECT_EQ(a->maxAngleDegrees, 5.0);
    a = readAngleAnswer("/o", true, problem);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->options.kind, ConjunctionKind::opposition);
    EXPECT_EQ(a->maxAngleDegrees, 180.0);
    a = readAngleAnswer("1/Q", true, problem);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->options.kind, ConjunctionKind::quadrature);
    EXPECT_EQ(a->maxAngleDegrees, 90.0);
    a = readAngleAnswer("/E", true, problem);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->options.kind, ConjunctionKind::elongation);
    a = readAngleAnswer("2/M/3", false, problem);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->options.kind, ConjunctionKind::minimum);
    EXPECT_TRUE(a->options.multiple);
    EXPECT_EQ(a->options.groupExtra, 3);
    a = readAngleAnswer("150", false, problem);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->options.kind, ConjunctionKind::none);
    EXPECT_NEAR(a->maxAngleDegrees, 99.9, 1e-12);
    // Refused or cancelling answers.
    EXPECT_FALSE(readAngleAnswer("/O", false, problem));
    EXPECT_NE(problem, "");
    EXPECT_FALSE(readAngleAnswer("0/C", false, problem));
    EXPECT_EQ(problem, "");
    EXPECT_FALSE(readAngleAnswer("garbage", false, problem));
    EXPECT_FALSE(readAngleAnswer("/M/", false, problem));
}

// Twenty bodies within a degree of each other, two of which pass in
// longitude: the candidates are 18, whose subsets are 2^18; the groups
// written stop at the cap, which MULTCNJ.DAT states.
class Crowd : public testing::ScratchDirectoryTest {
  protected:
    BodyTable t;
    IntegrationState s;
    FrameState frame;
    ForceCoefficients force;
    PrecessionTable precession;
    DataDirectories dirs;
    Circles crowd;
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        createBodyTable(minimumMaxBodies, t);
        t.layout = BodyLayout{};
        t.layout.bodyCount = 20;
        t.layout.lastMajor = t.layout.lastMassive = 0;
        t.layout.noMoon = true;
        t.layout.moonIndex = t.maxBodies;
        t.layout.earthIndex = t.maxBodies - 1;
        crowd.a.assign(21, 0), crowd.n.assign(21, 0), crowd.phase.assign(21, 0);
        for (int k = 1; k <= 20; ++k) {
            setBodyName(t, k, "ROCK" + std::to_string(k));
            crowd.a[k] = 100.0L + k;
            crowd.phase[k] = -0.0004L * k; // behind body 1, which moves away
        }
        crowd.n[1] = 0.01L, crowd.phase[1] = 0.001L;
        crowd.n[2] = 0.02L, crowd.phase[2] = 0.0L; // passes body 1 at t = 0.1
        dirs.workDir = dir;
    }
};

TEST_F(Crowd, MultipleConjunctionGroupsStopAtTheCap) {
    RunContext run(t, s, frame, force, precession, dirs);
    run.centre.kind = CentreSelection::Kind::Sun;
    run.page.lightTime = false;
    CloseApproachSettings settings;
    settings.angular = true;
    settings.maxAngleDegrees = 5.0;
    settings.selection = PairSelection{1, 1};
    settings.conjunction.kind = ConjunctionKind::conjunction;
    settings.conjunction.multiple = true;
    auto search = makeCloseApproachSearch(settings);
    std::string message;
    ASSERT_TRUE(search->begin(run, message)) << message;
    TableStates s0, s1;
    crowd.fill(s0, 0.0L);
    crowd.fill(s1, 1.0L);
    StepEnds step;
    step.t0 = 0, step.t1 = 1, step.h = 1, step.bodyCount = 20;
    step.start = &s0, step.end = &s1;
    search->afterStep(step, run);
    const SearchSummary summary = search->finish(run);
    EXPECT_EQ(summary.events, 1); // body 1 with body 2; the others do not move past it
    std::ifstream in(dir / "MULTCNJ.DAT", std::ios::binary);
    std::string line;
    std::vector<std::string> lines;
    while (std::getline(in, line)) lines.push_back(line);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("      Date     TT        JD2000    Dmed (°) Dmax  emin", 0), 0u)
        << lines[0];
    EXPECT_NE(lines[1].find("at most 64 groups"), std::string::npos) << lines[1];
    EXPECT_LE(lines.size(), 2u + 64u);
    // The first group: the pair and the first candidate.
    EXPECT_NE(lines[2].find(" ROCK1     ROCK2     ROCK3"), std::string::npos) << lines[2];
    EXPECT_NE(lines[2].find("   2000/01/01 "), std::string::npos) << lines[2]; // near J2000
}

} // namespace
} // namespace tarvo

namespace tarvo {
namespace {

// The sweep finds every pair whose longitudes cross, across 0 too, and
// no pair far apart.
TEST(ConjunctionFamily, LongitudeSweepsFindThePairsThatMeet) {
    const std::vector<long double> from{0, 1.0L, 1.2L, 6.28L, 0.001L, 3.0L};
    const std::vector<long double> to{0, 1.3L, 1.1L, 0.01L, 0.002L, 3.0L};
    const std::vector<char> take{0, 1, 1, 1, 1, 1};
    const auto pairs = longitudeCandidates(from, to, take);
    const std::vector<std::pair<int, int>> expected{{1, 2}, {3, 4}};
    EXPECT_EQ(pairs, expected);
}

} // namespace
} // namespace tarvo

namespace tarvo {
namespace {

TEST(ConjunctionFamily, TitlesNameTheEventAndItsFrame) {
    ConjunctionTitle t;
    t.ecliptic = true;
    t.maxAngleDegrees = 5.0;
    EXPECT_EQ(conjunctionTitle(t)[0],
              "  Conditions of geocentric Conjunction in Longitude (within  "
              "5.000) (Corrected for Light-Time) ");
    // 180 degrees of the oppositions fits its field (no overflow mark).
    t.kind = ConjunctionKind::opposition;
    t.maxAngleDegrees = 180.0;
    t.ecliptic = false;
    t.lightTime = false;
    EXPECT_EQ(conjunctionTitle(t)[0],
              "  Conditions of geocentric  Opposition in Right Asc. (within 180.000) (Geometric) ");
    t.kind = ConjunctionKind::quadrature;
    t.maxAngleDegrees = 90.0;
    t.topocentric = true;
    t.centrePrefix = "topo";
    t.siteLatitude = 51.48, t.siteLongitude = -0.01;
    EXPECT_EQ(conjunctionTitle(t)[0], "  Conditions of topocentric  Quadrature in Right Asc. "
                                      "(within 90.000). Lat =  51.48  Long =  -0.01 (Geometric) ");
    t.kind = ConjunctionKind::elongation;
    t.topocentric = false;
    t.centrePrefix = "helio";
    EXPECT_EQ(
        conjunctionTitle(t)[0].rfind("  Conditions of maximum heliocentric angular distance ", 0),
        0u);
}

} // namespace
} // namespace tarvo
