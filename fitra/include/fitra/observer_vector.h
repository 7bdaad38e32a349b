// The geocentric position, velocity and acceleration of an observing site
// (ground station, parallax constants or spacecraft) at an instant, in the
// equator and equinox of date of `frame`.
#pragma once

#include "framestate/frame_state.h"

#include <array>

namespace fitra {

struct ObserverVector {
    std::array<long double, 3> position{};     // Gm
    std::array<long double, 3> velocity{};     // Gm per step (h days)
    std::array<long double, 3> acceleration{}; // Gm per step squared
};

// Greenwich mean sidereal time (radians, [0, 2π)) of the UT day count t.
long double greenwichMeanSiderealTime(long double tUT);

/*
** observerVector: the site relative to the geocentre.
**
** Given:   tUT          days from J2000.0 in UT
**          h, direction step length (days) and +1 forward / -1 backward
**          apparent     true: the sidereal angle includes the equation of
**                       the equinoxes Δψ cos ε
**          s1, s2, s3   the site parameters as the observation table holds them
**          geodetic     true: s1 = φ, s2 = λ (radians), s3 = height (Gm);
**                       false: s1 = ρ sin φ', s2 = ρ cos φ', s3 = λ (radians),
**                       or, |s1| >= 1, a spacecraft at (s1 - 1000, s2, s3) Gm
**                       in the J2000 equator
**          frame        the frame of date (its nutation and true obliquity
**                       give the equation of the equinoxes; its rotation
**                       carries a spacecraft into the equator of date)
** Notes:   the equation of the equinoxes uses the nutation the frame holds,
**          so a frame computed with the full series puts a station within a
**          few metres of the IAU 2006/2000A place.
*/
ObserverVector observerVector(long double tUT, long double h, int direction, bool apparent,
                              long double s1, long double s2, long double s3, bool geodetic,
                              const tarvo::FrameState& frame);

} // namespace fitra
