// formatDeltaTTable, parseDeltaTTable, loadDeltaTTable: the observed ΔT of
// the data tree, ASC/DELTAT.TAB.
//
// File:  two header lines, then per value a line "  year  seconds" (the
//        Julian epoch with 6 decimals, ΔT with 7), CR LF line ends; the
//        reader accepts LF and CR LF and any spacing.
// Notes: the reader refuses, with a message naming the file and the table
//        left as it was, anything that is not such a list (see the header).

#include "tarvo/reductions/delta_t_table.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tarvo {

namespace {

constexpr std::uintmax_t kMaxFileBytes = 4u << 20;
constexpr std::size_t kMaxValues = 100000;
constexpr double kMinSpacingYears = 1.0 / 365.25;

bool blank(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '\r';
}

// The numbers of a line; false when anything else is on it.
bool lineNumbers(std::string_view line, std::vector<double>& numbers) {
    numbers.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        if (blank(line[i])) {
            ++i;
            continue;
        }
        const char* begin = line.data() + i;
        if (*begin == '+') ++begin; // from_chars does not take a leading '+'
        double v = 0;
        const auto [end, ec] = std::from_chars(begin, line.data() + line.size(), v);
        if (ec != std::errc() || end == begin) return false;
        numbers.push_back(v);
        i = static_cast<std::size_t>(end - line.data());
    }
    return true;
}

} // namespace

std::string formatDeltaTTable(std::span<const DeltaTSample> samples, std::string_view source) {
    std::string text = "Delta-T = TT - UT1 observed, from " + std::string(source) + "\r\n";
    text += "   Julian epoch    Delta-T (s)\r\n";
    char line[64];
    for (const DeltaTSample& s : samples) {
        std::snprintf(line, sizeof line, "%15.6f %14.7f\r\n", s.year, s.seconds);
        text += line;
    }
    return text;
}

bool parseDeltaTTable(std::string_view text, const std::string& fileName, DeltaTTable& table,
                      std::string& message) {
    std::vector<DeltaTSample> samples;
    std::vector<double> numbers;
    std::size_t lineNumber = 0, at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (lineNumber <= 2) continue; // the header
        if (line.find_first_not_of(" \t\r") == std::string_view::npos) continue;
        const std::string where = fileName + " line " + std::to_string(lineNumber);
        if (!lineNumbers(line, numbers) || numbers.size() != 2) {
            message = where + " is not a year and a Delta-T";
            return false;
        }
        const DeltaTSample s{numbers[0], numbers[1]};
        if (!std::isfinite(s.year) || !std::isfinite(s.seconds) || std::fabs(s.year) > 10000 ||
            std::fabs(s.seconds) > 1e6) {
            message = where + " holds a value out of range";
            return false;
        }
        if (!samples.empty() && !(s.year >= samples.back().year + kMinSpacingYears)) {
            message = where + ": the years must increase by at least a day";
            return false;
        }
        if (samples.size() == kMaxValues) {
            message = fileName + " holds more than " + std::to_string(kMaxValues) + " values";
            return false;
        }
        samples.push_back(s);
    }
    if (samples.size() < 4) {
        message = fileName + " holds " + std::to_string(samples.size()) +
                  " Delta-T values; at least 4 are needed";
        return false;
    }
    table = makeDeltaTTable(std::move(samples));
    return true;
}

bool loadDeltaTTable(const std::filesystem::path& file, DeltaTTable& table, std::string& message) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        message = file.string() + " cannot be read: " + ec.message();
        return false;
    }
    if (size > kMaxFileBytes) {
        message = file.string() + " is too large to be a Delta-T table";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        message = file.string() + " cannot be read";
        return false;
    }
    return parseDeltaTTable(text.str(), file.string(), table, message);
}

} // namespace tarvo
