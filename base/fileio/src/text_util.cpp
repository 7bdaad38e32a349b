#include "fileio/text_util.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tarvo {

std::string upperCase(std::string_view text) {
    std::string s(text);
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(std::string_view text) {
    const char* blanks = " \t\r\n";
    auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    auto last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

double readFreeNumber(std::string_view text, std::size_t* consumed) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    // Longest prefix of the form [sign] digits [. digits] [(e|E|d|D) [sign] digits].
    std::size_t j = i;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t digits = 0;
    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j, ++digits;
    if (j < text.size() && text[j] == '.') {
        ++j;
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j, ++digits;
    }
    if (digits == 0) {
        if (consumed) *consumed = 0;
        return 0.0;
    }
    std::size_t end = j;
    if (j < text.size() && (text[j] == 'e' || text[j] == 'E' || text[j] == 'd' || text[j] == 'D')) {
        std::size_t k = j + 1;
        if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
        std::size_t expDigits = 0;
        while (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k])))
            ++k, ++expDigits;
        if (expDigits > 0) end = k;
    }
    std::string number(text.substr(i, end - i));
    for (auto& c : number)
        if (c == 'd' || c == 'D') c = 'e';
    if (consumed) *consumed = end;
    return std::strtod(number.c_str(), nullptr);
}

std::vector<double> readFreeNumbers(std::string_view line, int* nonNumeric) {
    std::vector<double> values;
    if (nonNumeric) *nonNumeric = 0;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() &&
               (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r' || line[pos] == '\n'))
            ++pos;
        if (pos >= line.size()) break;
        std::size_t end = line.find_first_of(", \t\r\n", pos);
        if (end == std::string_view::npos) end = line.size();
        std::size_t used = 0;
        values.push_back(readFreeNumber(line.substr(pos, end - pos), &used));
        if (used == 0 && nonNumeric) ++*nonNumeric;
        pos = end;
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos < line.size() && line[pos] == ',') ++pos;
    }
    return values;
}

std::optional<double> readWholeNumber(std::string_view text) {
    const std::string t = trim(text);
    if (t.empty()) return std::nullopt;
    std::size_t used = 0;
    const double value = readFreeNumber(t, &used);
    if (used != t.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace tarvo
