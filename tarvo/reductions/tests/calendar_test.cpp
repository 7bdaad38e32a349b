// Calendar and clock: calendarToDays, daysToCalendar, jdToDate, dayOfWeek.
// Oracles: ERFA eraCal2jd / eraJd2cal (Gregorian calendar), a plain day count
// of the Julian calendar (4-year leap rule), and the worked examples of
// Meeus, Astronomical Algorithms, chapter 7.

#include "tarvo/reductions/time_scales.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace tarvo;

// Julian date of noon of a Julian-calendar date, by counting days from
// -4712 January 1 (JD 0): independent of the algorithm under test.
long long julianCalendarNoonJd(long long year, int month, int day) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long long jd = 0;
    const long long cycles = (year + 4712) / 4; // whole 1461-day cycles
    jd += cycles * 1461;
    for (long long y = -4712 + cycles * 4; y < year; ++y) jd += ((y % 4 + 4) % 4 == 0) ? 366 : 365;
    for (int m = 1; m < month; ++m) jd += kDays[m - 1] + ((m == 2 && (year % 4 + 4) % 4 == 0) ? 1 : 0);
    return jd + day - 1;
}

TEST(CalendarToDays, EdgeCasesOfTheReform) {
    EXPECT_EQ(calendarToDays(2000, 1, 1.5), 0.0);
    EXPECT_EQ(calendarToDays(1582, 10, 15), -152384.5);
    EXPECT_EQ(calendarToDays(1582, 10, 4), -152385.5); // the day before, Julian calendar
    EXPECT_EQ(calendarToDays(-4712, 1, 1.5), -2451545.0);
    EXPECT_EQ(calendarToDays(2000, 0, 0), calendarToDays(2000, 1, 1)); // 0 is taken as 1
    // Gap dates October 5-14 are read in the Julian calendar.
    EXPECT_EQ(calendarToDays(1582, 10, 10), calendarToDays(1582, 10, 4) + 6.0);
}

TEST(CalendarToDays, PublishedWorkedExamples) {
    // Meeus, examples 7.a, 7.b and the table of chapter 7.
    EXPECT_NEAR(calendarToDays(1957, 10, 4.81) + 2451545.0, 2436116.31, 1e-9);
    EXPECT_NEAR(calendarToDays(333, 1, 27.5) + 2451545.0, 1842713.0, 1e-9);
    EXPECT_NEAR(calendarToDays(-1000, 7, 12.5) + 2451545.0, 1356001.0, 1e-9);
    EXPECT_NEAR(calendarToDays(1600, 12, 31) + 2451545.0, 2305812.5, 1e-9);
    EXPECT_NEAR(calendarToDays(837, 4, 10.3) + 2451545.0, 2026871.8, 1e-9);
    EXPECT_NEAR(calendarToDays(-123, 12, 31) + 2451545.0, 1676496.5, 1e-9);
    EXPECT_NEAR(calendarToDays(-1001, 8, 17.9) + 2451545.0, 1355671.4, 1e-9);
    EXPECT_NEAR(calendarToDays(-4712, 1, 1.5) + 2451545.0, 0.0, 1e-9);
}

class GregorianYears : public ::testing::TestWithParam<int> {};

// Every month of sampled years, both directions, against ERFA (proleptic
// Gregorian, valid from the reform on).
TEST_P(GregorianYears, AgreeWithErfa) {
    const int year = GetParam();
    for (int month = 1; month <= 12; ++month) {
        for (int day : {1, 15, 28}) {
            if (year == 1582 && (month < 10 || (month == 10 && day < 15))) continue;
            double djm0, djm;
            ASSERT_EQ(eraCal2jd(year, month, day, &djm0, &djm), 0);
            const double jdErfa = djm0 + djm; // midnight
            for (double fraction : {0.0, 0.25, 0.7}) {
                const double t = calendarToDays(year, month, day + fraction);
                EXPECT_NEAR(t + 2451545.0, jdErfa + fraction, 1e-9) << year << "-" << month << "-" << day;
                int iy, im, id;
                double fd;
                ASSERT_EQ(eraJd2cal(2451545.0, t, &iy, &im, &id, &fd), 0);
                const CalendarDate back = jdToDate(static_cast<long double>(t) + 2451545.0L);
                EXPECT_EQ(back.year, iy);
                EXPECT_EQ(back.month, im);
                EXPECT_NEAR(static_cast<double>(back.day), id + fd, 1e-9);
            }
        }
    }
}
INSTANTIATE_TEST_SUITE_P(From1582To9999, GregorianYears,
                         ::testing::Values(1582, 1583, 1600, 1700, 1800, 1899, 1900, 1999, 2000,
                                           2001, 2024, 2100, 2400, 3000, 4321, 5000, 7777, 9999));

class JulianYears : public ::testing::TestWithParam<int> {};

TEST_P(JulianYears, AgreeWithDayCount) {
    const int year = GetParam();
    for (int month = 1; month <= 12; ++month) {
        for (int day : {1, 14, 28}) {
            if (year == 1582 && month >= 10) continue; // October 1582 comes back Gregorian
            const long long jd = julianCalendarNoonJd(year, month, day);
            EXPECT_NEAR(calendarToDays(year, month, day + 0.5) + 2451545.0, static_cast<double>(jd), 1e-9)
                << year << "-" << month << "-" << day;
            const CalendarDate back = jdToDate(static_cast<long double>(jd));
            EXPECT_EQ(back.year, year);
            EXPECT_EQ(back.month, month);
            EXPECT_NEAR(static_cast<double>(back.day), day + 0.5, 1e-9);
        }
    }
}
INSTANTIATE_TEST_SUITE_P(FromMinus4712To1582, JulianYears,
                         ::testing::Values(-4712, -4711, -4000, -1001, -1000, -101, -100, -1, 0, 1,
                                           4, 100, 333, 837, 1000, 1300, 1581, 1582));

TEST(DaysToCalendar, NoonOfJ2000) {
    const CalendarTime c = daysToCalendar(0.5L);
    EXPECT_EQ(c.dateText, "   2000/01/01");
    EXPECT_EQ(c.timeText, "12:00:00");
    EXPECT_EQ(c.shortTimeText, "12:00");
}

TEST(DaysToCalendar, FourMillisecondsBeforeASecondShowsTheNextSecond) {
    const long double ms = 1.0L / 86400000.0L;
    const CalendarTime c = daysToCalendar(0.5L + (3600.0L + 60.0L + 7.0L) / 86400.0L - 4 * ms);
    EXPECT_EQ(c.timeText, "13:01:07");
    EXPECT_EQ(c.millisecond, 0);
    const CalendarTime d = daysToCalendar(0.5L + 7.0L / 86400.0L - 6 * ms);
    EXPECT_EQ(d.timeText, "12:00:06");
    EXPECT_EQ(d.millisecond, 994);
}

TEST(DaysToCalendar, RoundingThroughMidnightMovesToTheNextCalendarDay) {
    const long double ms = 1.0L / 86400000.0L;
    // 2000 January 31 23:59:59.997 -> February 1 00:00:00.
    const long double t = calendarToDays(2000, 2, 1) - 3 * ms;
    const CalendarTime c = daysToCalendar(t + 0.5L);
    EXPECT_EQ(c.dateText, "   2000/02/01");
    EXPECT_EQ(c.timeText, "00:00:00");
    // Across a year end and across the 1582 reform.
    EXPECT_EQ(daysToCalendar(calendarToDays(2001, 1, 1) - 2 * ms + 0.5L).dateText, "   2001/01/01");
    EXPECT_EQ(daysToCalendar(calendarToDays(1582, 10, 15) - 2 * ms + 0.5L).dateText, "   1582/10/15");
    // Short clock of 23:59:40 rounds to 24:00 on the same date.
    const CalendarTime s = daysToCalendar(calendarToDays(2000, 2, 1) - 20.0L / 86400.0L + 0.5L);
    EXPECT_EQ(s.dateText, "   2000/01/31");
    EXPECT_EQ(s.shortTimeText, "24:00");
}

TEST(DaysToCalendar, LocalTimeShiftsByWholeHoursOfLongitude) {
    const long double pi = 3.14159265358979323846L;
    // 37.5° east rounds up to 3 hours (halves rounded up); 7° west to 0.
    EXPECT_EQ(daysToCalendar(0.5L, true, 37.5L * pi / 180.0L).timeText, "15:00:00");
    EXPECT_EQ(daysToCalendar(0.5L, true, -7.0L * pi / 180.0L).timeText, "12:00:00");
    EXPECT_EQ(daysToCalendar(0.5L, true, -150.0L * pi / 180.0L).timeText, "02:00:00");
}

TEST(DaysToCalendar, FarEpochsRoundTrip) {
    // Dates the long integrations reach: a million years either side.
    for (long long year : {-1000000LL, -200001LL, -4713LL, -4800LL, 12000LL, 999999LL}) {
        const double t = calendarToDays(static_cast<double>(year), 3, 1.25);
        const CalendarTime c = daysToCalendar(static_cast<long double>(t) + 0.5L);
        EXPECT_EQ(c.year, year);
        EXPECT_EQ(c.month, 3);
        EXPECT_EQ(c.day, 1);
        EXPECT_EQ(c.timeText, "06:00:00");
    }
    EXPECT_EQ(daysToCalendar(calendarToDays(-1000000, 3, 1) + 0.5L).dateText, "%-1000000/03/01");
}

TEST(DayOfWeek, KnownDaysAndMidnightEdges) {
    EXPECT_EQ(dayOfWeek(2451545.0L), 6);
    EXPECT_EQ(weekdayName(dayOfWeek(2451545.0L)), "Sat");
    // Meeus example 7.e: 1954 June 30 was a Wednesday.
    EXPECT_EQ(weekdayName(dayOfWeek(2434923.5L)), "Wed");
    const long double ms = 1.0L / 86400000.0L;
    // The last millisecond of Saturday 2000-01-01 and the first of Sunday.
    EXPECT_EQ(dayOfWeek(2451545.5L - ms), 6);
    EXPECT_EQ(dayOfWeek(2451545.5L), 0);
    // Far from J2000, negative Julian dates included: still exact at midnight.
    for (long double jd0 : {-365250000.5L, -1234567.5L, -0.5L, 365250000.5L}) {
        const int before = dayOfWeek(jd0 - ms);
        const int after = dayOfWeek(jd0);
        EXPECT_EQ((before + 1) % 7, after) << static_cast<double>(jd0);
        EXPECT_EQ(dayOfWeek(jd0 + 7.0L * 1000.0L), after);
        EXPECT_EQ(dayOfWeek(jd0 + 0.5L - ms), after);
    }
}

} // namespace
