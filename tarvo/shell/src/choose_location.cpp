// Key G: the observing site.
#include "run_state.h"

#include "tarvo/reductions/site_files.h"
#include "tarvo/shell/location_dialog.h"

namespace tarvo::runloop {

// Key G: the observing site from an observatory code, the list of places or
// typed by hand; a new site is written to GEOLOC.CRD.
void chooseLocation(Run& r) {
    Session& s = r.s;
    ObserverSite site;
    site.latitude = static_cast<double>(s.site.latitude);
    site.longitude = static_cast<double>(s.site.longitude);
    site.heightGm = static_cast<double>(s.site.height);
    site.label = s.site.name;
    GeoSitesLoad places;
    if (auto file = findDataFile(s.dirs.cfg, "GEOSITES.DAT")) places = readGeoSites(*file);
    LocationFiles files;
    files.observatoryCodes =
        findDataFile(s.dirs.cfg, "OBSCODES.TXT").value_or(s.dirs.cfg / "OBSCODES.TXT");
    files.siteFile = s.dirs.cfg / "GEOLOC.CRD";
    files.imageDirectory = s.dirs.img;
    files.geoSites = &places.sites;
    clearScreen();
    if (selectLocation(site, files) != LocationOutcome::Changed) return;
    s.site.latitude = site.latitude;
    s.site.longitude = site.longitude;
    s.site.height = site.heightGm;
    s.site.name = site.label;
}

} // namespace tarvo::runloop
