// The collision trap of a run and the lines of its logs.
#include "tarvo/events/collision_trap.h"

#include "fileio/format_mask.h"

#include <cmath>
#include <fstream>

namespace tarvo {

std::string collisionLogLine(long double epoch, const CollisionEvent& e) {
    return formatMask("###########.###  ", epoch) + formatMask("###### ", e.i) +
           formatMask("###### ", e.j) + "   " + e.nameI + " " + e.nameJ;
}

std::string ejectionLogLine(long double epoch, const EjectionEvent& e) {
    return formatMask("###########.####  ", epoch) + formatMask("###### ", e.k) + " " + e.name;
}

std::string conservationLogLine(long double epoch, const ConservationQuantities& q) {
    const Vector3& b = q.barycentre;
    const long double distance = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    std::string line = formatMask("###########.###", epoch / 365.25L) +
                       formatMask(" ##.####^^^^ ", distance) +
                       formatMask(" ##.##############^^^^ ", q.energy) +
                       formatMask(" ##.##############^^^^", q.angularMomentumMagnitude());
    for (long double c : q.angularMomentum) line += formatMask(" ##.##############", c);
    return line;
}

void CollisionTrap::append(const char* file, const std::string& line) {
    std::ofstream out(directory_ / file, std::ios::binary | std::ios::app);
    out << line << "\r\n";
    if (!out && problem_.empty()) problem_ = std::string("cannot write ") + file;
}

bool CollisionTrap::begin(RunContext& run, std::string&) {
    check(run);
    return true;
}

StepOutcome CollisionTrap::check(RunContext& run) {
    const bool minorPerturb = run.integration.options.minorPerturb;
    const TrapResult r =
        trapCollisions(run.bodies, run.integration, CollisionSettings{minorPerturb, cutoff_});
    if (!r.event) return StepOutcome::carryOn;
    const long double t = run.integration.epoch;
    for (const CollisionEvent& e : r.collisions) append("COLLIS.LOG", collisionLogLine(t, e));
    for (const EjectionEvent& e : r.ejections) append("EJECTED.LOG", ejectionLogLine(t, e));
    collisions_ += static_cast<int>(r.collisions.size());
    ejections_ += static_cast<int>(r.ejections.size());
    removeFlaggedBodies(run.bodies, run.integration, minorPerturb);
    run.integration.collisionEvent = true;
    return StepOutcome::tableChanged;
}

StepOutcome CollisionTrap::afterStep(const StepEnds&, RunContext& run) {
    // The table holds the end of the step, which is the start of the next.
    return check(run);
}

SearchSummary CollisionTrap::finish(RunContext&) {
    SearchSummary s;
    s.events = collisions_ + ejections_;
    s.message = problem_;
    return s;
}

} // namespace tarvo
