#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/final_files.h"

namespace tarvo {

RunSnapshot snapshotOfTable(const BodyTable& table, long double julianDate, double nominalStep, long double step,
                            int direction, bool satelliteMode, long double astronomicalUnit,
                            const VectorRotation& toJ2000)
{
    RunSnapshot run;
    run.julianDate = julianDate;
    run.nominalStep = nominalStep;
    run.lastMajor = table.layout.lastMajor;
    run.earthIndex = table.layout.earthIndex;
    run.moonIndex = table.layout.noMoon ? table.maxBodies : table.layout.moonIndex;
    run.satelliteMode = satelliteMode;
    run.astronomicalUnit = astronomicalUnit;
    const long double toKmPerSecond = 1 / (kmPerSecondToGmPerDay * direction * step);
    const int n = table.layout.bodyCount;
    for (int i = 0; i <= n; ++i) {
        RunBody b;
        b.name = bodyName(table, i);
        b.colour = table.color[i];
        b.mass = table.mass[i];
        b.massField = table.massField[i];
        b.radius = table.radius[i];
        b.isComet = table.isComet[i] != suiteFalse;
        b.absoluteMagnitude = table.absMag[i];
        b.relFactorBase = table.relFactorBase[i];
        b.objectNumber = table.objectNumber[i];
        b.A1 = table.A1[i], b.A2 = table.A2[i], b.A3 = table.A3[i];
        b.tau = table.tau[i];
        b.impulse = table.impulse[i];
        const bool geocentric = (i == run.moonIndex) || (satelliteMode && i > run.lastMajor);
        const long double sun = geocentric ? 0 : 1;
        b.position = {table.posX[i] - sun * table.posX[0], table.posY[i] - sun * table.posY[0],
                      table.posZ[i] - sun * table.posZ[0]};
        b.velocity = {(table.velX[i] - sun * table.velX[0]) * toKmPerSecond,
                      (table.velY[i] - sun * table.velY[0]) * toKmPerSecond,
                      (table.velZ[i] - sun * table.velZ[0]) * toKmPerSecond};
        if (toJ2000) {
            b.position = toJ2000(b.position);
            b.velocity = toJ2000(b.velocity);
        }
        run.bodies.push_back(std::move(b));
    }
    return run;
}

}  // namespace tarvo
