// The JPL ephemeris the planetary data sets are sampled from, and the states
// of their bodies at the record epochs.
//
// Epochs of the suite are TT; the ephemeris argument is TDB, converted with
// the two leading periodic terms of TDB - TT (Fairhead & Bretagnon 1990),
// good to about 30 microseconds, far below what the libraries resolve.
// The ephemeris axes are the ICRF; they are taken as the J2000 mean equator
// and equinox of the suite without applying the frame bias (about 23
// milliarcseconds), so the suite's J2000 frame is in effect the ICRF.
#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "datasets/body_catalogue.h"
#include "jpl/ephemeris.h"

namespace datasets {

// Default source: the DE405 of the Debian package casacore-data-jpl-de405.
inline const char* const defaultEphemerisPath = "/usr/share/casacore/data/ephemerides/DE405";

inline constexpr long double j2000JulianDate = 2451545.0L;
inline constexpr long double secondsPerDay = 86400.0L;

// TDB - TT in seconds at t days from J2000 (TT).
long double tdbMinusTt(long double t);

// Heliocentric (the Moon: geocentric) state in the suite's file units.
struct BodyState {
    std::array<long double, 3> position{};  // Gm
    std::array<long double, 3> velocity{};  // km/s
};

class PlanetarySource {
public:
    static std::unique_ptr<PlanetarySource> open(const std::filesystem::path& path, std::string& message);

    // "DE405", "DE440", ... from the header.
    std::string name() const;
    // First and last whole days from J2000 (TT) inside the ephemeris.
    long double firstDay() const { return firstDay_; }
    long double lastDay() const { return lastDay_; }
    // Whether t days from J2000 (TT) lies between firstDay and lastDay.
    bool covers(long double t) const { return t >= firstDay_ && t <= lastDay_; }
    // Calendar years of the span, for titles ("1960-2060", "-13200 to 17191").
    std::string spanText() const { return yearSpanText(firstDay_, lastDay_); }
    // The same for days first .. last from J2000.
    static std::string yearSpanText(long double first, long double last);

    // Mass (10^24 kg) from the header constant, or 0 when the header lacks it.
    double headerMass(const std::string& constant) const;
    double sunMass() const;           // GMS
    double earthMass() const;         // GMB EMRAT/(1+EMRAT)
    double moonMass() const;          // GMB/(1+EMRAT)
    double earthMoonMass() const;     // GMB
    // Mass of a body of the catalogue: the header's value, else the published one.
    double massOf(const BodyEntry& body) const;

    // State of a catalogue body (not an asteroid) at t days from J2000 (TT).
    bool state(const BodyEntry& body, long double t, BodyState& result, std::string& message);

    jpl::Ephemeris& ephemeris() { return *ephemeris_; }

private:
    std::unique_ptr<jpl::Ephemeris> ephemeris_;
    long double firstDay_ = 0, lastDay_ = 0;
    long double gmToMass_ = 0;  // header GM (au^3/day^2) -> 10^24 kg
};

}  // namespace datasets
