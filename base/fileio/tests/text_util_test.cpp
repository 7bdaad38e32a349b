// Free-format numeric input: the longest leading number, else 0.
#include "fileio/text_util.h"

#include <gtest/gtest.h>

using tarvo::readFreeNumber;
using tarvo::readFreeNumbers;

TEST(FreeFormat, LongestLeadingNumber) {
    EXPECT_DOUBLE_EQ(readFreeNumber("  12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(readFreeNumber("-3"), -3.0);
    EXPECT_DOUBLE_EQ(readFreeNumber("+.25"), 0.25);
    EXPECT_DOUBLE_EQ(readFreeNumber("1.5e3x"), 1500.0);
    EXPECT_DOUBLE_EQ(readFreeNumber("2.0D-2"), 0.02);
    EXPECT_DOUBLE_EQ(readFreeNumber("7e"), 7.0); // incomplete exponent not taken
    EXPECT_DOUBLE_EQ(readFreeNumber("7e+"), 7.0);
    EXPECT_DOUBLE_EQ(readFreeNumber("5."), 5.0);
    EXPECT_DOUBLE_EQ(readFreeNumber("3,4"), 3.0);
    EXPECT_DOUBLE_EQ(readFreeNumber("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(readFreeNumber("2000.0101"), 2000.0101);
}

TEST(FreeFormat, TextThatIsNoNumberReadsAsZero) {
    EXPECT_EQ(readFreeNumber("abc"), 0.0);
    EXPECT_EQ(readFreeNumber(""), 0.0);
    EXPECT_EQ(readFreeNumber("-"), 0.0);
    EXPECT_EQ(readFreeNumber("."), 0.0);
    std::size_t used = 99;
    readFreeNumber("  x", &used);
    EXPECT_EQ(used, 0u);
    readFreeNumber("  42 rest", &used);
    EXPECT_EQ(used, 4u);
    for (const char* text : {"", "   ", "x12", "-", "+", ".", "-.", "E5", ",3"})
        EXPECT_EQ(readFreeNumber(text), 0.0) << text;
}

TEST(FreeFormat, FieldsSeparatedByBlanksOrCommas) {
    auto v = readFreeNumbers(" 51.5, -0.1   46 ");
    ASSERT_EQ(v.size(), 3u);
    EXPECT_DOUBLE_EQ(v[0], 51.5);
    EXPECT_DOUBLE_EQ(v[1], -0.1);
    EXPECT_DOUBLE_EQ(v[2], 46.0);
    int nonNumeric = -1;
    auto w = readFreeNumbers("1,x,3", &nonNumeric);
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(w[1], 0.0);
    EXPECT_EQ(nonNumeric, 1);
}

TEST(FreeFormat, WholeFieldIsOneFiniteNumber) {
    EXPECT_EQ(tarvo::readWholeNumber("  -12.25 "), -12.25);
    EXPECT_EQ(tarvo::readWholeNumber("1.5D2"), 150.0);
    for (const char* text : {"", "   ", "12x", "1 2", "inf", "nan", "1e999"})
        EXPECT_FALSE(tarvo::readWholeNumber(text)) << text;
}
