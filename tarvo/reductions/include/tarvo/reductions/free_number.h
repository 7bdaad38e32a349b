// Free-format numeric input: a typed answer or a text-file field is read as
// its longest leading number; text that is no number reads as 0.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace tarvo {

struct FreeNumber {
    double value = 0.0;
    std::size_t length = 0; // characters consumed, leading blanks included; 0 when no number
};

// Reads the longest leading number of `text` (leading blanks skipped): an
// optional sign, digits with an optional decimal point, an optional exponent
// (E or D).  No number gives value 0 and length 0.
FreeNumber readFreeNumberPrefix(std::string_view text);
// The value alone.  (Named apart from the shell's readFreeNumber, which has
// the same rule, so that both headers can be included together.)
double readLeadingNumber(std::string_view text);

// Splits a line into fields separated by blanks or commas (empty fields
// between two commas are kept as empty strings).
std::vector<std::string_view> splitFreeFields(std::string_view line);

} // namespace tarvo
