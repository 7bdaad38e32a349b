// Screens of the time scales: the date prompt, the tabulation-step prompt
// and the Delta-T menu, drawn and read through the console library (so that
// scripts answer them like a user).
#pragma once

#include "tarvo/reductions/date_input.h"
#include "tarvo/reductions/time_scales.h"

#include <filesystem>
#include <optional>

namespace tarvo {

// The date prompt on rows row ... row+3 (answer typed after the first line;
// a refused answer is explained on row+3 and asked again).  `finalDate`
// titles it "Final " instead of "Input ".  nullopt when the user presses Esc.
// `clock` replaces the computer's clock for an empty answer (tests).
std::optional<DateAnswer> readDate(bool finalDate, int row = 1,
                                   const ClockReading* clock = nullptr);

// The tabulation-step prompt on rows row ... row+2: Enter alone gives 1 day,
// a step of zero or less is refused and asked again; nullopt on Esc.
std::optional<long double> readTabStep(int row = 1);

// The Delta-T menu (box at row, col): A Auto, F Fixed (asks "Enter Delta-T "),
// C Custom (reads and rewrites `deltaTFile`, asks A, B, C), Esc Off.  A
// missing or damaged DELTAT.COF is reported and the current coefficients are
// offered instead.
void deltaTMenu(DeltaTSettings& settings, const std::filesystem::path& deltaTFile, int row = 8,
                int col = 30);

} // namespace tarvo
