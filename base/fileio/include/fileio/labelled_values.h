// Configuration files of the form "value   label", one entry a line: read
// by label, so that a file with entries added, removed or reordered still
// gives each value its meaning; an unknown label falls back to the entry
// at the same position. Lines starting with an apostrophe are comments.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

struct LabelledValue {
    double value = 0.0;
    std::string label; // trimmed
    bool numeric = false;
};

// The entries of `lines` after the first `headerLines`; comments are left out.
std::vector<LabelledValue> parseLabelledValues(const std::vector<std::string>& lines,
                                               std::size_t headerLines);

// The value of `label` (compared trimmed, case-insensitive); when no entry
// has that label, the numeric entry at `position` whose label is none of
// `knownLabels`; nullopt otherwise.
std::optional<double> labelledValue(const std::vector<LabelledValue>& entries,
                                    std::string_view label, std::size_t position,
                                    const std::vector<std::string>& knownLabels);

// "value" in the default numeric print form (a leading blank when not
// negative), padded to the next 14-column print zone, then the label.
std::string labelledLine(std::string_view valueText, std::string_view label);
std::string numberPrintForm(double value);

} // namespace tarvo
