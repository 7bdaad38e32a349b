// The input queue the console library reads through PictorHostPollEvent.
#pragma once
#include "pictor_host.h"

namespace pictor {

// Takes every pending screen event: pointer moves update the windows'
// mouse state, keys and clicks join the host queue.
void pumpHostEvents();

// Takes the oldest queued key or click; false when none is queued.
bool takeHostEvent(PictorHostEvent& event);

} // namespace pictor
