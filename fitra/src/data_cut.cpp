#include "fitra/data_cut.h"

#include "fileio/atomic_file.h"
#include "fileio/text_util.h"
#include "fitra/mpc_import.h"

#include <cmath>
#include <system_error>
#include <vector>

namespace fitra {

double thresholdAnswer(double answer) {
    return std::isfinite(answer) && answer > 0 ? answer : 1;
}

namespace {

double field(const std::string& line, std::size_t from, std::size_t to) {
    if (line.size() < from) return 0;
    return tarvo::readFreeNumber(line.substr(from - 1, to - from + 1));
}

} // namespace

CutOutcome cutBadData(const CutRequest& r) {
    CutOutcome out;
    std::error_code ec;
    if (std::filesystem::equivalent(r.positions, r.output, ec) ||
        tarvo::upperCase(r.positions.filename().string()) ==
            tarvo::upperCase(r.output.filename().string())) {
        out.message = "The new file must have another name than " + r.positions.filename().string();
        return out;
    }
    std::vector<std::string> pos, res;
    if (!readObservationLines(r.positions, pos, out.message) ||
        !readObservationLines(r.residuals, res, out.message))
        return out;
    if (pos.size() < 3 || res.size() < 3) {
        out.message = (pos.size() < 3 ? r.positions : r.residuals).string() + " is too short";
        return out;
    }
    std::string text;
    for (int i = 0; i < 3; ++i) text += pos[i] + "\r\n";
    std::size_t resLine = 2;
    for (std::size_t k = 3; k < pos.size(); ++k) {
        std::string line = pos[k];
        const std::string trimmed = tarvo::trim(line);
        if (trimmed.empty() || tarvo::readFreeNumber(trimmed) == 0) break;
        if (resLine >= res.size()) break;
        const std::string& rl = res[resLine++];
        if (field(rl, 1, 4) == 0) break;
        double ra = std::fabs(field(rl, 50, 58)), dec = std::fabs(field(rl, 60, 68));
        if (r.sigmas) {
            // The standard deviation W (arcsec) is the fourth field of the line.
            int bad = 0;
            const auto n = tarvo::readFreeNumbers(trimmed, &bad);
            const double w = n.size() > 3 && n[3] > 0 ? n[3] : 1.0;
            ra /= w;
            dec /= w;
        }
        const bool marked = trimmed[0] == '-';
        if (!r.restore && !marked && (ra > r.raThreshold || dec > r.decThreshold)) {
            line = "-" + trimmed;
            ++out.changed;
        } else if (r.restore && marked && ra < r.raThreshold && dec < r.decThreshold) {
            line = " " + trimmed.substr(1);
            ++out.changed;
        }
        text += line + "\r\n";
    }
    text += "0\r\n";
    if (!tarvo::writeFileAtomically(r.output, text, out.message)) return out;
    out.ok = true;
    out.message = std::to_string(out.changed) +
                  (r.restore ? " observations restored in " : " observations cut in ") +
                  r.output.filename().string();
    return out;
}

} // namespace fitra
