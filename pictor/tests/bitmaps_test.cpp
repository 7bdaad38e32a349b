// Pictures into windows and windows into BMP files. Oracles: round trips
// through the reader (a saved canvas must read back pixel for pixel), the
// BMP layout of saved files checked field by field, and hand-made pictures
// whose copies on the canvas are known.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "bmp_builder.h"
#include "bmp_reader.h"
#include "picture_cache.h"
#include "test_window.h"

using namespace pictor_test;

namespace {

class Bitmaps : public PixelWindow {
  protected:
    void SetUp() override {
        PixelWindow::SetUp();
        char pattern[] = "/tmp/pictor-bitmaps-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        PixelWindow::TearDown();
        std::string command = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
    std::string path(const std::string& name) const { return dir + "/" + name; }
    void writeFile(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream out(path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<uint8_t> readFile(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
        return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
    }
    // A 4 x 2 picture, top row red green blue white, bottom row black x4.
    std::string smallPicture() const {
        const std::vector<uint8_t> rows{0, 0, 0,   0, 0,   0, 0,   0, 0, 0,   0,   0,    // bottom
                                        0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255}; // top
        writeFile("small.bmp", BmpBuilder::make({4, 2, 24}, {}, rows));
        return path("small.bmp");
    }

    std::string dir;
};

TEST_F(Bitmaps, SavedWindowReadsBackPixelForPixel) {
    ASSERT_EQ(Brush(kRed, 0, 0), 0);
    ASSERT_EQ(DrawFrom(20, 20), 0);
    ASSERT_EQ(DrawCircle(30), 0);
    ASSERT_EQ(DrawPixel(199, 149, kBlue), 0);
    ASSERT_EQ(DrawPixel(0, 0, 0x123456), 0);
    EXPECT_EQ(SaveGfxWindow(path("round.bmp").c_str()), 24);
    const auto back = pictor::readBmpFile(path("round.bmp"));
    ASSERT_TRUE(back.ok) << back.error;
    ASSERT_EQ(back.picture.width, 200);
    ASSERT_EQ(back.picture.height, 150);
    EXPECT_EQ(back.picture.pixels, canvas().pixels);
}

TEST_F(Bitmaps, SavedFileLayout) {
    ASSERT_EQ(SaveGfxWindow(path("layout.bmp").c_str()), 24);
    const auto b = readFile(path("layout.bmp"));
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), b.size());
    EXPECT_EQ(u32(b, 6), 0u);
    EXPECT_EQ(u32(b, 10), 54u);
    EXPECT_EQ(u32(b, 14), 40u);
    EXPECT_EQ(u32(b, 18), 200u);
    EXPECT_EQ(u32(b, 22), 150u); // positive: bottom-up
    EXPECT_EQ(b[26] | (b[27] << 8), 1);
    EXPECT_EQ(b[28] | (b[29] << 8), 24);
    for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(u32(b, at), 0u) << at;
    EXPECT_EQ(b.size(), 54u + 600u * 150u); // 200 * 3 = 600 bytes, already a multiple of 4
}

TEST_F(Bitmaps, OddCanvasSizesLoseTheirLastRow) {
    // The width of a window is always even; an odd height drops a row.
    openPixelWindow(641, 481);
    EXPECT_EQ(GfxMetrics(2), 640);
    ASSERT_EQ(SaveGfxWindow(path("odd.bmp").c_str()), 24);
    const auto back = pictor::readBmpFile(path("odd.bmp"));
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_EQ(back.picture.width, 640);
    EXPECT_EQ(back.picture.height, 480);
}

TEST_F(Bitmaps, SavingReplacesAnOldFileAndReportsFileErrors) {
    writeFile("old.bmp", {1, 2, 3});
    ASSERT_EQ(SaveGfxWindow(path("old.bmp").c_str()), 24);
    EXPECT_TRUE(pictor::readBmpFile(path("old.bmp")).ok);
    EXPECT_EQ(SaveGfxWindow(path("missing/dir.bmp").c_str()), PICTOR_ERR_FILE_BASE + ENOENT);
    EXPECT_EQ(SaveGfxWindow(""), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(SaveGfxWindow("CLIPBOARD"), PICTOR_ERR_PLATFORM);
    // No temporary files are left behind.
    EXPECT_EQ(std::system(("test $(ls '" + dir + "' | wc -l) -eq 1").c_str()), 0);
}

TEST_F(Bitmaps, DisplayAtTheLprAtItsOwnSize) {
    ASSERT_EQ(DrawFrom(10, 20), 0);
    ASSERT_EQ(DisplayBitmap(smallPicture().c_str()), 0);
    EXPECT_EQ(colourAt(10, 20), kRed);
    EXPECT_EQ(colourAt(11, 20), kGreen);
    EXPECT_EQ(colourAt(12, 20), kBlue);
    EXPECT_EQ(colourAt(13, 20), kWhite);
    EXPECT_EQ(colourAt(10, 21), kBlack);
    EXPECT_EQ(colourAt(14, 21), kWhite); // outside the picture
    EXPECT_EQ(countOf(kBlack), 4);
    int x = 0, y = 0;
    GfxLPR(&x, &y);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
}

TEST_F(Bitmaps, StretchWithZeroSizeIsTheOwnSize) {
    ASSERT_EQ(DrawFrom(0, 0), 0);
    ASSERT_EQ(StretchBitmap(smallPicture().c_str(), 0, 0), 0);
    EXPECT_EQ(countOf(kBlack), 4);
    EXPECT_EQ(countOf(kRed), 1);
}

TEST_F(Bitmaps, StretchScalesTheWholePicture) {
    ASSERT_EQ(DrawFrom(0, 0), 0);
    ASSERT_EQ(StretchBitmap(smallPicture().c_str(), 40, 20), 0); // ten times
    EXPECT_EQ(countOf(kRed), 100);
    EXPECT_EQ(countOf(kBlack), 400);
    EXPECT_EQ(colourAt(9, 9), kRed);
    EXPECT_EQ(colourAt(10, 9), kGreen);
    // Shrinking averages: the 4 x 2 picture into 1 x 1.
    ASSERT_EQ(DrawFrom(100, 100), 0);
    ASSERT_EQ(StretchBitmap(smallPicture().c_str(), 1, 1), 0);
    const int avg = colourAt(100, 100);
    // red: (255 + 255) / 8 = 63.75 -> 64, likewise green and blue.
    EXPECT_EQ(avg, 64 | (64 << 8) | (64 << 16));
}

TEST_F(Bitmaps, CropOfOneColumnFillsTheTargetWidth) {
    ASSERT_EQ(DrawFrom(0, 0), 0);
    ASSERT_EQ(CropBitmap(smallPicture().c_str(), 6, 1, 1, 0, 1, 0), 0);
    for (int x = 0; x < 6; ++x) EXPECT_EQ(colourAt(x, 0), kGreen) << x;
    EXPECT_EQ(colourAt(6, 0), kWhite);
    EXPECT_EQ(CropBitmap(smallPicture().c_str(), 6, 1, 2, 0, 1, 0), PICTOR_ERR_ARGUMENT);
}

TEST_F(Bitmaps, CropBeyondThePictureLeavesTheCanvas) {
    ASSERT_EQ(DrawFrom(0, 0), 0);
    ASSERT_EQ(CropBitmap(smallPicture().c_str(), 6, 2, -2, 0, 3, 1), 0); // 6 x 2, one to one
    EXPECT_EQ(colourAt(0, 0), kWhite);
    EXPECT_EQ(colourAt(1, 0), kWhite);
    EXPECT_EQ(colourAt(2, 0), kRed);
    EXPECT_EQ(colourAt(5, 0), kWhite); // source column 3 is the white pixel
}

TEST_F(Bitmaps, PictureFilesThatFailChangeNothing) {
    ASSERT_EQ(DrawLine(0, 0, 100, 100), 0);
    const std::vector<uint32_t> before = canvas().pixels;
    writeFile("garbage.bmp", {'B', 'M', 1, 2, 3, 4, 5, 6, 7});
    auto truncated = BmpBuilder::make({50, 50, 24}, {}, std::vector<uint8_t>(100, 7));
    writeFile("short.bmp", truncated);
    for (const std::string& name :
         {path("garbage.bmp"), path("short.bmp"), path("nothing.bmp"), dir}) {
        EXPECT_EQ(DisplayBitmap(name.c_str()), PICTOR_ERR_PLATFORM) << name;
        EXPECT_EQ(StretchBitmap(name.c_str(), 10, 10), PICTOR_ERR_PLATFORM) << name;
        EXPECT_EQ(CropBitmap(name.c_str(), 10, 10, 0, 0, 1, 1), PICTOR_ERR_PLATFORM) << name;
    }
    EXPECT_EQ(DisplayBitmap("CLIPBOARD"), PICTOR_ERR_PLATFORM);
    EXPECT_EQ(DisplayBitmap(nullptr), PICTOR_ERR_ARGUMENT);
    EXPECT_EQ(canvas().pixels, before);
}

TEST_F(Bitmaps, FirstFreePictureNumberNeverOverwrites) {
    const std::string prefix = path("TARVO");
    EXPECT_EQ(PictorFirstFreePicture(prefix.c_str(), ".BMP", 0, 998), 0);
    writeFile("TARVO000.BMP", {0});
    writeFile("tarvo001.bmp", {0}); // another letter case still counts
    writeFile("TARVO003.BMP", {0});
    EXPECT_EQ(PictorFirstFreePicture(prefix.c_str(), ".BMP", 0, 998), 2);
    EXPECT_EQ(PictorFirstFreePicture(prefix.c_str(), ".BMP", 3, 3), -1);
    EXPECT_EQ(PictorFirstFreePicture(prefix.c_str(), ".BMP", 5, 2), -1);
    EXPECT_EQ(PictorFirstFreePicture(nullptr, ".BMP", 0, 9), -1);
}

} // namespace

namespace {

// The decoded picture is kept for the next draw of the same, unchanged file;
// a changed file is decoded again and its new pixels are drawn.
TEST_F(Bitmaps, UnchangedPictureIsDecodedOnceAndAChangedOneAgain) {
    const std::string file = smallPicture();
    const long long before = pictor::picturesDecoded();
    ASSERT_EQ(DrawFrom(0, 0), 0);
    ASSERT_EQ(StretchBitmap(file.c_str(), 4, 2), 0);
    ASSERT_EQ(CropBitmap(file.c_str(), 2, 1, 0, 0, 1, 0), 0);
    EXPECT_EQ(pictor::picturesDecoded(), before + 1);
    EXPECT_EQ(colourAt(0, 0), kRed);

    // Same name, new contents (2 x 2, a blue top row): the kept copy is not
    // used. (The size differs: two writes within one tick of the file
    // system's clock may share a modification time.)
    const std::vector<uint8_t> rows{0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0};
    writeFile("small.bmp", BmpBuilder::make({2, 2, 24}, {}, rows));
    ASSERT_EQ(StretchBitmap(file.c_str(), 4, 2), 0);
    EXPECT_EQ(pictor::picturesDecoded(), before + 2);
    EXPECT_EQ(colourAt(0, 0), kBlue);

    // A file that cannot be read is refused, not served from the copy.
    writeFile("small.bmp", {'B', 'M', 0});
    EXPECT_EQ(StretchBitmap(file.c_str(), 4, 2), PICTOR_ERR_PLATFORM);
}

} // namespace
