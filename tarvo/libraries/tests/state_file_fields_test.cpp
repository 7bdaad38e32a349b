// The field stream of the text state files, against the reading rules of
// the format: numbers end at blanks, commas and line ends; strings take the
// rest of the line up to a comma; "#" may close a number.
#include <gtest/gtest.h>

#include "state_file_fields.h"

namespace tarvo {
namespace {

using Outcome = StateFileFields::Outcome;

long double next(StateFileFields& f)
{
    long double v = -12345;
    std::string field;
    EXPECT_EQ(f.number(v, field), Outcome::Read) << field;
    return v;
}

std::string nextString(StateFileFields& f)
{
    std::string s;
    EXPECT_EQ(f.string(s), Outcome::Read);
    return s;
}

TEST(StateFileFields, NumbersIgnoreLineBreaksAndAcceptCommasAndHash)
{
    StateFileFields f(" 1.5  -2E+03\r\n\r\n  .25,7#  3.25D-01\n-0");
    EXPECT_EQ(next(f), 1.5L);
    EXPECT_EQ(next(f), -2000.0L);
    EXPECT_EQ(next(f), 0.25L);
    EXPECT_EQ(next(f), 7.0L);
    EXPECT_EQ(next(f), 0.325L);
    EXPECT_EQ(next(f), 0.0L);
    EXPECT_TRUE(f.atEnd());
    long double v = 0;
    std::string field;
    EXPECT_EQ(f.number(v, field), Outcome::EndOfFile);
}

TEST(StateFileFields, StringsTakeTheRestOfTheLineUpToAComma)
{
    StateFileFields f("1 0.5 9 0 CERES     303099\r\n2 3, Halley/1P , 4\nlast");
    EXPECT_EQ(next(f), 1.0L);
    next(f), next(f), next(f);
    EXPECT_EQ(nextString(f), "CERES     303099");
    EXPECT_EQ(next(f), 2.0L);
    EXPECT_EQ(next(f), 3.0L);
    EXPECT_EQ(nextString(f), "Halley/1P ");
    EXPECT_EQ(next(f), 4.0L);
    EXPECT_EQ(nextString(f), "last");
}

TEST(StateFileFields, ExtendedDigitsAreKept)
{
    // Eighteen significant digits, as the E25 mask writes them.
    StateFileFields f(" 1.23456789012345678E+02 ");
    EXPECT_EQ(next(f), 123.456789012345678L);
}

TEST(StateFileFields, WhatIsNotANumberIsReportedWithItsLine)
{
    for (const char* text : {"1\n2\nabc", "1\n2\n3..4", "1\n2\n5x", "1\n2\nnan", "1\n2\ninf", "1\n2\n0x10"}) {
        StateFileFields f(text);
        next(f), next(f);
        long double v = 0;
        std::string field;
        EXPECT_EQ(f.number(v, field), Outcome::NotANumber) << text;
        EXPECT_EQ(f.line(), 3) << text;
    }
}

}  // namespace
}  // namespace tarvo
