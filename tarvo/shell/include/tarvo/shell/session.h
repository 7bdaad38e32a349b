// The process-wide state of tarvo, created at start-up and alive until the
// program ends: the data directories, the body table and integration state,
// the title lines, the clock settings and the observing site. Passed by
// reference to every screen; the run loop owns the order of updates.
#pragma once

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/integration_state.h"
#include "tarvo/libraries/star_catalogue.h"
#include "tarvo/reductions/delta_t_table.h"
#include "tarvo/reductions/frames.h"
#include "tarvo/reductions/iau_reductions.h"
#include "tarvo/shell/command_line.h"
#include "tarvo/shell/configuration.h"
#include "fileio/data_tree.h"
#include "tarvo/shell/extra_options.h"
#include "tarvo/shell/startup_files.h"

#include <array>
#include <string>

namespace tarvo {

// Units in which durations are shown and typed.
struct TimeUnit {
    const char* label;  // 4 characters
    long double perDay; // units per day
};
inline constexpr std::array<TimeUnit, 5> kTimeUnits{{
    {"day ", 1.0L},
    {"hr  ", 24.0L},
    {"min ", 1440.0L},
    {"sec ", 86400.0L},
    {"yrJ ", 1.0L / 365.25L},
}};
inline constexpr std::array<const char*, 7> kWeekdayLabels{"Sun", "Mon", "Tue", "Wed",
                                                           "Thu", "Fri", "Sat"};

// The elements page's own switches (its key menu), kept while the program runs.
struct ElementPageSettings {
    int display = 0;                  // 0 a, ϖ, M0; 1 q, Tisserand, JD-Tp; 2 a, MOID; 3 R, V
    int plane = 0;                    // -1 equator, 0 ecliptic, 1 centre's orbit, 2 mean plane
    bool equinoxOfDate = false;       // ecliptic of the date (or the reference year), not J2000
    bool earthMoonBarycentre = false; // the Earth's row shows the Earth-Moon barycentre
};

struct ObservingSite {
    long double longitude = 0; // rad, east positive
    long double latitude = 0;  // rad, geodetic
    long double height = 0;    // Gm above the ellipsoid
    std::string name;
};

struct Session {
    DataDirectories dirs;
    CommandLine commandLine;
    BodyTable bodies;
    IntegrationState integration;
    TitleLines titleLines;
    double zoneOffsetHours = 0; // local time minus UT
    ObservingSite site;
    DisplayToggles toggles;
    ExtraOptions extraOptions;
    NonGravLawParameters nonGravLaw;
    PrecessionTable precessionTable; // PRECDATN.BIN
    NutationTable nutationTable;     // NUT2000A.BIN (empty: the series itself)
    DeltaTTable deltaTTable;         // DELTAT.TAB (empty: Auto uses the polynomials alone)
    FrameState frame;
    std::string configurationWarning; // shown once after the title screen
    bool keepConfigurationCopy = false; // TARVO.CFG was not read whole: copy it before saving
    std::string dataWarning;          // likewise, for optional data files that could not be read
    ElementPageSettings elementPage;  // the elements page's switches, kept between runs
    StarTable stars;                  // the star catalogue as loaded last (start-up, menu 0)
    std::int32_t librarySource = 0;   // asteroid library: -1 TwinLib, 0 Average, 1 Astorb, 2 AstDys
    int menuDataSet = 0;              // the data set last chosen in the menu (1..9), 0 before any
    // Wall-clock seconds between two checkpoints of a run: 300, or the value
    // of TARVO_CHECKPOINT_SECONDS (for tests, which cannot wait 300 s).
    double checkpointSeconds = 300;
    // Records of the star catalogue files STARS3D.BIN, STNAMS3D.BIN and
    // STDES3D.BIN (0 when absent), shown by the last-resort handler.
    std::array<long long, 3> starRecordCounts{};
};

} // namespace tarvo
