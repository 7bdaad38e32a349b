// The contact and ground point of an impact (see impact.h).
#include "tarvo/events/impact.h"

#include "fileio/format_mask.h"
#include "tarvo/dynamics/hermite5.h"
#include "tarvo/dynamics/physical_constants.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo {

namespace {

using Vec = std::array<long double, 3>;
constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr long double kDegree = 180.0L / kPi;

Vec minus(const Vec& u, const Vec& w) {
    return {u[0] - w[0], u[1] - w[1], u[2] - w[2]};
}
long double dot(const Vec& u, const Vec& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}
long double norm(const Vec& u) {
    return std::sqrt(dot(u, u));
}

long double separationAt(const StepEnds& step, int a, int b, long double p) {
    long double unused = 0.0L;
    return norm(
        minus(interpolateBody(step, b, p, unused).r, interpolateBody(step, a, p, unused).r));
}

// The contact of one radius: in `step` when the bodies are apart at its start,
// else in `previous` when they were apart at its start, else at the start.
void contact(const StepEnds& step, const StepEnds* previous, int a, int b, long double pMin,
             long double R, const StepEnds*& where, long double& p) {
    if (separationAt(step, a, b, 0.0L) > R) {
        where = &step;
        p = contactFraction(step, a, b, 0.0L, pMin, R);
    } else if (previous && separationAt(*previous, a, b, 0.0L) > R) {
        where = previous;
        p = contactFraction(*previous, a, b, 0.0L, 1.0L, R);
    } else {
        where = previous ? previous : &step;
        p = 0.0L;
    }
}

} // namespace

long double contactFraction(const StepEnds& step, int a, int b, long double lo, long double hi,
                            long double R) {
    long double mid = hi, previous = lo;
    for (int pass = 0; pass < 200; ++pass) {
        mid = (lo + hi) / 2.0L;
        const long double d = separationAt(step, a, b, mid);
        if (std::fabs(mid - previous) < 1e-8L * 0.5L || std::fabs(R - d) <= 1e-13L) break;
        previous = mid;
        if (d < R)
            hi = mid; // already overlapping: the contact is earlier
        else
            lo = mid;
    }
    return mid;
}

Impact impactPoint(const StepEnds& step, const StepEnds* previous, int a, int b, long double pMin,
                   long double radiusA, long double radiusB, bool aIsEarth,
                   const DeltaTSettings& deltaTAuto, double equationOfEquinoxes) {
    Impact out;
    out.a = a, out.b = b;
    const StepEnds* where = &step;
    long double p = 0.0L;
    contact(step, previous, a, b, pMin, radiusA + radiusB, where, p);
    long double unused = 0.0L;
    auto states = [&](InterpolatedState& sa, InterpolatedState& sb) {
        sa = interpolateBody(*where, a, p, unused);
        sb = interpolateBody(*where, b, p, unused);
    };
    InterpolatedState sa, sb;
    states(sa, sb);
    long double geodetic = 0.0L;
    if (aIsEarth) {
        // The contact radius of the Earth's figure at the latitude of the
        // point, found again until it settles (a grazing arrival moves the
        // point far from where the sphere of the first pass met it).
        long double R = radiusA + radiusB;
        for (int pass = 0; pass < 6; ++pass) {
            const Vec u = minus(sb.r, sa.r);
            const long double psi = std::asin(u[2] / norm(u));
            geodetic = std::atan(kGeodeticFactor * std::tan(psi));
            const long double next =
                kImpactEarthRadius * (0.9983271L + 0.0016764L * std::cos(2 * geodetic) -
                                      0.0000035L * std::cos(4 * geodetic)) +
                radiusB;
            if (std::fabs(next - R) <= 1e-13L) break;
            R = next;
            contact(step, previous, a, b, pMin, R, where, p);
            states(sa, sb);
        }
    }
    out.time = where->t0 + static_cast<long double>(where->direction) * p * where->h;
    const Vec dr = minus(sb.r, sa.r);
    Vec w = minus(sb.v, sa.v);
    out.distance = norm(dr);
    if (aIsEarth) {
        out.ground = true;
        const long double psi = std::asin(dr[2] / out.distance);
        geodetic = std::atan(kGeodeticFactor * std::tan(psi));
        const long double ut = out.time - deltaT(out.time, deltaTAuto);
        const long double theta = apparentSiderealTime(ut, 0.0L, equationOfEquinoxes);
        const long double rightAscension = std::atan2(dr[1], dr[0]);
        long double lon = std::fmod(rightAscension - theta, 2.0L * kPi);
        if (lon < 0.0L) lon += 2.0L * kPi;
        lon *= kDegree;
        if (lon > 180.0L) lon -= 360.0L;
        out.longitude = lon;
        out.latitude = geodetic * kDegree;
        // The velocity relative to the turning ground.
        w[0] += kImpactRotationRate * dr[1];
        w[1] -= kImpactRotationRate * dr[0];
        const long double speed = norm(w);
        out.altitude =
            std::acos(std::clamp(dot(w, dr) / (speed * out.distance), -1.0L, 1.0L)) * kDegree -
            90.0L;
        // The direction the body comes from: its declination and hour angle.
        const Vec from{-w[0] / speed, -w[1] / speed, -w[2] / speed};
        const long double dec = std::asin(std::clamp(from[2], -1.0L, 1.0L));
        const long double hourAngle = rightAscension - std::atan2(from[1], from[0]);
        long double az = std::atan2(std::sin(hourAngle), std::cos(hourAngle) * std::sin(geodetic) -
                                                             std::tan(dec) * std::cos(geodetic)) *
                         kDegree;
        if (az < 0.0L) az += 360.0L;
        out.azimuth = az;
    }
    out.speed = norm(w) / kmPerSecondToGmPerDay;
    return out;
}

std::string impactHeader() {
    return "   #1     #2        Date       TT       Di (Gm)   Vi(km/s)  Glon (°) Glat  Az (°) Alt";
}

std::string impactLine(const Impact& m, const std::string& bodyA, const std::string& bodyB) {
    const CalendarTime when = daysToCalendar(m.time + 0.5L);
    std::string line = bodyA + bodyB + when.dateText + " " + when.timeText + " ";
    line += formatMask(" ##.######## ", m.distance) + formatMask("###.#### ", m.speed);
    if (m.ground)
        line += formatMask("####.### ", m.longitude) + formatMask(" ###.###  ", m.latitude) +
                formatMask("###  ", m.azimuth) + formatMask("###  ", m.altitude);
    return line;
}

} // namespace tarvo
