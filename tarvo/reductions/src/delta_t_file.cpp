// readDeltaTCoefficients, formatDeltaTCoefficients, writeDeltaTCoefficients:
// the coefficient file DELTAT.COF of the Custom Delta-T mode.
//
// Format:   three lines, A (s), B (s/yr), C (s/yr²), each a plain decimal
//           number; LF or CR LF line ends; blank lines after the third are
//           allowed.  Written as the shortest decimal text that reads back to
//           the same value.
// Notes:    the reader refuses, with a message naming the file, a missing or
//           unreadable file, a file larger than 4 KiB, fewer than three
//           numbers, a line that does not start with a number, a non-finite
//           number and any text after the third line; the settings are then
//           left as they were.  The writer goes through a temporary name.

#include "fileio/atomic_file.h"
#include "fileio/file_problem.h"
#include "fileio/text_util.h"
#include "tarvo/reductions/time_scales.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace tarvo {

namespace {
constexpr std::uintmax_t kMaxFileBytes = 4096;
}

bool readDeltaTCoefficients(const std::filesystem::path& file, DeltaTSettings& settings,
                            std::string& message) {
    const std::string name = file.string();
    if (const std::string problem = readProblem(file); !problem.empty()) {
        message = name + " " + problem;
        return false;
    }
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (size > kMaxFileBytes) {
        message = name + " is too large (" + std::to_string(size) +
                  " bytes) for three Delta-T coefficients";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        message = "Cannot open " + name;
        return false;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();

    double values[3] = {0.0, 0.0, 0.0};
    int count = 0;
    int lineNumber = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        const bool blank = line.find_first_not_of(" \t") == std::string_view::npos;
        if (count == 3) {
            if (!blank) {
                message = name + ": unexpected text after the three coefficients (line " +
                          std::to_string(lineNumber) + ")";
                return false;
            }
            continue;
        }
        std::size_t length = 0;
        const double number = readFreeNumber(line, &length);
        if (length == 0 || !std::isfinite(number)) {
            message = name + ": line " + std::to_string(lineNumber) + " is not a number";
            return false;
        }
        values[count++] = number;
        if (end == text.size()) break;
    }
    if (count < 3) {
        message = name + ": expected three coefficients A, B, C, found " + std::to_string(count);
        return false;
    }
    settings.a = values[0];
    settings.b = values[1];
    settings.c = values[2];
    message.clear();
    return true;
}

std::string formatDeltaTCoefficients(double a, double b, double c) {
    // Shortest decimal text that reads back to the same double.
    std::string text;
    for (double v : {a, b, c}) {
        char number[64];
        const auto result = std::to_chars(number, number + sizeof number, v);
        text.append(number, result.ptr);
        text += "\r\n";
    }
    return text;
}

bool writeDeltaTCoefficients(const std::filesystem::path& file, const DeltaTSettings& settings,
                             std::string& message) {
    if (!writeFileAtomically(file, formatDeltaTCoefficients(settings.a, settings.b, settings.c), message))
        return false;
    message.clear();
    return true;
}

} // namespace tarvo
