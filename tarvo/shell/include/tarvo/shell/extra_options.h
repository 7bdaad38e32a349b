// The extra options: switches of the force model, the integrator and the
// collision trap, set on their own screen from the main menu or the run.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

struct DataDirectories;

struct ExtraOptions {
    double tidalValue = 0;              // A: arcsec/century^2; 0 = the data set's default
    std::int32_t planetPerturb = 0;     // B: 0 "  Locked", -1 "Unlocked"
    std::int32_t minorPerturb = 0;      // C
    std::int32_t relativityMinor = -1;  // D
    std::int32_t pureNewtonian = 0;     // E: on = pure point masses (the extended model off)
    std::int32_t solarMassLoss = 0;     // F: 0 "Ignored", -1 " Forced"
    std::int32_t integrationOrder = 0;  // G: 0 "14  Normal", -1 "16  Medium", 1 "18    High"
    std::int32_t extendedPrecision = 0; // H: 0 "Pl.-Sun", -1 "   Full"
    std::int32_t trapCollisions = 0;    // I
    std::int32_t skipRotations = 0;     // J
    std::int32_t lieskePrecession = 0;  // L
    std::int32_t yarkovsky = 0;         // Y: 0 "Marsden ", -1 "Yarkov. "
    std::int32_t singleImpulse = 0;     // ^
    std::int32_t asymmetricModel = 0;   // <
    double ejectionCutoffGm = 9.9e99;   // collision trap: distance of ejected bodies, Gm
};

// The screen's key string; help record k belongs to its k-th key.
inline constexpr const char* kExtraOptionKeys = "ABCDEFGHIJLY^<";

// Steps G: Normal -> Medium -> High -> Normal.
std::int32_t nextIntegrationOrder(std::int32_t order);

// Toggles the option of `key` (upper case) by its own rules ("^" and "<"
// exclude each other; G cycles). Returns false for A, which is a prompt of
// the screen, and for keys that are no option. The prompt that follows I
// belongs to the screen.
bool toggleExtraOption(ExtraOptions& options, char key);

// Cutoff typed at the collision-trap prompt, AU, to Gm: |value| AU, and
// 1e-6 Gm or less means no cut (9.9e99).
double ejectionCutoff(double typedAu, long double astronomicalUnitGm);

// What the main menu does each time it is shown: F and J off, E off.
void resetForMainMenu(ExtraOptions& options);

// The screen itself; Esc accepts. `tidalEditable` is false during a run.
// `collisionLogDir` is where COLLIS.LOG and EJECTED.LOG are created when
// the trap is switched on.
void extraOptionsScreen(ExtraOptions& options, bool tidalEditable, const DataDirectories& dirs,
                        int helpLanguage);

} // namespace tarvo
