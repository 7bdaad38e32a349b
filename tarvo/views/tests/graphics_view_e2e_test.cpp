// The graphics view driven by key scripts, the way a user works it: the
// inner Solar System and the sky around Orion on 2024-04-08, the pictures
// it saves (never overwriting one), and the places of ten bright stars in
// the saved picture against their catalogue coordinates carried to the
// apparent place of date by ERFA (IAU 2006/2000A precession-nutation and
// the annual aberration), on the plain map centred on the equator, where
// the projection is X = -(α - α0), Y = δ.
#include "program_runner.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <vector>

namespace fs = std::filesystem;
using tarvo::testing::readFile;

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels; // 0xBBGGRR, top row first
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A 24-bit bottom-up BMP as pictor saves it.
Picture readBmp(const fs::path& file) {
    const std::string b = readFile(file);
    Picture p;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return p;
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(
            static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8 |
            static_cast<unsigned char>(b[at + 2]) << 16 |
            static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24);
    };
    const std::uint32_t offset = u32(10);
    p.width = static_cast<int>(u32(18));
    p.height = static_cast<int>(u32(22));
    const std::size_t row = (static_cast<std::size_t>(p.width) * 3 + 3) / 4 * 4;
    if (b.size() < offset + row * p.height) return Picture{};
    p.pixels.resize(static_cast<std::size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const std::size_t at =
                offset + row * (p.height - 1 - y) + 3 * static_cast<std::size_t>(x);
            const auto c = [&](std::size_t k) {
                return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + k]));
            };
            p.pixels[static_cast<std::size_t>(y) * p.width + x] = c(2) | c(1) << 8 | c(0) << 16;
        }
    return p;
}

int brightness(std::uint32_t c) {
    return static_cast<int>((c & 255) + (c >> 8 & 255) + (c >> 16 & 255));
}

// Brightness-weighted centre of the lit pixels within `radius` of (x, y).
std::pair<double, double> centroid(const Picture& p, double x, double y, int radius) {
    double sx = 0, sy = 0, sw = 0;
    for (int j = static_cast<int>(std::lround(y)) - radius;
         j <= static_cast<int>(std::lround(y)) + radius; ++j)
        for (int i = static_cast<int>(std::lround(x)) - radius;
             i <= static_cast<int>(std::lround(x)) + radius; ++i) {
            if (i < 0 || j < 0 || i >= p.width || j >= p.height) continue;
            const int w = brightness(p.at(i, j));
            if (w < 60) continue;
            sx += w * i, sy += w * j, sw += w;
        }
    return sw > 0 ? std::pair{sx / sw, sy / sw} : std::pair{-1.0, -1.0};
}

// Steps the run from 2023-04-08 to 2024-04-08 (61 pages of 6 days) in the
// orbit view with line trails, marks the bodies, and saves the picture;
// then the sky view centred on 5.6 h, 0 deg with a half-height of 20 deg.
std::string sessionScript() {
    std::string s = "key Enter\n"
                    "key 2\n"
                    "text 2023,04,08.00002\n"
                    "key H\n" // heliocentric
                    "key S\n"
                    "text 2\n"
                    "key W\n"
                    "expect Key   Action   Status\n"
                    "expect Orthog.View On\n"
                    "expect Star Desig. Off\n" // on its own key, Space stays Next Step
                    "key E\n"
                    "key .\n"
                    "key .\n"
                    "expect Trace       Lin\n";
    for (int k = 0; k < 61; ++k) s += "key Space\n";
    s += "expect 2024/04/08 00:00:0\n"
         "key X\n"
         "key I\n"
         "expect Save Image     1\n"
         // The sky around Orion: plain map, equatorial, of date.
         "key .\n"
         "key .\n"
         "expect Trace       Off\n"
         "key Esc\n" // the page: geocentric again, and back
         "key H\n"
         "key W\n"
         "key O\n"
         "key E\n" // equatorial
         "expect Ecliptic    Off\n"
         "key =\n"
         "expect Enter Name, Des., #\n"
         "text x\n"
         "text 5.6\n"
         "text 0\n"
         "expect position out wind.\n"
         "key D\n"
         "key V\n"
         "text 20\n"
         "key N\n"
         "key I\n" // TARVO001.BMP: the stars alone, for the star places
         "key $\n"
         "key ;\n"
         "key #\n"
         "key L\n"
         "key %\n"
         "key I\n" // TARVO002.BMP: names, designations, grid
         "key =\n"
         "text Betelgeuse\n"
         "expect Betelgeuse at cursor\n"
         "key Enter\n"
         "key Esc\n" // back to the page
         "expect Space: next step\n"
         "key Esc\n"
         "key Esc\n"
         "key Esc\n";
    return s;
}

class GraphicsViewEndToEnd : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override { SetUpTree("BIN/STARS3D.BIN", {"CFG"}); }
};

TEST_F(GraphicsViewEndToEnd, InnerSolarSystemAndOrionPictures) {
    // A picture already there is never overwritten: with TARVO000.BMP there,
    // the orbit picture goes to the first free number, TARVO001.BMP.
    std::ofstream(root / "USERDATA" / "TARVO000.BMP") << "an earlier picture";
    std::string script = sessionScript();
    // Shift the expected counters by the one picture already there.
    auto replaceAll = [&](const std::string& from, const std::string& to) {
        for (std::size_t at = script.find(from); at != std::string::npos;
             at = script.find(from, at + to.size()))
            script.replace(at, from.size(), to);
    };
    replaceAll("expect Save Image     1\n", "expect Save Image    2\n");
    const auto r = run(script);
    ASSERT_EQ(r.status, 0) << r.output
                           << transcript().substr(
                                  transcript().size() > 6000 ? transcript().size() - 6000 : 0);
    const fs::path work = root / "USERDATA";
    EXPECT_EQ(readFile(work / "TARVO000.BMP"), "an earlier picture");
    ASSERT_TRUE(fs::exists(work / "TARVO001.BMP"));
    ASSERT_TRUE(fs::exists(work / "TARVO002.BMP"));
    ASSERT_TRUE(fs::exists(work / "TARVO003.BMP"));
    if (const char* keep = std::getenv("TARVO_KEEP_PICTURES"))
        for (const char* name : {"TARVO001.BMP", "TARVO002.BMP", "TARVO003.BMP"})
            fs::copy_file(work / name, fs::path(keep) / name, fs::copy_options::overwrite_existing);

    // The orbit picture: the Sun in the middle, trails of the planets.
    const Picture orbits = readBmp(work / "TARVO001.BMP");
    ASSERT_GT(orbits.width, 100);
    int lit = 0;
    for (std::uint32_t c : orbits.pixels) lit += brightness(c) > 60;
    EXPECT_GT(lit, 1000); // a year of trails of the inner planets

    // Ten bright stars in the sky picture, within one pixel of the place
    // their catalogue coordinates give.
    const Picture sky = readBmp(work / "TARVO002.BMP");
    ASSERT_GT(sky.width, 100);
    const double halfHeight = 20 * kDeg, halfWidth = 2 * halfHeight;
    const double kx = sky.width / (2 * halfWidth), ky = sky.height / (2 * halfHeight);
    // Hipparcos J2000 positions (degrees) as d3-celestial gives them.
    struct Star {
        const char* name;
        double ra, dec;
    } stars[] = {{"Betelgeuse", 88.7929, 7.4071}, {"Rigel", 78.6345, -8.2016},
                 {"Bellatrix", 81.2828, 6.3497},  {"Alnilam", 84.0534, -1.2019},
                 {"Alnitak", 85.1897, -1.9426},   {"Mintaka", 83.0017, -0.2991},
                 {"Saiph", 86.9391, -9.6696},     {"Aldebaran", 68.9802, 16.5093},
                 {"Procyon", 114.8255, 5.225},    {"Sirius", 101.2872, -16.7161}};
    // 2024-04-08 00:00 UT, the epoch of the picture; ΔT about 69 s.
    const double tt1 = 2460408.5, tt2 = 69.2 / 86400.0;
    double rnpb[3][3];
    eraPnm06a(tt1, tt2, rnpb);
    double pvh[2][3], pvb[2][3];
    eraEpv00(tt1, tt2, pvh, pvb);
    double v[3] = {pvb[1][0] / 173.1446326846693, pvb[1][1] / 173.1446326846693,
                   pvb[1][2] / 173.1446326846693};
    const double sunDistance =
        std::sqrt(pvh[0][0] * pvh[0][0] + pvh[0][1] * pvh[0][1] + pvh[0][2] * pvh[0][2]);
    const double bm1 = std::sqrt(1 - (v[0] * v[0] + v[1] * v[1] + v[2] * v[2]));
    for (const Star& s : stars) {
        double p[3], q[3], a[3];
        eraS2c(s.ra * kDeg, s.dec * kDeg, p);
        eraRxp(rnpb, p, q);
        double vd[3];
        eraRxp(rnpb, v, vd);
        eraAb(q, vd, sunDistance, bm1, a);
        double alpha = 0, delta = 0;
        eraC2s(a, &alpha, &delta);
        double dAlpha = alpha - 5.6 * 15 * kDeg;
        dAlpha = std::remainder(dAlpha, 2 * std::numbers::pi);
        const double x = sky.width / 2.0 - kx * dAlpha, y = sky.height / 2.0 - ky * delta;
        const auto [cx, cy] = centroid(sky, x, y, 6);
        EXPECT_LE(std::hypot(cx - x, cy - y), 1.0)
            << s.name << " expected at " << x << ", " << y << " found " << cx << ", " << cy;
    }
}

} // namespace
