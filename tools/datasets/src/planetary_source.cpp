#include "datasets/planetary_source.h"

#include <cmath>

#include "tarvo/dynamics/physical_constants.h"

namespace datasets {
namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kKmPerGm = 1e6L;

}  // namespace

/*
** tdbMinusTt: TDB - TT at the geocentre, seconds.
** Given: t, days from J2000 (TT).
** Returned: 0.001657 sin g + 0.000014 sin 2g, g the Earth's mean anomaly.
** Notes: within about 30 microseconds of the full series over several
**   millennia around J2000.
** Reference: Fairhead & Bretagnon (1990), A&A 229, 240 (leading terms).
*/
long double tdbMinusTt(long double t)
{
    const long double g = (357.53L + 0.98560028L * t) * kPi / 180.0L;
    return 0.001657L * std::sin(g) + 0.000014L * std::sin(2 * g);
}

std::unique_ptr<PlanetarySource> PlanetarySource::open(const std::filesystem::path& path, std::string& message)
{
    auto ephemeris = jpl::Ephemeris::open(path, message);
    if (!ephemeris) return nullptr;
    const jpl::EphemerisHeader& h = ephemeris->header();
    if (!h.constant("GMS") || !h.constant("GMB") || !(h.auKm > 0) || !(h.emrat > 0)) {
        message = path.string() + ": the ephemeris header lacks GMS, GMB, AU or EMRAT";
        return nullptr;
    }
    auto source = std::unique_ptr<PlanetarySource>(new PlanetarySource);
    // One day of margin at each end leaves room for TDB - TT.
    source->firstDay_ = std::ceil(h.startJd - j2000JulianDate) + 1;
    source->lastDay_ = std::floor(h.endJd - j2000JulianDate) - 1;
    const long double auGm = h.auKm / kKmPerGm;
    source->gmToMass_ = auGm * auGm * auGm / tarvo::gravitationalConstant;
    source->ephemeris_ = std::move(ephemeris);
    return source;
}

std::string PlanetarySource::name() const
{
    return "DE" + std::to_string(ephemeris_->header().denum);
}

std::string PlanetarySource::yearSpanText(long double firstDay, long double lastDay)
{
    const auto year = [](long double t) { return static_cast<int>(std::floor(2000.0L + t / 365.25L)); };
    const int first = year(firstDay);
    // A dash after a negative year would read as a range of negative years.
    return std::to_string(first) + (first < 0 ? " to " : "-") + std::to_string(year(lastDay));
}

double PlanetarySource::headerMass(const std::string& constant) const
{
    if (constant.empty()) return 0;
    const double* gm = ephemeris_->header().constant(constant);
    return gm ? static_cast<double>(*gm * gmToMass_) : 0;
}

double PlanetarySource::sunMass() const { return headerMass("GMS"); }

double PlanetarySource::earthMoonMass() const { return headerMass("GMB"); }

double PlanetarySource::earthMass() const
{
    const long double emrat = ephemeris_->header().emrat;
    return static_cast<double>(earthMoonMass() * emrat / (1 + emrat));
}

double PlanetarySource::moonMass() const
{
    return static_cast<double>(earthMoonMass() / (1 + ephemeris_->header().emrat));
}

double PlanetarySource::massOf(const BodyEntry& body) const
{
    switch (body.kind) {
        case BodyKind::earth: return earthMass();
        case BodyKind::moon: return moonMass();
        case BodyKind::earthMoonBarycentre: return earthMoonMass();
        default: break;
    }
    const double fromHeader = headerMass(body.jplMassConstant);
    return fromHeader > 0 ? fromHeader : body.publishedMass;
}

bool PlanetarySource::state(const BodyEntry& body, long double t, BodyState& result, std::string& message)
{
    if (body.kind == BodyKind::asteroid || body.jplNumber <= 0) {
        message = body.name + " is not a body of the JPL ephemeris";
        return false;
    }
    const long double jd = j2000JulianDate + t + tdbMinusTt(t) / secondsPerDay;
    const auto target = static_cast<jpl::Body>(body.jplNumber);
    const jpl::Body centre = body.kind == BodyKind::moon ? jpl::Body::Earth : jpl::Body::Sun;
    jpl::StateVector s;
    if (!ephemeris_->state(target, centre, jd, s, message, jpl::LengthUnit::Kilometre)) return false;
    for (int k = 0; k < 3; ++k) {
        result.position[k] = s.position[k] / kKmPerGm;
        result.velocity[k] = s.velocity[k] / secondsPerDay;
    }
    return true;
}

}  // namespace datasets
