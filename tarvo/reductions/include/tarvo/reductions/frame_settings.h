// The user's frame settings (keys of the run loop and the configuration) and
// how they become the options and epoch of computeFrame.
#pragma once

#include "tarvo/reductions/frames.h"

#include <string_view>

namespace tarvo {

enum class PrecessionState { Off = 0, On = 1, Lieske = 2 };
// "Off", "On", "L76".
std::string_view precessionStateLabel(PrecessionState state);

struct FrameSettings {
    PrecessionState precession = PrecessionState::On;
    bool nutation = false;        // nutation on (principal term or full series)
    double referenceYear = 0.0;   // 0: equinox of date; otherwise a decimal year
    bool skipRotations = false;   // keep the body table in J2000
};

// Nutation on forces precession on and the equinox of date.
void setNutation(FrameSettings& settings, bool on);
// Precession off forces nutation off.
void setPrecession(FrameSettings& settings, PrecessionState state);
// A reference year (non-zero) turns nutation off; 0 returns to the equinox of date.
void setReferenceYear(FrameSettings& settings, double year);

// Days from J2000.0 of a decimal reference year: January 1.0 of INT(year) plus
// 365.25 days times the fraction of the year (2000 stands for 2000 January 1.0).
long double referenceYearEpoch(double year);

// The epoch whose angles are wanted for an output at t: the reference
// year's epoch when one is chosen, t otherwise.
long double frameEpochFor(const FrameSettings& settings, long double t);
// Options of computeFrame: nutation (full series when `fullSeries`) only with
// the equinox of date; the Lieske variant when chosen and `lieskePermitted`.
FrameOptions frameOptionsFor(const FrameSettings& settings, bool fullSeries, bool lieskePermitted);

} // namespace tarvo
