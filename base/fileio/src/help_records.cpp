#include "fileio/help_records.h"

#include "fileio/data_tree.h"
#include "fileio/text_util.h"

#include <fstream>

namespace tarvo {

std::optional<std::string> readHelpRecordFile(const std::filesystem::path& hlpDir,
                                              const std::string& fileName, int keyPosition) {
    if (keyPosition < 1) return std::nullopt;
    auto file = findDataFile(hlpDir, fileName);
    if (!file) return std::nullopt;
    std::error_code ec;
    const auto size = std::filesystem::file_size(*file, ec);
    const auto offset = static_cast<std::uintmax_t>(keyPosition - 1) * kHelpRecordBytes;
    if (ec || offset + kHelpRecordBytes > size) return std::nullopt;
    std::ifstream in(*file, std::ios::binary);
    std::string record(kHelpRecordBytes, ' ');
    in.seekg(static_cast<std::streamoff>(offset));
    if (!in.read(record.data(), kHelpRecordBytes)) return std::nullopt;
    // Records are text: anything else shows as a blank.
    for (auto& c : record)
        if (c == '\0') c = ' ';
    std::string text = trim(record);
    if (text.empty()) return std::nullopt;
    return text;
}

} // namespace tarvo
