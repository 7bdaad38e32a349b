// The functions, detection, refinement and acceptance of the conjunction
// family (see conjunction.h); the search and its records are in
// conjunction_search.cpp.
#include "tarvo/events/conjunction.h"

#include "fileio/format_mask.h"
#include "fileio/text_util.h"
#include "tarvo/events/angular_approach.h"
#include "tarvo/events/close_approach_search.h"
#include "tarvo/events/min_max_zero.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvo {

namespace {

long double dot(const Vector3& u, const Vector3& w) {
    return u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
}

long double separationOf(const Vector3& u, const Vector3& w) {
    const Vector3 c{u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                    u[0] * w[1] - u[1] * w[0]};
    return std::atan2(std::sqrt(dot(c, c)), dot(u, w));
}

bool usesLongitudes(ConjunctionKind kind) {
    return kind == ConjunctionKind::conjunction || kind == ConjunctionKind::opposition ||
           kind == ConjunctionKind::quadrature;
}

} // namespace

std::optional<AngleAnswer> readAngleAnswer(const std::string& text, bool singleBody,
                                           std::string& problem) {
    problem.clear();
    AngleAnswer answer;
    const std::string upper = upperCase(text);
    bool c = false, o = false, q = false, e = false;
    for (std::size_t at = upper.find('/'); at != std::string::npos; at = upper.find('/', at + 1)) {
        const char s = at + 1 < upper.size() ? upper[at + 1] : ' ';
        if (s == 'C') c = true;
        if (s == 'O') o = true;
        if (s == 'Q') q = true;
        if (s == 'E') e = true;
        if (s == 'M') {
            answer.options.multiple = true;
            if (at + 2 < upper.size() && upper[at + 2] == '/') {
                const double n = readFreeNumber(std::string_view(upper).substr(at + 3));
                if (n >= 1.0) answer.options.groupExtra = static_cast<int>(std::min(n, 99.0));
            }
        }
    }
    if ((o || q || e) && !singleBody) {
        problem = "/O, /Q and /E need one selected first body";
        return std::nullopt;
    }
    const double value = std::fabs(readFreeNumber(text));
    ConjunctionOptions& k = answer.options;
    if (e) {
        k.kind = ConjunctionKind::elongation;
        answer.maxAngleDegrees = 180.0;
    } else if (o) {
        k.kind = ConjunctionKind::opposition;
        answer.maxAngleDegrees = 180.0;
    } else if (q) {
        k.kind = ConjunctionKind::quadrature;
        answer.maxAngleDegrees = 90.0;
    } else {
        if (!(value >= 0.001)) return std::nullopt; // 0 cancels
        answer.maxAngleDegrees = std::min(value, static_cast<double>(kMaxAngle));
        k.kind = c ? ConjunctionKind::conjunction
                   : (k.multiple ? ConjunctionKind::minimum : ConjunctionKind::none);
    }
    return answer;
}

long double conjunctionFunction(ConjunctionKind kind, const Vector3& a, const Vector3& b) {
    const long double ra = std::hypot(a[0], a[1]), rb = std::hypot(b[0], b[1]);
    if (ra == 0.0L || rb == 0.0L) return 0.0L;
    if (kind == ConjunctionKind::quadrature) return (a[0] * b[0] + a[1] * b[1]) / (ra * rb);
    return (a[1] * b[0] - a[0] * b[1]) / (ra * rb);
}

std::vector<std::pair<int, int>> longitudeCandidates(const std::vector<long double>& from,
                                                     const std::vector<long double>& to,
                                                     const std::vector<char>& take) {
    constexpr long double twoPi = 2.0L * std::numbers::pi_v<long double>;
    struct Sweep {
        long double lo, hi;
        int body;
    };
    std::vector<Sweep> sweeps;
    for (std::size_t k = 0; k < from.size(); ++k) {
        if (!take[k]) continue;
        const long double d = std::remainder(to[k] - from[k], twoPi);
        const long double margin = 0.1L * std::fabs(d) + 1e-9L;
        long double lo = from[k] + std::min(d, 0.0L) - margin;
        long double hi = from[k] + std::max(d, 0.0L) + margin;
        const long double shift = std::floor(lo / twoPi) * twoPi;
        lo -= shift, hi -= shift; // lo in 0 .. 2 pi
        const int body = static_cast<int>(k);
        sweeps.push_back({lo, hi, body});
        if (hi >= twoPi) sweeps.push_back({lo - twoPi, hi - twoPi, body});
    }
    std::sort(sweeps.begin(), sweeps.end(),
              [](const Sweep& a, const Sweep& b) { return a.lo < b.lo; });
    std::vector<std::pair<int, int>> pairs;
    std::vector<const Sweep*> active;
    for (const Sweep& s : sweeps) {
        std::erase_if(active, [&](const Sweep* a) { return a->hi < s.lo; });
        for (const Sweep* a : active)
            if (a->body != s.body)
                pairs.emplace_back(std::min(a->body, s.body), std::max(a->body, s.body));
        active.push_back(&s);
    }
    // A body swept across 0 appears twice; its pairs are listed once.
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    return pairs;
}

long double conjunctionValue(ConjunctionKind kind, const InterpolatedState& a,
                             const InterpolatedState& b) {
    if (usesLongitudes(kind)) return conjunctionFunction(kind, a.r, b.r);
    return angularRate(a.r, a.v, b.r, b.v);
}

bool bracketsConjunction(ConjunctionKind kind, long double g0, long double g1) {
    // A zero at the start was the end of the step before.
    if (g0 == 0.0L) return false;
    if (usesLongitudes(kind)) return g0 * g1 <= 0.0L;
    return bracketsAngularExtremum(g0, g1, kind == ConjunctionKind::elongation);
}

std::optional<ConjunctionEvent> conjunctionStep(const SightGeometry& geometry, ConjunctionKind kind,
                                                int a, int b, double maxAngle) {
    const long double g0 =
        conjunctionValue(kind, relativeState(geometry, a, 0.0L), relativeState(geometry, b, 0.0L));
    const long double g1 =
        conjunctionValue(kind, relativeState(geometry, a, 1.0L), relativeState(geometry, b, 1.0L));
    if (!bracketsConjunction(kind, g0, g1)) return std::nullopt;
    return refineConjunction(geometry, kind, a, b, g0, g1, maxAngle);
}

std::optional<ConjunctionEvent> refineConjunction(const SightGeometry& geometry,
                                                  ConjunctionKind kind, int a, int b,
                                                  long double g0, long double g1, double maxAngle) {
    const auto g = [&](long double p) {
        return conjunctionValue(kind, relativeState(geometry, a, p), relativeState(geometry, b, p));
    };
    const ExtremumRoot root = refineExtremum(g, g0, g1);
    ConjunctionEvent ev;
    ev.a = a, ev.b = b;
    ev.p = root.p;
    ev.doubtful = root.doubtful;
    ev.stateA = relativeState(geometry, a, root.p);
    ev.stateB = relativeState(geometry, b, root.p);
    const StepEnds& step = *geometry.step;
    ev.time = step.t0 + static_cast<long double>(step.direction) * root.p * step.h;
    ev.separation = separationOf(ev.stateA.r, ev.stateB.r);
    const bool sameSide = dot(ev.stateA.r, ev.stateB.r) > 0.0L;
    switch (kind) {
    case ConjunctionKind::minimum:
    case ConjunctionKind::conjunction:
        // The sine is zero at oppositions too.
        if (!sameSide || !(ev.separation < maxAngle)) return std::nullopt;
        break;
    case ConjunctionKind::opposition:
        if (sameSide) return std::nullopt;
        break;
    default:
        break;
    }
    return ev;
}

std::vector<std::string> conjunctionTitle(const ConjunctionTitle& t) {
    std::string line;
    if (t.kind == ConjunctionKind::elongation || t.kind == ConjunctionKind::minimum) {
        line = std::string("  Conditions of ") +
               (t.kind == ConjunctionKind::elongation ? "maximum " : "minimum ") + t.centrePrefix +
               "centric angular distance ";
    } else {
        const char* name = t.kind == ConjunctionKind::opposition   ? " Opposition "
                           : t.kind == ConjunctionKind::quadrature ? " Quadrature "
                                                                   : "Conjunction ";
        line = "  Conditions of " + t.centrePrefix + "centric " + name +
               (t.ecliptic ? "in Longitude " : "in Right Asc. ") + "(within " +
               formatMask(t.maxAngleDegrees < 99.9995 ? "##.###" : "###.###",
                          static_cast<long double>(t.maxAngleDegrees));
        if (t.topocentric)
            line += "). Lat = " + formatMask("###.##", static_cast<long double>(t.siteLatitude)) +
                    "  Long = " + formatMask("###.##", static_cast<long double>(t.siteLongitude));
        else
            line += ")";
    }
    line += t.lightTime ? " (Corrected for Light-Time) " : " (Geometric) ";
    const char* l1 = t.ecliptic ? "Lon1" : " RA1";
    const char* l2 = t.ecliptic ? "Lat1" : "Dec1";
    const char* l3 = t.ecliptic ? "Lon2" : " RA2";
    const char* l4 = t.ecliptic ? "Lat2" : "Dec2";
    std::string columns = "   #1      #2         Date       " + t.timeScale +
                          "         JD2000         D  (°)   " + l1 + " (°)  " + l2 + "      " + l3 +
                          "      " + l4 + "     r1 (AU)   r2 (AU)   El.";
    return {line, columns};
}

} // namespace tarvo
