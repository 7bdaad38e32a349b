// siteFromGeoSite, siteFromTypedValues: the observer site from the answers
// of the location dialog.
#include "tarvo/reductions/site_files.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo {

namespace {
constexpr double kDegrees = 180.0 / std::numbers::pi;
}

ObserverSite siteFromGeoSite(const GeoSite& s) {
    ObserverSite site;
    site.latitude = s.latitudeDeg / kDegrees;
    site.longitude = s.longitudeDeg / kDegrees;
    site.heightGm = s.heightM * 1e-9;
    site.label = "Loc: " + s.name;
    return site;
}

ObserverSite siteFromTypedValues(double latitudeDeg, double longitudeDeg, double heightM) {
    ObserverSite site;
    site.latitude = std::clamp(latitudeDeg, -90.0, 90.0) / kDegrees;
    double lon = std::remainder(longitudeDeg, 360.0);
    if (!std::isfinite(lon)) lon = 0.0;
    site.longitude = lon / kDegrees;
    site.heightGm = std::clamp(heightM, -12000.0, 99999.0) * 1e-9;
    site.label = "Custom Site";
    return site;
}

} // namespace tarvo
