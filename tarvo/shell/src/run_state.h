// The state of one run from the main menu, shared by the files of the run
// loop: the session, the computing side (RunEngine), the display-only
// switches, file output, the open view and the searches that watch the
// steps. Internal to the shell.
#pragma once

#include "console/console.h"
#include "tarvo/events/collision_trap.h"
#include "tarvo/events/event_search.h"
#include "tarvo/shell/file_output.h"
#include "tarvo/shell/run_engine.h"
#include "tarvo/shell/run_settings.h"
#include "tarvo/shell/session.h"
#include "tarvo/views/run_view.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::runloop {

inline constexpr int kRunColumns = 108;
inline constexpr long double kJ2000 = 2451545.0L;
// Element files are converted into this state file of the working directory.
inline constexpr const char* kConvertedStateFile = "DAT.TMP";

// What the step loop does after a key, a dialog or a view.
enum class RunCommand { none, step, page, endRun };

// Hands every accepted step to the searches that watch the run, in the
// order they were started; installed on the integrator while there is one.
class StepWatch : public StepHook {
  public:
    explicit StepWatch(Session& session) : s_(session) {}
    void afterAcceptedStep(const StepEnds& step) override;
    // The searches shown every step, and the context they are given.
    std::vector<EventSearch*> searches;
    RunContext* context = nullptr;
    bool stopRequested = false; // a search said it is done

  private:
    Session& s_;
};

struct Run {
    Session& s;
    RunEngine engine;
    RunSettings settings;
    FileOutputSettings output;
    long outputPolls = 0;
    std::unique_ptr<RunView> view; // the open view, replacing the page
    StepWatch watch;
    std::string jumpNote;   // how far the last jump went, shown on the next page
    int savedMaxBodies = 0; // the table's capacity before a satellite run, 0 when unchanged
    // The collision trap while extra option I is on, and the context it is
    // given when no search run lends its own.
    std::unique_ptr<CollisionTrap> trap;
    std::optional<RunContext> trapContext;
    explicit Run(Session& session) : s(session), engine(session), watch(session) {
        settings.precession = s.toggles.precession ? PrecessionState::on : PrecessionState::off;
        if (!s.deltaTTable.empty()) settings.deltaT.observed = &s.deltaTTable;
    }
    // A satellite run's capacity of 500 bodies ends with the run.
    ~Run() {
        if (savedMaxBodies > 0) s.bodies.maxBodies = savedMaxBodies;
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
};

// ---- screens shared by the run's dialogs (run_screen.cpp)
void clearScreen();
void pressAKey(int row, const std::string& text);
void showError(const std::string& text);
void notYet(const char* what);
int yearOf(long double t);
bool hasMoon(const Session& s);

// What the searches and views see of the run (run_context.cpp).
RunContext runContext(Run& r);

// ---- the page (run_page.cpp)
void drawPage(Run& r);
void dumpElements(Run& r);

// ---- file output (file_output_dialog.cpp, record_output.cpp)
std::vector<std::string> bodyNames(const Session& s);
void fileOutputDialog(Run& r);
void writeRecords(Run& r);

// ---- stepping (run_stepping.cpp)
void stepPage(Run& r);
void jump(Run& r, long double target);
// "12.5 y jumped in 3.20 s": how far a jump went, and in what wall-clock time.
std::string jumpNoteText(long double days, double seconds);
// Integrates to `target` without the page, with the progress display under
// `title`; Esc twice stops it, and so does a search that is done.
void integrateShowingProgress(Run& r, long double target, const std::string& title);

// ---- keys (run_actions.cpp, key_action_screen.cpp, elements_page_input.cpp)
RunCommand act(Run& r, int rawKey);
RunCommand keyActionScreen(Run& r);
RunCommand elementsPageInput(Run& r, const console::Event& e);
void showRunHelp(const Run& r, char key);

// ---- dialogs of the run, one file each
void jumpToDate(Run& r);
void hidePlanets(Run& r);
void stepScaling(Run& r);
void referenceEquinoxDialog(Run& r);
void chooseCentre(Run& r);
void chooseLocation(Run& r);
// Keys Y and I: a search run from the current epoch to a final date (search_run.cpp).
RunCommand runSearch(Run& r, const SearchOpening& opening);
// Key W: the view opened by the key replaces the page (run_view_key.cpp).
RunCommand openView(Run& r, const ViewOpening& opening);

// ---- the collision trap and the conservation log (collision_trap_link.cpp)
// Starts the trap when option I is on (the system first moved to its
// barycentre) and stops it when it is off; after the extra options.
void syncCollisionTrap(Run& r);
// ENERMOM.LOG created anew with its header, when a run starts.
void openConservationLog();

// ---- start and end of a run (run_start.cpp)
bool askStartEpoch(Run& r, long double& t);
bool startFromStateFile(Run& r, int choice);
// The same for a file already chosen (the libraries' AST.TMP and COMET.TMP).
bool startFromNamedFile(Run& r, const std::string& name, bool full);
// The asteroid and comet dialogs: AST.TMP with FOUNDAST.LST, or COMET.TMP, in
// the working directory; false when nothing was chosen or a library is missing.
bool selectAsteroids(Run& r);
// The comet dialog: COMET.TMP written; catalogueName is the comet's name as
// the library has it (the state file's name field writes "/" as "_").
bool selectComet(Run& r, std::string& catalogueName);
// Keys * and @ of a run: the bodies chosen, carried to the run's epoch,
// join the table (library_append.cpp).
RunCommand addFromLibrary(Run& r, bool comet);
// Minor bodies from `firstNew` on that start inside an attracting body are
// removed; returns their names (run_start.cpp).
std::string leaveOutInsideAttractors(BodyTable& t, int firstNew);
// A geocentric satellite run holds 500 bodies (the table grows when smaller).
void useSatelliteCapacity(Run& r);

} // namespace tarvo::runloop
