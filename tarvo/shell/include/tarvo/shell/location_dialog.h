// selectLocation: the location dialog (key G of the run loop and the menu).
#pragma once

#include "tarvo/reductions/site_files.h"

#include <filesystem>
#include <vector>

namespace tarvo {

struct LocationFiles {
    std::filesystem::path observatoryCodes;         // CFG/OBSCODES.TXT
    std::filesystem::path siteFile;                 // CFG/GEOLOC.CRD
    const std::vector<GeoSite>* geoSites = nullptr; // read at start-up
    std::filesystem::path imageDirectory;           // IMG: the world maps of the picker
};

enum class LocationOutcome { Kept, Changed };

/*
** selectLocation: the location dialog.
**
** Shows the current site and asks " Accept ? (Y or N)"; otherwise offers an
** observatory code, the location library, manual input or a pick on the
** world map.  A new site is
** written to GEOLOC.CRD and replaces `site`; Esc at any prompt keeps the
** current site.  A file that cannot be read or written is reported on the
** screen and nothing is changed.
*/
LocationOutcome selectLocation(ObserverSite& site, const LocationFiles& files);

} // namespace tarvo
