// Small text helpers shared by the readers of the suite's text files.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

std::string upperCase(std::string_view text);
std::string trim(std::string_view text); // blanks, tabs, CR and LF at both ends

// Reads the longest leading number of `text` (after leading blanks); text
// that is no number reads as 0. `consumed`, when given, receives the number
// of characters used, including the leading blanks, or 0 when there is no
// number. A decimal exponent may be written with E or D.
double readFreeNumber(std::string_view text, std::size_t* consumed = nullptr);

// A field that is wholly one finite number (blanks around it allowed);
// nullopt for an empty field, trailing text, inf or nan.
std::optional<double> readWholeNumber(std::string_view text);

// Splits a free-format line into numbers: fields separated by blanks or
// commas; a field that is no number reads as 0 and, when `nonNumeric` is
// given, is counted there.
std::vector<double> readFreeNumbers(std::string_view line, int* nonNumeric = nullptr);

} // namespace tarvo
