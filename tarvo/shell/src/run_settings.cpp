#include "tarvo/shell/run_settings.h"

#include "fileio/format_mask.h"

#include <algorithm>
#include <cmath>

namespace tarvo {

namespace {
std::int32_t flip(std::int32_t v) {
    return v ? 0 : -1;
}
} // namespace

bool applyRunToggle(char key, RunSettings& run, DisplayToggles& t, bool lieskeAllowed) {
    switch (key) {
    case 'O':
        t.orthogonal = flip(t.orthogonal);
        if (t.orthogonal) t.horizon = 0;
        return true;
    case '^':
        run.showVelocities = !run.showVelocities;
        return true;
    case 'H':
        t.geocentric = flip(t.geocentric);
        run.planetCentric = false;
        run.topocentric = false;
        t.horizon = 0;
        if (t.geocentric) run.centreBody = 3;
        return true;
    case 'T':
        run.topocentric = !run.topocentric;
        if (run.topocentric) {
            t.geocentric = -1;
            run.planetCentric = false;
            if (run.deltaT.mode == DeltaTMode::Off) run.deltaT.mode = DeltaTMode::Auto;
        }
        return true;
    case 'E':
        t.ecliptic = flip(t.ecliptic);
        t.horizon = 0;
        return true;
    case 'Z':
        t.horizon = flip(t.horizon);
        if (t.horizon) {
            // Horizontal places are seen from the site: not about a body or a point.
            t.geocentric = -1;
            run.planetCentric = false;
            run.topocentric = true;
            t.ecliptic = 0;
            t.orthogonal = 0;
            if (run.precession == PrecessionState::off) run.precession = PrecessionState::on;
            t.precession = -1;
        }
        return true;
    case '%':
        t.refractRiseSet = flip(t.refractRiseSet);
        return true;
    case ')':
        t.limbRiseSet = flip(t.limbRiseSet);
        return true;
    case 'P':
        run.precession = run.precession == PrecessionState::off ? PrecessionState::on
                         : (run.precession == PrecessionState::on && lieskeAllowed)
                             ? PrecessionState::lieske
                             : PrecessionState::off;
        t.precession = run.precession == PrecessionState::off ? 0 : -1;
        if (run.precession == PrecessionState::off) t.nutation = 0;
        return true;
    case 'N':
        // IAU 2006/2000A -> 1980 nutation -> off -> IAU 2006/2000A; the IAU
        // model with nutation off (after a reference equinox) goes to the IAU
        // model with nutation.
        if (t.nutation && t.iauReductions) {
            t.iauReductions = 0;
        } else if (t.nutation) {
            t.nutation = 0;
        } else {
            t.nutation = -1;
            t.iauReductions = -1;
        }
        if (t.nutation && run.precession == PrecessionState::off) {
            run.precession = PrecessionState::on;
            t.precession = -1;
        }
        return true;
    case 'A':
        t.aberration = flip(t.aberration);
        if (t.aberration) t.lightTime = -1;
        return true;
    case 'L':
        t.lightTime = flip(t.lightTime);
        if (!t.lightTime) t.aberration = 0;
        return true;
    case 'B':
        run.backward = !run.backward;
        return true;
    case 'M':
        t.decimalUnits = flip(t.decimalUnits);
        return true;
    case 'X':
        run.elementsPage = !run.elementsPage;
        return true;
    case 'V':
        t.adaptiveStep = flip(t.adaptiveStep);
        return true;
    case 'U':
        run.timeUnit = (run.timeUnit + 1) % 5;
        return true;
    case 'K':
        run.distancesInGm = !run.distancesInGm;
        return true;
    default:
        return false;
    }
}

double clampScaleFactor(double typed) {
    if (!std::isfinite(typed) || typed <= 0) return 1;
    return std::clamp(typed, 0.001, 9999.0);
}

std::string precessionStatus(PrecessionState state) {
    switch (state) {
    case PrecessionState::off:
        return "Off ";
    case PrecessionState::lieske:
        return "L76 ";
    default:
        return "On  ";
    }
}

std::string nutationStatus(const DisplayToggles& t) {
    if (t.iauReductions) return t.nutation ? "IAU " : "Mean";
    return t.nutation ? "1980" : "Off ";
}

std::string deltaTStatus(const DeltaTSettings& settings) {
    switch (settings.mode) {
    case DeltaTMode::Auto:
        return "Aut ";
    case DeltaTMode::Fixed:
        return "Fix ";
    case DeltaTMode::Custom:
        return "Cus ";
    default:
        return "Off ";
    }
}

std::string equinoxStatus(const RunSettings& run) {
    if (run.referenceEquinox == 0) return "J2000";
    if (run.referenceEquinox < 0) return " Date ";
    return formatMask("#####", static_cast<long double>(run.referenceYear));
}

} // namespace tarvo
