#include "tarvo/libraries/element_file.h"
#include "fileio/format_mask.h"
#include "fileio/text_output.h"

namespace tarvo {
namespace {

constexpr const char* stateMask = "##.#################^^^^ ";  // 18 significant digits

std::string recordHeader(const StateRecord& r)
{
    // An empty name would let the reader take the next line for it.
    const bool blank = r.nameField.find_first_not_of(" \t") == std::string::npos;
    return freeFormField(r.massField) + freeFormField(r.radius) + freeFormField(r.absoluteMagnitude) +
           freeFormField(r.relFactor) + (blank ? std::string("UNNAMED") : r.nameField);
}

std::string vectorLine(const std::array<long double, 3>& v)
{
    return formatMask(stateMask, v[0]) + formatMask(stateMask, v[1]) + formatMask(stateMask, v[2]);
}

}  // namespace

bool writeStateFile(const std::filesystem::path& file, StateFileKind kind, const StateFileContents& contents,
                    std::string& message)
{
    std::vector<std::string> lines;
    lines.push_back(freeFormField(static_cast<double>(contents.julianDate)));
    const bool full = kind == StateFileKind::Full;
    for (std::size_t n = 0; n < contents.records.size(); ++n) {
        const StateRecord& r = contents.records[n];
        // A full file carries the nominal step in front of the first record.
        lines.push_back(full && n == 0 ? freeFormField(contents.nominalStep) + recordHeader(r) : recordHeader(r));
        lines.push_back(vectorLine(r.position));
        lines.push_back(vectorLine(r.velocity));
        if (!full)
            lines.push_back(freeFormField(r.A1) + freeFormField(r.A2) + freeFormField(r.A3) + r.numberString);
    }
    if (full && contents.records.empty()) lines.push_back(freeFormField(contents.nominalStep));
    if (contents.endMarker > 0) lines.push_back(freeFormField(-contents.endMarker));
    return writeTextFileAtomically(file, lines, message);
}

}  // namespace tarvo
