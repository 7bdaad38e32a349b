// captureStepEnds: the states at both ends of an accepted step, for the
// step hook.
#include "tarvo/dynamics/step_hook.h"

#include "tarvo/dynamics/integrator.h"

namespace tarvo {

void TableStates::resize(std::size_t n) {
    for (auto* v : {&x, &y, &z, &vx, &vy, &vz, &ax, &ay, &az}) v->resize(n);
}

void captureStepEnds(const BodyTable& t, const IntegrationState& s, const Integrator& integrator,
                     long double t0, long double h, TableStates& start, TableStates& end,
                     StepEnds& ends) {
    const std::size_t n = static_cast<std::size_t>(t.layout.bodyCount) + 1;
    start.resize(n);
    end.resize(n);
    const StepControl& c = integrator.control;
    const Accelerations& a0 = integrator.work.start;
    const Accelerations& a1 = integrator.endOfStep;
    const long double dir = static_cast<long double>(s.direction);
    const long double perStartStep = 1.0L / (dir * h);      // saved velocities were scaled for h
    const long double perTableStep = 1.0L / (dir * s.step); // the table's for the next step
    const long double perH2 = 1.0L / (h * h);
    for (std::size_t i = 0; i < n; ++i) {
        start.x[i] = c.savedX[i];
        start.y[i] = c.savedY[i];
        start.z[i] = c.savedZ[i];
        start.vx[i] = c.savedVX[i] * perStartStep;
        start.vy[i] = c.savedVY[i] * perStartStep;
        start.vz[i] = c.savedVZ[i] * perStartStep;
        start.ax[i] = a0.x[i] * perH2;
        start.ay[i] = a0.y[i] * perH2;
        start.az[i] = a0.z[i] * perH2;
        end.x[i] = t.posX[i];
        end.y[i] = t.posY[i];
        end.z[i] = t.posZ[i];
        end.vx[i] = t.velX[i] * perTableStep;
        end.vy[i] = t.velY[i] * perTableStep;
        end.vz[i] = t.velZ[i] * perTableStep;
        end.ax[i] = a1.x[i] * perH2;
        end.ay[i] = a1.y[i] * perH2;
        end.az[i] = a1.z[i] * perH2;
    }
    ends.t0 = t0;
    ends.h = h;
    ends.direction = s.direction;
    ends.t1 = t0 + dir * h;
    ends.bodyCount = t.layout.bodyCount;
    ends.shortened = h < s.nominalStep * (1.0L - 1e-12L);
    ends.start = &start;
    ends.end = &end;
}

} // namespace tarvo
