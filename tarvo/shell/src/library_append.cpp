// Keys * and @ of a run: the asteroids or the comet chosen from the
// libraries join the bodies already integrated. They are first carried
// from their catalogue epoch to the run's epoch in a side run of their own
// (the data set's major bodies, started at the catalogue epoch), then join
// the table heliocentric, in its frame and step units, and the run goes on
// from its epoch.
#include "run_state.h"

#include "fileio/text_util.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/frames.h"

namespace tarvo::runloop {

using namespace console::Color;

namespace {

// Everything of body `from` of one table but its state, into body `to` of another.
void copyBodyData(const BodyTable& a, int from, BodyTable& b, int to) {
    b.mass[to] = a.mass[from];
    b.name[to] = a.name[from];
    b.color[to] = a.color[from];
    b.massField[to] = a.massField[from];
    b.radius[to] = a.radius[from];
    b.isComet[to] = a.isComet[from];
    b.absMag[to] = a.absMag[from];
    b.relFactor[to] = a.relFactor[from];
    b.relFactorBase[to] = a.relFactorBase[from];
    b.objectNumber[to] = a.objectNumber[from];
    b.A1[to] = a.A1[from];
    b.A2[to] = a.A2[from];
    b.A3[to] = a.A3[from];
    b.tau[to] = a.tau[from];
    b.impulse[to] = a.impulse[from];
    b.nonGravFlag[to] = a.nonGravFlag[from];
    b.earthFigureFlag[to] = a.earthFigureFlag[from];
    b.collisionFlag[to] = a.collisionFlag[from];
}

void showLine(const std::string& text) {
    clearScreen();
    console::setColor(LightRed, Black);
    console::printAt(9, 2, "  " + text.substr(0, 76));
    pressAKey(11, "  Press a key to continue  ");
}

} // namespace

RunCommand addFromLibrary(Run& r, bool comet) {
    Session& s = r.s;
    if (s.integration.satelliteMode) {
        showLine("Library bodies are heliocentric: they cannot join a satellite run");
        return RunCommand::page;
    }
    const long double now = s.integration.epoch;
    Session sideSession = s;
    RunSnapshot arrived;
    BodyTable sideTable;
    int firstNew = 0;
    bool colours = false;
    std::string cometName;
    {
        Run side(sideSession);
        const bool chosen = comet ? selectComet(side, cometName) : selectAsteroids(side);
        if (!chosen || !startFromNamedFile(side, comet ? "COMET.TMP" : "AST.TMP", false))
            return RunCommand::page;
        // The new bodies follow the massive ones of the side run.
        firstNew = sideSession.bodies.layout.lastMassive + 1;
        if (firstNew > sideSession.bodies.layout.bodyCount) return RunCommand::page;
        jump(side, now);
        arrived = side.engine.snapshot();
        colours = side.engine.coloursInUse;
        sideTable = sideSession.bodies;
    }
    BodyTable& t = s.bodies;
    const int count = sideTable.layout.bodyCount - firstNew + 1;
    if (t.layout.bodyCount + count > t.maxBodies) {
        showLine("Room for " + std::to_string(t.maxBodies - t.layout.bodyCount) +
                 " more bodies only; " + std::to_string(count) + " were chosen");
        return RunCommand::page;
    }
    const int before = t.layout.bodyCount;
    for (int i = firstNew; i <= sideTable.layout.bodyCount; ++i) {
        const int k = ++t.layout.bodyCount;
        copyBodyData(sideTable, i, t, k);
        const RunBody& b = arrived.bodies[static_cast<std::size_t>(i)];
        t.posX[k] = b.position[0], t.posY[k] = b.position[1], t.posZ[k] = b.position[2];
        t.velX[k] = b.velocity[0], t.velY[k] = b.velocity[1], t.velZ[k] = b.velocity[2];
    }
    // Heliocentric J2000 km/s, as the state-file loader leaves them: into the
    // table's frame, step velocities, and the table's origin.
    const auto first = static_cast<std::size_t>(before + 1);
    const auto last = static_cast<std::size_t>(t.layout.bodyCount);
    if (!s.extraOptions.skipRotations) {
        rotateToDate(s.frame, first, last, t.posX.data(), t.posY.data(), t.posZ.data());
        rotateToDate(s.frame, first, last, t.velX.data(), t.velY.data(), t.velZ.data());
    }
    const long double stepScale = kmPerSecondToGmPerDay * s.integration.step *
                                  static_cast<long double>(s.integration.direction);
    for (int i = before + 1; i <= t.layout.bodyCount; ++i) {
        t.velX[i] *= stepScale, t.velY[i] *= stepScale, t.velZ[i] *= stepScale;
        t.posX[i] += t.posX[0], t.posY[i] += t.posY[0], t.posZ[i] += t.posZ[0];
        t.velX[i] += t.velX[0], t.velY[i] += t.velY[0], t.velZ[i] += t.velZ[0];
        t.stepMass[i] = t.mass[i] * gravitationalConstant * s.integration.step * s.integration.step;
    }
    if (colours) r.engine.coloursInUse = true;
    if (const std::string leftOut = leaveOutInsideAttractors(t, before + 1); !leftOut.empty()) {
        clearScreen();
        console::setColor(LightRed, Black);
        console::printAt(9, 2, "  Left out, starting inside a body already integrated:");
        console::printAt(10, 2, "  " + leftOut.substr(0, 76));
        pressAKey(12, "  Press a key to continue  ");
    }
    if (comet && !cometName.empty() && t.layout.bodyCount > before)
        setBodyName(s.bodies, t.layout.bodyCount, cometName);
    s.integration.derived = deriveConstants(t);
    r.engine.renewFrame(s.integration.epoch);
    return RunCommand::page;
}

} // namespace tarvo::runloop
