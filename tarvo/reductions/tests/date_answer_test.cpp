// Answers of the date and tabulation-step prompts.  Oracle: the answers and
// results quoted with the prompt, and calendarToDays for the day counts.

#include "tarvo/reductions/date_input.h"
#include "tarvo/reductions/time_scales.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace tarvo;

const ClockReading kNoon2024{2024, 3, 15, 12 * 3600.0 + 0.75, 2.0}; // 12:00:00.75 at UTC+2

TEST(DateAnswer, DecimalForm) {
    DateAnswer a = parseDateAnswer("2000.0101", kNoon2024);
    EXPECT_EQ(a.status, DateAnswerStatus::Ok);
    EXPECT_EQ(a.year, 2000);
    EXPECT_EQ(a.month, 1);
    EXPECT_NEAR(a.day, 1.0, 1e-9);
    EXPECT_FALSE(a.jdGiven);
    a = parseDateAnswer("10000.1231", kNoon2024);
    EXPECT_EQ(a.year, 10000);
    EXPECT_EQ(a.month, 12);
    EXPECT_NEAR(a.day, 31.0, 1e-9);
    a = parseDateAnswer("2000.010112", kNoon2024); // further digits are decimals of the day
    EXPECT_NEAR(a.day, 1.12, 1e-9);
    a = parseDateAnswer("-500.0315", kNoon2024);
    EXPECT_EQ(a.year, -500);
    EXPECT_EQ(a.month, 3);
    EXPECT_NEAR(a.day, 15.0, 1e-9);
    a = parseDateAnswer("1999", kNoon2024); // month and day 0 become 1
    EXPECT_EQ(a.month, 1);
    EXPECT_EQ(a.day, 1.0);
}

TEST(DateAnswer, CommaForm) {
    DateAnswer a = parseDateAnswer("2000,1,1.5", kNoon2024);
    EXPECT_EQ(a.year, 2000);
    EXPECT_EQ(a.month, 1);
    EXPECT_EQ(a.day, 1.5);
    EXPECT_EQ(dateAnswerDays(a), 0.0);
    a = parseDateAnswer(" 1582 , 10 ", kNoon2024); // no second comma: day 1
    EXPECT_EQ(a.year, 1582);
    EXPECT_EQ(a.month, 10);
    EXPECT_EQ(a.day, 1.0);
    a = parseDateAnswer("1999.6,0,3", kNoon2024); // year rounded, month 0 becomes 1
    EXPECT_EQ(a.year, 2000);
    EXPECT_EQ(a.month, 1);
}

TEST(DateAnswer, InstantGivenByLetter) {
    DateAnswer a = parseDateAnswer("J2451545", kNoon2024);
    EXPECT_TRUE(a.jdGiven);
    EXPECT_EQ(a.julianDate, 2451545.0);
    EXPECT_EQ(a.year, 2000);
    EXPECT_EQ(a.month, 1);
    EXPECT_NEAR(a.day, 1.5, 1e-12);
    EXPECT_EQ(parseDateAnswer("c1", kNoon2024).julianDate, 2488070.0);
    EXPECT_EQ(parseDateAnswer("D-0.5", kNoon2024).julianDate, 2451544.5);
    EXPECT_EQ(parseDateAnswer("M-1", kNoon2024).julianDate, 2451545.0 - 365250.0);
    EXPECT_EQ(dateAnswerDays(parseDateAnswer("d 100", kNoon2024)), 100.0);
}

TEST(DateAnswer, TrailingLFlag) {
    DateAnswer a = parseDateAnswer("2000.0101/l", kNoon2024);
    EXPECT_TRUE(a.lFlag);
    EXPECT_EQ(a.year, 2000);
    EXPECT_FALSE(parseDateAnswer("2000.0101", kNoon2024).lFlag);
}

TEST(DateAnswer, EmptyAnswerIsTheClockInUniversalTime) {
    const DateAnswer a = parseDateAnswer("  ", kNoon2024);
    EXPECT_EQ(a.status, DateAnswerStatus::Ok);
    EXPECT_EQ(a.year, 2024);
    EXPECT_EQ(a.month, 3);
    // 12:00:00 local (whole seconds) at UTC+2 is 10:00 UT.
    EXPECT_NEAR(a.day, 15.0 + 0.5 - 2.0 / 24.0, 1e-12);
    // Just after local midnight east of Greenwich: day below 1 is kept (the previous UT day).
    const DateAnswer b = parseDateAnswer("", ClockReading{2024, 3, 1, 600.0, 2.0});
    EXPECT_EQ(b.status, DateAnswerStatus::Ok);
    EXPECT_NEAR(b.day, 1.0 + 600.0 / 86400.0 - 2.0 / 24.0, 1e-12);
}

TEST(DateAnswer, NonsenseTextReadsAsYearZero) {
    const DateAnswer a = parseDateAnswer("next tuesday", kNoon2024);
    EXPECT_EQ(a.status, DateAnswerStatus::Ok);
    EXPECT_EQ(a.year, 0);
    EXPECT_EQ(a.month, 1);
    EXPECT_EQ(a.day, 1.0);
    EXPECT_FALSE(a.jdGiven);
}

TEST(DateAnswer, OutOfRangeMonthsAndDaysAreRefused) {
    EXPECT_EQ(parseDateAnswer("2000,13,1", kNoon2024).status, DateAnswerStatus::MonthOutOfRange);
    EXPECT_EQ(parseDateAnswer("2000.1301", kNoon2024).status, DateAnswerStatus::MonthOutOfRange);
    EXPECT_EQ(parseDateAnswer("2000.9901", kNoon2024).status, DateAnswerStatus::MonthOutOfRange);
    EXPECT_EQ(parseDateAnswer("2000,-3,1", kNoon2024).month, 1); // month <= 0 becomes 1
    EXPECT_EQ(parseDateAnswer("2001,2,29", kNoon2024).status, DateAnswerStatus::DayOutOfRange);
    EXPECT_EQ(parseDateAnswer("2000,2,29.5", kNoon2024).status, DateAnswerStatus::Ok);
    EXPECT_EQ(parseDateAnswer("1900.0229", kNoon2024).status, DateAnswerStatus::DayOutOfRange);
    EXPECT_EQ(parseDateAnswer("1500.0229", kNoon2024).status, DateAnswerStatus::Ok); // Julian leap year
    EXPECT_EQ(parseDateAnswer("2000.0432", kNoon2024).status, DateAnswerStatus::DayOutOfRange);
    EXPECT_FALSE(dateAnswerMessage(DateAnswerStatus::MonthOutOfRange).empty());
    EXPECT_TRUE(dateAnswerMessage(DateAnswerStatus::Ok).empty());
}

TEST(DateAnswer, DatesOfTheReformGapAreReadInTheJulianCalendar) {
    const DateAnswer a = parseDateAnswer("1582.1010", kNoon2024);
    EXPECT_EQ(a.status, DateAnswerStatus::Ok);
    EXPECT_EQ(dateAnswerDays(a), calendarToDays(1582, 10, 4) + 6.0);
    // ... which is the Gregorian 1582 October 20.
    EXPECT_EQ(dateAnswerDays(a), dateAnswerDays(parseDateAnswer("1582,10,20", kNoon2024)));
}

TEST(DateAnswer, TypedInstantIsUniversalTimeUnlessDeltaTIsOff) {
    const DateAnswer a = parseDateAnswer("2000,1,1.5", kNoon2024);
    DeltaTSettings s{DeltaTMode::Fixed, 64.0, 0.0, 0.0};
    EXPECT_NEAR(static_cast<double>(dateAnswerTerrestrial(a, s) * 86400.0L), 64.0, 1e-9);
    s.mode = DeltaTMode::Off;
    EXPECT_EQ(dateAnswerTerrestrial(a, s), 0.0L);
}

TEST(TabStep, DaysHoursMinutesSeconds) {
    EXPECT_EQ(parseTabStep(""), 1.0L);
    EXPECT_EQ(parseTabStep("   "), 1.0L);
    EXPECT_NEAR(static_cast<double>(*parseTabStep("0.0130")), 0.0625, 1e-15);
    EXPECT_NEAR(static_cast<double>(*parseTabStep("2.120000")), 2.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(*parseTabStep("0.000001")), 1.0 / 86400.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(*parseTabStep("10")), 10.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(*parseTabStep("0.235959")),
                (23 * 3600 + 59 * 60 + 59) / 86400.0, 1e-15);
}

TEST(TabStep, ZeroOrNegativeStepsAreRefused) {
    EXPECT_FALSE(parseTabStep("0").has_value());
    EXPECT_FALSE(parseTabStep("-1").has_value());
    EXPECT_FALSE(parseTabStep("abc").has_value()); // no number reads as 0
    EXPECT_FALSE(parseTabStep("0.0000000001").has_value());
}

} // namespace

namespace {

// Answers far outside any calendar must not crash or overflow the integer
// conversions (the sanitizer build checks the latter).
TEST(DateAnswer, AbsurdNumbersStayDefined) {
    using namespace tarvo;
    const ClockReading clock{2024, 3, 15, 0.0, 0.0};
    for (const char* text : {"1e300", "-1e300", "J1e300", "J-1e300", "D1e308", "M-1e308",
                             "1e300,1e300,1e300", "99999999999999999999.9999"}) {
        const DateAnswer a = parseDateAnswer(text, clock);
        EXPECT_GE(a.month, 1) << text;
        (void)dateAnswerDays(a);
    }
    EXPECT_EQ(dayOfWeek(std::numeric_limits<long double>::quiet_NaN()), 0);
    const CalendarTime c = daysToCalendar(1e30L);
    EXPECT_FALSE(c.dateText.empty());
    const CalendarTime n = daysToCalendar(std::numeric_limits<long double>::quiet_NaN());
    EXPECT_EQ(n.dateText, "   2000/01/01");
}

} // namespace
