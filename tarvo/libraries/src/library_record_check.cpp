// Whether the states of a planetary library record are possible for their
// bodies. A damaged word of a record still decodes to a number, but it moves
// a body off its orbit: the Earth put where the Sun appears 1.4 AU away, a
// planet thrown into a hyperbola. Each body's orbit about its centre (the
// Sun; the Earth for the Moon, whose block is geocentric) is compared with
// the orbit the same body has in the records nearest in time: semi-major
// axes barely change from record to record, and a distance lies between
// the perihelion and the aphelion. The check stops being useful for damage
// smaller than the perturbations of an orbit (a few thousandths of it):
// such a record is taken as it is.
#include <cmath>
#include <cstdio>

#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/libraries/planetary_library.h"

namespace tarvo {
namespace {

constexpr double kFarthestPosition = 1.0e6 * 149.5978707; // Gm: a million AU
constexpr double kSpeedOfLight = 299792.458;              // km/s
constexpr double kDistanceMargin = 1.1; // beyond the neighbour's aphelion or below its perihelion
constexpr double kAxisMargin = 0.1;     // relative change of the semi-major axis
constexpr double kGmPerDayPerKmPerSecond = 0.0864;

struct Orbit {
    bool bound = false;
    double distance = 0;                 // Gm
    double axis = 0;                     // Gm
    double perihelion = 0, aphelion = 0; // Gm
};

// Position (Gm) and velocity (km/s) about a centre of gravitational
// parameter mu (Gm^3 / day^2).
Orbit orbitOf(const std::array<double, 6>& s, double mu) {
    Orbit o;
    o.distance = std::hypot(s[0], s[1], s[2]);
    const double vx = s[3] * kGmPerDayPerKmPerSecond, vy = s[4] * kGmPerDayPerKmPerSecond,
                 vz = s[5] * kGmPerDayPerKmPerSecond;
    const double energy = (vx * vx + vy * vy + vz * vz) / 2 - mu / o.distance;
    if (!(mu > 0) || !(o.distance > 0) || !(energy < 0)) return o;
    o.bound = true;
    o.axis = -mu / (2 * energy);
    const double hx = s[1] * vz - s[2] * vy, hy = s[2] * vx - s[0] * vz, hz = s[0] * vy - s[1] * vx;
    const double h2 = hx * hx + hy * hy + hz * hz;
    const double e = std::sqrt(std::fmax(0.0, 1 - h2 / (mu * o.axis)));
    o.perihelion = o.axis * (1 - e);
    o.aphelion = o.axis * (1 + e);
    return o;
}

std::array<double, 6> decoded(const std::array<LibraryCoordinate, 6>& c,
                              const LibraryBodyDescription& d) {
    std::array<double, 6> s{};
    for (int k = 0; k < 6; ++k)
        s[k] = decodeLibraryCoordinate(c[k], k < 3 ? d.positionScale : d.velocityScale);
    return s;
}

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

std::string bodyLabel(int block, const LibraryBodyDescription& d) {
    std::string name = d.name;
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return "body " + std::to_string(block) + (name.empty() ? "" : " (" + name + ")");
}

} // namespace

std::string libraryRecordProblem(const LibraryDescription& description, int dataSet,
                                 const LibraryRecord& record,
                                 const std::vector<LibraryRecord>& neighbours) {
    const int K = static_cast<int>(description.bodies.size());
    // The blocks of the Earth and of the Moon, by their body indices.
    const bool moonAfterAsteroids = dataSet == 1 || dataSet == 2 || dataSet == 6 || dataSet == 7;
    const bool moonLast = dataSet == 3 || dataSet == 8 || dataSet == 10;
    const int moonSlot = moonAfterAsteroids ? 10 : moonLast ? K : -1;
    const int earthSlot = dataSet == 10 ? 2 : 3;
    int moonBlock = -1, earthBlock = -1;
    for (int b = 1; b <= K; ++b) {
        if (librarySlot(dataSet, b) == moonSlot) moonBlock = b;
        if (librarySlot(dataSet, b) == earthSlot) earthBlock = b;
    }
    constexpr double G = static_cast<double>(gravitationalConstant);
    for (int b = 1; b <= K && static_cast<std::size_t>(b) <= record.bodies.size(); ++b) {
        const LibraryBodyDescription& d = description.bodies[b - 1];
        const std::array<double, 6> s = decoded(record.bodies[b - 1], d);
        const std::string who = bodyLabel(b, d);
        const double distance = std::hypot(s[0], s[1], s[2]);
        if (!std::isfinite(distance) || distance > kFarthestPosition)
            return who + ": the position lies beyond a million AU";
        const double speed = std::hypot(s[3], s[4], s[5]);
        if (!std::isfinite(speed) || speed >= kSpeedOfLight)
            return who + ": the velocity is not below the speed of light";
        const bool isMoon = b == moonBlock && earthBlock > 0;
        const double centreMass =
            isMoon ? description.bodies[earthBlock - 1].mass : description.sun.mass;
        const double mu = G * (centreMass + d.mass);
        const Orbit now = orbitOf(s, mu);
        // Judged by every neighbour whose orbit of this body is an ellipse:
        // the record is wrong only when it disagrees with all of them, so
        // that a damaged neighbour never condemns a sound record.
        int judges = 0, disagree = 0;
        std::string why;
        for (const LibraryRecord& other : neighbours) {
            if (static_cast<std::size_t>(b) > other.bodies.size()) continue;
            const Orbit before = orbitOf(decoded(other.bodies[b - 1], d), mu);
            if (!before.bound) continue;
            ++judges;
            const std::string against = " in the record of epoch " + std::to_string(other.epoch);
            if (now.distance > kDistanceMargin * before.aphelion ||
                now.distance < before.perihelion / kDistanceMargin) {
                ++disagree;
                if (why.empty())
                    why = ": the position is absurd for it: " + shortNumber(now.distance) +
                          " Gm from its centre, against " + shortNumber(before.perihelion) +
                          " to " + shortNumber(before.aphelion) + " Gm" + against;
            } else if (!now.bound || std::fabs(now.axis / before.axis - 1) > kAxisMargin) {
                ++disagree;
                if (why.empty())
                    why =
                        ": the position or velocity is absurd for it: " +
                        (now.bound ? "an orbit of semi-major axis " + shortNumber(now.axis) + " Gm"
                                   : std::string("an open orbit")) +
                        ", against " + shortNumber(before.axis) + " Gm" + against;
            }
        }
        if (judges > 0 && disagree == judges) return who + why;
    }
    return "";
}

} // namespace tarvo
