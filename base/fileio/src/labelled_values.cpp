#include "fileio/labelled_values.h"

#include "fileio/format_mask.h"
#include "fileio/text_util.h"

#include <cmath>

namespace tarvo {

std::vector<LabelledValue> parseLabelledValues(const std::vector<std::string>& lines,
                                               std::size_t headerLines) {
    std::vector<LabelledValue> entries;
    for (std::size_t i = headerLines; i < lines.size(); ++i) {
        const std::string text = trim(lines[i]);
        if (text.empty() || text[0] == '\'') continue;
        std::size_t used = 0;
        LabelledValue e;
        e.value = readFreeNumber(text, &used);
        e.numeric = used > 0 && std::isfinite(e.value);
        e.label = trim(std::string_view(text).substr(used));
        entries.push_back(e);
    }
    return entries;
}

std::optional<double> labelledValue(const std::vector<LabelledValue>& entries,
                                    std::string_view label, std::size_t position,
                                    const std::vector<std::string>& knownLabels) {
    const std::string wanted = upperCase(trim(label));
    for (const auto& e : entries)
        if (e.numeric && upperCase(e.label) == wanted) return e.value;
    if (position < entries.size() && entries[position].numeric) {
        const std::string at = upperCase(entries[position].label);
        for (const auto& known : knownLabels)
            if (upperCase(trim(known)) == at) return std::nullopt; // another entry's value
        return entries[position].value;
    }
    return std::nullopt;
}

std::string numberPrintForm(double value) {
    return (value >= 0 ? " " : "") + freeForm(value);
}

std::string labelledLine(std::string_view valueText, std::string_view label) {
    std::string line(valueText);
    line.append(14 - line.size() % 14, ' ');
    line += label;
    return line;
}

} // namespace tarvo
