// parseAstronomiaDeltaT, observedDeltaTSamples: the observed ΔT of the npm
// package astronomia (data/deltat.js, MIT), the source of DELTAT.TAB.
//
// Given:    the text of data/deltat.js: `historic: { table: [...], first:
//           1657, last: 1984.5 }` (half-yearly values), `data: { table,
//           first, firstYM: [1973, 2], last, lastYM }` (monthly values on
//           the first of each month, from the IERS and USNO) and
//           `prediction: { table, first, last }` (quarterly predictions)
// Returned: the series with their epochs as Julian epochs
// Notes:    the monthly epochs are 0h UT of the first of each month; a
//           decimal calendar year Y of the other series is January 1.0 of
//           INT(Y) plus the fraction of that year's days.

#include "tarvo/reductions/delta_t_table.h"
#include "tarvo/reductions/time_scales.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace tarvo {

namespace {

// Julian epoch of 0h of a calendar date.
double julianEpoch(double year, double month, double day) {
    return 2000.0 + calendarToDays(year, month, day) / 365.25;
}
double julianEpochOfDecimalYear(double y) {
    const double whole = std::floor(y);
    const double start = calendarToDays(whole, 1, 1), next = calendarToDays(whole + 1, 1, 1);
    return 2000.0 + (start + (y - whole) * (next - start)) / 365.25;
}

class Scanner {
  public:
    explicit Scanner(std::string_view text) : text_(text) {}

    // The text of the object after `key:` (from its '{' to the matching '}').
    bool object(std::string_view key, std::string_view& body) const {
        const std::size_t at = findKey(text_, key);
        if (at == std::string_view::npos) return false;
        const std::size_t open = text_.find('{', at);
        if (open == std::string_view::npos) return false;
        int depth = 0;
        for (std::size_t i = open; i < text_.size(); ++i) {
            if (text_[i] == '{') ++depth;
            if (text_[i] == '}' && --depth == 0) {
                body = text_.substr(open + 1, i - open - 1);
                return true;
            }
        }
        return false;
    }

    // `key:` followed by a number, or by an array of numbers.
    static bool number(std::string_view body, std::string_view key, double& value) {
        std::vector<double> values;
        if (!numbers(body, key, values, false) || values.size() != 1) return false;
        value = values[0];
        return true;
    }
    static bool array(std::string_view body, std::string_view key, std::vector<double>& values) {
        return numbers(body, key, values, true);
    }

  private:
    // Position just after `key:` where key stands alone as a property name.
    static std::size_t findKey(std::string_view text, std::string_view key) {
        for (std::size_t at = text.find(key); at != std::string_view::npos;
             at = text.find(key, at + 1)) {
            const bool startOk =
                at == 0 ||
                !(std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_');
            std::size_t after = at + key.size();
            while (after < text.size() && (text[after] == ' ' || text[after] == '\t')) ++after;
            if (startOk && after < text.size() && text[after] == ':') return after + 1;
        }
        return std::string_view::npos;
    }
    static bool numbers(std::string_view body, std::string_view key, std::vector<double>& values,
                        bool bracketed) {
        values.clear();
        std::size_t at = findKey(body, key);
        if (at == std::string_view::npos) return false;
        auto skip = [&] {
            while (at < body.size() && std::isspace(static_cast<unsigned char>(body[at]))) ++at;
        };
        skip();
        if (bracketed) {
            if (at >= body.size() || body[at] != '[') return false;
            ++at;
        }
        for (;;) {
            skip();
            if (bracketed && at < body.size() && body[at] == ']') return true;
            double v = 0;
            const auto [end, ec] = std::from_chars(body.data() + at, body.data() + body.size(), v);
            if (ec != std::errc() || !std::isfinite(v)) return false;
            values.push_back(v);
            at = static_cast<std::size_t>(end - body.data());
            if (!bracketed) return true;
            skip();
            if (at < body.size() && body[at] == ',')
                ++at;
            else if (at >= body.size() || body[at] != ']')
                return false;
        }
    }
    std::string_view text_;
};

// Equally spaced values from `first` to `last`.
bool spacedSeries(std::string_view body, std::vector<DeltaTSample>& out, std::string& why) {
    std::vector<double> table;
    double first = 0, last = 0;
    if (!Scanner::array(body, "table", table) || !Scanner::number(body, "first", first) ||
        !Scanner::number(body, "last", last)) {
        why = "no table, first and last";
        return false;
    }
    if (table.size() < 2 || !(last > first)) {
        why = "fewer than two values or an empty span";
        return false;
    }
    const double step = (last - first) / static_cast<double>(table.size() - 1);
    for (std::size_t k = 0; k < table.size(); ++k)
        out.push_back({julianEpochOfDecimalYear(first + step * static_cast<double>(k)), table[k]});
    return true;
}

} // namespace

bool parseAstronomiaDeltaT(std::string_view text, AstronomiaDeltaT& result, std::string& message) {
    const Scanner scanner(text);
    AstronomiaDeltaT r;
    std::string_view historic, data, prediction;
    if (!scanner.object("historic", historic) || !scanner.object("data", data) ||
        !scanner.object("prediction", prediction)) {
        message = "deltat.js: the objects historic, data and prediction are not all there";
        return false;
    }
    std::string why;
    if (!spacedSeries(historic, r.historic, why)) {
        message = "deltat.js: historic: " + why;
        return false;
    }
    if (!spacedSeries(prediction, r.prediction, why)) {
        message = "deltat.js: prediction: " + why;
        return false;
    }
    std::vector<double> table, firstYM, lastYM;
    if (!Scanner::array(data, "table", table) || !Scanner::array(data, "firstYM", firstYM) ||
        !Scanner::array(data, "lastYM", lastYM) || firstYM.size() != 2 || lastYM.size() != 2) {
        message = "deltat.js: data: no table, firstYM and lastYM";
        return false;
    }
    const double months = (lastYM[0] - firstYM[0]) * 12 + (lastYM[1] - firstYM[1]) + 1;
    if (months != static_cast<double>(table.size()) || table.size() < 2 || firstYM[1] < 1 ||
        firstYM[1] > 12) {
        message = "deltat.js: data: " + std::to_string(table.size()) +
                  " monthly values for a span of " + std::to_string(static_cast<long>(months)) +
                  " months";
        return false;
    }
    for (std::size_t k = 0; k < table.size(); ++k) {
        const double m = firstYM[1] - 1 + static_cast<double>(k);
        r.monthly.push_back(
            {julianEpoch(firstYM[0] + std::floor(m / 12), std::fmod(m, 12.0) + 1, 1), table[k]});
    }
    result = std::move(r);
    return true;
}

std::vector<DeltaTSample> observedDeltaTSamples(const AstronomiaDeltaT& source, std::string& note) {
    std::vector<DeltaTSample> out;
    const double monthlyStart = source.monthly.empty() ? 1e9 : source.monthly.front().year;
    for (const DeltaTSample& s : source.historic)
        if (s.year < monthlyStart - 0.01) out.push_back(s);
    out.insert(out.end(), source.monthly.begin(), source.monthly.end());
    note.clear();
    if (out.empty() || source.prediction.size() < 2) return out;
    // The predictions continue the table only when they agree with the last
    // observed month; older predictions can lie a second and more away.
    const DeltaTSample last = out.back();
    const auto& p = source.prediction;
    double predicted = NAN;
    for (std::size_t k = 0; k + 1 < p.size(); ++k)
        if (p[k].year <= last.year && last.year <= p[k + 1].year)
            predicted = p[k].seconds + (p[k + 1].seconds - p[k].seconds) * (last.year - p[k].year) /
                                           (p[k + 1].year - p[k].year);
    char text[160];
    if (!std::isfinite(predicted) || std::fabs(predicted - last.seconds) > 0.2) {
        std::snprintf(text, sizeof text,
                      "predictions left out: %+.2f s from the last observed value (%.2f)",
                      std::isfinite(predicted) ? predicted - last.seconds : 0.0, last.year);
        note = text;
        return out;
    }
    const double shift = last.seconds - predicted;
    for (const DeltaTSample& s : p)
        if (s.year > last.year + 0.05) out.push_back({s.year, s.seconds + shift});
    std::snprintf(text, sizeof text, "predictions to %.2f kept, shifted by %+.3f s", p.back().year,
                  shift);
    note = text;
    return out;
}

} // namespace tarvo
