#include "fileio/format_mask.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tarvo {

namespace {

struct NumericField {
    bool plusSign = false;    // leading "+"
    int integerPositions = 0; // "#" and "0" before the point
    bool zeroPad = false;     // any "0" among the integer positions
    bool point = false;
    int decimals = 0;
    bool exponent = false;
    std::size_t length = 0; // characters of the mask used
};

bool isDigitPosition(char c) {
    return c == '#' || c == '0';
}

// Recognises a numeric field starting at `pos`; length 0 when there is none.
NumericField parseField(std::string_view mask, std::size_t pos) {
    NumericField f;
    std::size_t i = pos;
    if (i < mask.size() && mask[i] == '+' && i + 1 < mask.size() &&
        (isDigitPosition(mask[i + 1]) || mask[i + 1] == '.')) {
        f.plusSign = true;
        ++i;
    }
    while (i < mask.size() && isDigitPosition(mask[i])) {
        if (mask[i] == '0') f.zeroPad = true;
        ++f.integerPositions;
        ++i;
    }
    if (i < mask.size() && mask[i] == '.' && i + 1 < mask.size() && isDigitPosition(mask[i + 1])) {
        f.point = true;
        ++i;
        while (i < mask.size() && isDigitPosition(mask[i])) ++f.decimals, ++i;
    } else if (i < mask.size() && mask[i] == '.' && f.integerPositions > 0) {
        f.point = true; // "##." : a point with no decimals
        ++i;
    }
    if (f.integerPositions == 0 && f.decimals == 0) return NumericField{};
    if (mask.substr(i, 4) == "^^^^") {
        f.exponent = true;
        i += 4;
    }
    f.length = i - pos;
    return f;
}

std::string formatFixed(const NumericField& f, long double value) {
    const bool negative = std::signbit(value) && value != 0.0L;
    char digits[128];
    std::snprintf(digits, sizeof digits, "%.*Lf", f.decimals, std::fabs(value));
    std::string body = digits; // "123.456" or "0.500"
    std::string intPart = body.substr(0, body.find('.'));
    std::string fracPart = f.decimals > 0 ? body.substr(body.find('.') + 1) : "";
    // A zero integer part is dropped when the field has no room for it.
    const bool roundsToZero = negative && body.find_first_not_of("0.") == std::string::npos;
    const bool showMinus = negative && !roundsToZero;
    int signWidth = f.plusSign ? 1 : (showMinus ? 1 : 0);
    int room = f.integerPositions - (f.plusSign ? 0 : signWidth);
    if (intPart == "0" && room < 1) intPart.clear();
    std::string sign = f.plusSign ? (showMinus ? "-" : "+") : (showMinus ? "-" : "");
    std::string number = intPart;
    if (f.zeroPad && static_cast<int>(number.size()) < room)
        number.insert(0, static_cast<std::size_t>(room) - number.size(), '0');
    number = sign + number;
    if (f.point) number += "." + fracPart;
    const int width = f.integerPositions + (f.plusSign ? 1 : 0) + (f.point ? 1 : 0) + f.decimals;
    if (static_cast<int>(number.size()) > width) return "%" + number;
    return std::string(static_cast<std::size_t>(width) - number.size(), ' ') + number;
}

std::string formatExponent(const NumericField& f, long double value) {
    const bool negative = std::signbit(value) && value != 0.0L;
    char text[128];
    std::snprintf(text, sizeof text, "%.*LE", f.decimals, std::fabs(value));
    std::string s = text; // "1.234560E+05" or "1.2E+123"
    auto e = s.find('E');
    std::string mantissa = s.substr(0, e);
    std::string exponent = s.substr(e);
    if (!f.point) mantissa = mantissa.substr(0, mantissa.find('.'));
    std::string sign = f.plusSign ? (negative ? "-" : "+") : (negative ? "-" : "");
    std::string number = sign + mantissa + exponent;
    const int width =
        f.integerPositions + (f.plusSign ? 1 : 0) + (f.point ? 1 : 0) + f.decimals + 4;
    if (static_cast<int>(number.size()) > width || exponent.size() > 4) return "%" + number;
    return std::string(static_cast<std::size_t>(width) - number.size(), ' ') + number;
}

std::string formatNumber(const NumericField& f, long double value) {
    if (std::isnan(value)) return "%NaN";
    if (std::isinf(value)) return value < 0 ? "%-Inf" : "%Inf";
    return f.exponent ? formatExponent(f, value) : formatFixed(f, value);
}

} // namespace

std::string formatMask(std::string_view mask, const std::vector<MaskArgument>& arguments) {
    std::string out;
    std::size_t next = 0;
    bool anyField = false;
    do {
        for (std::size_t pos = 0; pos < mask.size();) {
            NumericField f = parseField(mask, pos);
            if (f.length > 0 || mask[pos] == '&') {
                anyField = true;
                if (next >= arguments.size()) return out;
                const MaskArgument& a = arguments[next++];
                if (f.length > 0) {
                    const long double* v = std::get_if<long double>(&a);
                    out += formatNumber(f, v ? *v : 0.0L);
                    pos += f.length;
                } else {
                    if (const auto* t = std::get_if<std::string_view>(&a)) out += *t;
                    ++pos;
                }
            } else {
                out += mask[pos++];
            }
        }
    } while (anyField && next < arguments.size());
    return out;
}

std::string formatMask(std::string_view mask, long double value) {
    return formatMask(mask, std::vector<MaskArgument>{value});
}

std::string freeForm(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";
    if (value == 0.0) return "0";
    // Shortest round-trip digits and decimal exponent.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    std::string sci(buf, res.ptr);
    const bool negative = sci[0] == '-';
    if (negative) sci.erase(0, 1);
    const auto e = sci.find('e');
    std::string digits = sci.substr(0, e);
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const int exp10 = std::atoi(sci.c_str() + e + 1);
    const int n = static_cast<int>(digits.size());

    std::string plain;
    if (exp10 >= 0) {
        if (exp10 + 1 >= n)
            plain = digits + std::string(static_cast<std::size_t>(exp10 + 1 - n), '0');
        else
            plain = digits.substr(0, static_cast<std::size_t>(exp10 + 1)) + "." +
                    digits.substr(static_cast<std::size_t>(exp10 + 1));
    } else {
        plain = "." + std::string(static_cast<std::size_t>(-exp10 - 1), '0') + digits;
    }
    char expText[16];
    std::snprintf(expText, sizeof expText, "E%c%02d", exp10 < 0 ? '-' : '+', std::abs(exp10));
    std::string scientific = digits.substr(0, 1) + (n > 1 ? "." + digits.substr(1) : "") + expText;
    const double magnitude = std::fabs(value);
    const bool useExponent =
        magnitude < 1e-4 || magnitude >= 1e16 || scientific.size() < plain.size();
    return (negative ? "-" : "") + (useExponent ? scientific : plain);
}

std::string freeFormField(double value) {
    std::string text = freeForm(value);
    return (text[0] == '-' ? "" : " ") + text + " ";
}

} // namespace tarvo
