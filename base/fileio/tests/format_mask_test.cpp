// The mask writer against hand-worked layouts of the suite's masks, and free
// form against round trips through the C library's reader.
#include "fileio/format_mask.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using tarvo::formatMask;
using tarvo::freeForm;
using tarvo::freeFormField;

TEST(FormatMask, FixedFieldsAlignRightWithTheSignInTheLeftmostPosition) {
    EXPECT_EQ(formatMask("###.######## ", 3.14159265358979L), "  3.14159265 ");
    EXPECT_EQ(formatMask("#####  ", 42.0L), "   42  ");
    EXPECT_EQ(formatMask("##.#", -1.5L), "-1.5");
    EXPECT_EQ(formatMask("##.#", 0.5L), " 0.5");
    EXPECT_EQ(formatMask("#.#", -0.5L), "-.5"); // no room for the zero
    EXPECT_EQ(formatMask(".###", 0.5L), ".500");
    EXPECT_EQ(formatMask("#######.#### ", -51544.5L), " -51544.5000 ");
    EXPECT_EQ(formatMask("##.#", -0.01L), " 0.0"); // rounds to zero: no minus sign
}

TEST(FormatMask, OverflowIsWrittenWholeAfterAPercentSign) {
    EXPECT_EQ(formatMask("##.#", -12.5L), "%-12.5");
    EXPECT_EQ(formatMask("###", 123456.0L), "%123456");
    EXPECT_EQ(formatMask("##.#", 99.96L), "%100.0"); // rounding carries into a new digit
    EXPECT_EQ(formatMask("##.#", std::numeric_limits<long double>::quiet_NaN()), "%NaN");
}

TEST(FormatMask, ForcedSignAndForcedDigits) {
    EXPECT_EQ(formatMask("+##.###### ", 5.5L), " +5.500000 ");
    EXPECT_EQ(formatMask("+##.###### ", -23.25L), "-23.250000 ");
    EXPECT_EQ(formatMask("00.0", 5.25L), "05.2"); // ties go to the even digit (exact binary value)
    EXPECT_EQ(formatMask("00.0", 5.26L), "05.3");
    EXPECT_EQ(formatMask("000", 7.0L), "007");
}

TEST(FormatMask, ExponentFieldsNormaliseToOneDigit) {
    EXPECT_EQ(formatMask("##.######^^^^  ", 12345.678L), " 1.234568E+04  ");
    EXPECT_EQ(formatMask("##.######^^^^  ", -0.00012345678L), "-1.234568E-04  ");
    EXPECT_EQ(formatMask("##.######^^^^  ", 0.0L), " 0.000000E+00  ");
    // E25 carries the 18 significant digits of an extended value.
    EXPECT_EQ(formatMask("##.#################^^^^ ", 1.0L / 3.0L), " 3.33333333333333333E-01 ");
    EXPECT_EQ(formatMask("##.##^^^^", 1e123L), "%1.00E+123");
}

TEST(FormatMask, FieldsTakeArgumentsInTurnAndTheMaskRepeats) {
    EXPECT_EQ(formatMask("####  & ###.# ###.# ", {12.0L, std::string_view("+"), 3.5L, -2.25L}),
              "  12  +   3.5  -2.2 ");
    EXPECT_EQ(formatMask("### ", {1.0L, 2.0L, 3.0L}), "  1   2   3 ");
    EXPECT_EQ(formatMask("(### ## ##)", {1.0L}), "(  1 ");
    EXPECT_EQ(formatMask("no fields", {1.0L}), "no fields");
}

TEST(FreeForm, ShortestFormsAsTheFilesHoldThem) {
    EXPECT_EQ(freeForm(0.0), "0");
    EXPECT_EQ(freeForm(1.0), "1");
    EXPECT_EQ(freeForm(-1.0), "-1");
    EXPECT_EQ(freeForm(0.5), ".5");
    EXPECT_EQ(freeForm(-0.25), "-.25");
    EXPECT_EQ(freeForm(123000.0), "123000");
    EXPECT_EQ(freeForm(1e20), "1E+20");
    EXPECT_EQ(freeForm(1.5e-7), "1.5E-07");
    EXPECT_EQ(freeForm(1988500.0), "1988500");
    EXPECT_EQ(freeFormField(3.0), " 3 ");
    EXPECT_EQ(freeFormField(-3.0), "-3 ");
}

TEST(FreeForm, EveryValueReadsBackToTheSameDouble) {
    std::mt19937_64 random(12345);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::ldexp(mantissa(random), exponent(random));
        const std::string text = freeForm(v);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    }
}
