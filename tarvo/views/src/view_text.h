// The console text of the graphics view: the key menu (key, action,
// status), the heading line above it and the status line below it.
#pragma once

#include "tarvo/reductions/run_context.h"
#include "tarvo/views/graphics_view_settings.h"
#include "view_scene.h"

#include <string>
#include <vector>

namespace tarvo::views {

// The key that writes star designations: Space stays "Next Step".
inline constexpr char kStarDesignationKey = ';';

struct MenuLine {
    std::string key; // "W", "Esc"
    std::string label;
    std::string status; // "On  ", "Off ", a level, or ""
};

std::vector<MenuLine> keyMenu(const GraphicsViewSettings& view, const RunContext& run);
// " W   Gr. Window  On  "
std::string menuLineText(const MenuLine& line);

// " Prec. Nut. Aber. LTime " ... "Centric View" / "  HelioCentric View   ".
std::string headingLine(const RunContext& run, const Scene& scene);

// Date and time, " Step:" ..., "V:" ..., " *m" ..., ":" step count, the site.
std::string statusLine(const RunContext& run, const GraphicsViewSettings& view, const Scene& scene,
                       long stepCount);

// Prints heading, menu and status into the console grid (108 x 27 during a
// run); a console of too few rows gets the one-line notice instead.
void printViewText(const RunContext& run, const GraphicsViewSettings& view, const Scene& scene,
                   long stepCount);

} // namespace tarvo::views
