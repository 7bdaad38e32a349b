// The suffixes of asteroid answers: FILTER.AST (limits at their edges,
// damaged files) and clones (their statistics over 10^4 draws, names and
// colour codes, and the element file they go into).
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "fileio/byte_cursor.h"
#include "scratch_directory.h"
#include "tarvo/libraries/element_file.h"
#include "tarvo/libraries/minor_body_clones.h"
#include "tarvo/libraries/minor_body_selection.h"
#include "tarvo/libraries/state_file.h"

namespace tarvo {
namespace {

TEST(AnswerSuffixes, FilterAndClonesComeOffTheAnswer) {
    struct Case {
        const char* answer;
        const char* body;
        bool filter;
        CloneNaming clones;
        int count;
    };
    for (const Case& c :
         std::vector<Case>{{"Ceres/C 100", "Ceres", false, CloneNaming::Numbered, 100},
                           {"433 /k50", "433", false, CloneNaming::Kept, 50},
                           {"433/L", "433", false, CloneNaming::Grey, 3}, // no number: the fewest
                           {"433/C2", "433", false, CloneNaming::Numbered, 3},
                           {"433/C 99999", "433", false, CloneNaming::Numbered, maximumClones},
                           {"1-1000/F", "1-1000", true, CloneNaming::None, 0},
                           {"Vesta /f /C 10", "Vesta", true, CloneNaming::Numbered, 10},
                           {"lists/MINE.LST", "lists/MINE.LST", false, CloneNaming::None, 0},
                           {"Ceres/X", "Ceres/X", false, CloneNaming::None, 0},
                           {"Ceres/C x", "Ceres/C x", false, CloneNaming::None, 0},
                           {"/F", "", true, CloneNaming::None, 0}}) {
        SCOPED_TRACE(c.answer);
        const AnswerSuffixes s = splitAnswerSuffixes(c.answer);
        EXPECT_EQ(s.body, c.body);
        EXPECT_EQ(s.filter, c.filter);
        EXPECT_EQ(s.clones, c.clones);
        EXPECT_EQ(s.cloneCount, c.count);
    }
}

class FilterFiles : public testing::ScratchDirectoryTest {};

TEST_F(FilterFiles, LimitsAsWrittenAndDamagedFilesRefused) {
    AsteroidFilter filter;
    std::string message;
    // The file written for the user to edit applies no line.
    write("FILTER.AST", defaultAsteroidFilterText());
    ASSERT_TRUE(readAsteroidFilter(dir / "FILTER.AST", filter, message)) << message;
    AsteroidElementsDecoded a;
    a.absoluteMagnitude = -1; // below every lower limit of 0
    a.eccentricity = 0.25, a.semiMajorAxis = 2.0, a.inclination = 10, a.diameterKm = 100;
    EXPECT_TRUE(passesFilter(filter, a));

    // H: 0 and 0 requires H >= 0; q = a (1 - e) = 1.5 between 1.4 and 1.5;
    // diameter with upper limit 0: no upper limit.
    write("FILTER.AST", "header\n0 0 H\n50 0 D\n0 -1 a\n0 -5 e\n1.4 1.5 q\n"
                        "0 -1 i\n0 -1 w\n0 -1 node\n");
    ASSERT_TRUE(readAsteroidFilter(dir / "FILTER.AST", filter, message)) << message;
    EXPECT_FALSE(passesFilter(filter, a));
    a.absoluteMagnitude = 0;
    EXPECT_TRUE(passesFilter(filter, a));
    a.diameterKm = 49.9;
    EXPECT_FALSE(passesFilter(filter, a));
    a.diameterKm = 5000;
    EXPECT_TRUE(passesFilter(filter, a));
    a.eccentricity = 0.24; // q 1.52
    EXPECT_FALSE(passesFilter(filter, a));

    for (const auto& [what, text, expected] :
         std::vector<std::tuple<const char*, std::string, const char*>>{
             {"truncated", "header\n0 0 H\n0 0 D\n0 -1 a\n", "line 5: missing"},
             {"garbage", "header\n0 0 H\nabc def\n", "line 3 (Diameter (km))"},
             {"one limit", "header\n0 0 H\n5\n", "line 3"},
             {"binary", std::string("header\n0 0\0 H\n", 14), "line 2"},
             {"oversized", std::string(maximumFilterFileBytes + 1, '1'), "too large"}}) {
        SCOPED_TRACE(what);
        write("BAD.AST", text);
        const AsteroidFilter before = filter;
        EXPECT_FALSE(readAsteroidFilter(dir / "BAD.AST", filter, message));
        EXPECT_NE(message.find(expected), std::string::npos) << message;
        EXPECT_EQ(filter.limits, before.limits);
    }
    EXPECT_FALSE(readAsteroidFilter(dir / "NONE.AST", filter, message));
    EXPECT_NE(message.find("cannot be opened"), std::string::npos);
}

TEST(CloneColours, DeviationBandsAtTheirEdges) {
    for (const auto& [q, code] : std::vector<std::pair<int, const char*>>{{0, "009900"},
                                                                          {99, "009999"},
                                                                          {100, "000099"},
                                                                          {199, "009999"},
                                                                          {200, "000099"},
                                                                          {299, "990099"},
                                                                          {300, "990099"},
                                                                          {399, "990000"},
                                                                          {400, "990000"},
                                                                          {123456, "990000"}})
        EXPECT_EQ(cloneDeviationColour(q), code) << q;
}

AsteroidRecord cloneable() {
    AsteroidRecord r;
    r.name = "Ceres";
    r.magnitudeTimes10 = 33;
    r.classAndDiameter = 939 * 4;
    r.eccentricity = 157'000'000;
    r.inclination = 105'000'000;
    r.perihelion = 733'000'000;
    r.node = 802'000'000;
    r.axisWhole = 2;
    r.axisFraction = 1'533'000'000;
    r.meanAnomaly = 1'458'000'000;
    return r;
}

TEST(Clones, TenThousandDrawsHaveTheSpreadsOfTheirWeights) {
    const AsteroidRecord record = cloneable();
    DifferenceRecord difference;
    difference.scale = 3;
    difference.d = {1200, -800, 3000, 250, -20000, 32767};
    NormalDeviates deviates(20261210);
    constexpr int kCount = 10000;
    const std::vector<AsteroidElementsDecoded> clones =
        makeClones(1, record, difference, CloneNaming::Numbered, kCount, deviates);
    ASSERT_EQ(clones.size(), static_cast<std::size_t>(kCount));

    // The first copy is the base.
    const AsteroidElementsDecoded base = decodeElements(1, record, nullptr, 0);
    EXPECT_EQ(clones[0].eccentricity, base.eccentricity);
    EXPECT_EQ(clones[0].meanAnomaly, base.meanAnomaly);
    EXPECT_EQ(clones[0].colourCode, "009900");

    // Offsets in units of 2^s d: w0 + w_k, of spread sqrt(1 + 1/64); any two
    // elements share w0, so they correlate by 1 / (1 + 1/64).
    auto offsets = [&](auto element, int k) {
        std::vector<double> x;
        const double step = std::ldexp(difference.d[static_cast<std::size_t>(k)], 3);
        for (std::size_t c = 1; c < clones.size(); ++c)
            x.push_back(std::remainder(element(clones[c]) - element(base), 360.0) *
                        (k == 0 || k == 4 ? 2e9 : 1e7) / step);
        return x;
    };
    const std::vector<std::vector<double>> x = {
        offsets([](const AsteroidElementsDecoded& e) { return e.eccentricity; }, 0),
        offsets([](const AsteroidElementsDecoded& e) { return e.inclination; }, 1),
        offsets([](const AsteroidElementsDecoded& e) { return e.perihelion; }, 2),
        offsets([](const AsteroidElementsDecoded& e) { return e.node; }, 3),
        offsets([](const AsteroidElementsDecoded& e) { return e.semiMajorAxis; }, 4),
        offsets([](const AsteroidElementsDecoded& e) { return e.meanAnomaly; }, 5)};
    const double spread = std::sqrt(1 + 1.0 / 64);
    std::vector<double> mean(6), sd(6);
    for (std::size_t k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        const double n = static_cast<double>(x[k].size());
        mean[k] = std::accumulate(x[k].begin(), x[k].end(), 0.0) / n;
        double ss = 0;
        for (double v : x[k]) ss += (v - mean[k]) * (v - mean[k]);
        sd[k] = std::sqrt(ss / (n - 1));
        EXPECT_NEAR(mean[k], 0, 0.03 * spread);
        EXPECT_NEAR(sd[k] / spread, 1, 0.03);
    }
    double cov = 0;
    for (std::size_t c = 0; c < x[0].size(); ++c) cov += (x[0][c] - mean[0]) * (x[5][c] - mean[5]);
    const double correlation = cov / (static_cast<double>(x[0].size()) - 1) / (sd[0] * sd[5]);
    EXPECT_NEAR(correlation / (1 / (1 + 1.0 / 64)), 1, 0.03);

    // Names carry the clone number after two characters; deviation colours
    // come out of every band but the rarest.
    EXPECT_EQ(clones[1].name, "Ce1res");
    EXPECT_EQ(clones[9999].name, "Ce9999res");
    int low = 0;
    for (const auto& c : clones) low += c.colourCode.substr(2, 2) == "99"; // green 99: q < 100
    // P(w0^2 + sum of six (w/8)^2 < 1) is near 0.66.
    EXPECT_NEAR(low / static_cast<double>(kCount), 0.66, 0.03);
}

class CloneFiles : public testing::ScratchDirectoryTest {};

TEST_F(CloneFiles, KeptAndGreyNamesAndTheElementFileTheyGoInto) {
    const AsteroidRecord record = cloneable();
    DifferenceRecord difference;
    difference.d = {100, 100, 100, 100, 100, 100};
    NormalDeviates deviates(7);
    const auto kept = makeClones(1, record, difference, CloneNaming::Kept, 3, deviates);
    const auto grey = makeClones(1, record, difference, CloneNaming::Grey, 3, deviates);
    for (const auto& c : kept) {
        EXPECT_EQ(c.name, "Ceres");
        EXPECT_TRUE(c.colourCode.empty());
    }
    EXPECT_EQ(grey[2].name, "Ce2res");
    EXPECT_EQ(grey[2].colourCode, "808080");
    EXPECT_NE(kept[1].meanAnomaly, kept[2].meanAnomaly);

    std::vector<AsteroidElementsDecoded> all = kept;
    all.insert(all.end(), grey.begin(), grey.end());
    write("AST.TMP", asteroidElementFileText(2459800.5, all));
    ElementFileContents file;
    std::string message;
    ASSERT_TRUE(readElementFile(dir / "AST.TMP", StateFileKind::MinorBody, 10, file, message))
        << message;
    ASSERT_EQ(file.records.size(), 6u);
    const NameField plain = decodeNameField(file.records[0].nameField);
    EXPECT_FALSE(plain.hasColour);
    const NameField coloured = decodeNameField(file.records[5].nameField);
    EXPECT_EQ(trimmedRight(coloured.name), "Ce2res");
    ASSERT_TRUE(coloured.hasColour);
    const auto grey80 = static_cast<std::uint32_t>(std::lround(80 * colourCodeScale));
    EXPECT_EQ(coloured.colour, grey80 | grey80 << 8 | grey80 << 16);
}

} // namespace
} // namespace tarvo
