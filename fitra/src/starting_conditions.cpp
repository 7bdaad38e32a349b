#include "fitra/starting_conditions.h"

#include "fileio/format_mask.h"
#include "fileio/text_util.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

namespace fitra {

namespace {
constexpr std::uintmax_t kStartingBytesLimit = 64 * 1024;
constexpr long double kSatelliteOffset = 90000000.0L;
constexpr long double kImpulseEpochOffset = 51544.5L;
} // namespace

bool readStartingConditions(const std::filesystem::path& file, StartingConditions& out,
                            std::string& message) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        message = "No starting file " + file.string();
        return false;
    }
    if (size > kStartingBytesLimit) {
        message = file.string() + " is too large (" + std::to_string(size) +
                  " bytes) for a starting file";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line) && lines.size() < 5;)
        lines.push_back(tarvo::trim(line));
    if (lines.size() < 5) {
        message = file.string() + " is incomplete: five lines are needed, it has " +
                  std::to_string(lines.size());
        return false;
    }
    std::vector<std::vector<double>> n;
    for (const auto& l : lines) {
        int bad = 0;
        n.push_back(tarvo::readFreeNumbers(l, &bad));
        if (&l != &lines[1] && bad != 0) {
            message = file.string() + ": line " + std::to_string(n.size()) + " is not numbers";
            return false;
        }
    }
    if (n[0].empty() || n[1].size() < 4 || n[2].size() < 3 || n[3].size() < 3 || n[4].size() < 4) {
        message = file.string() + ": a line has too few values";
        return false;
    }
    for (const auto& row : n)
        for (double v : row)
            if (!std::isfinite(v)) {
                message = file.string() + ": a value is not finite";
                return false;
            }
    StartingConditions s;
    long double epoch = n[0][0];
    s.elements = epoch < 0;
    epoch = std::fabs(epoch);
    if (epoch > kSatelliteOffset / 2) {
        s.satellite = true;
        epoch -= kSatelliteOffset;
    }
    if (epoch < 0 || epoch > 1e8L) {
        message = file.string() + ": the epoch is no Julian date";
        return false;
    }
    s.epochJd = epoch;
    for (int k = 0; k < 3; ++k) s.physical[k] = n[1][k];
    s.radialFactor = n[1][3];
    {
        // The name is the last word of line 2 when it is not a number.
        std::istringstream words(lines[1]);
        std::string w, last;
        int count = 0;
        while (words >> w) {
            last = w;
            ++count;
        }
        if (count >= 5) s.name = last.substr(0, 8);
    }
    for (int k = 0; k < 3; ++k) {
        s.state[k] = n[2][k];
        s.state[k + 3] = n[3][k];
        s.nonGrav[k] = n[4][k];
    }
    const double fourth = n[4][3];
    if (fourth == -1 && n[4].size() >= 5) {
        s.law = StartingConditions::Law::asymmetric;
        s.timeDelay = n[4][4];
    } else if (fourth < 0 && n[4].size() >= 7) {
        s.law = StartingConditions::Law::impulse;
        s.impulseTime = -fourth - kImpulseEpochOffset;
        for (int k = 0; k < 3; ++k) s.impulse[k] = n[4][4 + k];
    } else if (fourth < 0) {
        message = file.string() + ": line 5 names an impulse or a delay without its values";
        return false;
    } else {
        s.af = fourth;
    }
    out = s;
    return true;
}

std::string formatStartingConditions(const StartingConditions& s) {
    const char* state = "##.#################^^^^ ";
    const char* ng = "##.########^^^^ ";
    long double epoch = s.epochJd + (s.satellite ? kSatelliteOffset : 0);
    if (s.elements) epoch = -epoch;
    std::string text = tarvo::freeForm(static_cast<double>(epoch)) + "\r\n";
    text += tarvo::freeFormField(static_cast<double>(s.physical[0])) +
            tarvo::freeFormField(static_cast<double>(s.physical[1])) +
            tarvo::freeFormField(static_cast<double>(s.physical[2])) +
            tarvo::formatMask("##.#######^^^^  ", s.radialFactor) + s.name.substr(0, 8) + "\r\n";
    for (int line = 0; line < 2; ++line) {
        for (int k = 0; k < 3; ++k) text += tarvo::formatMask(state, s.state[3 * line + k]);
        text += "\r\n";
    }
    for (long double a : s.nonGrav) text += tarvo::formatMask(ng, a);
    switch (s.law) {
    case StartingConditions::Law::standard:
        text += tarvo::formatMask(ng, s.af);
        break;
    case StartingConditions::Law::asymmetric:
        text += " -1 " + tarvo::formatMask("#####.######", s.timeDelay);
        break;
    case StartingConditions::Law::impulse:
        text += tarvo::freeFormField(static_cast<double>(-(s.impulseTime + kImpulseEpochOffset)));
        for (long double p : s.impulse) text += tarvo::formatMask(ng, p);
        break;
    }
    return text + "\r\n";
}

} // namespace fitra
