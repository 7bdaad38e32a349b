#include "datasets/integration_driver.h"

#include <cmath>

namespace datasets {

bool integrateTo(tarvo::BodyTable& table, Integration& run, long double target, long double nominalStep,
                 std::string& message)
{
    tarvo::IntegrationState& s = run.state;
    // Rounding of the epoch sum stays far below a millionth of a day.
    const long double slack = 1e-9L;
    while (s.direction * (target - s.epoch) > slack) {
        const long double remaining = std::fabs(target - s.epoch);
        const long double h = remaining < nominalStep - slack ? remaining : nominalStep;
        if (h != s.step) {
            s.previousStep = s.step;
            s.step = h;
            tarvo::rescaleStep(table, s);
        }
        s.nominalStep = h;
        const tarvo::IntegrateResult r = tarvo::advanceNominalStep(table, s, run.model, run.integrator);
        if (r.status != tarvo::IntegrateStatus::ok) {
            message = r.message.empty() ? "the integration failed" : r.message;
            return false;
        }
        ++run.steps;
    }
    s.epoch = target;
    s.epochCarry = 0;
    return true;
}

std::array<long double, 3> trueVelocity(const tarvo::BodyTable& table, const tarvo::IntegrationState& state, int i)
{
    const long double scale = 1.0L / (state.direction * state.step);
    return {table.velX[i] * scale, table.velY[i] * scale, table.velZ[i] * scale};
}

}  // namespace datasets
