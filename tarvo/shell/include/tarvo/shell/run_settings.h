// The display-only switches of a run and the rules that couple the toggles
// of the key-action screen.
#pragma once

#include "tarvo/reductions/time_scales.h"
#include "tarvo/shell/configuration.h"
#include "tarvo/shell/session.h"

#include <array>
#include <cstdint>
#include <string>

namespace tarvo {

enum class PrecessionState { off, on, lieske };

struct RunSettings {
    bool showVelocities = false;
    bool topocentric = false;
    bool planetCentric = false;
    int centreBody = 3;       // the centre of geocentric and planet-centric displays; -1 the fixed point
    std::array<double, 3> fixedCentre{}; // the fixed point, Gm, J2000 equator ("Fixed")
    int referenceEquinox = -1; // 0 J2000, -1 date (the default), 1 a year
    double referenceYear = 2000;
    PrecessionState precession = PrecessionState::on;
    bool backward = false;
    bool elementsPage = false;
    ElementPageSettings elements;
    int timeUnit = 0;       // index into the time-unit table
    double scaleFactor = 1; // pages are scaleFactor nominal steps apart
    bool fileOutput = false;
    bool distancesInGm = false; // distances of the page in Gm instead of AU
    DeltaTSettings deltaT;
};

// The key string of the key-action screen, in screen order (help record k
// belongs to its k-th key).
inline constexpr const char* kRunKeys = "WO^HTCEZ%)RPNALDBMXV/!USFGJYI*@#K";

// Applies the toggle of `key` (upper case) with its couplings; returns false
// for keys that are not plain toggles (dialogs and commands). `lieskeAllowed`
// is extra option L.
bool applyRunToggle(char key, RunSettings& run, DisplayToggles& toggles, bool lieskeAllowed);

// Clamps a typed scale factor to the range the pages and views accept.
double clampScaleFactor(double typed);

// Status words of the key-action screen.
std::string precessionStatus(PrecessionState state);
// Key N: "IAU " (IAU 2006/2000A), "1980" (1980 nutation), "Off " (no
// nutation, 1980 model) or "Mean" (no nutation, IAU model: mean places).
std::string nutationStatus(const DisplayToggles& toggles);
std::string deltaTStatus(const DeltaTSettings& settings);
std::string equinoxStatus(const RunSettings& run);

} // namespace tarvo
