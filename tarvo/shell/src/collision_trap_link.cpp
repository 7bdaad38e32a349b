// The collision trap joins the run's step watch while extra option I is
// on; the conservation log is created when a run starts.
#include "run_state.h"

#include "tarvo/dynamics/collisions.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace tarvo::runloop {

void openConservationLog() {
    std::ofstream(std::filesystem::current_path() / "ENERMOM.LOG", std::ios::binary)
        << kConservationLogHeader << "\r\n";
}

void syncCollisionTrap(Run& r) {
    Session& s = r.s;
    const bool wanted = s.extraOptions.trapCollisions != 0;
    auto& list = r.watch.searches;
    if (wanted && !r.trap) {
        if (!r.trapContext) r.trapContext.emplace(runContext(r));
        moveToBarycentre(s.bodies, s.integration, s.extraOptions.minorPerturb != 0);
        r.trap = std::make_unique<CollisionTrap>(
            std::filesystem::current_path(),
            static_cast<long double>(s.extraOptions.ejectionCutoffGm));
        std::string message;
        if (r.trap->begin(*r.trapContext, message) &&
            s.integration.collisionEvent) // bodies went at the start
            s.integration.derived = deriveConstants(s.bodies);
        list.insert(list.begin(), r.trap.get());
        if (!r.watch.context) r.watch.context = &*r.trapContext;
        r.engine.integrator.stepHook = &r.watch;
    } else if (wanted) {
        r.trap->setCutoff(static_cast<long double>(s.extraOptions.ejectionCutoffGm));
    } else if (r.trap) {
        r.trap->finish(*r.trapContext);
        list.erase(std::remove(list.begin(), list.end(), r.trap.get()), list.end());
        r.trap.reset();
        if (r.watch.context == &*r.trapContext) r.watch.context = nullptr;
        if (list.empty()) r.engine.integrator.stepHook = nullptr;
    }
}

} // namespace tarvo::runloop
