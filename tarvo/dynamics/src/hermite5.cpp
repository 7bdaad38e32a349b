// hermite5: the quintic through both ends of a step (see hermite5.h).
#include "tarvo/dynamics/hermite5.h"

#include <cmath>

namespace tarvo {

HermitePoint hermite5(long double p, long double x0, long double x1, long double u0, long double u1,
                      long double a0, long double a1, long double& error) {
    const long double delta = x1 - x0;
    const long double A = u0;
    const long double B = a0 / 2.0L;
    const long double C = 10.0L * delta - 4.0L * u1 - 6.0L * u0 + a1 / 2.0L - 1.5L * a0;
    const long double D = u1 - a1 / 4.0L - A - 1.5L * (B + C);
    const long double E = delta - A - B - C - D;
    HermitePoint out;
    out.x = x0 + p * (A + p * (B + p * (C + p * (D + p * E))));
    out.u = A + p * (2.0L * B + p * (3.0L * C + p * (4.0L * D + 5.0L * p * E)));
    const long double q = 1.0L - p;
    error += std::fabs(E * p * p * p * q * q);
    return out;
}

InterpolatedState interpolateBody(const StepEnds& step, int i, long double p, long double& error) {
    const TableStates& s = *step.start;
    const TableStates& e = *step.end;
    const auto k = static_cast<std::size_t>(i);
    // The step runs from t0 to t1 = t0 + direction h: velocities per step
    // are taken along that sense, accelerations per step with h^2.
    const long double h = static_cast<long double>(step.direction) * step.h;
    const long double h2 = step.h * step.h;
    const std::vector<long double>* x[3][6] = {{&s.x, &e.x, &s.vx, &e.vx, &s.ax, &e.ax},
                                               {&s.y, &e.y, &s.vy, &e.vy, &s.ay, &e.ay},
                                               {&s.z, &e.z, &s.vz, &e.vz, &s.az, &e.az}};
    InterpolatedState out;
    for (int c = 0; c < 3; ++c) {
        const HermitePoint hp =
            hermite5(p, (*x[c][0])[k], (*x[c][1])[k], (*x[c][2])[k] * h, (*x[c][3])[k] * h,
                     (*x[c][4])[k] * h2, (*x[c][5])[k] * h2, error);
        out.r[static_cast<std::size_t>(c)] = hp.x;
        out.v[static_cast<std::size_t>(c)] = hp.u / h;
    }
    return out;
}

} // namespace tarvo
