// What the event searches and the graphics views see of a run: the
// process-wide state that the run loop owns, and the display settings the
// keys of the run have chosen. The run loop builds one before it starts a
// search or a view and renews it whenever a setting changes; the searches
// and views never see the shell itself.
#pragma once

#include "fileio/data_tree.h"
#include "framestate/frame_state.h"
#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/force_coefficients.h"
#include "tarvo/dynamics/integration_state.h"
#include "tarvo/libraries/star_catalogue.h"
#include "tarvo/reductions/ephemeris_tables.h"
#include "tarvo/reductions/frames.h"
#include "tarvo/reductions/places.h"
#include "tarvo/reductions/time_scales.h"

namespace tarvo {

struct RunContext {
    RunContext(BodyTable& b, IntegrationState& i, const FrameState& f, const ForceCoefficients& c,
               const PrecessionTable& p, const DataDirectories& d)
        : bodies(b), integration(i), frame(f), force(c), precessionTable(p), dirs(d) {}

    // The table and the integration state: a search that merges or removes
    // bodies changes them (and says so, StepOutcome::tableChanged).
    BodyTable& bodies;
    IntegrationState& integration;
    const FrameState& frame;                // the table is in the equator of date of frame.epoch
    const ForceCoefficients& force;         // the AU (Gm) of the data set, the Earth's figure
    const PrecessionTable& precessionTable; // PRECDATN.BIN
    const DataDirectories& dirs;            // the tree; output files go to the working directory

    ObserverSite site;               // the observer of topocentric places (radians, Gm)
    PageSettings page;               // centre, coordinates, corrections as the page shows them
    CentreSelection centre;          // the centre of the page
    DeltaTSettings deltaT;           // the Delta-T mode of the run
    int helpLanguage = 0;            // 0 English, 1 Italian, 2 German
    bool ecliptic = false;           // ecliptic output coordinates (else equatorial)
    long double libraryEpoch = 0.0L; // days from J2000 of the asteroid library (0: none read)
    const StarTable* stars = nullptr; // the star catalogue as loaded (never null in a run)
    // What the graphics view shows of the run's own settings.
    double stepScaleFactor = 1.0; // pages are this many nominal steps apart
    int timeUnit = 0;             // index of the time-unit table (day, hr, min, sec, yrJ)
    bool backStep = false;        // the next steps go backward
    bool dateInImages = false;    // TARVO.CFG "Date in Images"
    bool polarView = false;       // TARVO.CFG "Polar_View": the sky view starts polar
};

} // namespace tarvo
