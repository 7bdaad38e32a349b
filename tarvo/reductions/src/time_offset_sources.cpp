#include "tarvo/reductions/time_offset_sources.h"

#include "fileio/text_util.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace tarvo {

std::vector<std::string> leapSecondsLines(const std::string& list) {
    std::vector<std::string> out;
    std::istringstream in(list);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const auto numbers = readFreeNumbers(line.substr(0, line.find('#')));
        if (numbers.size() < 2 || numbers[0] <= 0) continue;
        const double jd = 2415020.5 + numbers[0] / 86400.0; // NTP epoch 1900 January 1, 0h
        char text[64];
        std::snprintf(text, sizeof text, "%.1f %.0f", jd, numbers[1]);
        out.push_back(text);
    }
    std::reverse(out.begin(), out.end());
    return out;
}

std::vector<std::string> dut1Lines(const std::string& finals) {
    std::vector<std::string> out;
    std::istringstream in(finals);
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 68) continue;
        const auto mjd = readWholeNumber(std::string_view(line).substr(7, 8));
        const auto dut1 = readWholeNumber(std::string_view(line).substr(58, 10));
        if (!mjd || !dut1) continue;
        char text[64];
        std::snprintf(text, sizeof text, "%.1f %.7f", *mjd + 2400000.5, *dut1);
        out.push_back(text);
    }
    std::reverse(out.begin(), out.end());
    return out;
}

} // namespace tarvo
