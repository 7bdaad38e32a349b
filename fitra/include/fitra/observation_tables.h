// The tables the observation importers read from the CFG directory: the
// observatory codes (OBSCODES.TXT) and the time offsets (LEAPSECS.DAT, TT-UTC
// after the 32.184 s are added; DUT1.DAT, UT1-UTC).
//
// Both files may come from the user: a line that cannot be read is skipped
// and counted, a file larger than the limit is refused whole, and every
// message names the file. The tables grow as needed (a daily DUT1 table of
// decades fits).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fitra {

// One observatory: code, east longitude (degrees), ρ cos φ', ρ sin φ' (Earth radii).
struct Station {
    std::string code;
    double longitudeDeg = 0.0;
    double rhoCosPhi = 0.0;
    double rhoSinPhi = 0.0;
};

inline constexpr std::uintmax_t kTableFileBytesLimit = 16u << 20; // 16 MiB

struct StationTable {
    std::vector<Station> rows;
    std::size_t skippedLines = 0;
    // The row of `code`; the geocentre "500" (or a site at the geocentre
    // when the file lacks it) for an unknown code. `known`, when given, says
    // whether the code was in the table.
    const Station& lookup(std::string_view code, bool* known = nullptr) const;

  private:
    Station geocentre_{"500", 0.0, 0.0, 0.0};
};

// Reads OBSCODES.TXT (the first line is a heading). False, with a message
// naming the file, when it is missing, too large or holds no station.
bool readStationTable(const std::filesystem::path& file, StationTable& table, std::string& message);

// Pairs (Julian date, seconds), newest first as the files list them.
struct TimeOffsetTable {
    struct Entry {
        double julianDate = 0.0;
        double seconds = 0.0;
    };
    std::vector<Entry> entries; // sorted newest first whatever the file's order
    std::size_t skippedLines = 0;
    bool universalTime = false; // DUT1.DAT (UT1-UTC) rather than TT-UTC
    // The offset of the newest entry at or before `julianDate`; nullopt-like
    // `found` false when the date precedes every entry.
    double offsetAt(double julianDate, bool& found) const;
};

// LEAPSECS.DAT: TAI-UTC per line; 32.184 s is added so the table gives TT-UTC.
bool readLeapSeconds(const std::filesystem::path& file, TimeOffsetTable& table,
                     std::string& message);
// DUT1.DAT: UT1-UTC per line.
bool readDut1(const std::filesystem::path& file, TimeOffsetTable& table, std::string& message);

// The offset TT-UTC (or UT1-UTC) in seconds of an observation at the UTC
// Julian date `julianDate`. Before the first entry of a TT table (before
// 1972) the offset is ΔT of that date, since UTC then followed UT; before
// the first entry of a UT table it is 0.
double observationTimeOffset(const TimeOffsetTable& table, double julianDate);

} // namespace fitra
