// Numbers written through format masks, and numbers in free form: the one
// writer behind every screen and text file of the suite.
//
// A mask is a layout with numeric fields and literal characters:
//   "#"     a digit position; the leftmost positions take the minus sign of a
//           negative value, blanks otherwise
//   "0"     a digit position shown as 0 where "#" would show a blank
//   "."     the decimal point
//   "^^^^"  after a field: an exponent E, sign, two digits; the mantissa is
//           normalised to one digit before the point
//   "+"     leading a field: the sign is always shown, "+" or "-"
//   "&"     a text field: the next argument, which must be text
// Other characters are literal. The arguments fill the fields in turn; when
// the mask has more fields than arguments the output stops before the first
// field left empty, and when there are more arguments than fields the mask
// is used again from its start. A number too wide for its field is written
// whole, with a leading "%".
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarvo {

using MaskArgument = std::variant<long double, std::string_view>;

std::string formatMask(std::string_view mask, const std::vector<MaskArgument>& arguments);
std::string formatMask(std::string_view mask, long double value);

// The shortest decimal form of `value` that reads back to the same double:
// sign only when negative, no leading zero before the point (".5"), and an
// exponent (E, sign, two or three digits) only when it is shorter or the
// magnitude is below 1e-4 or from 1e16 up. Not-a-number and infinities are
// written "NaN", "Inf", "-Inf".
std::string freeForm(double value);

// A free-form number as the suite's writers put it in a file: one blank
// before a non-negative number and one blank after every number.
std::string freeFormField(double value);

} // namespace tarvo
