#include "tarvo/shell/body_sources.h"

#include "fileio/text_util.h"

#include <filesystem>

namespace tarvo {

void BodySources::record(const BodyTable& table, int first, int last, const std::string& file) {
    if (first < 0 || last < first || last >= table.slots()) return;
    if (slots_.size() <= static_cast<std::size_t>(last)) slots_.resize(last + 1);
    const std::string name = std::filesystem::path(file).filename().string();
    for (int i = first; i <= last; ++i) slots_[i] = {bodyName(table, i), name};
}

std::string BodySources::fileOf(const BodyTable& table, int i) const {
    if (i < 0 || i >= table.slots()) return "";
    const std::string name = bodyName(table, i);
    if (static_cast<std::size_t>(i) < slots_.size() && slots_[i].name == name)
        return slots_[i].file;
    for (const Source& s : slots_)
        if (!s.file.empty() && s.name == name) return s.file;
    return "";
}

std::string BodySources::note(const BodyTable& table, int body, int other) const {
    auto label = [&](int i) {
        const std::string name = trim(bodyName(table, i));
        return "body " + std::to_string(i) + (name.empty() ? "" : " (" + name + ")");
    };
    std::string text;
    for (const int i : {body, other}) {
        if (i < 0) continue;
        const std::string file = fileOf(table, i);
        if (file.empty()) continue;
        text += text.empty() ? " " + label(i) + " came from " + file
                             : ", " + label(i) + " from " + file;
    }
    if (!text.empty()) text[1] = 'B';
    return text.empty() ? "" : text + ".";
}

} // namespace tarvo
