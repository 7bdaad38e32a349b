// The collision trap, the removal of lost bodies, the move to the
// barycentre and the conservation quantities of the log.
#include "tarvo/dynamics/collisions.h"

#include <algorithm>
#include <cmath>

#include "tarvo/dynamics/physical_constants.h"

namespace tarvo {

namespace {

// Absolute position and step velocity of body i: the Moon (and satellites
// in satellite mode) with the Earth's added.
Vector3 absolutePosition(const BodyTable& t, const IntegrationState& s, int i) {
    Vector3 p{t.posX[i], t.posY[i], t.posZ[i]};
    if (isStoredGeocentric(t, i, s.satelliteMode)) {
        const int e = t.layout.earthIndex;
        p[0] += t.posX[e];
        p[1] += t.posY[e];
        p[2] += t.posZ[e];
    }
    return p;
}

Vector3 absoluteStepVelocity(const BodyTable& t, const IntegrationState& s, int i) {
    Vector3 v{t.velX[i], t.velY[i], t.velZ[i]};
    if (isStoredGeocentric(t, i, s.satelliteMode)) {
        const int e = t.layout.earthIndex;
        v[0] += t.velX[e];
        v[1] += t.velY[e];
        v[2] += t.velZ[e];
    }
    return v;
}

long double norm(const Vector3& a) {
    return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
}

// Last body whose mass attracts the others.
int lastWeighted(const BodyTable& t, bool minorPerturb) {
    const int n = t.layout.bodyCount;
    return minorPerturb ? n : std::min(t.layout.lastMassive, n);
}

// Body j merges into body i: mass-weighted position and step velocity (in
// the frame i is stored in), summed mass, grown radius.
void merge(BodyTable& t, const IntegrationState& s, int i, int j) {
    Vector3 rj = absolutePosition(t, s, j);
    Vector3 vj = absoluteStepVelocity(t, s, j);
    if (isStoredGeocentric(t, i, s.satelliteMode)) {
        const int e = t.layout.earthIndex;
        rj[0] -= t.posX[e];
        rj[1] -= t.posY[e];
        rj[2] -= t.posZ[e];
        vj[0] -= t.velX[e];
        vj[1] -= t.velY[e];
        vj[2] -= t.velZ[e];
    }
    const long double mi = t.mass[i], mj = t.mass[j], total = mi + mj;
    if (!(total > 0)) return; // two bodies without mass: i stays as it is
    t.posX[i] = (mi * t.posX[i] + mj * rj[0]) / total;
    t.posY[i] = (mi * t.posY[i] + mj * rj[1]) / total;
    t.posZ[i] = (mi * t.posZ[i] + mj * rj[2]) / total;
    t.velX[i] = (mi * t.velX[i] + mj * vj[0]) / total;
    t.velY[i] = (mi * t.velY[i] + mj * vj[1]) / total;
    t.velZ[i] = (mi * t.velZ[i] + mj * vj[2]) / total;
    if (mi > 0)
        t.radius[i] = static_cast<double>(t.radius[i] * std::pow(total / mi, mergerRadiusExponent));
    else
        t.radius[i] = std::max(t.radius[i], t.radius[j]);
    t.mass[i] = total;
    t.stepMass[i] = s.step * gravitationalConstant * s.step * total;
}

} // namespace

TrapResult trapCollisions(BodyTable& t, const IntegrationState& s, const CollisionSettings& c) {
    TrapResult result;
    const BodyLayout& l = t.layout;
    const int n = l.bodyCount;
    for (int i = 0; i <= n; ++i) t.collisionFlag[i] = 0;
    long double totalMass = 0;
    for (int i = 0; i <= n; ++i) totalMass += t.mass[i];
    const int moon = t.moonIntegrated() ? l.moonIndex : -1;

    int farthest = -1;
    long double farthestDistance = -1;
    const int lastI = std::min(l.lastMajor, n);
    for (int i = 0; i <= lastI; ++i) {
        if (t.collisionFlag[i] != 0) continue;
        for (int j = i + 1; j <= n; ++j) {
            if (j == moon || t.collisionFlag[j] != 0) continue;
            const Vector3 ri = absolutePosition(t, s, i);
            const Vector3 rj = absolutePosition(t, s, j);
            const long double d = norm({rj[0] - ri[0], rj[1] - ri[1], rj[2] - ri[2]});
            if (i == 0 && d > farthestDistance) {
                farthestDistance = d;
                farthest = j;
            }
            if (!(t.radius[i] > 0) || !(t.radius[j] > 0)) continue;
            if (!(d < static_cast<long double>(t.radius[i]) + t.radius[j])) continue;
            t.collisionFlag[j] = -1;
            result.event = true;
            CollisionEvent e{i, j, bodyName(t, i), bodyName(t, j), false};
            if (j <= l.lastMassive || c.minorPerturb) {
                merge(t, s, i, j);
                e.merged = true;
            }
            result.collisions.push_back(std::move(e));
        }
    }

    if (farthest > 0 && t.collisionFlag[farthest] == 0 && s.step > 0) {
        const Vector3 u = absoluteStepVelocity(t, s, farthest);
        const long double v = norm(u) / s.step;
        const long double energy = v * v / 2 - gravitationalConstant * totalMass / farthestDistance;
        if (energy > escapeEnergyThreshold || farthestDistance > c.cutoff) {
            t.collisionFlag[farthest] = 1;
            result.event = true;
            result.ejections.push_back({farthest, bodyName(t, farthest), farthestDistance, energy});
        }
    }
    return result;
}

int removeFlaggedBodies(BodyTable& t, const IntegrationState& s, bool minorPerturb) {
    int removed = 0;
    for (int k = t.layout.bodyCount; k >= 1; --k) {
        const std::int32_t flag = t.collisionFlag[k];
        if (flag == 0) continue;
        t.collisionFlag[k] = 0;
        removeBody(t, k);
        ++removed;
        if (flag == 1) moveToBarycentre(t, s, minorPerturb);
    }
    return removed;
}

Vector3 moveToBarycentre(BodyTable& t, const IntegrationState& s, bool minorPerturb) {
    const int n = t.layout.bodyCount;
    int last = lastWeighted(t, minorPerturb);
    if (s.satelliteMode) last = std::min(last, t.layout.moonIndex);
    Vector3 r{0, 0, 0}, v{0, 0, 0};
    long double total = 0;
    for (int i = 0; i <= last; ++i) {
        const long double w = t.mass[i];
        if (!(w > 0)) continue;
        const Vector3 p = absolutePosition(t, s, i);
        const Vector3 u = absoluteStepVelocity(t, s, i);
        for (int k = 0; k < 3; ++k) {
            r[k] += w * p[k];
            v[k] += w * u[k];
        }
        total += w;
    }
    if (!(total > 0)) total = 1;
    for (int k = 0; k < 3; ++k) {
        r[k] /= total;
        v[k] /= total;
    }
    for (int i = 0; i <= n; ++i) {
        if (isStoredGeocentric(t, i, s.satelliteMode)) continue; // moves with the Earth
        t.posX[i] -= r[0];
        t.posY[i] -= r[1];
        t.posZ[i] -= r[2];
        t.velX[i] -= v[0];
        t.velY[i] -= v[1];
        t.velZ[i] -= v[2];
    }
    return r;
}

long double ConservationQuantities::angularMomentumMagnitude() const {
    return norm(angularMomentum);
}

ConservationQuantities conservationQuantities(const BodyTable& t, const IntegrationState& s,
                                              bool minorPerturb, const SunFigure& figure) {
    ConservationQuantities q;
    const int last = lastWeighted(t, minorPerturb);
    const long double toVelocity = s.step > 0 ? 1.0L / (s.direction * s.step) : 0.0L;
    std::vector<int> bodies;
    std::vector<Vector3> r, v;
    for (int i = 0; i <= last; ++i) {
        if (!(t.mass[i] > 0)) continue;
        bodies.push_back(i);
        r.push_back(absolutePosition(t, s, i));
        Vector3 u = absoluteStepVelocity(t, s, i);
        for (long double& c : u) c *= toVelocity;
        v.push_back(u);
    }
    long double total = 0, kinetic = 0, potential = 0;
    Vector3 weighted{0, 0, 0};
    for (std::size_t a = 0; a < bodies.size(); ++a) {
        const long double m = t.mass[bodies[a]];
        total += m;
        kinetic += m * (v[a][0] * v[a][0] + v[a][1] * v[a][1] + v[a][2] * v[a][2]) / 2;
        for (int k = 0; k < 3; ++k) {
            weighted[k] += m * r[a][k];
            q.momentum[k] += m * v[a][k];
        }
        q.angularMomentum[0] += m * (r[a][1] * v[a][2] - r[a][2] * v[a][1]);
        q.angularMomentum[1] += m * (r[a][2] * v[a][0] - r[a][0] * v[a][2]);
        q.angularMomentum[2] += m * (r[a][0] * v[a][1] - r[a][1] * v[a][0]);
        for (std::size_t b = a + 1; b < bodies.size(); ++b) {
            const long double d = norm({r[b][0] - r[a][0], r[b][1] - r[a][1], r[b][2] - r[a][2]});
            if (d > 0) potential += m * t.mass[bodies[b]] / d;
        }
    }
    q.energy = kinetic - gravitationalConstant * potential;
    if (figure.K != 0 && !bodies.empty() && bodies[0] == 0) {
        // The Sun's J2 potential: -G m0 m (J2 R^2 / r^3) P2(sin phi), K = 1.5 J2 R^2.
        long double oblate = 0;
        for (std::size_t a = 1; a < bodies.size(); ++a) {
            const Vector3 d{r[a][0] - r[0][0], r[a][1] - r[0][1], r[a][2] - r[0][2]};
            const long double rr = norm(d);
            if (!(rr > 0)) continue;
            const long double sinPhi =
                (d[0] * figure.pole[0] + d[1] * figure.pole[1] + d[2] * figure.pole[2]) / rr;
            oblate += t.mass[bodies[a]] * (3 * sinPhi * sinPhi - 1) / (3 * rr * rr * rr);
        }
        q.energy += gravitationalConstant * t.mass[0] * figure.K * oblate;
    }
    if (total > 0)
        for (int k = 0; k < 3; ++k) q.barycentre[k] = weighted[k] / total;
    return q;
}

} // namespace tarvo
