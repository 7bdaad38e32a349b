// The BMP reader on hand-made files of every supported depth and
// compression, on broken files, and under random mutation. Oracle: the
// BMP format definition (row order, padding, palettes, run-length codes),
// applied by hand to small pictures whose pixels are known.
#include <gtest/gtest.h>

#include <random>
#include <unistd.h>

#include "bmp_builder.h"
#include "bmp_reader.h"

using pictor::decodeBmp;
using pictor_test::BmpBuilder;

namespace {

constexpr uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF, K = 0x000000;

std::vector<uint32_t> rowsOf(const pictor::Picture& p) {
    return p.pixels;
}

TEST(BmpDepths, OneBitRowsBottomUpWithPadding) {
    // 10 x 2; bottom row first: 1010101010, then 1111100000. Rows padded to 4 bytes.
    const auto file = BmpBuilder::make(
        {10, 2, 1}, {K, W}, {0b10101010, 0b10000000, 0, 0, 0b11111000, 0b00000000, 0, 0});
    const auto r = decodeBmp(file);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.picture.width, 10);
    ASSERT_EQ(r.picture.height, 2);
    const std::vector<uint32_t> expected{W, W, W, W, W, K, K, K, K, K, // top row
                                         W, K, W, K, W, K, W, K, W, K};
    EXPECT_EQ(rowsOf(r.picture), expected);
}

TEST(BmpDepths, FourBitWithHighNibbleFirst) {
    std::vector<uint32_t> palette(16, K);
    palette[1] = R;
    palette[2] = G;
    palette[3] = B;
    const auto file = BmpBuilder::make({3, 1, 4}, palette, {0x12, 0x30, 0, 0});
    const auto r = decodeBmp(file);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(rowsOf(r.picture), (std::vector<uint32_t>{R, G, B}));
}

TEST(BmpDepths, EightBitWithAShortPalette) {
    BmpBuilder::Info info{3, 1, 8};
    info.paletteCount = 2;
    const auto file = BmpBuilder::make(info, {R, G}, {1, 0, 7, 0});
    const auto r = decodeBmp(file);
    ASSERT_TRUE(r.ok) << r.error;
    // Index 7 lies beyond the two-entry table: black.
    EXPECT_EQ(rowsOf(r.picture), (std::vector<uint32_t>{G, R, K}));
}

TEST(BmpDepths, SixteenBitFiveFiveFiveAndBitFields) {
    // 555: 0x7C00 red, 0x03E0 green, 0x001F blue; 31 widens to 255.
    const auto plain = BmpBuilder::make({2, 1, 16}, {}, {0x00, 0x7C, 0x1F, 0x00});
    const auto r1 = decodeBmp(plain);
    ASSERT_TRUE(r1.ok) << r1.error;
    EXPECT_EQ(rowsOf(r1.picture), (std::vector<uint32_t>{R, B}));
    // 565 through bit fields: green 0x07E0.
    BmpBuilder::Info info{2, 1, 16, 3};
    const auto fields =
        BmpBuilder::make(info, {}, {0xE0, 0x07, 0x00, 0xF8}, {0xF800, 0x07E0, 0x001F});
    const auto r2 = decodeBmp(fields);
    ASSERT_TRUE(r2.ok) << r2.error;
    EXPECT_EQ(rowsOf(r2.picture), (std::vector<uint32_t>{G, R}));
}

TEST(BmpDepths, TwentyFourBitBottomUpAndTopDown) {
    // 2 x 2, rows of 6 bytes padded to 8. Stored order: blue, green, red.
    const std::vector<uint8_t> rows{0,   0, 255, 0,   255, 0,   0, 0,  // first stored row: R G
                                    255, 0, 0,   255, 255, 255, 0, 0}; // second: B W
    const auto up = decodeBmp(BmpBuilder::make({2, 2, 24}, {}, rows));
    ASSERT_TRUE(up.ok) << up.error;
    EXPECT_EQ(rowsOf(up.picture), (std::vector<uint32_t>{B, W, R, G}));
    const auto down = decodeBmp(BmpBuilder::make({2, -2, 24}, {}, rows));
    ASSERT_TRUE(down.ok) << down.error;
    EXPECT_EQ(rowsOf(down.picture), (std::vector<uint32_t>{R, G, B, W}));
}

TEST(BmpDepths, ThirtyTwoBitPlainAndWithMasksInALargerHeader) {
    const auto plain = decodeBmp(BmpBuilder::make({2, 1, 32}, {}, {0, 0, 255, 0x80, 255, 0, 0, 0}));
    ASSERT_TRUE(plain.ok) << plain.error;
    EXPECT_EQ(rowsOf(plain.picture), (std::vector<uint32_t>{R, B}));
    BmpBuilder::Info info{1, 1, 32, 3};
    info.headerSize = 124; // masks inside the header: red in the low byte here
    const auto v5 = decodeBmp(
        BmpBuilder::make(info, {}, {0x10, 0x20, 0x30, 0}, {0x0000FF, 0x00FF00, 0xFF0000}));
    ASSERT_TRUE(v5.ok) << v5.error;
    EXPECT_EQ(rowsOf(v5.picture), (std::vector<uint32_t>{0x102030}));
}

TEST(BmpDepths, CoreHeaderWithThreeBytePalette) {
    BmpBuilder::Info info{2, 1, 8};
    info.headerSize = 12;
    std::vector<uint32_t> palette(256, K);
    palette[9] = G;
    const auto r = decodeBmp(BmpBuilder::make(info, palette, {9, 0, 0, 0}));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(rowsOf(r.picture), (std::vector<uint32_t>{G, K}));
}

TEST(BmpRunLength, Rle8RunsLiteralsMovesAndLineEnds) {
    // 6 x 3, bottom row first. Palette: 0 white, 1 red, 2 green, 3 blue.
    BmpBuilder::Info info{6, 3, 8, 1};
    info.paletteCount = 4;
    const std::vector<uint8_t> runs{
        3, 1,             // bottom row: three red
        0, 3, 2, 3, 2, 0, // literal of three: green blue green, padded to even
        0, 0,             // end of line
        0, 2, 2, 1,       // move right 2, up 1: to row 2, x 2
        2, 3,             // two blue at x 2, 3
        0, 1,             // end of bitmap (the rest stays index 0)
    };
    const auto r = decodeBmp(BmpBuilder::make(info, {W, R, G, B}, runs));
    ASSERT_TRUE(r.ok) << r.error;
    // The line end leads to row 1 at x 0; the move goes to row 2 (the top
    // row) at x 2; row 1 keeps index 0.
    const std::vector<uint32_t> expected{W, W, B, B, W, W,  // top row
                                         W, W, W, W, W, W,  // middle row: skipped
                                         R, R, R, G, B, G}; // bottom row
    EXPECT_EQ(rowsOf(r.picture), expected);
}

TEST(BmpRunLength, Rle4AlternatesNibbles) {
    BmpBuilder::Info info{6, 1, 4, 2};
    info.paletteCount = 4;
    // Run of three: 1 2 1; literal of three (two bytes, already even): 3 0 1.
    const std::vector<uint8_t> runs{3, 0x12, 0, 3, 0x30, 0x10, 0, 1};
    const auto r = decodeBmp(BmpBuilder::make(info, {W, R, G, B}, runs));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(rowsOf(r.picture), (std::vector<uint32_t>{R, G, R, B, W, R}));
}

TEST(BmpRefusals, MalformedFilesAreRefusedWithAReason) {
    BmpBuilder::Info rle{4, 2, 8, 1};
    rle.paletteCount = 2;
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
    };
    BmpBuilder::Info bigPalette{1, 1, 8};
    bigPalette.paletteCount = 300;
    BmpBuilder::Info topDownRle{4, -2, 8, 1};
    const std::vector<Case> cases{
        {"empty", {}},
        {"not BM", {'X', 'Y', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0, 0, 0}},
        {"run past the row", BmpBuilder::make(rle, {W, R}, {5, 1, 0, 1})},
        {"no end of bitmap", BmpBuilder::make(rle, {W, R}, {4, 1, 0, 0})},
        {"literal past the data", BmpBuilder::make(rle, {W, R}, {0, 9, 1, 1})},
        {"move off the picture", BmpBuilder::make(rle, {W, R}, {0, 2, 9, 0, 0, 1})},
        {"rows past the picture", BmpBuilder::make(rle, {W, R}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 1})},
        {"palette above 256",
         BmpBuilder::make(bigPalette, std::vector<uint32_t>(300, K), {0, 0, 0, 0})},
        {"top-down run-length", BmpBuilder::make(topDownRle, {W, R}, {0, 1})},
        {"zero width", BmpBuilder::make({0, 1, 24}, {}, {0, 0, 0, 0})},
        {"huge", BmpBuilder::make({65535, 65535, 24}, {}, {0, 0, 0, 0})},
        {"rle8 at 4 bits", BmpBuilder::make({4, 1, 4, 1}, std::vector<uint32_t>(16, K), {0, 1})},
        {"depth 7", BmpBuilder::make({1, 1, 7}, {}, {0, 0, 0, 0})},
    };
    for (const Case& c : cases) {
        const auto r = decodeBmp(c.file);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_FALSE(r.error.empty()) << c.what;
    }
}

TEST(BmpRefusals, EveryTruncationIsRefused) {
    std::vector<uint8_t> rows(8 * 3, 0x55);
    const auto full = BmpBuilder::make({2, 3, 24}, {}, rows);
    ASSERT_TRUE(decodeBmp(full).ok);
    for (size_t n = 0; n + 2 < full.size(); ++n) {
        const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(n));
        EXPECT_FALSE(decodeBmp(cut).ok) << "length " << n;
    }
    // Only the padding of the last row may be missing.
    EXPECT_TRUE(decodeBmp(std::vector<uint8_t>(full.begin(), full.end() - 2)).ok);
    BmpBuilder::Info rle{6, 3, 8, 1};
    rle.paletteCount = 2;
    rle.compression = 1;
    auto runs = BmpBuilder::make(rle, {W, R}, {6, 1, 0, 0, 6, 0, 0, 0, 0, 3, 1, 0, 1, 0, 0, 1});
    ASSERT_TRUE(decodeBmp(runs).ok);
    // Cut run-length data (with the image size field naming the full length).
    for (size_t n = 0; n < runs.size(); ++n) {
        const std::vector<uint8_t> cut(runs.begin(), runs.begin() + static_cast<long>(n));
        EXPECT_FALSE(decodeBmp(cut).ok) << "length " << n;
    }
}

TEST(BmpRefusals, OversizedPicturesAreRefusedBeforeAllocation) {
    // 60000 x 60000 at 24 bits claims 10 GB of rows the file does not have.
    const auto r = decodeBmp(BmpBuilder::make({60000, 60000, 24}, {}, {1, 2, 3, 4}));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.picture.pixels.empty());
    // A file beyond the size limit is refused before it is read (a sparse
    // file: no disk space is used).
    char name[] = "/tmp/pictor-huge-XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, pictor::kMaxPictureFileBytes + 1), 0);
    close(fd);
    const auto huge = pictor::readBmpFile(name);
    unlink(name);
    EXPECT_FALSE(huge.ok);
    EXPECT_EQ(huge.error, "file too large");
    const auto file = pictor::readBmpFile("/nonexistent/picture.bmp");
    EXPECT_FALSE(file.ok);
    EXPECT_FALSE(pictor::readBmpFile("/").ok); // a directory
}

TEST(BmpFuzz, RandomMutationsNeverCrash) {
    // Fixed seed and count: the same 20000 inputs on every run.
    BmpBuilder::Info rle8{6, 3, 8, 1};
    rle8.paletteCount = 4;
    BmpBuilder::Info rle4{6, 2, 4, 2};
    rle4.paletteCount = 4;
    BmpBuilder::Info fields{2, 2, 16, 3};
    BmpBuilder::Info core{2, 1, 8};
    core.headerSize = 12;
    const std::vector<std::vector<uint8_t>> seeds{
        BmpBuilder::make({10, 2, 1}, {K, W}, {0xAA, 0x80, 0, 0, 0xF8, 0, 0, 0}),
        BmpBuilder::make({3, 2, 4}, std::vector<uint32_t>(16, R),
                         {0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}),
        BmpBuilder::make({3, 2, 8}, std::vector<uint32_t>(256, G), {1, 2, 3, 0, 4, 5, 6, 0}),
        BmpBuilder::make(fields, {}, {1, 2, 3, 4, 5, 6, 7, 8}, {0xF800, 0x07E0, 0x001F}),
        BmpBuilder::make({2, -2, 24}, {}, std::vector<uint8_t>(16, 0x77)),
        BmpBuilder::make({2, 2, 32}, {}, std::vector<uint8_t>(16, 0x33)),
        BmpBuilder::make(rle8, {W, R, G, B},
                         {3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 1, 2, 3, 0, 1}),
        BmpBuilder::make(rle4, {W, R, G, B}, {3, 0x12, 0, 3, 0x30, 0x10, 0, 0, 5, 0x33, 0, 1}),
        BmpBuilder::make(core, std::vector<uint32_t>(256, B), {1, 2, 0, 0}),
    };
    for (const auto& seed : seeds) ASSERT_TRUE(decodeBmp(seed).ok) << decodeBmp(seed).error;
    std::mt19937 random(20261209);
    int accepted = 0;
    for (int n = 0; n < 20000; ++n) {
        std::vector<uint8_t> file = seeds[static_cast<size_t>(n) % seeds.size()];
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits; ++e) {
            switch (random() % 4) {
            case 0: // overwrite a byte
                if (!file.empty()) file[random() % file.size()] = static_cast<uint8_t>(random());
                break;
            case 1: // cut the tail
                file.resize(random() % (file.size() + 1));
                break;
            case 2: // append garbage
                for (int k = static_cast<int>(random() % 16); k > 0; --k)
                    file.push_back(static_cast<uint8_t>(random()));
                break;
            default: // extreme values into a header field
                if (file.size() >= 30) {
                    const size_t at = 2 + 4 * (random() % 7);
                    const uint32_t v = (random() % 2) ? 0xFFFFFFFFu : 0x7FFFFFFFu;
                    for (int k = 0; k < 4; ++k)
                        file[at + static_cast<size_t>(k)] = static_cast<uint8_t>(v >> (8 * k));
                }
            }
        }
        const auto r = decodeBmp(file);
        if (r.ok) {
            ++accepted;
            ASSERT_GT(r.picture.width, 0);
            ASSERT_GT(r.picture.height, 0);
            ASSERT_EQ(r.picture.pixels.size(),
                      static_cast<size_t>(r.picture.width) * r.picture.height);
        } else {
            ASSERT_FALSE(r.error.empty());
        }
    }
    EXPECT_GT(accepted, 0); // some mutations stay valid pictures
}

} // namespace
