#include "jpl/ephemeris.h"

#include <cmath>
#include <sstream>

#include "containers.h"
#include "jpl/chebyshev.h"
#include "record_source.h"

namespace jpl {

Ephemeris::Ephemeris(EphemerisHeader header, std::unique_ptr<RecordSource> records)
    : header_(std::move(header)), records_(std::move(records))
{}

Ephemeris::~Ephemeris() = default;

std::unique_ptr<Ephemeris> Ephemeris::openBinaryFile(const std::filesystem::path& file, std::string& message)
{
    EphemerisHeader header;
    auto records = detail::openJplBinary(file, header, message);
    if (!records) return nullptr;
    return std::unique_ptr<Ephemeris>(new Ephemeris(std::move(header), std::move(records)));
}

std::unique_ptr<Ephemeris> Ephemeris::openCasacoreTable(const std::filesystem::path& directory,
                                                        std::string& message)
{
    EphemerisHeader header;
    auto records = detail::openCasacoreDe405(directory, header, message);
    if (!records) return nullptr;
    return std::unique_ptr<Ephemeris>(new Ephemeris(std::move(header), std::move(records)));
}

std::unique_ptr<Ephemeris> Ephemeris::open(const std::filesystem::path& path, std::string& message)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return openCasacoreTable(path, message);
    const std::string leaf = path.filename().string();
    if (leaf == "table.dat" || leaf == "table.f0i") return openCasacoreTable(path.parent_path(), message);
    return openBinaryFile(path, message);
}

bool Ephemeris::covers(long double jdTdb) const
{
    return jdTdb >= header_.startJd && jdTdb <= header_.endJd;
}

bool Ephemeris::loadRecordFor(long double jdTdb, std::string& message)
{
    if (!covers(jdTdb)) {
        std::ostringstream text;
        text.precision(12);
        text << header_.fileName << ": JD " << static_cast<double>(jdTdb) << " lies outside the ephemeris ("
             << static_cast<double>(header_.startJd) << " to " << static_cast<double>(header_.endJd) << ")";
        message = text.str();
        return false;
    }
    std::size_t index = static_cast<std::size_t>(std::floor((jdTdb - header_.startJd) / header_.recordDays));
    if (index >= header_.recordCount) index = header_.recordCount - 1;  // the very end of the span
    if (index == loadedRecord_) return true;
    loadedRecord_ = static_cast<std::size_t>(-1);
    if (!records_->read(index, record_, message)) return false;
    const long double expectedStart = header_.startJd + header_.recordDays * index;
    if (record_[0] != expectedStart || record_[1] - record_[0] != header_.recordDays) {
        std::ostringstream text;
        text.precision(12);
        text << header_.fileName << ": data record " << index + 1 << " covers JD " << record_[0] << " to "
             << record_[1] << " instead of " << static_cast<double>(expectedStart);
        message = text.str();
        return false;
    }
    recordStartJd_ = record_[0];
    loadedRecord_ = index;
    return true;
}

bool Ephemeris::evaluate(Series series, long double jdTdb, SeriesValue& value, std::string& message)
{
    const SeriesLayout& layout = header_.layout[static_cast<int>(series)];
    if (!layout.present()) {
        message = header_.fileName + ": holds no series for " + seriesName(series);
        return false;
    }
    if (!loadRecordFor(jdTdb, message)) return false;

    // Fraction of the record, then the subinterval and the argument in it.
    const long double fraction = (jdTdb - recordStartJd_) / header_.recordDays;
    const long double scaled = fraction * layout.subintervals;
    int sub = static_cast<int>(std::floor(scaled));
    if (sub >= layout.subintervals) sub = layout.subintervals - 1;
    if (sub < 0) sub = 0;
    const long double x = 2.0L * (scaled - sub) - 1.0L;
    const long double perDay = 2.0L * layout.subintervals / header_.recordDays;

    const int components = componentsOf(series);
    value.components = components;
    value.value = {};
    value.rate = {};
    const double* first = record_.data() + (layout.pointer - 1) +
                          static_cast<std::size_t>(sub) * components * layout.coefficients;
    for (int c = 0; c < components; ++c) {
        long double v = 0, dv = 0;
        evaluateChebyshev(first + c * layout.coefficients, layout.coefficients, x, v, dv);
        value.value[c] = v;
        value.rate[c] = dv * perDay;
    }
    return true;
}

namespace {

StateVector fromSeries(const SeriesValue& v)
{
    return {{v.value[0], v.value[1], v.value[2]}, {v.rate[0], v.rate[1], v.rate[2]}};
}

void addScaled(StateVector& to, const StateVector& from, long double factor)
{
    for (int i = 0; i < 3; ++i) {
        to.position[i] += factor * from.position[i];
        to.velocity[i] += factor * from.velocity[i];
    }
}

bool isBodyOrBarycentre(Body body) { return static_cast<int>(body) >= 1 && static_cast<int>(body) <= 13; }

}  // namespace

bool Ephemeris::barycentricState(Body body, long double jdTdb, StateVector& kmState, std::string& message)
{
    kmState = {};
    SeriesValue v;
    switch (body) {
    case Body::SolarSystemBarycentre: return true;
    case Body::Earth:
    case Body::Moon: {
        SeriesValue moon;
        if (!evaluate(Series::EarthMoonBarycentre, jdTdb, v, message) ||
            !evaluate(Series::GeocentricMoon, jdTdb, moon, message))
            return false;
        // The barycentre divides the Earth-Moon line in the mass ratio EMRAT.
        kmState = fromSeries(v);
        const long double toEarth = -1.0L / (1.0L + header_.emrat);
        addScaled(kmState, fromSeries(moon), body == Body::Earth ? toEarth : 1.0L + toEarth);
        return true;
    }
    case Body::EarthMoonBarycentre:
        if (!evaluate(Series::EarthMoonBarycentre, jdTdb, v, message)) return false;
        break;
    case Body::Sun:
        if (!evaluate(Series::Sun, jdTdb, v, message)) return false;
        break;
    default:
        if (static_cast<int>(body) < 1 || static_cast<int>(body) > 9) {
            message = header_.fileName + ": no state for body number " + std::to_string(static_cast<int>(body));
            return false;
        }
        // Mercury..Pluto: the series order is the JPL numbering minus one
        // (the Earth's place holds the Earth-Moon barycentre).
        if (!evaluate(static_cast<Series>(static_cast<int>(body) - 1), jdTdb, v, message)) return false;
        break;
    }
    kmState = fromSeries(v);
    return true;
}

bool Ephemeris::state(Body target, Body centre, long double jdTdb, StateVector& result, std::string& message,
                      LengthUnit unit)
{
    if (!isBodyOrBarycentre(target) || !isBodyOrBarycentre(centre)) {
        message = header_.fileName + ": a state needs bodies numbered 1 to 13";
        return false;
    }
    result = {};
    if (target != centre) {
        const bool earthMoonPair = (target == Body::Earth && centre == Body::Moon) ||
                                   (target == Body::Moon && centre == Body::Earth);
        if (earthMoonPair) {
            // Straight from the geocentric Moon, without the barycentric detour.
            SeriesValue moon;
            if (!evaluate(Series::GeocentricMoon, jdTdb, moon, message)) return false;
            addScaled(result, fromSeries(moon), target == Body::Moon ? 1.0L : -1.0L);
        } else {
            StateVector t, c;
            if (!barycentricState(target, jdTdb, t, message) || !barycentricState(centre, jdTdb, c, message))
                return false;
            result = t;
            addScaled(result, c, -1.0L);
        }
    }
    if (unit == LengthUnit::AstronomicalUnit) {
        for (int i = 0; i < 3; ++i) {
            result.position[i] /= header_.auKm;
            result.velocity[i] /= header_.auKm;
        }
    }
    return true;
}

}  // namespace jpl
