// The collision trap of a run (extra option I): after every accepted step
// it merges or flags the bodies that touch, flags the body that escapes,
// removes them, keeps the system on its barycentre after an ejection, and
// appends each event to COLLIS.LOG or EJECTED.LOG in the working directory.
// It watches the ordinary stepping of the run (watchesEveryStep) rather
// than running as a search to a final date; the checkpoint reads the event
// flag it leaves in the integration state and copies itself to an EJEC file.
//
// Also the lines of ENERMOM.LOG, the conservation log every checkpoint
// appends to.
#pragma once

#include "tarvo/dynamics/collisions.h"
#include "tarvo/events/event_search.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tarvo {

inline constexpr const char* kCollisionLogHeader = "     TJ2000          #1      #2   ";
inline constexpr const char* kEjectionLogHeader = "     TJ2000          #";
inline constexpr const char* kConservationLogHeader =
    "      T (Jy)     Barycenter        Tot.Energy           Tot.Ang.Mom.              Mx      "
    "          My                Mz";

class CollisionTrap : public EventSearch {
  public:
    // `directory`: where COLLIS.LOG and EJECTED.LOG are appended to;
    // `cutoff`: ejection distance from the Sun, Gm (noEjectionCutoff: none).
    CollisionTrap(std::filesystem::path directory, long double cutoff)
        : directory_(std::move(directory)), cutoff_(cutoff) {}
    std::string title() const override { return "Trap Collisions"; }
    // Checks the states the run starts from.
    bool begin(RunContext& run, std::string& message) override;
    StepOutcome afterStep(const StepEnds& step, RunContext& run) override;
    SearchSummary finish(RunContext& run) override;
    bool watchesEveryStep() const override { return true; }
    bool changesTheTable() const override { return true; }

    void setCutoff(long double cutoff) { cutoff_ = cutoff; }
    int collisions() const { return collisions_; }
    int ejections() const { return ejections_; }

    // The trap on the table as it stands; tableChanged when bodies went.
    StepOutcome check(RunContext& run);

  private:
    void append(const char* file, const std::string& line);
    std::filesystem::path directory_;
    long double cutoff_;
    int collisions_ = 0, ejections_ = 0;
    std::string problem_; // the first log that could not be written
};

// One line of COLLIS.LOG / EJECTED.LOG (without the line end); epoch in
// days from J2000.
std::string collisionLogLine(long double epoch, const CollisionEvent& e);
std::string ejectionLogLine(long double epoch, const EjectionEvent& e);

// One line of ENERMOM.LOG (without the line end): epoch in days from J2000
// (written in Julian years), the barycentre's distance from the origin, the
// energy, the angular momentum's magnitude and components.
std::string conservationLogLine(long double epoch, const ConservationQuantities& q);

} // namespace tarvo
