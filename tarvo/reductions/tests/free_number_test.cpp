// Free-format numbers: the longest leading number, text that is no number
// reads as 0.  Oracle: the rule itself on hand-made answers.

#include "tarvo/reductions/free_number.h"

#include <gtest/gtest.h>

namespace {

using namespace tarvo;

TEST(ReadLeadingNumber, LongestLeadingNumber) {
    EXPECT_EQ(readLeadingNumber("2000.0101"), 2000.0101);
    EXPECT_EQ(readLeadingNumber("  -500.0315abc"), -500.0315);
    EXPECT_EQ(readLeadingNumber("+12"), 12.0);
    EXPECT_EQ(readLeadingNumber(".5"), 0.5);
    EXPECT_EQ(readLeadingNumber("5."), 5.0);
    EXPECT_EQ(readLeadingNumber("1.5E3x"), 1500.0);
    EXPECT_EQ(readLeadingNumber("1.5d-2"), 0.015);
    EXPECT_EQ(readLeadingNumber("7e"), 7.0);      // an exponent without digits is not part of it
    EXPECT_EQ(readLeadingNumber("3,4"), 3.0);
    EXPECT_EQ(readLeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(readFreeNumberPrefix("  42 rest").length, 4u);
}

TEST(ReadLeadingNumber, TextThatIsNoNumberReadsAsZero) {
    for (const char* text : {"", "abc", "-", ".", "+.", "nan", "inf", "e5", "\x01\xff"}) {
        EXPECT_EQ(readLeadingNumber(text), 0.0) << text;
        EXPECT_EQ(readFreeNumberPrefix(text).length, 0u) << text;
    }
}

TEST(SplitFreeFields, BlanksOrCommasSeparate) {
    const auto f = splitFreeFields(" 1, 2  3,,4 ");
    ASSERT_EQ(f.size(), 5u);
    EXPECT_EQ(f[0], "1");
    EXPECT_EQ(f[1], "2");
    EXPECT_EQ(f[2], "3");
    EXPECT_EQ(f[3], "");
    EXPECT_EQ(f[4], "4");
}

} // namespace
