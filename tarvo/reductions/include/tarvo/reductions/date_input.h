// The answers of the date and tabulation-step prompts, as pure functions so
// that the prompts themselves only read lines and show messages.
#pragma once

#include "tarvo/reductions/time_scales.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// The computer's clock at the moment an empty answer is given.
struct ClockReading {
    int year = 2000, month = 1, day = 1;
    double secondsSinceMidnight = 0.0;
    double zoneOffsetHours = 0.0; // hours east of Greenwich
};
ClockReading readComputerClock();

enum class DateAnswerStatus {
    Ok,
    MonthOutOfRange, // month above 12
    DayOutOfRange,   // day beyond the last day of the month
};

struct DateAnswer {
    DateAnswerStatus status = DateAnswerStatus::Ok;
    long long year = 0;
    int month = 1;
    double day = 1.0;
    double julianDate = 0.0; // set when jdGiven
    bool jdGiven = false;    // instant given as J, D, C or M
    bool lFlag = false;      // answer ended in "/L"
};

// Interprets an answer of the date prompt: "YYYY,MM,DD", "YYYY.MMDD[dd]",
// J/D/C/M followed by a number, or empty for the clock time `now`.
DateAnswer parseDateAnswer(std::string_view answer, const ClockReading& now);
// Message shown for a refused answer ("" for Ok).
std::string dateAnswerMessage(DateAnswerStatus status);
// JD2000 day count of an accepted answer (UT when Delta-T is on).
double dateAnswerDays(const DateAnswer& answer);
// The instant of an accepted answer in TT: the typed instant is UT when the
// Delta-T mode is not Off and is converted by two fixed-point passes.
long double dateAnswerTerrestrial(const DateAnswer& answer, const DeltaTSettings& settings);

// Tabulation step "dd.hhmmss" in days; Enter alone gives 1 day; a step of
// zero or less is refused (nullopt).
std::optional<long double> parseTabStep(std::string_view answer);

} // namespace tarvo
