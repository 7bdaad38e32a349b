// The frame and centre a search looks from (see search_geometry.h).
#include "tarvo/events/search_geometry.h"
#include "tarvo/events/orbit_interpolation.h"

#include "tarvo/dynamics/physical_constants.h"
#include "tarvo/reductions/frame_settings.h"
#include "tarvo/reductions/places.h"

#include <cmath>

namespace tarvo {

Vector3 toSearchFrame(const SearchFrame& frame, const FrameState& table, Vector3 v) {
    switch (frame.equinox) {
    case SearchFrame::Equinox::ofDate:
        if (frame.ecliptic) {
            const long double c = table.obliquity.cos, s = table.obliquity.sin;
            return {v[0], c * v[1] + s * v[2], c * v[2] - s * v[1]};
        }
        return v;
    case SearchFrame::Equinox::j2000:
        rotateToJ2000(table, v);
        if (frame.ecliptic) {
            const long double c = table.obliquityJ2000.cos, s = table.obliquityJ2000.sin;
            return {v[0], c * v[1] + s * v[2], c * v[2] - s * v[1]};
        }
        return v;
    case SearchFrame::Equinox::referenceYear:
        break;
    }
    rotateToJ2000(table, v);
    rotateToDate(frame.target, v, frame.ecliptic);
    return v;
}

InterpolatedState bodyAt(const SightGeometry& geometry, int i, long double p) {
    const auto k = static_cast<std::size_t>(i);
    if (k < geometry.aboutEarth.size() && geometry.aboutEarth[k])
        return interpolateAbout(*geometry.step, i, geometry.earth, geometry.muAboutEarth[k], p);
    long double unused = 0.0L;
    return interpolateBody(*geometry.step, i, p, unused);
}

namespace {

long double dot(const Vector3& u, const Vector3& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}

// The centre (and the site on it) at the fraction p of the step.
InterpolatedState centreAt(const SightGeometry& geometry, long double p) {
    const StepEnds& step = *geometry.step;
    InterpolatedState centre;
    if (geometry.centre.body >= 0)
        centre = bodyAt(geometry, geometry.centre.body, p);
    else
        centre.r = geometry.centre.fixedPoint;
    if (geometry.centre.topocentric && geometry.site) {
        const long double t = step.t0 + static_cast<long double>(step.direction) * p * step.h;
        const InterpolatedState site = geometry.site(t);
        for (std::size_t k = 0; k < 3; ++k) centre.r[k] += site.r[k], centre.v[k] += site.v[k];
    }
    return centre;
}

constexpr long double kRateStep = 1e-3L; // of the step, for the rate of the observer's velocity

} // namespace

InterpolatedState relativeState(const SightGeometry& geometry, int body, long double p) {
    const StepEnds& step = *geometry.step;
    const InterpolatedState centre = centreAt(geometry, p);
    InterpolatedState b = bodyAt(geometry, body, p);
    InterpolatedState out;
    const auto relative = [&] {
        for (std::size_t k = 0; k < 3; ++k)
            out.r[k] = b.r[k] - centre.r[k], out.v[k] = b.v[k] - centre.v[k];
    };
    relative();
    if (geometry.lightTime) {
        // The body where it was when the light left it: two passes on tau.
        for (int pass = 0; pass < 2; ++pass) {
            const long double tau = std::sqrt(dot(out.r, out.r)) / (speedOfLight * step.h);
            b = bodyAt(geometry, body, p - tau);
            relative();
        }
        // The light time changes as the distance does: the body's motion is
        // seen at the rate 1 - dtau/dt.
        const long double d = std::sqrt(dot(out.r, out.r));
        if (d > 0.0L) {
            const long double rate = 1.0L - dot(out.r, out.v) / (d * speedOfLight);
            for (std::size_t k = 0; k < 3; ++k) out.v[k] = b.v[k] * rate - centre.v[k];
        }
    }
    const bool observerMoves = centre.v[0] != 0.0L || centre.v[1] != 0.0L || centre.v[2] != 0.0L;
    if (geometry.lightTime && geometry.aberration && observerMoves) {
        // First-order aberration by the observer's velocity w = v / c, and
        // its rate: the observer's acceleration from its velocity nearby.
        const long double d = std::sqrt(dot(out.r, out.r));
        if (d > 0.0L) {
            Vector3 w, wRate, u, uRate;
            const InterpolatedState ahead = centreAt(geometry, p + kRateStep),
                                    behind = centreAt(geometry, p - kRateStep);
            const long double dRate = dot(out.r, out.v) / d;
            for (std::size_t k = 0; k < 3; ++k) {
                w[k] = centre.v[k] / speedOfLight;
                wRate[k] = (ahead.v[k] - behind.v[k]) / (2.0L * kRateStep * step.h * speedOfLight);
                u[k] = out.r[k] / d;
            }
            for (std::size_t k = 0; k < 3; ++k) uRate[k] = (out.v[k] - u[k] * dRate) / d;
            const long double rw = dot(out.r, w);
            const long double rwRate = dot(out.v, w) + dot(out.r, wRate);
            for (std::size_t k = 0; k < 3; ++k) {
                out.r[k] += d * w[k] - u[k] * rw;
                out.v[k] += dRate * w[k] + d * wRate[k] - uRate[k] * rw - u[k] * rwRate;
            }
        }
    }
    if (const StepRotation* m = geometry.rotation) {
        const long double t = step.t0 + static_cast<long double>(step.direction) * p * step.h;
        const long double dt = t - m->t0;
        InterpolatedState turned;
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t k = 0; k < 3; ++k) {
                const long double mik = m->m0[i][k] + dt * m->rate[i][k];
                turned.r[i] += mik * out.r[k];
                turned.v[i] += mik * out.v[k] + m->rate[i][k] * out.r[k];
            }
        return turned;
    }
    out.r = toSearchFrame(*geometry.frame, *geometry.table, out.r);
    out.v = toSearchFrame(*geometry.frame, *geometry.table, out.v);
    return out;
}

namespace {
// Rows of the turn at t.
std::array<Vector3, 3> turnAt(const SearchFrame& frame, const FrameState& table, long double t,
                              const PrecessionTable& precession, const FrameOptions& options) {
    std::array<Vector3, 3> m{};
    FrameState ofDate;
    if (frame.equinox == SearchFrame::Equinox::ofDate) computeFrame(ofDate, t, options, precession);
    for (std::size_t k = 0; k < 3; ++k) {
        Vector3 e{};
        e[k] = 1.0L;
        if (frame.equinox == SearchFrame::Equinox::ofDate) {
            rotateToJ2000(table, e);
            rotateToDate(ofDate, e, frame.ecliptic);
        } else {
            e = toSearchFrame(frame, table, e);
        }
        for (std::size_t i = 0; i < 3; ++i) m[i][k] = e[i];
    }
    return m;
}
} // namespace

StepRotation stepRotation(const SearchFrame& frame, const FrameState& table, long double t0,
                          long double t1, const PrecessionTable& precession,
                          const FrameOptions& options) {
    StepRotation s;
    s.t0 = t0;
    s.m0 = turnAt(frame, table, t0, precession, options);
    if (t1 == t0) return s;
    const auto m1 = turnAt(frame, table, t1, precession, options);
    for (std::size_t i = 0; i < 3; ++i)
        for (std::size_t k = 0; k < 3; ++k) s.rate[i][k] = (m1[i][k] - s.m0[i][k]) / (t1 - t0);
    return s;
}

FrameOptions pageFrameOptions(const RunContext& run) {
    FrameOptions o;
    o.principalNutation = run.page.nutation;
    o.skipRotations = run.frame.skipRotations;
    return o;
}

void pageGeometry(const RunContext& run, SearchFrame& frame, SightGeometry& geometry) {
    const PageSettings& page = run.page;
    frame = SearchFrame{};
    frame.ecliptic = run.ecliptic;
    if (!page.precession) {
        frame.equinox = SearchFrame::Equinox::j2000;
    } else if (page.referenceYear != 0.0) {
        frame.equinox = SearchFrame::Equinox::referenceYear;
        computeFrame(frame.target, referenceYearEpoch(page.referenceYear), FrameOptions{},
                     run.precessionTable);
    }
    CentreAt& centre = geometry.centre;
    centre = CentreAt{};
    switch (run.centre.kind) {
    case CentreSelection::Kind::Sun:
        centre.body = 0;
        break;
    case CentreSelection::Kind::Earth:
        centre.body = run.bodies.layout.earthIndex;
        centre.topocentric = run.centre.topocentric;
        break;
    case CentreSelection::Kind::Body:
        centre.body = run.centre.bodyIndex;
        break;
    case CentreSelection::Kind::FixedPoint: {
        centre.body = -1;
        Vector3 p{run.centre.fixedPoint[0], run.centre.fixedPoint[1], run.centre.fixedPoint[2]};
        rotateToDate(run.frame, p); // kept in the J2000 equator
        centre.fixedPoint = p;
        break;
    }
    }
    geometry.lightTime = page.lightTime;
    const BodyTable& t = run.bodies;
    geometry.earth = t.layout.earthIndex;
    geometry.aboutEarth.assign(static_cast<std::size_t>(t.slots()), 0);
    geometry.muAboutEarth.assign(static_cast<std::size_t>(t.slots()), 0.0L);
    for (int i = 0; i <= t.layout.bodyCount; ++i)
        if (i != geometry.earth && isStoredGeocentric(t, i, run.integration.satelliteMode)) {
            const auto k = static_cast<std::size_t>(i);
            geometry.aboutEarth[k] = 1;
            geometry.muAboutEarth[k] =
                gravitationalConstant *
                (t.mass[static_cast<std::size_t>(geometry.earth)] + t.mass[k]);
        }
    geometry.aberration = page.lightTime && page.aberration;
    geometry.site = nullptr;
    if (centre.topocentric) {
        const ObserverSite site = run.site;
        const DeltaTSettings dT = run.deltaT;
        const FrameState* table = &run.frame;
        const bool nutation = page.nutation;
        geometry.site = [site, dT, table, nutation](long double time) {
            const long double offset = dT.mode == DeltaTMode::Off ? 0.0L : deltaT(time, dT);
            const ObserverState o = observerVector(
                site, time, offset, nutation ? table->equationOfEquinoxes : 0.0, true);
            InterpolatedState s;
            for (std::size_t k = 0; k < 3; ++k) s.r[k] = o.position[k], s.v[k] = o.velocity[k];
            return s;
        };
    }
}

bool showsUniversalTime(const RunContext& run, const SightGeometry& geometry) {
    return geometry.centre.topocentric && run.deltaT.mode != DeltaTMode::Off;
}

const SightGeometry& StepSight::look(const SightGeometry& base, const SearchFrame& frame,
                                     const StepEnds& step, const RunContext& run) {
    absoluteStates(step, run.bodies, run.integration.satelliteMode, start_, end_, whole_);
    rotation_ = stepRotation(frame, run.frame, whole_.t0, whole_.t1, run.precessionTable,
                             pageFrameOptions(run));
    geometry_ = base;
    geometry_.step = &whole_;
    geometry_.frame = &frame;
    geometry_.table = &run.frame;
    geometry_.rotation = &rotation_;
    return geometry_;
}

} // namespace tarvo
