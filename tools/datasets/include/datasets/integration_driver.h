// Driving the suite's integrator to a given epoch, as a run's jump does:
// whole nominal steps and a shorter last step.
#pragma once

#include <string>

#include "tarvo/dynamics/body_table.h"
#include "tarvo/dynamics/force_model.h"
#include "tarvo/dynamics/integration_state.h"
#include "tarvo/dynamics/integrator.h"

namespace datasets {

// Everything one integration needs besides the body table.
struct Integration {
    tarvo::IntegrationState state;
    tarvo::ForceModel model;
    tarvo::Integrator integrator;
    long steps = 0;  // driver steps taken
};

/*
** integrateTo: advances the table from state.epoch to `target` (days from
** J2000) in the direction the integration was begun with, by steps of
** `nominalStep` days and one shorter step for what remains.
** Returned: false with the integrator's message when a step fails.
*/
bool integrateTo(tarvo::BodyTable& table, Integration& run, long double target, long double nominalStep,
                 std::string& message);

// True (unscaled) velocity of body i in Gm/day, relative to nothing.
std::array<long double, 3> trueVelocity(const tarvo::BodyTable& table, const tarvo::IntegrationState& state, int i);

}  // namespace datasets
