// The collision trap: bodies that touch are merged (or the lost one is
// flagged), the body farthest from the Sun is tested for escape, flagged
// bodies are removed, and the system is kept on its barycentre. Also the
// conservation quantities of the log that judges a long run: the
// barycentre, the total energy and the total angular momentum of every
// body with mass that attracts the others.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/integration_state.h"

namespace tarvo {

using Vector3 = std::array<long double, 3>;

// No cutoff of ejected bodies, Gm.
inline constexpr long double noEjectionCutoff = 9.9e99L;
// Radius growth of a merger: r (M / m)^0.333 (deliberately not 1/3).
inline constexpr long double mergerRadiusExponent = 0.333L;
// Specific orbital energy above which the farthest body escapes, Gm^2/day^2.
inline constexpr long double escapeEnergyThreshold = 1e-6L;

struct CollisionSettings {
    bool minorPerturb = false;             // option C: every body with mass merges
    long double cutoff = noEjectionCutoff; // Gm: a body farther from the Sun is ejected
};

struct CollisionEvent {
    int i = 0, j = 0; // body j hit body i (i <= lastMajor)
    std::string nameI, nameJ;
    bool merged = false; // j's mass and momentum went into i
};

struct EjectionEvent {
    int k = 0;
    std::string name;
    long double distance = 0; // from the Sun, Gm
    long double energy = 0;   // v^2/2 - G M_tot / d, Gm^2/day^2
};

struct TrapResult {
    bool event = false; // some body was flagged
    std::vector<CollisionEvent> collisions;
    std::vector<EjectionEvent> ejections;
};

/*
** trapCollisions: flags the bodies that collided (-1) and the one ejected (1)
** in table.collisionFlag, merging colliding bodies with mass.
** Given: table (step velocities scaled for state.step and state.direction),
**   state, settings.
** Returned: the events, in the order found; table.collisionFlag (cleared
**   first); merged bodies' position, step velocity, mass, stepMass and radius.
** Notes: pairs i <= lastMajor, j > i, j never the Moon; distances use
**   absolute positions (the Moon and satellites with the Earth added). A
**   body already flagged takes part in no further pair. Bodies of radius 0
**   never collide. A merger of two bodies without mass keeps i's state and
**   radius (nothing divides by zero). The farthest body from the Sun (not
**   the Sun) is ejected when its energy exceeds 1e-6 or it lies beyond the
**   cutoff.
*/
TrapResult trapCollisions(BodyTable& table, const IntegrationState& state,
                          const CollisionSettings& settings);

/*
** removeFlaggedBodies: removes every flagged body, from N down to 1
** (removeBody: the last body moves into the slot, lastMajor, lastMassive,
** earthIndex and moonIndex follow), clearing each flag; after an ejected
** body the system is moved to its barycentre.
** Returned: the number of bodies removed.
*/
int removeFlaggedBodies(BodyTable& table, const IntegrationState& state, bool minorPerturb);

/*
** moveToBarycentre: subtracts the barycentre's position and step velocity
** from every body but the Moon (stored geocentric).
** Given: weights m_i for i <= lastMassive, every body under option C; the
**   Moon counted with the Earth added; in satellite mode only 0..moonIndex.
** Returned: the barycentre before the move, Gm.
*/
Vector3 moveToBarycentre(BodyTable& table, const IntegrationState& state, bool minorPerturb);

// The Sun's figure as the logged energy sees it: K = 1.5 J2 R^2 (Gm^2) and
// the unit pole in the frame of the table; K = 0 leaves it out.
struct SunFigure {
    double K = 0.0;
    std::array<long double, 3> pole = {0, 0, 1};
};

struct ConservationQuantities {
    Vector3 barycentre{};      // Gm
    long double energy = 0;    // 10^24 kg Gm^2/day^2
    Vector3 angularMomentum{}; // 10^24 kg Gm^2/day
    Vector3 momentum{};        // 10^24 kg Gm/day
    long double angularMomentumMagnitude() const;
};

/*
** conservationQuantities: of the bodies with mass that attract the others
** (0..lastMassive; every body under option C), absolute states (Moon and
** satellites with the Earth added), velocities in Gm/day in the true sense
** of time. Energy = sum m v^2/2 - G sum m_i m_j / r_ij, plus the Sun's
** oblateness G m_0 m_i K (3 sin^2 phi - 1) / (3 r^3) when figure.K != 0.
*/
ConservationQuantities conservationQuantities(const BodyTable& table, const IntegrationState& state,
                                              bool minorPerturb, const SunFigure& figure = {});

} // namespace tarvo
