// pickLocationOnMap: the observing site picked with the mouse on the world
// map (a graphics window of its own; modal).
#pragma once

#include "tarvo/reductions/site_files.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace tarvo {

struct LocationPickerInput {
    std::filesystem::path imageDirectory;        // IMG of the data tree
    const std::vector<GeoSite>* sites = nullptr; // the location library
    ObserverSite current;                        // a custom site keeps its height
};

/*
** pickLocationOnMap: the location picker.
**
** Opens the graphics window over the console (all columns, the rows but
** two), shows the whole world with its grid and, on the two console rows
** below, the keys and the cursor's latitude and longitude with the nearest
** site of the library and its distance. A left click zooms in around the
** point (twice the scale of the big map, or of the medium one when the big
** one is not installed) and, zoomed, back out; a right click takes the
** point under the cursor as "Custom Site"; Enter takes the nearest site
** shown ("Loc: " + its name, its coordinates); Esc leaves without a change.
** The window is closed on the way out; the caller reopens its own.
**
** Returned: the new site, or nullopt.
*/
std::optional<ObserverSite> pickLocationOnMap(const LocationPickerInput& input);

} // namespace tarvo
