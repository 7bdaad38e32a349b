// precessionStateLabel, setNutation, setPrecession, setReferenceYear,
// referenceYearEpoch, frameEpochFor, frameOptionsFor: the frame settings.
//
// Rules: nutation on forces precession on and the equinox of date;
// precession off forces nutation off; choosing a reference year turns
// nutation off.  With a reference year the angles are those of that year's
// epoch (January 1.0 of INT(year) plus 365.25 days per year of fraction),
// without nutation.

#include "tarvo/reductions/frame_settings.h"
#include "tarvo/reductions/time_scales.h"

#include <cmath>

namespace tarvo {

std::string_view precessionStateLabel(PrecessionState state) {
    switch (state) {
    case PrecessionState::Off: return "Off";
    case PrecessionState::Lieske: return "L76";
    default: return "On";
    }
}

void setNutation(FrameSettings& settings, bool on) {
    settings.nutation = on;
    if (on) {
        if (settings.precession == PrecessionState::Off) settings.precession = PrecessionState::On;
        settings.referenceYear = 0.0;
    }
}

void setPrecession(FrameSettings& settings, PrecessionState state) {
    settings.precession = state;
    if (state == PrecessionState::Off) settings.nutation = false;
}

void setReferenceYear(FrameSettings& settings, double year) {
    settings.referenceYear = year;
    if (year != 0.0) settings.nutation = false;
}

long double referenceYearEpoch(double year) {
    const double whole = std::floor(year);
    return static_cast<long double>(calendarToDays(whole, 1, 1)) +
           kDaysPerJulianYear * static_cast<long double>(year - whole);
}

long double frameEpochFor(const FrameSettings& settings, long double t) {
    return settings.referenceYear != 0.0 ? referenceYearEpoch(settings.referenceYear) : t;
}

FrameOptions frameOptionsFor(const FrameSettings& settings, bool fullSeries, bool lieskePermitted) {
    FrameOptions options;
    const bool nutation = settings.nutation && settings.referenceYear == 0.0 &&
                          settings.precession != PrecessionState::Off;
    options.principalNutation = nutation && !fullSeries;
    options.fullNutation = nutation && fullSeries;
    options.lieske = settings.precession == PrecessionState::Lieske && lieskePermitted;
    options.skipRotations = settings.skipRotations;
    return options;
}

} // namespace tarvo
