// The known site nearest a point of the world map.
#pragma once

#include "tarvo/reductions/site_files.h"

#include <optional>
#include <vector>

namespace tarvo {

struct NearestSite {
    std::size_t index = 0;   // into the site list
    double distanceKm = 0.0; // 111.11 km per degree
};

/*
** findNearestSite: the site of the list nearest (lon, lat).
**
** Given:   sites     the location library (degrees, east and north positive)
**          lon, lat  the point (degrees)
** Returned: the site with the smallest dλ² + dφ², where dλ is the
**          difference of longitude taken the short way round (at most 180
**          degrees) times cos φ of the point, and dφ the difference of
**          latitude; its distance √(dλ² + dφ²) × 111.11 km
** Notes:   a flat-map distance, good to a few per cent for sites within a
**          few hundred kilometres, which is what the picker shows; nullopt
**          for an empty list.
*/
std::optional<NearestSite> findNearestSite(const std::vector<GeoSite>& sites, double lon,
                                           double lat);

} // namespace tarvo
