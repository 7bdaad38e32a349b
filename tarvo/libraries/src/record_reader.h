// Reading body records from the text state and element files: the field
// stream with messages that name the file and the line.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "fileio/file_problem.h"
#include "fileio/text_util.h"

#include "state_file_fields.h"

namespace tarvo {

inline constexpr std::uintmax_t maximumStateFileBytes = 2ull << 30;  // far beyond the largest table

// Limits of the values of a body record, beyond which a file is damaged.
inline constexpr long double kLargestDouble = 1.7976931348623157e308L;
inline constexpr long double kFarthestPositionGm = 1e6L * 149.597870700L; // 10^6 AU
inline constexpr long double kFastestSpeedKmS = 299792.458L;              // the speed of light
// Julian dates whose years the calendar writes (seven digits either way).
inline constexpr long double kLatestJulianDate = 2451545.0L + 9.9e6L * 365.25L;

class RecordReader {
public:
    RecordReader(std::string_view text, std::string name) : fields_(text), name_(std::move(name)) {}

    bool number(long double& value, const char* what)
    {
        std::string field;
        switch (fields_.number(value, field)) {
        case StateFileFields::Outcome::Read:
            // 9.9e999 (beyond a double, whatever the long double holds) or
            // infinity: no field of a record may hold it.
            return std::fabs(value) <= kLargestDouble || outOfRange(value, what);
        case StateFileFields::Outcome::EndOfFile:
            error_ = name_ + ": the file ends where " + what + " should follow";
            return false;
        default:
            error_ = name_ + ": line " + std::to_string(fields_.fieldLine()) + ": \"" +
                     printable(field, 40) + "\" is not a number (" + what + ")";
            return false;
        }
    }
    // A number no larger in magnitude than `limit`: a value the free format
    // reads but no body can have (9.9e999, a position light-years away) is
    // refused with its line and field.
    bool number(long double& value, const char* what, long double limit) {
        if (!number(value, what)) return false;
        if (std::fabs(value) <= limit) return true;
        return outOfRange(value, what);
    }
    bool number(double& value, const char* what, long double limit = kLargestDouble) {
        long double wide = 0;
        if (!number(wide, what, limit)) return false;
        value = static_cast<double>(wide);
        return true;
    }
    bool outOfRange(long double value, const char* what) {
        char text[48];
        std::snprintf(text, sizeof text, "%.6Lg", value);
        error_ = name_ + ": line " + std::to_string(fields_.fieldLine()) + ": " + what + " " +
                 text + " is out of range";
        return false;
    }
    bool string(std::string& value, const char* what)
    {
        if (fields_.string(value) == StateFileFields::Outcome::Read) return true;
        error_ = name_ + ": the file ends where " + what + " should follow";
        return false;
    }
    // The number field of a minor-body record: its words are numbers (text
    // reads as 0 by the free-format rule), but none may be beyond a double
    // or no number at all (nan, inf): such a catalogue number, scale or
    // impulse is refused with its line.
    bool numberField(std::string& value, const char* what) {
        if (!string(value, what)) return false;
        std::size_t at = 0;
        while ((at = value.find_first_not_of(" \t", at)) != std::string::npos) {
            const std::size_t end = std::min(value.find_first_of(" \t", at), value.size());
            const std::string word = value.substr(at, end - at);
            const std::string bare =
                upperCase(word.substr(word[0] == '-' || word[0] == '+' ? 1 : 0));
            const bool spelledNonFinite = bare.rfind("NAN", 0) == 0 || bare.rfind("INF", 0) == 0;
            if (spelledNonFinite || !std::isfinite(readFreeNumber(word))) {
                error_ = name_ + ": line " + std::to_string(fields_.fieldLine()) + ": \"" +
                         printable(word, 40) + "\" is no finite number (" + what + ")";
                return false;
            }
            at = end;
        }
        return true;
    }
    bool atEnd() { return fields_.atEnd(); }
    const std::string& error() const { return error_; }

private:
    StateFileFields fields_;
    std::string name_;
    std::string error_;
};

inline bool readWholeTextFile(const std::filesystem::path& file, std::string& text, std::string& message)
{
    if (const std::string problem = readProblem(file); !problem.empty()) {
        message = file.string() + " " + problem;
        return false;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (size > maximumStateFileBytes) {
        message = file.string() + ": too large for a state file (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    text.resize(static_cast<std::size_t>(size));
    if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
        message = file.string() + ": cannot be read";
        return false;
    }
    return true;
}

}  // namespace tarvo
