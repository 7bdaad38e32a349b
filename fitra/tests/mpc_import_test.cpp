// The MPC importer on a real record set (12893.obs: ground stations and
// two-line spacecraft records), checked line by line against the source with
// ERFA's UTC -> TT; and on a corpus of damaged records.
#include "shared_inputs.h"

#include "fileio/text_util.h"
#include "scratch_directory.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>

namespace {

using fitra::testing::kSharedData;
using fitra::testing::slurp;

std::vector<std::string> lineList(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }
    return lines;
}

double field(const std::string& line, int c1, int c2) {
    return std::stod(line.substr(c1 - 1, c2 - c1 + 1));
}

// An 80-column line with `text` placed from 1-based column `column` on.
std::string place(std::string line, int column, const std::string& text) {
    line.resize(80, ' ');
    line.replace(column - 1, text.size(), text);
    return line.substr(0, 80);
}

class MpcImport : public tarvo::testing::ScratchDirectoryTest {
  protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        FITRA_REQUIRE_FILE(fitra::testing::kTzdataLeapSeconds);
        FITRA_REQUIRE_FILE(kSharedData / "mpc" / "ObsCodes.html");
        fitra::testing::writeObscodesFromHtml(kSharedData / "mpc" / "ObsCodes.html",
                                              dir / "OBSCODES.TXT");
        fitra::testing::writeLines(dir / "LEAPSECS.DAT", tarvo::leapSecondsLines(slurp(
                                                             fitra::testing::kTzdataLeapSeconds)));
        std::string message;
        ASSERT_TRUE(fitra::readStationTable(dir / "OBSCODES.TXT", stations, message)) << message;
        ASSERT_TRUE(fitra::readLeapSeconds(dir / "LEAPSECS.DAT", leaps, message)) << message;
    }
    fitra::StationTable stations;
    fitra::TimeOffsetTable leaps;
};

TEST_F(MpcImport, EveryLineOf12893MatchesItsSourceInTt) {
    const auto source = kSharedData / "mpc" / "12893.obs";
    FITRA_REQUIRE_FILE(source);
    const auto input = write("12893.MPC", slurp(source));
    const auto report = fitra::importMpcFile(input, stations, leaps);
    ASSERT_TRUE(report.written) << report.message;
    EXPECT_EQ(report.positionsFile, dir / "12893.POS");
    EXPECT_EQ(report.spacecraft, 14u);
    const auto src = lineList(slurp(source));
    ASSERT_EQ(src.size(), 1415u);
    EXPECT_EQ(report.observations + report.skipped + report.spacecraft + report.radar, src.size())
        << report.message;
    const auto pos = lineList(slurp(dir / "12893.POS"));
    ASSERT_EQ(pos.size(), report.observations + 4);
    EXPECT_EQ(pos[0], "1 Topocentric Observations of 12893");
    EXPECT_EQ(pos[1], "-1 from MPC formatted data  (Time is TT)");
    EXPECT_EQ(pos.back(), "0");

    std::size_t k = 3, checked = 0, after2017 = 0;
    for (std::size_t i = 0; i < src.size(); ++i) {
        const std::string& s = src[i];
        if (s.size() != 80 || s[14] == 's' || s[14] == 'R') continue;
        ASSERT_LT(k, pos.size() - 1);
        const auto out = tarvo::readFreeNumbers(pos[k++]);
        ASSERT_GE(out.size(), 7u);
        // Date: the source's UTC through ERFA to TT.
        const int y = static_cast<int>(field(s, 16, 19)), m = static_cast<int>(field(s, 21, 22));
        const double d = field(s, 24, 32);
        double u1, u2, a1, a2, t1, t2;
        ASSERT_EQ(eraCal2jd(y, m, static_cast<int>(d), &u1, &u2), 0);
        u2 += d - std::floor(d);
        eraUtctai(u1, u2, &a1, &a2);
        eraTaitt(a1, a2, &t1, &t2);
        int ty, tm, td;
        double tf;
        eraJd2cal(t1, t2, &ty, &tm, &td, &tf);
        const double want = 10000.0 * ty + 100.0 * tm + td + tf;
        EXPECT_NEAR(out[0], want, 1.5e-7) << "line " << i + 1;
        if (ty >= 2017) {
            ++after2017;
            EXPECT_NEAR((t1 - u1) + (t2 - u2), 69.184 / 86400, 1e-9);
        }
        // RA to 0.001 s (1e-7 in hh.mmsssss), Dec to 0.01" (1e-6 in dd.mmssss).
        const double h = field(s, 33, 34), mi = field(s, 36, 37), sec = field(s, 39, 44);
        EXPECT_NEAR(out[1], h + mi / 100 + sec / 10000, 1e-7) << "line " << i + 1;
        const double sign = s[44] == '-' ? -1 : 1;
        const double dd = field(s, 46, 47), dm = field(s, 49, 50), ds = field(s, 52, 56);
        EXPECT_NEAR(out[2], sign * (dd + dm / 100 + ds / 10000), 1e-6) << "line " << i + 1;
        EXPECT_DOUBLE_EQ(out[3], 1.0);
        if (s[14] == 'S') {
            EXPECT_GT(std::fabs(out[4]), 900.0) << "spacecraft X + 1000, line " << i + 1;
        } else {
            const auto& st = stations.lookup(s.substr(77, 3));
            EXPECT_NEAR(out[4], st.rhoSinPhi, 1e-6);
            EXPECT_NEAR(out[5], st.rhoCosPhi, 1e-6);
            EXPECT_NEAR(out[6], st.longitudeDeg, 1e-5);
        }
        ++checked;
    }
    EXPECT_EQ(checked, report.observations);
    EXPECT_GT(after2017, 0u);
}

TEST_F(MpcImport, SpacecraftPositionsAreCarriedInGigametres) {
    // A two-line record in km (unit digit 1) and one in AU (2).
    const std::string first =
        "     K20A00A  S2020 01 01.50000 10 00 00.00 +10 00 00.0          18.5 V      C51";
    std::string km = place("     K20A00A  s2020 01 01.50000", 33, "1");
    km = place(km, 35, "-  1234.5678");
    km = place(km, 47, "+  6543.2100");
    km = place(km, 59, "-   100.0000");
    km = place(km, 78, "C51");
    std::string au = place("     K20A00A  s2020 01 01.60000", 33, "2");
    au = place(au, 35, "+0.000010000");
    au = place(au, 47, "-0.000020000");
    au = place(au, 59, "+0.000030000");
    au = place(au, 78, "C51");
    const std::string first2 =
        place("     K20A00A  S2020 01 01.60000 10 00 01.00 +10 00 01.0", 78, "C51");
    write("K.MPC", first + "\n" + km + "\n" + first2 + "\n" + au + "\n");
    ASSERT_EQ(first.size(), 80u);
    ASSERT_EQ(au.size(), 80u);
    const auto report = fitra::importMpcFile(dir / "K.MPC", stations, leaps);
    ASSERT_TRUE(report.written) << report.message;
    for (const auto& r : report.skipReasons) ADD_FAILURE() << r;
    const auto pos = lineList(slurp(dir / "K.POS"));
    ASSERT_EQ(pos.size(), 6u);
    auto a = tarvo::readFreeNumbers(pos[3]);
    EXPECT_NEAR(a[4], 1000.0 - 1234.5678e-6, 5e-9); // the mask keeps 1e-8 Gm
    EXPECT_NEAR(a[5], 6543.21e-6, 5e-9);
    EXPECT_NEAR(a[6], -100e-6, 5e-9);
    auto b = tarvo::readFreeNumbers(pos[4]);
    EXPECT_NEAR(b[4], 1000.0 + 1e-5 * 149.5978707, 1e-7);
    EXPECT_NEAR(b[5], -2e-5 * 149.5978707, 1e-7);
    const auto mag = lineList(slurp(dir / "K.MAG"));
    ASSERT_EQ(mag.size(), 1u);
    EXPECT_NE(mag[0].find("18.5"), std::string::npos);
}

TEST_F(MpcImport, TheRovingObserverHasItsOwnSiteAndTheTableIsUntouched) {
    const std::string first =
        "     K20A00A  V2020 01 01.50000 10 00 00.00 +10 00 00.0          18.5 V      247";
    std::string second = place("     K20A00A  v2020 01 01.50000", 33, "1");
    second = place(second, 35, "-111.50000");
    second = place(second, 46, "+40.000000");
    second = place(second, 57, " 1500");
    second = place(second, 78, "247");
    ASSERT_EQ(first.size(), 80u);
    ASSERT_EQ(second.size(), 80u);
    write("R.MPC", first + "\n" + second + "\n");
    const auto report = fitra::importMpcFile(dir / "R.MPC", stations, leaps);
    ASSERT_TRUE(report.written) << report.message;
    EXPECT_EQ(report.roving, 1u);
    const auto n = tarvo::readFreeNumbers(lineList(slurp(dir / "R.POS"))[3]);
    // ERFA's geocentric position of the site gives the parallax constants.
    double xyz[3];
    ASSERT_EQ(eraGd2gc(1, -111.5 * ERFA_DD2R, 40.0 * ERFA_DD2R, 1500.0, xyz), 0);
    EXPECT_NEAR(n[4], xyz[2] / 6378137.0, 2e-6);
    EXPECT_NEAR(n[5], std::hypot(xyz[0], xyz[1]) / 6378137.0, 2e-6);
    EXPECT_NEAR(n[6], 248.5, 1e-5);
}

TEST_F(MpcImport, DamagedRecordsAreSkippedAndCountedNeverTheEndOfTheData) {
    const std::string good =
        "12893J98Q55S  C2018 03 15.51078 13 29 30.83 -08 48 58.5          18.3 Vca4132566";
    std::string corpus;
    corpus += good + "\n";
    corpus += good.substr(0, 60) + "\n";       // truncated
    corpus += "\n";                            // blank
    corpus += " " + good.substr(0, 79) + "\n"; // shifted by one column
    corpus += good.substr(0, 15) + "2018 13 15.51078" + good.substr(31) + "\n"; // month 13
    corpus += good.substr(0, 32) + "            " + good.substr(44) + "\n";     // blank RA
    corpus += good.substr(0, 44) + "            " + good.substr(56) + "\n";     // blank Dec
    corpus += std::string("\x01\x7f\xff", 3) + good.substr(3) + "\n";           // binary
    corpus += good + good + "\n";                                               // oversized
    corpus += place("12893J98Q55S  s2018 03 15.51078 1", 78, "C51") + "\n";     // second line alone
    corpus += good.substr(0, 77) + "ZZZ\n";                                     // unknown station
    corpus += good + "\n";
    write("BAD.MPC", corpus);
    const auto report = fitra::importMpcFile(dir / "BAD.MPC", stations, leaps);
    ASSERT_TRUE(report.written) << report.message;
    EXPECT_EQ(report.observations, 3u);
    EXPECT_EQ(report.skipped, 9u);
    EXPECT_GE(report.skipReasons.size(), 9u);
    const auto pos = lineList(slurp(dir / "BAD.POS"));
    ASSERT_EQ(pos.size(), 7u);
    // The unknown station is at the geocentre.
    const auto n = tarvo::readFreeNumbers(pos[4]);
    EXPECT_EQ(n[4], 0.0);
    EXPECT_EQ(n[5], 0.0);
}

TEST_F(MpcImport, NothingIsWrittenOrOverwrittenWhenTheInputIsUnusable) {
    write("X.POS", "keep me");
    EXPECT_FALSE(fitra::importMpcFile(dir / "NONE.MPC", stations, leaps).written);
    write("X.MPC", std::string(5000, '\xff'));
    auto report = fitra::importMpcFile(dir / "X.MPC", stations, leaps);
    EXPECT_FALSE(report.written);
    EXPECT_NE(report.message.find("X.MPC"), std::string::npos);
    // Two objects in one file are refused.
    const std::string a =
        "12893J98Q55S  C2018 03 15.51078 13 29 30.83 -08 48 58.5          18.3 Vca4132566";
    const std::string b =
        "00433         C2018 03 15.51078 13 29 30.83 -08 48 58.5          18.3 Vca4132566";
    write("X.MPC", a + "\n" + b + "\n");
    report = fitra::importMpcFile(dir / "X.MPC", stations, leaps);
    EXPECT_FALSE(report.written);
    EXPECT_NE(report.message.find("more than one object"), std::string::npos);
    EXPECT_EQ(slurp(dir / "X.POS"), "keep me");
}

} // namespace
