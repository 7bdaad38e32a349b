#include "fitra/least_squares.h"

#include "fitra/kepler_state.h"
#include "fitra/observer_vector.h"
#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/frames.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cmath>

namespace fitra {

namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kDegree = kPi / 180.0L;
constexpr long double kAu = 149.5978707L;
constexpr long double kLight = 25902.06837L; // Gm/day
constexpr long double kKmPerS = 0.0864L;
constexpr long double kParabolicA = 9.9e99L;

bool finite(long double v) {
    return std::isfinite(static_cast<double>(v));
}

long double norm(const Vector3& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

Vector3 rotate(const std::array<Vector3, 3>& m, const Vector3& v) {
    Vector3 r{};
    for (int i = 0; i < 3; ++i) r[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return r;
}

Vector3 unitOfAngles(long double aDeg, long double bDeg) {
    const long double a = aDeg * kDegree, b = bDeg * kDegree;
    return {std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), std::sin(b)};
}

bool fixedSemiMajorAxis(const FitraSettings& s) {
    return s.fixA0 && !s.fitKeplerian && s.fixedA0 != 0;
}

// a_f in Gm; a parabola when the answer is negative or the axis is beyond 10^6 Gm.
long double fixedAxisGm(const FitraSettings& s) {
    const long double a = static_cast<long double>(s.fixedA0) * kAu;
    return (a < 0 || a > 1e6L) ? kParabolicA : a;
}

// The speed (km/s) a fixed semi-major axis gives at heliocentric distance r (Gm).
long double fixedAxisSpeed(const FitDynamics& d, long double r, const FitraSettings& s) {
    const long double mu = tarvo::gravitationalConstant * d.table.mass[0];
    const long double v2 = mu * (2.0L / r - 1.0L / fixedAxisGm(s));
    return std::sqrt(v2 > 0 ? v2 : 0) / kKmPerS;
}

// The frame of the angles at epoch t: rows of the rotation from the J2000 equator.
std::array<Vector3, 3> outputRotation(const FitraSettings& s, long double t) {
    std::array<Vector3, 3> rows{};
    Vector3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const bool ecliptic = !s.equatorial;
    if (s.referenceEquinox == 0) {
        const long double eps = tarvo::kObliquityJ2000Arcsec * tarvo::kArcsecToRadians;
        const long double ce = ecliptic ? std::cos(eps) : 1, se = ecliptic ? std::sin(eps) : 0;
        rows[0] = {1, 0, 0};
        rows[1] = {0, ce, se};
        rows[2] = {0, -se, ce};
        return rows;
    }
    long double epoch = t;
    if (s.referenceEquinox == 1) {
        // A fixed equinox given as a calendar date.
        const long double y = s.fixedEquinoxYear, m = s.fixedEquinoxMonth, dd = s.fixedEquinoxDay;
        epoch = (y - 2000.0L) * 365.25L + (m - 1.0L) * 30.4375L + dd - 1.5L;
    }
    tarvo::FrameState frame;
    tarvo::FrameOptions options;
    options.fullNutation = true;
    const tarvo::PrecessionTable none;
    tarvo::computeFrame(frame, epoch, options, none);
    // Columns are the images of the axes; rows follow by transposition.
    Vector3 col[3];
    for (int j = 0; j < 3; ++j) {
        std::array<long double, 3> v = axes[j];
        tarvo::rotateToDate(frame, v, ecliptic);
        col[j] = v;
    }
    for (int i = 0; i < 3; ++i) rows[i] = {col[0][i], col[1][i], col[2][i]};
    return rows;
}

} // namespace

int ParameterSlots::activeCount() const {
    int n = 0;
    for (int i = 1; i <= kSlotCount; ++i) n += active[i] ? 1 : 0;
    return n;
}

std::string slotLabel(int slot, const FitraSettings& s) {
    static const char* cartesian[] = {"", " X0", " Y0", " Z0", "Vx0", "Vy0", "Vz0"};
    static const char* kepler[] = {"", " e ", " i ", " w ", "Nod", " a ", " M0"};
    if (slot >= 1 && slot <= 6) return s.fitKeplerian ? kepler[slot] : cartesian[slot];
    if (slot >= 7 && slot <= 10) {
        static const char* impulse[] = {" P1", " P2", " P3", "Tim"};
        static const char* asym[] = {" A1", " A2", " A3", "Tau"};
        static const char* standard[] = {" A1", " A2", " A3", " AF"};
        static const char* sat[] = {" Qd", "QE2", "QE3", "QEX"};
        const int k = slot - 7;
        if (s.satellite) return sat[k];
        if (s.impulse == -1) return impulse[k];
        if (s.asymmetric) return asym[k];
        return standard[k];
    }
    if (slot == 13) return " MB";
    return "   ";
}

ParameterSlots initialSlots(const FitraSettings& s, const StartingConditions& c,
                            const FitDynamics& d) {
    ParameterSlots p;
    for (int i = 1; i <= kSlotCount; ++i) p.active[i] = s.fittedSlots[i] != 0;
    // Slots 11 and 12 carry no parameter here; QEX is never fitted.
    p.active[11] = p.active[12] = false;
    if (s.satellite) p.active[10] = false;
    const bool sat = s.satellite != 0;
    if (s.fitKeplerian) {
        KeplerElements el;
        if (c.elements) {
            el = {c.state[0], c.state[1], c.state[2], c.state[3], c.state[4], c.state[5]};
        } else {
            Vector3 r{}, v{};
            for (int k = 0; k < 3; ++k) {
                r[k] = c.state[k];
                v[k] = c.state[k + 3];
            }
            // Heliocentric: the state is relative to the Sun of the table.
            const Vector3 sun = {d.table.posX[0], d.table.posY[0], d.table.posZ[0]};
            const Vector3 vsun = {d.table.velX[0] / kKmPerS, d.table.velY[0] / kKmPerS,
                                  d.table.velZ[0] / kKmPerS};
            if (!sat)
                for (int k = 0; k < 3; ++k) {
                    r[k] -= sun[k];
                    v[k] -= vsun[k];
                }
            el = stateToKepler(r, v, 0, sat);
        }
        p.value[1] = el.e;
        p.value[2] = el.i;
        p.value[3] = el.w;
        p.value[4] = el.node;
        p.value[5] = el.a;
        p.value[6] = el.M0;
        for (int i = 1; i <= 6; ++i) p.increment[i] = 0.01L;
    } else {
        for (int i = 0; i < 6; ++i) p.value[i + 1] = c.state[i];
        const long double dx = sat ? 2e-6L : 0.01L, dv = sat ? 0.002L : 0.01L;
        for (int i = 1; i <= 3; ++i) p.increment[i] = dx;
        for (int i = 4; i <= 6; ++i) p.increment[i] = dv;
        if (fixedSemiMajorAxis(s)) {
            const Vector3 sun = {d.table.posX[0], d.table.posY[0], d.table.posZ[0]};
            Vector3 rel{};
            for (int k = 0; k < 3; ++k) rel[k] = c.state[k] - sun[k];
            const Vector3 vel = {c.state[3] - d.table.velX[0] / kKmPerS,
                                 c.state[4] - d.table.velY[0] / kKmPerS,
                                 c.state[5] - d.table.velZ[0] / kKmPerS};
            // The angles of the starting velocity's own direction (its
            // speed, not the fixed axis's, or the direction would change).
            const long double v = norm(vel);
            const long double ratio = v > 0 ? vel[2] / v : 0;
            p.value[4] = std::asin(ratio > 1 ? 1 : (ratio < -1 ? -1 : ratio));
            p.value[5] = std::atan2(vel[1], vel[0]);
            p.value[6] = 0;
            p.active[6] = false;
        }
    }
    p.value[7] = c.nonGrav[0];
    p.value[8] = c.nonGrav[1];
    p.value[9] = c.nonGrav[2];
    for (int i = 7; i <= 9; ++i) p.increment[i] = 1e-9L;
    p.value[10] = c.af != 0 ? c.af : static_cast<long double>(s.nonGravA);
    p.increment[10] = 1e-3L;
    p.value[13] = c.physical[0];
    p.increment[13] = std::max(1e-6L, 1e-3L * std::fabs(p.value[13]));
    return p;
}

long double autoStartEpoch(const PositionsFile& file) {
    std::vector<long double> t;
    for (const Observation& o : file.observations)
        if (!o.excluded && o.obsKind == 0) t.push_back(o.obsTime);
    if (t.empty()) return file.observations.empty() ? 0 : file.observations.front().obsTime;
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

StartingConditions autoStartingConditions(const PositionsFile& file, const FitraSettings& s,
                                          const FitDynamics& d) {
    StartingConditions c;
    c.epochJd = d.epoch + 2451545.0L;
    c.name = file.objectName;
    // The observation nearest the epoch gives the direction.
    const Observation* nearest = nullptr;
    for (const Observation& o : file.observations)
        if (o.obsKind == 0 &&
            (!nearest || std::fabs(o.obsTime - d.epoch) < std::fabs(nearest->obsTime - d.epoch)))
            nearest = &o;
    const int e = d.earthIndex;
    const Vector3 sun = {d.table.posX[0], d.table.posY[0], d.table.posZ[0]};
    const Vector3 vsun = {d.table.velX[0], d.table.velY[0], d.table.velZ[0]};
    const Vector3 origin = d.satellite ? Vector3{0, 0, 0}
                           : s.geocentric
                               ? Vector3{d.table.posX[e], d.table.posY[e], d.table.posZ[e]}
                               : sun;
    Vector3 u = {1, 0, 0};
    if (nearest) {
        u = unitOfAngles(nearest->obsA, nearest->obsB);
        // Angles in another frame are taken back to the J2000 equator.
        const auto m = outputRotation(s, nearest->obsTime);
        u = {m[0][0] * u[0] + m[1][0] * u[1] + m[2][0] * u[2],
             m[0][1] * u[0] + m[1][1] * u[1] + m[2][1] * u[2],
             m[0][2] * u[0] + m[1][2] * u[1] + m[2][2] * u[2]};
    }
    const long double rho = static_cast<long double>(s.startDistanceAu) * kAu;
    Vector3 r{};
    for (int k = 0; k < 3; ++k) r[k] = origin[k] + rho * u[k];
    if (d.satellite) {
        const long double mu = tarvo::gravitationalConstant * d.table.mass[e];
        const long double rn = norm(r);
        const Vector3 pole = {0, 0, 1};
        Vector3 t = {pole[1] * r[2] - pole[2] * r[1], pole[2] * r[0] - pole[0] * r[2],
                     pole[0] * r[1] - pole[1] * r[0]};
        const long double tn = norm(t) > 0 ? norm(t) : 1;
        const long double v = std::sqrt(mu / rn) / kKmPerS;
        for (int k = 0; k < 3; ++k) {
            c.state[k] = r[k];
            c.state[k + 3] = v * t[k] / tn;
        }
        return c;
    }
    Vector3 rel = {r[0] - sun[0], r[1] - sun[1], r[2] - sun[2]};
    const long double eps = tarvo::kObliquityJ2000Arcsec * tarvo::kArcsecToRadians;
    const Vector3 pole = {0, -std::sin(eps), std::cos(eps)};
    Vector3 t = {pole[1] * rel[2] - pole[2] * rel[1], pole[2] * rel[0] - pole[0] * rel[2],
                 pole[0] * rel[1] - pole[1] * rel[0]};
    const long double tn = norm(t) > 0 ? norm(t) : 1;
    const long double mu = tarvo::gravitationalConstant * d.table.mass[0];
    const long double v = std::sqrt(mu / norm(rel)) / kKmPerS;
    for (int k = 0; k < 3; ++k) {
        c.state[k] = r[k];
        c.state[k + 3] = vsun[k] / kKmPerS + v * t[k] / tn;
    }
    c.af = static_cast<long double>(s.nonGravA);
    return c;
}

bool startOfRun(const ParameterSlots& p, int offsetSlot, const FitraSettings& s,
                const FitDynamics& d, FittedStart& start, std::string& message) {
    SlotVector v = p.value;
    if (offsetSlot > 0) v[offsetSlot] += p.increment[offsetSlot];
    const bool sat = s.satellite != 0;
    const Vector3 sun = {d.table.posX[0], d.table.posY[0], d.table.posZ[0]};
    const Vector3 vsun = {d.table.velX[0] / kKmPerS, d.table.velY[0] / kKmPerS,
                          d.table.velZ[0] / kKmPerS};
    if (s.fitKeplerian) {
        const KeplerState k = keplerToState({v[1], v[2], v[3], v[4], v[5], v[6]}, sat);
        if (!k.ok) {
            message = "The elements describe no orbit";
            return false;
        }
        for (int i = 0; i < 3; ++i) {
            start.position[i] = k.position[i] + (sat ? 0 : sun[i]);
            start.velocity[i] = k.velocity[i] + (sat ? 0 : vsun[i]);
        }
    } else {
        start.position = {v[1], v[2], v[3]};
        if (fixedSemiMajorAxis(s)) {
            const Vector3 rel = {v[1] - sun[0], v[2] - sun[1], v[3] - sun[2]};
            const long double speed = fixedAxisSpeed(d, norm(rel), s);
            const long double b = v[4], l = v[5];
            start.velocity = {vsun[0] + speed * std::cos(b) * std::cos(l),
                              vsun[1] + speed * std::cos(b) * std::sin(l),
                              vsun[2] + speed * std::sin(b)};
        } else {
            start.velocity = {v[4], v[5], v[6]};
        }
    }
    start.nonGrav = {0, 0, 0};
    if (!s.satellite && s.impulse == 0) {
        // A1..A3, scaled together by AF against its starting value.
        const bool afSet = !s.asymmetric;
        const long double scale =
            afSet && p.value[10] != 0 && offsetSlot == 10 ? v[10] / p.value[10] : 1;
        start.nonGrav = {v[7] * scale, v[8] * scale, v[9] * scale};
    }
    start.setPrecedingMass = p.active[13];
    start.precedingMass = v[13];
    for (int i = 0; i < 3; ++i)
        if (!finite(start.position[i]) || !finite(start.velocity[i])) {
            message = "The starting state is not a number";
            return false;
        }
    return true;
}

long double componentLength(const FitraSettings& s) {
    return s.satellite ? 0.01L : kAu;
}

FitObservations prepareObservations(const PositionsFile& file, const FitraSettings& s) {
    FitObservations o;
    o.skipFirst = s.skipFirst != 0;
    const tarvo::DeltaTSettings automatic;
    const long double length = componentLength(s);
    for (const Observation& ob : file.observations) {
        Observation copy = ob;
        if (ob.obsKind != 0) {
            // Radar lines are kept in the table but take no part in this fit.
            copy.excluded = true;
            ++o.radarLeftOut;
        }
        o.observations.push_back(copy);
        o.times.push_back(ob.obsTime);
        const long double w = s.weighted ? ob.weightFactor : 1.0L;
        o.weight.push_back(w);
        Vector3 site{}, siteVel{};
        if (s.topocentric && s.geocentric) {
            tarvo::FrameState frame;
            tarvo::FrameOptions options;
            options.fullNutation = true;
            const tarvo::PrecessionTable none;
            tarvo::computeFrame(frame, ob.obsTime, options, none);
            const long double tUT = ob.obsTime - tarvo::deltaT(ob.obsTime, automatic);
            const ObserverVector ov = observerVector(tUT, 1.0L, 1, true, ob.siteS1, ob.siteS2,
                                                     ob.siteS3, file.siteMode > 0, frame);
            site = ov.position;
            siteVel = ov.velocity;
            tarvo::rotateToJ2000(frame, site);
            tarvo::rotateToJ2000(frame, siteVel);
        }
        o.site.push_back(site);
        o.siteVelocity.push_back(siteVel);
        o.toOutput.push_back(outputRotation(s, ob.obsTime));
        Vector3 observed{};
        if (s.orthogonal) {
            observed = {ob.obsA, ob.obsB, ob.obsWeight};
            if (s.angularOnly) {
                const long double n = norm(observed);
                if (n > 0)
                    for (auto& c : observed) c *= length / n;
            }
        } else {
            observed = unitOfAngles(ob.obsA, ob.obsB);
            for (auto& c : observed) c *= length;
        }
        for (auto& c : observed) c *= w;
        o.observed.push_back(observed);
    }
    return o;
}

Vector3 computedDirection(const FitObservations& obs, std::size_t k, const EpochStates& e,
                          const FitraSettings& s) {
    const Vector3& site = obs.site[k];
    const Vector3& origin = s.satellite ? Vector3{0, 0, 0} : (s.geocentric ? e.earth : e.sun);
    const Vector3& originVel =
        s.satellite ? Vector3{0, 0, 0} : (s.geocentric ? e.earthVelocity : e.sunVelocity);
    Vector3 rho{};
    for (int i = 0; i < 3; ++i) rho[i] = e.body[i] - site[i] - origin[i];
    const long double tau = norm(rho) / kLight;
    if (s.apparent) {
        for (int i = 0; i < 3; ++i)
            rho[i] -= (e.bodyVelocity[i] - originVel[i] - obs.siteVelocity[k][i]) * tau;
    } else if (s.astrometric) {
        for (int i = 0; i < 3; ++i) rho[i] -= e.bodyVelocity[i] * tau;
    }
    return rotate(obs.toOutput[k], rho);
}

std::vector<Vector3> computedComponents(const FitObservations& obs,
                                        const std::vector<EpochStates>& states,
                                        const FitraSettings& s) {
    std::vector<Vector3> out(states.size());
    const long double length = componentLength(s);
    for (std::size_t k = 0; k < states.size(); ++k) {
        Vector3 rho = computedDirection(obs, k, states[k], s);
        if (s.angularOnly || !s.orthogonal) {
            const long double n = norm(rho);
            if (n > 0)
                for (auto& c : rho) c *= length / n;
        }
        for (auto& c : rho) c *= obs.weight[k];
        out[k] = rho;
    }
    return out;
}

std::array<long double, 2> angularResiduals(const Observation& o, const Vector3& c) {
    const long double ra = std::atan2(c[1], c[0]);
    const long double dec = std::atan2(c[2], std::hypot(c[0], c[1]));
    long double dra = ra - o.obsA * kDegree;
    while (dra > kPi) dra -= 2 * kPi;
    while (dra < -kPi) dra += 2 * kPi;
    const long double toArcsec = 648000.0L / kPi;
    return {dra * std::cos(o.obsB * kDegree) * toArcsec, (dec - o.obsB * kDegree) * toArcsec};
}

bool invertNormalMatrix(const std::array<bool, kSlotCount + 1>& active, SlotMatrix& matrix,
                        const FitraSettings& settings, std::string& message) {
    std::vector<int> idx;
    for (int i = 1; i <= kSlotCount; ++i)
        if (active[i]) idx.push_back(i);
    const std::size_t n = idx.size();
    if (n == 0) {
        message = "Singular Matrix ! No parameter is fitted";
        return false;
    }
    std::vector<long double> scale(n);
    std::string noEffect;
    for (std::size_t a = 0; a < n; ++a) {
        const long double diag = matrix[idx[a]][idx[a]];
        if (!(diag > 0) || !finite(diag))
            noEffect += (noEffect.empty() ? "" : ",") + slotLabel(idx[a], settings);
        scale[a] = diag > 0 ? 1.0L / std::sqrt(diag) : 0;
    }
    if (!noEffect.empty()) {
        message = "Singular Matrix ! The observations do not depend on:" + noEffect;
        return false;
    }
    std::vector<std::vector<long double>> m(n, std::vector<long double>(n));
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = 0; b < n; ++b) m[a][b] = matrix[idx[a]][idx[b]] * scale[a] * scale[b];
    const auto scaled = m;
    std::vector<std::size_t> perm(n);
    for (std::size_t a = 0; a < n; ++a) perm[a] = a;
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t best = i;
        for (std::size_t j = i + 1; j < n; ++j)
            if (std::fabs(m[i][j]) > std::fabs(m[i][best])) best = j;
        if (!(std::fabs(m[i][best]) >= 1e-13L)) {
            // Name the slots whose columns are (nearly) parallel.
            std::string names;
            for (std::size_t a = 0; a < n; ++a)
                for (std::size_t b = a + 1; b < n; ++b)
                    if (std::fabs(scaled[a][b]) > 1.0L - 1e-9L)
                        names +=
                            " " + slotLabel(idx[a], settings) + "/" + slotLabel(idx[b], settings);
            if (names.empty())
                for (std::size_t a = i; a < n; ++a)
                    names += " " + slotLabel(idx[perm[a]], settings);
            message = "Singular Matrix ! These parameters cannot be separated:" + names;
            return false;
        }
        if (best != i) {
            for (std::size_t r = 0; r < n; ++r) std::swap(m[r][i], m[r][best]);
            std::swap(perm[i], perm[best]);
        }
        const long double pivot = 1.0L / m[i][i];
        m[i][i] = 1.0L;
        for (std::size_t j = 0; j < n; ++j) m[i][j] *= pivot;
        for (std::size_t r = 0; r < n; ++r) {
            if (r == i) continue;
            const long double f = m[r][i];
            if (f == 0) continue;
            m[r][i] = 0;
            for (std::size_t j = 0; j < n; ++j) m[r][j] -= f * m[i][j];
        }
    }
    // Column exchanges of the matrix are row exchanges of its inverse.
    std::vector<std::vector<long double>> inv(n, std::vector<long double>(n));
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = 0; b < n; ++b) inv[perm[a]][b] = m[a][b];
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = 0; b < n; ++b) {
            const long double v = inv[a][b] * scale[a] * scale[b];
            if (!finite(v)) {
                message = "Singular Matrix ! The inverse is not finite";
                return false;
            }
            matrix[idx[a]][idx[b]] = v;
        }
    return true;
}

void dampCorrection(SlotVector& d, const ParameterSlots& p, const FitraSettings& s,
                    long double startDistance, std::string& message) {
    constexpr int kRounds = 400; // 0.7^400 is below 1e-61: every limit holds long before
    auto scaleAll = [&]() {
        for (int i = 1; i <= kSlotCount; ++i) d[i] *= 0.7L;
    };
    auto over = [&](int from, int to, long double limit) {
        for (int i = from; i <= to; ++i)
            if (std::fabs(d[i]) > limit) return true;
        return false;
    };
    if (s.fitKeplerian) {
        for (int r = 0; r < kRounds && over(1, 6, 30); ++r) scaleAll();
        if (p.active[1])
            for (int r = 0; r < kRounds && std::fabs(d[1]) > 0.25L; ++r) scaleAll();
        const long double e = p.value[1];
        auto badOrbit = [&]() {
            const long double e1 = e + d[1];
            const long double a1 = p.value[5] + d[5];
            if (e1 < 0) return true;
            if ((e < 1 && e1 >= 1) || (e > 1 && e1 <= 1)) return true;
            return !(a1 > 0);
        };
        int r = 0;
        for (; r < kRounds && badOrbit(); ++r) scaleAll();
        if (badOrbit()) {
            for (auto& v : d) v = 0;
            message = "The correction would leave the elements without an orbit: not applied";
        }
    } else {
        const long double lpos =
            std::max(startDistance, static_cast<long double>(s.startDistanceAu) * kAu) / 2;
        const long double lvel = s.satellite ? 2.0L : 5.0L + 100.0L / std::sqrt(lpos);
        for (int r = 0; r < kRounds && over(1, 3, lpos); ++r)
            for (int i = 1; i <= 3; ++i) d[i] *= 0.7L;
        for (int r = 0; r < kRounds && over(4, 6, lvel); ++r) scaleAll();
    }
    for (int r = 0; r < kRounds && std::fabs(d[13]) > 100; ++r) d[13] *= 0.7L;
}

namespace {

struct RunOutput {
    bool ok = true;
    std::string message;
    std::vector<EpochStates> states;
    std::vector<Vector3> components;
};

RunOutput doRun(const FitDynamics& d, const FitObservations& obs, const FitraSettings& s,
                const ParameterSlots& p, int slot) {
    RunOutput out;
    FittedStart start;
    if (!startOfRun(p, slot, s, d, start, out.message) ||
        !integrateRun(d, start, obs.times, out.states, out.message)) {
        out.ok = false;
        return out;
    }
    out.components = computedComponents(obs, out.states, s);
    return out;
}

} // namespace

bool recordSigma(FitHistory& h, long double sigma) {
    h.sigma[2] = h.sigma[1];
    h.sigma[1] = h.sigma[0];
    h.sigma[0] = sigma;
    const long double d1 = std::fabs(h.sigma[1] - h.sigma[0]);
    const long double r1 = h.sigma[0] > 0 ? d1 / h.sigma[0] : 0;
    const long double d2 = std::fabs(h.sigma[2] - h.sigma[0]);
    h.converged = false;
    if (d1 < 2.75e-9L || r1 < 1e-5L) h.converged = d2 < 2.75e-9L || (r1 < 1e-5L && h.iteration > 1);
    return h.converged;
}

IterationResult runIteration(const FitDynamics& d, const FitObservations& obs,
                             const FitraSettings& s, ParameterSlots& p, FitHistory& h) {
    IterationResult res;
    std::vector<int> runs = {0};
    for (int i = 1; i <= kSlotCount; ++i)
        if (p.active[i]) runs.push_back(i);
    std::vector<RunOutput> outputs(runs.size());
    const int count = static_cast<int>(runs.size());
#pragma omp parallel for schedule(dynamic, 1)
    for (int r = 0; r < count; ++r) outputs[r] = doRun(d, obs, s, p, runs[r]);
    for (const RunOutput& o : outputs)
        if (!o.ok) {
            res.message = o.message;
            return res;
        }
    ++h.iteration;
    const std::vector<Vector3>& c0 = outputs[0].components;
    res.computed = c0;
    res.states = outputs[0].states;
    const std::size_t first = obs.skipFirst ? 1 : 0;

    // σ from the angles between observed and computed directions.
    long double sumW2Sin2 = 0, sumW2 = 0, squares = 0;
    res.directions.resize(c0.size());
    for (std::size_t k = 0; k < c0.size(); ++k)
        res.directions[k] = computedDirection(obs, k, res.states[k], s);
    for (std::size_t k = first; k < c0.size(); ++k) {
        if (obs.observations[k].excluded) continue;
        const Vector3& O = obs.observed[k];
        const Vector3& C = c0[k];
        const Vector3 x = {O[1] * C[2] - O[2] * C[1], O[2] * C[0] - O[0] * C[2],
                           O[0] * C[1] - O[1] * C[0]};
        const long double sinTheta = norm(x) / (norm(O) * norm(C));
        const long double w = obs.weight[k];
        sumW2Sin2 += w * w * sinTheta * sinTheta;
        sumW2 += w * w;
        for (int i = 0; i < 3; ++i) squares += (C[i] - O[i]) * (C[i] - O[i]);
        ++res.used;
    }
    if (res.used == 0) {
        res.message = "No observation is left in the fit";
        return res;
    }
    res.sigmaDeg = (180.0L / kPi) * std::sqrt(sumW2Sin2 / sumW2);
    const int nActive = p.activeCount();
    const bool a0 = fixedSemiMajorAxis(s);
    long double nu = (s.angularOnly ? 2.0L : 3.0L) * res.used - nActive - (a0 ? 1 : 0);
    if (nu == 0) nu = 1e-12L;
    res.degreesOfFreedom = nu;
    res.unitWeight = std::sqrt(std::fabs(squares / nu));

    // Partials and normal equations, summed in observation order.
    std::vector<std::vector<Vector3>> partial(runs.size());
    for (std::size_t r = 1; r < runs.size(); ++r) {
        partial[r].resize(c0.size());
        const long double inc = p.increment[runs[r]];
        for (std::size_t k = 0; k < c0.size(); ++k)
            for (int i = 0; i < 3; ++i)
                partial[r][k][i] = (outputs[r].components[k][i] - c0[k][i]) / inc;
    }
    SlotMatrix N{};
    SlotVector b{};
    for (std::size_t r1 = 1; r1 < runs.size(); ++r1) {
        for (std::size_t r2 = r1; r2 < runs.size(); ++r2) {
            long double sum = 0;
            for (std::size_t k = first; k < c0.size(); ++k) {
                if (obs.observations[k].excluded) continue;
                for (int i = 0; i < 3; ++i) sum += partial[r1][k][i] * partial[r2][k][i];
            }
            N[runs[r1]][runs[r2]] = N[runs[r2]][runs[r1]] = sum;
        }
        long double sum = 0;
        for (std::size_t k = first; k < c0.size(); ++k) {
            if (obs.observations[k].excluded) continue;
            for (int i = 0; i < 3; ++i) sum += (c0[k][i] - obs.observed[k][i]) * partial[r1][k][i];
        }
        b[runs[r1]] = sum;
    }
    res.normal = N;
    SlotMatrix inv = N;
    if (!invertNormalMatrix(p.active, inv, s, res.message)) return res;
    res.inverse = inv;
    SlotVector delta{};
    for (int i = 1; i <= kSlotCount; ++i) {
        if (!p.active[i]) continue;
        long double sum = 0;
        for (int j = 1; j <= kSlotCount; ++j)
            if (p.active[j]) sum += inv[i][j] * b[j];
        delta[i] = -sum;
        if (!finite(delta[i])) {
            res.message = "The correction of" + slotLabel(i, s) + " is not a number: the fit stops";
            return res;
        }
    }
    // The damping limits use the body's geocentric distance at the start.
    FittedStart start;
    std::string why;
    long double startDistance = 0;
    if (startOfRun(p, 0, s, d, start, why)) {
        const int e = d.earthIndex;
        const Vector3 earth = d.satellite
                                  ? Vector3{0, 0, 0}
                                  : Vector3{d.table.posX[e], d.table.posY[e], d.table.posZ[e]};
        startDistance = norm({start.position[0] - earth[0], start.position[1] - earth[1],
                              start.position[2] - earth[2]});
    }
    dampCorrection(delta, p, s, startDistance, res.message);
    res.correction = delta;

    // Formal errors and the increments of the next iteration.
    const long double scale = s.weighted ? 1.0L : res.unitWeight;
    for (int i = 1; i <= kSlotCount; ++i) {
        if (!p.active[i]) continue;
        res.formalError[i] = scale * std::sqrt(std::fabs(inv[i][i]));
        const long double product = std::fabs(delta[i]) * res.formalError[i];
        long double inc = product > 0 ? 0.5L * std::sqrt(product) : 0.5e-9L;
        const long double cap = (i == 10 && s.impulse == -1) ? 9.0L : 0.25L;
        if (inc > cap) inc = cap;
        if (!(inc > 0) || !finite(inc)) inc = 0.5e-9L;
        p.increment[i] = inc;
        p.correction[i] = delta[i];
        p.value[i] += delta[i];
    }
    // AF scales A1..A3 together: a corrected AF carries its ratio into them.
    if (p.active[10] && !s.satellite && s.impulse == 0 && !s.asymmetric &&
        p.value[10] - delta[10] != 0) {
        const long double ratio = p.value[10] / (p.value[10] - delta[10]);
        for (int i = 7; i <= 9; ++i) p.value[i] *= ratio;
    }
    if (s.fitKeplerian && p.value[1] < 0) p.value[1] = 0;

    res.improved = res.sigmaDeg < h.bestSigma;
    if (res.improved) h.bestSigma = res.sigmaDeg;
    res.converged = recordSigma(h, res.sigmaDeg);
    res.ok = true;
    return res;
}

} // namespace fitra
