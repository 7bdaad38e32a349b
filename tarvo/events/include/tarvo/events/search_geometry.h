// Where a search of a run looks from and in which frame: the centre of the
// page (the Sun, the Earth or the site on it, another body, a fixed point)
// and the frame of the page (ecliptic or equatorial, of date, of J2000 or
// of a reference year), with the light time; the directions of bodies
// inside a step, on the step's quintic.
#pragma once

#include "framestate/frame_state.h"
#include "tarvo/dynamics/hermite5.h"
#include "tarvo/events/close_approach.h"
#include "tarvo/reductions/frames.h"
#include "tarvo/reductions/run_context.h"

#include <array>
#include <functional>
#include <vector>

namespace tarvo {

using Vector3 = std::array<long double, 3>;

// How the search frame is reached from the frame of the table (the equator
// of date of the frame epoch).
struct SearchFrame {
    enum class Equinox { ofDate, j2000, referenceYear } equinox = Equinox::ofDate;
    bool ecliptic = false;
    FrameState target; // referenceYear: the mean frame of that year
};

// The turn from the table's frame into the search frame over one step,
// linear in time: M(t) = m0 + (t - t0) rate. Of date means of the instant
// (the table stays in the frame of its frame epoch for a hundred days,
// while the equinox moves 0.14" a day), so the frame turns inside the step
// and the velocities carry that turn.
struct StepRotation {
    std::array<Vector3, 3> m0{};   // rows, at t0
    std::array<Vector3, 3> rate{}; // per day
    long double t0 = 0.0L;
};

/*
** stepRotation: the turn of `frame` over the step t0 .. t1 from the table
** (equator of date of `table`). `options`: the nutation of the frames of
** date, as the table has it.
*/
StepRotation stepRotation(const SearchFrame& frame, const FrameState& table, long double t0,
                          long double t1, const PrecessionTable& precession,
                          const FrameOptions& options);

// A vector of the table (equator of date of `table`) in the search frame.
Vector3 toSearchFrame(const SearchFrame& frame, const FrameState& table, Vector3 v);

// Where the centre is, in the table's frame and origin (absolute states).
struct CentreAt {
    int body = 3;             // the body at the centre, or -1 for a fixed point
    Vector3 fixedPoint{};     // body < 0: Gm, at rest
    bool topocentric = false; // the site is added to the Earth
};

// One event of a body in a step.
struct ExtremumEvent {
    int body = 0;
    long double p = 0.0L;
    long double time = 0.0L; // TT, days from J2000
    long double g0 = 0.0L;   // g at the step start (its sign names Max or Min)
    Vector3 r{}, v{};        // relative to the centre, search frame, at p
    bool doubtful = false;
};

/*
** What a body is seen from, and in which frame, inside one step.
** `site`: the geocentric site vector (equator of date) at a TT instant,
** used only when the centre is topocentric.
*/
struct SightGeometry {
    const StepEnds* step = nullptr; // absolute states
    CentreAt centre;
    const SearchFrame* frame = nullptr;
    const FrameState* table = nullptr;
    const StepRotation* rotation = nullptr; // null: the fixed turn of `frame` from `table`
    // Bodies that circle the Earth closely (the Moon): on their two-body
    // orbit about it (orbit_interpolation.h); empty: every body on its quintic.
    std::vector<char> aboutEarth;
    int earth = 3;
    std::vector<long double> muAboutEarth; // G (m_earth + m_body), Gm^3/day^2
    bool lightTime = true;
    bool aberration = false; // first order, by the centre's velocity (with light time only)
    std::function<InterpolatedState(long double t)> site;
};

// The body's position and velocity relative to the centre at the fraction
// p of the step, in the search frame; with light time the body is taken at
// p - tau, tau its light time in steps, and its direction is aberrated
// when `aberration` is set.
InterpolatedState relativeState(const SightGeometry& geometry, int body, long double p);

// Body i at the fraction p of the step, absolute (on its orbit about the
// Earth when `aboutEarth` says so).
InterpolatedState bodyAt(const SightGeometry& geometry, int i, long double p);

// The frame, centre and site motion of the page of `run` (the light time
// as the page has it), the bodies the table keeps about the Earth; `step`
// and `table` are left for the caller.
void pageGeometry(const RunContext& run, SearchFrame& frame, SightGeometry& geometry);
// The nutation of the frames of date of the page of `run`.
FrameOptions pageFrameOptions(const RunContext& run);

// True when times are shown in UT (topocentric with Delta-T on).
bool showsUniversalTime(const RunContext& run, const SightGeometry& geometry);

// One step of a run as a search looks along it: the step's absolute states,
// the turn of the search frame over the step, and the search's geometry
// pointing at both. What `look` gives is valid until its next call.
class StepSight {
  public:
    const SightGeometry& look(const SightGeometry& base, const SearchFrame& frame,
                              const StepEnds& step, const RunContext& run);

  private:
    TableStates start_, end_; // scratch of absoluteStates
    StepEnds whole_;
    StepRotation rotation_;
    SightGeometry geometry_;
};

} // namespace tarvo
