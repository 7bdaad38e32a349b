// A small ephemeris written here in the standard binary layout, in both byte
// orders, with series whose values are known in closed form: linear motion
// for the bodies, a piecewise-linear TT-TDB on 120 subintervals. It covers
// what the JPL excerpts do not: the extended header of files with more than
// 400 constants and the TT-TDB series, and the byte-order detection on
// identical content.
#include <gtest/gtest.h>

#include <unistd.h>

#include <bit>
#include <cstring>
#include <fstream>

#include "jpl/ephemeris.h"

namespace jpl {
namespace {

namespace fs = std::filesystem;

constexpr int ttSubintervals = 120;  // enough words for the 401 constants of record 2
constexpr int words = 78 + 3 * ttSubintervals;  // 11 bodies x 6, nutations 4, librations 6, TT-TDB
constexpr int recordBytes = 8 * words;
constexpr double startJd = 2451536.5, recordDays = 32;
constexpr int recordCount = 2;
constexpr int constantCount = 401;

class Writer {
public:
    explicit Writer(bool bigEndian) : bigEndian_(bigEndian) {}
    void integer(std::int32_t v) { put(static_cast<std::uint32_t>(v), 4); }
    void real(double v) { put(std::bit_cast<std::uint64_t>(v), 8); }
    void text(const std::string& s, std::size_t width)
    {
        std::string padded = s;
        padded.resize(width, ' ');
        bytes.insert(bytes.end(), padded.begin(), padded.end());
    }
    void padTo(std::size_t size) { bytes.resize(size, 0); }
    std::vector<char> bytes;

private:
    void put(std::uint64_t v, int n)
    {
        for (int i = 0; i < n; ++i) {
            const int shift = 8 * (bigEndian_ ? n - 1 - i : i);
            bytes.push_back(static_cast<char>((v >> shift) & 0xff));
        }
    }
    bool bigEndian_;
};

// Position coefficients of body series s, component c: p0 + p1 x over a record.
double p0(int s, int c, int record) { return 1e7 * (s + 1) + 1e5 * c + 1e3 * record; }
double p1(int s, int c) { return 1e4 * (s + 1) - 10.0 * c; }
double ttValue(int sub, int record) { return 1e-3 * sub + 0.5 * record; }
double ttSlope(int sub) { return 1e-6 * (sub + 1); }

fs::path writeSynthetic(bool bigEndian)
{
    Writer w(bigEndian);
    w.text("SYNTHETIC TEST EPHEMERIS", 84);
    w.text("Start Epoch: JED=  2451536.5", 84);
    w.text("Final Epoch: JED=  2451600.5", 84);
    for (int c = 0; c < 400; ++c) w.text(c == 0 ? "DENUM" : c == 1 ? "AU" : c == 2 ? "EMRAT" : "C" + std::to_string(c), 6);
    w.real(startJd);
    w.real(startJd + recordDays * recordCount);
    w.real(recordDays);
    w.integer(constantCount);
    w.real(149597870.7);
    w.real(81.3);
    for (int s = 0; s < 12; ++s) {  // 11 bodies of 6 words, then nutations
        w.integer(3 + 6 * s);
        w.integer(2);
        w.integer(1);
    }
    w.integer(440);
    w.integer(73), w.integer(2), w.integer(1);    // librations
    w.text("LAST", 6);                            // constant 401
    w.integer(0), w.integer(0), w.integer(0);     // no mantle velocity
    w.integer(79), w.integer(3), w.integer(ttSubintervals);
    w.padTo(recordBytes);
    for (int c = 0; c < constantCount; ++c) w.real(c == 0 ? 440 : c == 1 ? 149597870.7 : c == 2 ? 81.3 : c);
    w.padTo(2 * recordBytes);
    for (int r = 0; r < recordCount; ++r) {
        w.real(startJd + recordDays * r);
        w.real(startJd + recordDays * (r + 1));
        for (int s = 0; s < 11; ++s)
            for (int c = 0; c < 3; ++c) w.real(p0(s, c, r)), w.real(p1(s, c));
        for (int k = 0; k < 10; ++k) w.real(1e-5 * k);  // nutations and librations
        for (int sub = 0; sub < ttSubintervals; ++sub) w.real(ttValue(sub, r)), w.real(ttSlope(sub)), w.real(0);
    }
    const fs::path file = fs::temp_directory_path() /
                          ("tarvo_jpl_synthetic_" + std::to_string(::getpid()) + (bigEndian ? ".be" : ".le"));
    std::ofstream out(file, std::ios::binary);
    out.write(w.bytes.data(), static_cast<std::streamsize>(w.bytes.size()));
    return file;
}

class SyntheticEphemeris : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        file = writeSynthetic(GetParam());
        std::string message;
        ephemeris = Ephemeris::open(file, message);
        ASSERT_TRUE(ephemeris) << message;
    }
    void TearDown() override { fs::remove(file); }
    fs::path file;
    std::unique_ptr<Ephemeris> ephemeris;
};

TEST_P(SyntheticEphemeris, ExtendedHeaderIsRead)
{
    const EphemerisHeader& h = ephemeris->header();
    EXPECT_EQ(h.container, GetParam() ? "JPL binary, big-endian" : "JPL binary, little-endian");
    EXPECT_EQ(h.denum, 440);
    EXPECT_EQ(h.constants.size(), 401u);
    ASSERT_TRUE(h.constant("LAST"));
    EXPECT_EQ(*h.constant("LAST"), 400.0);
    EXPECT_EQ(h.titles[0], "SYNTHETIC TEST EPHEMERIS");
    EXPECT_EQ(h.wordsPerRecord, words);
    EXPECT_EQ(h.recordCount, 2u);
    EXPECT_TRUE(ephemeris->hasSeries(Series::TtMinusTdb));
    EXPECT_FALSE(ephemeris->hasSeries(Series::LunarMantleVelocity));
}

TEST_P(SyntheticEphemeris, BodiesMoveAsTheirLinearSeries)
{
    std::string message;
    for (int r = 0; r < recordCount; ++r) {
        for (long double x : {-1.0L, -0.25L, 0.0L, 0.5L}) {
            const long double jd = startJd + recordDays * r + (x + 1) * recordDays / 2;
            StateVector mercury, earth;
            ASSERT_TRUE(ephemeris->state(Body::Mercury, Body::SolarSystemBarycentre, jd, mercury, message,
                                         LengthUnit::Kilometre));
            ASSERT_TRUE(ephemeris->state(Body::Earth, Body::SolarSystemBarycentre, jd, earth, message,
                                         LengthUnit::Kilometre));
            for (int c = 0; c < 3; ++c) {
                EXPECT_DOUBLE_EQ(double(mercury.position[c]), p0(0, c, r) + p1(0, c) * double(x));
                EXPECT_DOUBLE_EQ(double(mercury.velocity[c]), p1(0, c) * 2 / recordDays);
                // Earth = EMB - Moon / (1 + EMRAT); the EMB is series 2, the Moon series 9.
                const double emb = p0(2, c, r) + p1(2, c) * double(x);
                const double moon = p0(9, c, r) + p1(9, c) * double(x);
                EXPECT_NEAR(double(earth.position[c]), emb - moon / 82.3, 1e-6);
            }
        }
    }
}

TEST_P(SyntheticEphemeris, TtMinusTdbFollowsItsSubintervals)
{
    std::string message;
    for (int r = 0; r < recordCount; ++r) {
        for (int sub : {0, 1, 37, 119}) {
            const long double width = recordDays / ttSubintervals;
            const long double jd = startJd + recordDays * r + width * (sub + 0.5L);
            SeriesValue v;
            ASSERT_TRUE(ephemeris->evaluate(Series::TtMinusTdb, jd, v, message)) << message;
            EXPECT_EQ(v.components, 1);
            EXPECT_NEAR(double(v.value[0]), ttValue(sub, r), 1e-15);
            EXPECT_NEAR(double(v.rate[0]), ttSlope(sub) * 2 / double(width), 1e-15);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, SyntheticEphemeris, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "BigEndian" : "LittleEndian");
                         });

}  // namespace
}  // namespace jpl
