// The part of the eclipse and occultation searches that follows an event
// onto the ground: ECLIPSES.DAT, and for every overlap seen from somewhere
// on the Earth the track of the shadow's axis, sampled on a UT grid and
// written as one .OCC file per event.
//
// The points of a track lie up to some hours on either side of the event,
// outside the step it was found in; the tracker keeps the steps of the last
// day and waits for the steps still to come, so that every point is
// interpolated inside the step that holds it (never extrapolated, except
// for the points beyond the end of the run). A point is interpolated on the
// positions, velocities and accelerations of the four step ends around it
// (the step that holds it and one on either side): the quintic of a single
// step of 3 days leaves the Moon off by a kilometre or two, the polynomial
// of degree 11 through four ends by metres.
#pragma once

#include "tarvo/events/angular_approach.h"
#include "tarvo/events/event_search.h"
#include "tarvo/events/shadow_path.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace tarvo {

class OccultationTracker {
  public:
    // Topocentric (the run's centre is the site): SELOCC.DAT and TOPOCECL.DAT
    // instead of ECLIPSES.DAT, 400 points a track, and only the points inside
    // the geographic window of `windowDegrees` around the site.
    OccultationTracker(bool solarEclipses, bool topocentric, double windowDegrees)
        : solar_(solarEclipses), topocentric_(topocentric), window_(windowDegrees) {}

    // ECLIPSES.DAT (topocentric: SELOCC.DAT and TOPOCECL.DAT) created with
    // `header`; the .OCC files of an earlier search deleted. False with a
    // message when a file cannot be written.
    bool begin(RunContext& run, const std::vector<std::string>& header, std::string& message);

    // A recorded event of the search (occulting and occulted decided here:
    // the nearer body occults), with its record line.
    void event(const std::string& line, const AngularEvent& ev, const RunContext& run);

    // After the search has seen a step (absolute states): the step is kept
    // and the points that now lie inside a kept step are computed.
    void afterStep(const StepEnds& whole, const RunContext& run);

    // The end of the run: the points still waiting are taken from the
    // nearest kept step and the files written.
    void finish(const RunContext& run);

    int pathFiles() const { return pathFiles_; }

  private:
    struct KeptStep {
        TableStates start, end;
        StepEnds ends;
    };
    struct PathPoint {
        long double ut = 0.0L, tt = 0.0L;
        bool done = false;
        ShadowPoint point;
    };
    struct PendingPath {
        int occulting = 0, occulted = 0;
        std::string eventLine;
        long double deltaTSeconds = 0.0L;
        long double sigmaOccultingKm = 0.0L, sigmaOccultedKm = 0.0L;
        std::vector<PathPoint> points;
        // Topocentric: the smallest angle of the two bodies seen from the
        // site over the track's instants, and the sum of their semi-diameters
        // there (radians).
        long double siteSeparation = 10.0L, siteSemiDiameters = 0.0L;
    };

    // Position (Gm) of a body at TT tt, on the kept step ends around it.
    std::array<long double, 3> positionAt(int body, long double tt) const;
    // The kept step ends, in time order (each end once).
    void collectEnds();
    // True when the ends around tt are all kept (one end beyond its step).
    bool endsAroundKept(long double tt) const;
    void computeReady(const RunContext& run, bool all);
    void computePoint(PendingPath& path, PathPoint& point, const RunContext& run) const;
    static void appendLine(const std::filesystem::path& file, const std::string& line);
    void writePath(PendingPath& path, const RunContext& run);

    bool solar_;
    bool topocentric_;
    double window_; // degrees
    std::filesystem::path dir_, eclipses_, selocc_, topocecl_;
    std::deque<KeptStep> kept_;
    struct End {
        long double t;
        const TableStates* states;
    };
    std::vector<End> ends_; // of kept_, in increasing time
    std::vector<PendingPath> pending_;
    std::map<std::string, int> pairSerials_; // occultations of one pair in this search
    int counter_ = 0;
    int pathFiles_ = 0;
};

// The largest angle (degrees) at which the discs of the two bodies overlap
// as seen from some point of the Earth's surface (the Dl column).
long double overlapLimitDegrees(const RunContext& run, const AngularEvent& ev);

} // namespace tarvo
