// readFreeNumberPrefix, readLeadingNumber: the longest leading number of a typed answer or file field.
//
// Given:    text    characters, leading blanks allowed
// Returned: value   the number (0 when the text starts with no number)
//           length  characters consumed (0 when no number)
// Notes:    sign, digits with at most one decimal point, then an exponent
//           introduced by E or D (either case) when digits follow it.  "nan",
//           "inf" and hexadecimal forms are not numbers here.  The decimal
//           point is always "." whatever the locale.

#include "tarvo/reductions/free_number.h"

#include <cctype>
#include <charconv>
#include <string>

namespace tarvo {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
} // namespace

FreeNumber readFreeNumberPrefix(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return {};
    std::size_t end = i;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) ++j;
            end = j;
        }
    }
    std::string number(text.substr(start, end - start));
    for (char& c : number)
        if (c == 'D' || c == 'd') c = 'e';
    const char* first = number.data();
    if (*first == '+') ++first; // from_chars does not take a leading '+'
    double value = 0.0;
    const auto result = std::from_chars(first, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Overflow keeps its sign at the largest finite value; underflow is 0.
        const bool tiny = number.find_first_of("eE") != std::string::npos &&
                          number[number.find_first_of("eE") + 1] == '-';
        value = tiny ? 0.0 : (number[0] == '-' ? -1.7976931348623157e308 : 1.7976931348623157e308);
    } else if (result.ec != std::errc()) {
        return {};
    }
    return {value, end};
}

double readLeadingNumber(std::string_view text) { return readFreeNumberPrefix(text).value; }

std::vector<std::string_view> splitFreeFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    bool afterComma = false;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size()) break;
        if (line[i] == ',') {
            if (afterComma || fields.empty()) fields.emplace_back();
            afterComma = true;
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]) && line[i] != ',') ++i;
        fields.push_back(line.substr(start, i - start));
        afterComma = false;
    }
    return fields;
}

} // namespace tarvo
