// The orthogonal table: positions, distance and light time; velocities,
// speed and radial velocity.
#include "tarvo/reductions/ephemeris_tables.h"
#include "fileio/format_mask.h"

#include <cmath>

namespace tarvo {

namespace {
constexpr double kGmPerDayToKmPerSecond = 1.0 / 0.0864;
double length(const PlaceVector& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
} // namespace

std::string orthogonalHeader(bool au) {
    return au ? "Body          X (AU)         Y (AU)         Z (AU)         R (AU)    L-time (s)"
              : "Body          X (Gm)         Y (Gm)         Z (Gm)         R (Gm)    L-time (s)";
}

std::string orthogonalRow(const OrthogonalRow& row, bool au, double astronomicalUnitGm) {
    const char* mask = au ? " ####.#########" : " ######.#######";
    const double scale = au ? 1.0 / astronomicalUnitGm : 1.0;
    const double r = length(row.position);
    std::string line = row.name + " ";
    for (double c : row.position) line += formatMask(mask, c * scale);
    line += formatMask(mask, r * scale);
    line += formatMask(" ########.###", r / kSpeedOfLightGmPerDay * 86400.0);
    return line;
}

std::string orthogonalVelocityHeader(bool au) {
    return au ? "Body        Vx (km/s)     Vy (km/s)     Vz (km/s)     |V| (km/s)     Vr (km/s) "
              : "Body        Vx (Gm/d)     Vy (Gm/d)     Vz (Gm/d)     |V| (Gm/d)     Vr (Gm/d) ";
}

std::string orthogonalVelocityRow(const OrthogonalRow& row, bool au) {
    const double scale = au ? kGmPerDayToKmPerSecond : 1.0;
    const double r = length(row.position);
    const double radial = r > 0 ? (row.position[0] * row.velocity[0] + row.position[1] * row.velocity[1] +
                                   row.position[2] * row.velocity[2]) / r
                                : 0.0;
    std::string line = row.name + " ";
    for (double c : row.velocity) line += formatMask(" ######.######", c * scale);
    line += formatMask(" ######.######", length(row.velocity) * scale);
    line += formatMask(" ######.######", radial * scale);
    return line;
}

} // namespace tarvo
