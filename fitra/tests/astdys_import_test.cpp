// The AstDys importer on records laid out column by column: the date in TT,
// the catalogue bias (with the wrap of RA at 0h), the discard rule, the
// joint sort of observations and residuals, the radar section; damaged lines.
#include "fitra/astdys_import.h"

#include "fileio/text_util.h"
#include "scratch_directory.h"

#include <sstream>

namespace {

std::string place(std::string line, int column, const std::string& text) {
    if (line.size() < column - 1 + text.size()) line.resize(column - 1 + text.size(), ' ');
    line.replace(column - 1, text.size(), text);
    return line;
}

// One optical line: date, RA, Dec, rms, bias, residuals, magnitude, code, acceptance.
std::string optical(const std::string& date, const std::string& ra, char sign,
                    const std::string& dec, const std::string& rms, const std::string& biasA,
                    const std::string& resA, const std::string& mag, char accepted) {
    std::string l = place("", 2, "12893");
    l = place(l, 18, date);                        // "2018 01 15.5000000" columns 18-35
    l = place(l, 51, ra);                          // "hh mm ss.sss" 51-62
    l = place(l, 76, rms);                         // 76-82
    l = place(l, 87, biasA);                       // 87-93
    l = place(l, 95, resA);                        // 95-102
    l = place(l, 104, std::string(1, sign) + dec); // 104-115
    l = place(l, 129, rms);
    l = place(l, 140, "  0.000");
    l = place(l, 148, "   0.100");
    l = place(l, 157, mag);
    l = place(l, 181, "675");
    l = place(l, 195, std::string(1, accepted));
    return l;
}

std::vector<std::string> lineList(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }
    return lines;
}

class AstDysImport : public tarvo::testing::ScratchDirectoryTest {
  protected:
    fitra::StationTable stations;
    fitra::TimeOffsetTable leaps;
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        write("OBS.TXT", "Code\n675 243.137460.836357+0.546831Palomar\n500   0.00000 0.000000 "
                         "0.000000Geocentric\n");
        write("LEAP.DAT", "2457754.5 37\n");
        std::string m;
        ASSERT_TRUE(fitra::readStationTable(dir / "OBS.TXT", stations, m));
        ASSERT_TRUE(fitra::readLeapSeconds(dir / "LEAP.DAT", leaps, m));
    }
};

TEST_F(AstDysImport, ObservationsAndResidualsAreSortedTogetherWithBiasAndDiscard) {
    std::string text;
    for (int i = 0; i < 7; ++i) text += "header line\n";
    // Newest first in the file; the second has σ > 10", the third is not accepted.
    text += optical("2018 03 15.5000000", "00 00 00.100", '+', "10 00 00.00", "  0.500", " -3.000",
                    "  0.250", "17.5", '1') +
            "\n";
    text += optical("2018 02 15.5000000", "12 30 30.000", '-', "00 30 30.00", " 15.000", "  0.000",
                    "  0.500", "    ", '1') +
            "\n";
    text += optical("2018 01 15.5000000", "06 00 00.000", '+', "20 00 00.00", "  0.500", "  0.000",
                    "  0.750", "18.0", '0') +
            "\n";
    text += "garbage\n";
    write("12893.rwo", text);
    const auto report = fitra::importAstDysFile(dir / "12893.rwo", stations, leaps, {true, 1});
    ASSERT_TRUE(report.written) << report.message;
    EXPECT_EQ(report.observations, 3u);
    EXPECT_EQ(report.skipped, 1u);
    const auto pos = lineList(dir / "12893.POS");
    ASSERT_EQ(pos.size(), 7u);
    EXPECT_EQ(pos[1], "-1 from NeoDys Database (Time is TT)");
    const auto first = tarvo::readFreeNumbers(pos[3]), second = tarvo::readFreeNumbers(pos[4]),
               third = tarvo::readFreeNumbers(pos[5]);
    // Date order, the discarded ones negative; TT = UTC + 69.184 s.
    EXPECT_NEAR(first[0], -(20180115.5 + 69.184 / 86400), 1e-7);
    EXPECT_NEAR(second[0], -(20180215.5 + 69.184 / 86400), 1e-7);
    EXPECT_NEAR(third[0], 20180315.5 + 69.184 / 86400, 1e-7);
    // RA 0h 0m 0.1s with a bias of -3" (-0.2 s) wraps to 23h 59m 59.9s.
    EXPECT_NEAR(third[1], 23.5959900, 1e-7);
    EXPECT_NEAR(second[2], -0.3030, 1e-7);
    EXPECT_NEAR(second[3], 15.0, 1e-9);
    // Each residual stays with its observation: the line number and the same date.
    const auto resid = lineList(dir / "MILRESID.DAT");
    ASSERT_EQ(resid.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const auto n = tarvo::readFreeNumbers(resid[k]);
        EXPECT_EQ(n[0], 4.0 + k);
        EXPECT_NEAR(n[1], tarvo::readFreeNumbers(pos[3 + k])[0], 1e-7);
    }
    EXPECT_NEAR(tarvo::readFreeNumbers(resid[0])[2], 0.75, 1e-9);
    EXPECT_NEAR(tarvo::readFreeNumbers(resid[2])[2], 0.25, 1e-9);
    // Magnitudes in the order of the observations.
    const auto mag = lineList(dir / "12893.MAG");
    ASSERT_EQ(mag.size(), 2u);
    EXPECT_NEAR(tarvo::readFreeNumbers(mag[0])[1], 18.0, 1e-9);
    EXPECT_TRUE(std::filesystem::exists(dir / "12893.TP2"));
}

TEST_F(AstDysImport, RadarLinesFollowTheMarker) {
    std::string text;
    for (int i = 0; i < 7; ++i) text += "header\n";
    text += optical("2018 03 15.5000000", "00 00 00.100", '+', "10 00 00.00", "  0.500", "  0.000",
                    "  0.250", "17.5", '1') +
            "\n";
    text += "! radar\nheading 1\nheading 2\n";
    std::string r = place("", 12, "R");
    r = place(r, 18, "2018 03 16 12 00 00");
    r = place(r, 38, "   12345678.000");
    r = place(r, 64, "    1.000");
    r = place(r, 90, "    2.000");
    r = place(r, 100, "500 675");
    text += r + "\n";
    write("R.rwo", text);
    const auto report = fitra::importAstDysFile(dir / "R.rwo", stations, leaps, {false, 0});
    ASSERT_TRUE(report.written) << report.message;
    EXPECT_EQ(report.radar, 1u);
    const auto pos = lineList(dir / "R.POS");
    ASSERT_EQ(pos.size(), 6u);
    const auto n = tarvo::readFreeNumbers(pos[4]);
    EXPECT_NEAR(n[1], -12.345678, 1e-9); // range in Gm, negated
    EXPECT_EQ(n[2], 0.0);                // a range
    EXPECT_NEAR(n[3], 1.414, 1e-9);
    EXPECT_NEAR(n[4], 0.546831, 1e-6) << pos[4]; // the receiving station 675 first
    EXPECT_EQ(lineList(dir / "MILRESID.DAT")[1].back(), 'R');
}

TEST_F(AstDysImport, UnusableInputWritesNothing) {
    write("X.POS", "keep");
    EXPECT_FALSE(fitra::importAstDysFile(dir / "NONE.rwo", stations, leaps, {}).written);
    write("X.rwo", "1\n2\n3\n");
    EXPECT_FALSE(fitra::importAstDysFile(dir / "X.rwo", stations, leaps, {}).written);
    write("X.rwo", std::string(4000, '\x02'));
    EXPECT_FALSE(fitra::importAstDysFile(dir / "X.rwo", stations, leaps, {}).written);
    std::ifstream in(dir / "X.POS");
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "keep");
}

} // namespace
