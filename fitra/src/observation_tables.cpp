#include "fitra/observation_tables.h"

#include "fileio/text_util.h"
#include "tarvo/reductions/site_files.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <fstream>

namespace fitra {

namespace {

// Opens a table file after checking it exists and is within the size limit.
bool openTable(const std::filesystem::path& file, std::ifstream& in, std::string& message) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        message = "Cannot read " + file.string() + ": missing";
        return false;
    }
    if (size > kTableFileBytesLimit) {
        message = file.string() + " is too large (" + std::to_string(size) + " bytes)";
        return false;
    }
    in.open(file, std::ios::binary);
    if (!in) {
        message = "Cannot read " + file.string();
        return false;
    }
    return true;
}

bool readOffsets(const std::filesystem::path& file, TimeOffsetTable& table, std::string& message,
                 double added, bool universalTime) {
    std::ifstream in;
    if (!openTable(file, in, message)) return false;
    TimeOffsetTable read;
    read.universalTime = universalTime;
    for (std::string line; std::getline(in, line);) {
        const std::string text = tarvo::trim(line);
        if (text.empty()) continue;
        int bad = 0;
        const auto numbers = tarvo::readFreeNumbers(text, &bad);
        // A Julian date of the era of UTC (1961 on) and an offset of sane size.
        if (bad != 0 || numbers.size() < 2 || numbers[0] < 2400000.0 || numbers[0] > 2600000.0 ||
            numbers[1] < -100.0 || numbers[1] > 1000.0) {
            ++read.skippedLines;
            continue;
        }
        read.entries.push_back({numbers[0], numbers[1] + added});
    }
    if (read.entries.empty()) {
        message = file.string() + " holds no date and offset";
        return false;
    }
    std::stable_sort(read.entries.begin(), read.entries.end(),
                     [](const auto& a, const auto& b) { return a.julianDate > b.julianDate; });
    table = std::move(read);
    if (table.skippedLines > 0)
        message = file.string() + ": " + std::to_string(table.skippedLines) + " lines skipped";
    return true;
}

} // namespace

const Station& StationTable::lookup(std::string_view code, bool* known) const {
    for (const auto& row : rows)
        if (row.code == code) {
            if (known) *known = true;
            return row;
        }
    if (known) *known = false;
    for (const auto& row : rows)
        if (row.code == "500") return row;
    return geocentre_;
}

bool readStationTable(const std::filesystem::path& file, StationTable& table,
                      std::string& message) {
    std::ifstream in;
    if (!openTable(file, in, message)) return false;
    StationTable read;
    std::string line;
    std::getline(in, line); // heading
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto parsed = tarvo::parseObservatoryLine(line);
        if (!parsed || parsed->code.size() != 3) {
            ++read.skippedLines;
            continue;
        }
        // Space-based and roving codes have blank fields: a site at the geocentre.
        read.rows.push_back(
            {parsed->code, parsed->longitudeDeg, parsed->rhoCosPhi, parsed->rhoSinPhi});
    }
    if (read.rows.empty()) {
        message = file.string() + " holds no observatory code";
        return false;
    }
    table = std::move(read);
    return true;
}

double TimeOffsetTable::offsetAt(double julianDate, bool& found) const {
    // Newest first: the first entry at or before the date is the one in force
    // (a leap second counts from the instant the file names).
    for (const auto& e : entries)
        if (e.julianDate <= julianDate) {
            found = true;
            return e.seconds;
        }
    found = false;
    return 0.0;
}

bool readLeapSeconds(const std::filesystem::path& file, TimeOffsetTable& table,
                     std::string& message) {
    return readOffsets(file, table, message, 32.184, false);
}

bool readDut1(const std::filesystem::path& file, TimeOffsetTable& table, std::string& message) {
    return readOffsets(file, table, message, 0.0, true);
}

double observationTimeOffset(const TimeOffsetTable& table, double julianDate) {
    bool found = false;
    const double seconds = table.offsetAt(julianDate, found);
    if (found || table.universalTime) return seconds;
    const tarvo::DeltaTSettings automatic; // the polynomials of the Auto mode
    return static_cast<double>(
        tarvo::deltaT(static_cast<long double>(julianDate) - tarvo::kJulianDateJ2000, automatic) *
        tarvo::kSecondsPerDay);
}

} // namespace fitra
