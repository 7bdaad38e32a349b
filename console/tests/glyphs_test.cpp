// Code page 437 glyphs and UTF-8 decoding.
// Oracle: glibc's iconv CP437 table (an independent implementation of the
// code page), and the UTF-8 definition of RFC 3629 for the coding cases.
#include "console/glyphs.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace {

using console::cp437ToUnicode;

// Code point of byte b according to iconv, or 0 when iconv lacks CP437.
char32_t iconvCp437(unsigned char b) {
    iconv_t cd = iconv_open("UTF-32LE", "CP437");
    if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
    char in[1] = {static_cast<char>(b)};
    unsigned char out[4] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1, outLeft = 4;
    const std::size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1)) return 0;
    return out[0] | (out[1] << 8) | (out[2] << 16) | (static_cast<char32_t>(out[3]) << 24);
}

TEST(Cp437AgainstIconv, UpperHalfMatchesEveryByte) {
    if (iconvCp437(0x80) == 0) GTEST_SKIP() << "iconv has no CP437 table on this system";
    for (int b = 128; b < 256; ++b)
        EXPECT_EQ(cp437ToUnicode(static_cast<unsigned char>(b)),
                  iconvCp437(static_cast<unsigned char>(b)))
            << "byte " << b;
}

TEST(Cp437AgainstIconv, AsciiIsItself) {
    for (int b = 32; b < 127; ++b)
        EXPECT_EQ(cp437ToUnicode(static_cast<unsigned char>(b)), char32_t(b));
}

TEST(Cp437Glyphs, TheSuitesGlyphs) {
    EXPECT_EQ(cp437ToUnicode(178), U'\u2593'); // dark shade: progress bars
    EXPECT_EQ(cp437ToUnicode(248), U'\u00B0'); // degree
    EXPECT_EQ(cp437ToUnicode(219), U'\u2588'); // full block
    EXPECT_EQ(cp437ToUnicode(196), U'\u2500'); // box drawing, light horizontal
    EXPECT_EQ(cp437ToUnicode(201), U'\u2554'); // double down and right
    EXPECT_EQ(cp437ToUnicode(1), U'\u263A');   // white smiley
    EXPECT_EQ(cp437ToUnicode(127), U'\u2302'); // house
    EXPECT_EQ(console::cp437(248), "\xC2\xB0");
    EXPECT_EQ(console::cp437Repeat(178, 3), "\xE2\x96\x93\xE2\x96\x93\xE2\x96\x93");
    EXPECT_EQ(console::cp437Repeat(178, 0), "");
}

TEST(Utf8Coding, RoundTripsEveryLengthOfSequence) {
    for (char32_t cp :
         {U'A', U'\u00B0', U'\u2593', U'\U0001F600', U'\u07FF', U'\u0800', U'\uFFFF'}) {
        const std::string s = console::utf8Encode(cp);
        std::size_t pos = 0;
        EXPECT_EQ(console::decodeNextChar(s, pos), cp);
        EXPECT_EQ(pos, s.size());
    }
}

TEST(Utf8Coding, SurrogatesAndOutOfRangeEncodeAsReplacement) {
    EXPECT_EQ(console::utf8Encode(0xD800), "\xEF\xBF\xBD");
    EXPECT_EQ(console::utf8Encode(0x110000), "\xEF\xBF\xBD");
}

// Bytes that are no valid UTF-8 are the console's own glyph bytes: legacy
// text with raw CP437 bytes shows what it always showed.
TEST(Utf8Coding, InvalidBytesReadAsCp437) {
    const std::string legacy = "21\xF8 \xB2\xB2";
    std::u32string decoded;
    for (std::size_t pos = 0; pos < legacy.size();) decoded += console::decodeNextChar(legacy, pos);
    EXPECT_EQ(decoded, U"21\u00B0 \u2593\u2593");
}

TEST(Utf8Coding, TruncatedAndOverlongSequencesDoNotSwallowText) {
    std::size_t pos = 0;
    const std::string cut = "\xE2\x96"; // first two bytes of a three-byte sequence
    EXPECT_EQ(console::decodeNextChar(cut, pos), cp437ToUnicode(0xE2));
    EXPECT_EQ(pos, 1u);
    pos = 0;
    const std::string overlong = "\xC0\xAF"; // '/' in two bytes: forbidden
    EXPECT_EQ(console::decodeNextChar(overlong, pos), cp437ToUnicode(0xC0));
    EXPECT_EQ(pos, 1u);
    EXPECT_EQ(console::charCount("a\xE2\x96\x93"
                                 "b"),
              3u);
}

} // namespace
