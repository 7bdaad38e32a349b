#include "tarvo/views/nearest_site.h"

#include <cmath>
#include <numbers>

namespace tarvo {

std::optional<NearestSite> findNearestSite(const std::vector<GeoSite>& sites, double lon,
                                           double lat) {
    constexpr double kKmPerDegree = 111.11;
    const double shrink = std::cos(lat * std::numbers::pi / 180.0);
    std::optional<NearestSite> best;
    double bestSquare = 100000.0;
    for (std::size_t i = 0; i < sites.size(); ++i) {
        double dLon = std::fabs(lon - sites[i].longitudeDeg);
        if (dLon > 180) dLon = 360 - dLon;
        dLon *= shrink;
        const double dLat = std::fabs(lat - sites[i].latitudeDeg);
        const double square = dLon * dLon + dLat * dLat;
        if (square < bestSquare) {
            bestSquare = square;
            best = NearestSite{i, std::sqrt(square) * kKmPerDegree};
        }
    }
    return best;
}

} // namespace tarvo
