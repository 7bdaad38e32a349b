// umbravue run the way a user runs it, by key script in a data tree of its
// own, on the shadow paths of the total solar eclipses of 2017 August 21
// and 2024 April 8. Oracles: geography (the central line crosses Oregon and
// Texas; known land and sea around it keep the map's colours) and the
// saved pictures themselves, read back through the graphics library.
#include "eclipse_paths.h"
#include "program_runner.h"

#include "umbravue/path_geometry.h"

#include "bmp_reader.h"
#include "tarvo/views/world_map_check.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace umbravue;
namespace fs = std::filesystem;

class Mapper : public tarvo::testing::TreeFixture {
  protected:
    void SetUp() override {
        program = tarvo::testing::kUmbravue;
        SetUpTree("IMG/WMAPBIG.RLE", {"CFG"});
        if (HasFatalFailure() || IsSkipped()) return;
        std::ofstream(root / "USERDATA" / "SuMo0001.OCC", std::ios::binary)
            << umbravue_test::eclipse2017();
        std::ofstream(root / "USERDATA" / "SuMo0002.OCC", std::ios::binary)
            << umbravue_test::eclipse2024();
    }

    // The canvas pixel of (lon, lat) in the picture of `file`, by the
    // mapper's region rules for the options of the tree.
    struct Mapped {
        pictor::Picture picture;
        Crop crop;
    };
    Mapped pictureOf(const std::string& bmp, const std::string& occ) {
        Mapped m;
        const pictor::BmpResult read = pictor::readBmpFile((root / "USERDATA" / bmp).string());
        EXPECT_TRUE(read.ok) << bmp << ": " << read.error;
        m.picture = read.picture;
        const MapperOptions o = readMapperOptions(root / "CFG" / "UMBRAVUE.CFG").options;
        const PathFileLoad load = readPathFile(root / "USERDATA" / occ, o.thinning);
        const PathBox box = pathBox(load.events.at(0).points, o);
        m.crop = cropFor(box, chooseMap(box, o.worldView, tarvo::bigMapInstalled(root / "IMG")));
        return m;
    }
    static std::uint32_t colourAt(const Mapped& m, double lon, double lat) {
        const CanvasPoint p =
            toCanvas(m.crop, m.picture.width, m.picture.height, lon + 180, 90 - lat);
        return m.picture.at(p.x, p.y);
    }
    // How many pixels within `radius` of (lon, lat) carry the shadow's
    // colours (black, or red).
    static int shadowPixelsNear(const Mapped& m, double lon, double lat, int radius) {
        const CanvasPoint c =
            toCanvas(m.crop, m.picture.width, m.picture.height, lon + 180, 90 - lat);
        int count = 0;
        for (int y = c.y - radius; y <= c.y + radius; ++y)
            for (int x = c.x - radius; x <= c.x + radius; ++x) {
                const std::uint32_t v = m.picture.at(x, y);
                if (v == 0x000000 || v == 0xFF0000) ++count;
            }
        return count;
    }
    // The path point nearest a longitude.
    static PathPoint pointNear(const fs::path& occ, double lon) {
        const PathFileLoad load = readPathFile(occ, 0);
        PathPoint best = load.events.at(0).points.at(0);
        for (const PathPoint& p : load.events[0].points)
            if (std::fabs(p.mapLon - 180 - lon) < std::fabs(best.mapLon - 180 - lon)) best = p;
        return best;
    }

    // Both paths drawn, each over its country with the map's land and sea
    // around it, and a second picture of the first that overwrites nothing.
    void drawsBothEclipsesOverTheRightCountries() {
        const auto first = run("expect Shadow Paths on the World Map\n"
                               "expect A  SuMo0001.OCC\n"
                               "expect B  SuMo0002.OCC\n"
                               "key A\n"
                               "expect Picture saved as UMBRA000.BMP\n"
                               "key Enter\n"
                               "expect 1 picture(s) of SuMo0001.OCC saved: UMBRA000.BMP\n"
                               "key b\n"
                               "expect Picture saved as UMBRA001.BMP\n"
                               "key Enter\n"
                               "key Esc\n");
        ASSERT_EQ(first.status, 0) << first.output;

        // 2017: the central line over central Oregon.
        const Mapped m2017 = pictureOf("UMBRA000.BMP", "SuMo0001.OCC");
        const PathPoint oregon = pointNear(root / "USERDATA" / "SuMo0001.OCC", -121.0);
        const double oLon = oregon.mapLon - 180, oLat = 90 - oregon.mapColat;
        EXPECT_GT(oLat, 42.0); // Oregon: 42 to 46.3 N, 116.5 to 124.5 W
        EXPECT_LT(oLat, 46.3);
        EXPECT_GT(shadowPixelsNear(m2017, oLon, oLat, 3), 5) << "no shadow over Oregon";
        // Around it the map's land and sea: Nevada, the Pacific, the Gulf of Mexico.
        EXPECT_EQ(colourAt(m2017, -117.0, 39.0), tarvo::kMapLandRgb);
        EXPECT_EQ(colourAt(m2017, -140.5, 33.5), tarvo::kMapSeaRgb);
        EXPECT_EQ(colourAt(m2017, -90.5, 25.5), tarvo::kMapSeaRgb);

        // 2024: the central line over Texas.
        const Mapped m2024 = pictureOf("UMBRA001.BMP", "SuMo0002.OCC");
        const PathPoint texas = pointNear(root / "USERDATA" / "SuMo0002.OCC", -99.0);
        const double tLon = texas.mapLon - 180, tLat = 90 - texas.mapColat;
        EXPECT_GT(tLat, 26.0); // Texas: 26 to 36.5 N, 93.5 to 106.6 W
        EXPECT_LT(tLat, 36.5);
        EXPECT_GT(shadowPixelsNear(m2024, tLon, tLat, 3), 5) << "no shadow over Texas";
        EXPECT_EQ(colourAt(m2024, -104.5, 39.5), tarvo::kMapLandRgb); // Colorado
        EXPECT_EQ(colourAt(m2024, -110.5, 20.5), tarvo::kMapSeaRgb);  // the Pacific off Mexico

        // Once more: new numbers, the earlier pictures untouched.
        const std::string before = tarvo::testing::readFile(root / "USERDATA" / "UMBRA000.BMP");
        const auto second =
            run("key A\nexpect Picture saved as UMBRA002.BMP\nkey Enter\nkey Esc\n");
        ASSERT_EQ(second.status, 0) << second.output;
        EXPECT_EQ(tarvo::testing::readFile(root / "USERDATA" / "UMBRA000.BMP"), before);
        EXPECT_TRUE(fs::exists(root / "USERDATA" / "UMBRA002.BMP"));
    }
};

TEST_F(Mapper, DrawsBothEclipsesOverTheRightCountriesAndSavesEachPictureOnce) {
    drawsBothEclipsesOverTheRightCountries();
}

// The same pictures from the tracks tarvo's eclipse search writes: one
// search of data set 2 around each eclipse, by key script, its SuMo0001.OCC
// kept under the name the mapper is then shown.
class MapperOnTheSearchesTracks : public Mapper {
  protected:
    void SetUp() override {
        Mapper::SetUp();
        if (HasFatalFailure() || IsSkipped()) return;
        fs::remove(root / "USERDATA" / "SuMo0001.OCC");
        fs::remove(root / "USERDATA" / "SuMo0002.OCC");
        const struct {
            const char *start, *end, *keptAs;
        } searches[] = {{"2017,08,15", "2017,08,25", "SuMo0001.OCC"},
                        {"2024,04,02", "2024,04,12", "SuMo0002.OCC"}};
        program = tarvo::testing::kTarvo;
        for (const auto& s : searches) {
            for (const char* data : {"MINDIST.DAT", "ECLIPSES.DAT", "WARNING.DAT"})
                fs::remove(root / "USERDATA" / data);
            const auto r = run(std::string("key Enter\nkey 2\ntext ") + s.start +
                               "\nexpect Space: next step\nkey Y\nkey E\n"
                               "expect Max Angle\ntext 1\nexpect Geogr. Window\ntext \n"
                               "text " +
                               s.end +
                               "\nexpect Display Paths (Y or N)\nkey N\n"
                               "key Esc\nkey Esc\nkey Esc\nkey Esc\n");
            ASSERT_EQ(r.status, 0) << r.output << transcript();
            ASSERT_TRUE(fs::exists(root / "USERDATA" / "SuMo0001.OCC")) << transcript();
            // Out of the way of the next search, which deletes the tracks it finds.
            fs::rename(root / "USERDATA" / "SuMo0001.OCC", root / s.keptAs);
        }
        for (const auto& s : searches) fs::rename(root / s.keptAs, root / "USERDATA" / s.keptAs);
        program = tarvo::testing::kUmbravue;
    }
};

TEST_F(MapperOnTheSearchesTracks, DrawsBothEclipsesOverTheRightCountries) {
    drawsBothEclipsesOverTheRightCountries();
}

// The search's central lines against the lines of the published Besselian
// elements, point by point at the times both files hold: the mapper draws
// what an independent computation puts there.
TEST_F(MapperOnTheSearchesTracks, CentralLinesAgreeWithThePublishedElements) {
    const struct {
        const char* file;
        std::string reference;
    } eclipses[] = {{"SuMo0001.OCC", umbravue_test::eclipse2017()},
                    {"SuMo0002.OCC", umbravue_test::eclipse2024()}};
    for (const auto& e : eclipses) {
        SCOPED_TRACE(e.file);
        std::ofstream(root / "reference.OCC", std::ios::binary) << e.reference;
        const PathFileLoad reference = readPathFile(root / "reference.OCC", 0);
        const PathFileLoad searched = readPathFile(root / "USERDATA" / e.file, 0);
        ASSERT_FALSE(reference.events.empty());
        ASSERT_FALSE(searched.events.empty());
        int compared = 0;
        double worstKm = 0;
        for (const PathPoint& p : searched.events[0].points)
            for (const PathPoint& q : reference.events[0].points) {
                if (p.time != q.time) continue;
                const double lat = (90 - p.mapColat) * M_PI / 180;
                const double dLat = (q.mapColat - p.mapColat) * M_PI / 180;
                const double dLon = std::remainder(q.mapLon - p.mapLon, 360.0) * M_PI / 180;
                worstKm = std::max(worstKm, 6371.0 * std::hypot(dLat, dLon * std::cos(lat)));
                ++compared;
            }
        std::printf("%s: %d points compared, worst %.2f km\n", e.file, compared, worstKm);
        EXPECT_GE(compared, 10);
        EXPECT_LT(worstKm, 3.0);
    }
}

TEST_F(Mapper, ATypedNameGetsTheExtensionAndAMissingFileReturnsToTheList) {
    const auto r = run("key Enter\ntext SuMo0002\nexpect Picture saved as UMBRA000.BMP\nkey Enter\n"
                       "key Enter\ntext NOPE\nexpect NOPE.OCC not found\nkey Esc\n");
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST_F(Mapper, DamagedOptionsAndSitesAreReportedAndThePictureIsStillDrawn) {
    std::ofstream(root / "CFG" / "UMBRAVUE.CFG", std::ios::binary) << "\x01\x02garbage\r\n,,,\r\n";
    std::ofstream(root / "CFG" / "SITES.CRD", std::ios::binary) << "head\r\n12, x, y\r\n";
    const auto r =
        run("key A\nexpect Picture saved as garbage000.BMP\nexpect UMBRAVUE.CFG: no usable value\n"
            "key Enter\nkey Esc\n");
    EXPECT_EQ(r.status, 0) << r.output;
    fs::remove(root / "CFG" / "UMBRAVUE.CFG");
    const auto missing =
        run("key A\nexpect Picture saved as UMBRA000.BMP\nexpect UMBRAVUE.CFG not found\n"
            "key Enter\nkey Esc\n");
    EXPECT_EQ(missing.status, 0) << missing.output;
}

// On a terminal with DISPLAY set the picture is shown in a window of its
// own: umbravue in a tmux pane of a private server, an Xvfb display, and a
// screenshot of that display read back through the graphics library.
TEST_F(Mapper, WithADisplayThePictureIsShownOnTheScreen) {
    for (const char* tool : {"tmux", "Xvfb", "xwd", "convert"})
        if (std::system(("command -v " + std::string(tool) + " > /dev/null 2>&1").c_str()) != 0)
            GTEST_SKIP() << "NO " << tool << ": the on-screen window is not tested here";
    const std::string display = ":" + std::to_string(200 + ::getpid() % 300);
    const std::string server = "umbravue-test-" + std::to_string(::getpid());
    const pid_t xvfb = ::fork();
    if (xvfb == 0) {
        ::execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
                 "tcp", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::sleep(2);
    const fs::path work = root / "USERDATA";
    const std::string command = "tmux -L " + server + " new-session -d -x 100 -y 30 \"cd '" +
                                work.string() + "' && DISPLAY=" + display +
                                " TERM=xterm TARVO12DIR= '" + tarvo::testing::kUmbravue.string() +
                                "'; sleep 30\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ::sleep(1);
    std::system(("tmux -L " + server + " send-keys A").c_str());
    for (int i = 0; i < 60 && !fs::exists(work / "UMBRA000.BMP"); ++i) ::usleep(500000);
    ::sleep(1);
    const fs::path shot = root / "screen.bmp";
    std::system(
        ("xwd -root -silent -display " + display + " | convert xwd:- BMP3:'" + shot.string() + "'")
            .c_str());
    std::system(
        ("tmux -L " + server + " send-keys Enter Escape; tmux -L " + server + " kill-server")
            .c_str());
    ::kill(xvfb, SIGTERM);
    ::waitpid(xvfb, nullptr, 0);
    ASSERT_TRUE(fs::exists(work / "UMBRA000.BMP")) << "no picture saved";
    const pictor::BmpResult screen = pictor::readBmpFile(shot.string());
    ASSERT_TRUE(screen.ok) << screen.error;
    long land = 0;
    for (std::uint32_t pixel : screen.picture.pixels) land += pixel == tarvo::kMapLandRgb;
    EXPECT_GT(land, 10000) << "the map is not on the screen";
}

TEST(MapperProgram, HelpAndVersion) {
    const auto help =
        tarvo::testing::runProgram("'" + tarvo::testing::kUmbravue.string() + "' --help", "/tmp");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("Usage: umbravue"), std::string::npos);
    const auto version = tarvo::testing::runProgram(
        "'" + tarvo::testing::kUmbravue.string() + "' --version", "/tmp");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.output.find("umbravue 12.1.0"), std::string::npos);
    const auto bad =
        tarvo::testing::runProgram("'" + tarvo::testing::kUmbravue.string() + "' --nope", "/tmp");
    EXPECT_EQ(bad.status, 2);
}

} // namespace
