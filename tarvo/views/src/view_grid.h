// The grid lines of the sky views: lines of constant latitude and longitude
// of the equator, the ecliptic, the horizon or the hour angle, drawn from
// point tables computed once.
#pragma once

#include "tarvo/views/graphics_view_settings.h"
#include "view_projector.h"
#include "view_scene.h"

namespace tarvo::views {

void drawGrid(const Scene& scene, const GraphicsViewSettings& view, const ViewProjector& projector);

} // namespace tarvo::views
