#include "tarvo/shell/help.h"

#include "console/console.h"
#include "fileio/text_util.h"

#include <fstream>

namespace tarvo {

std::string helpFileName(int language, int screen) {
    static const char* const prefixes[] = {"", "I", "D"};
    const char* prefix = (language >= 0 && language < 3) ? prefixes[language] : "";
    return std::string(prefix) + "HELP" + std::to_string(screen) + ".HLP";
}

std::optional<std::string> readHelpRecord(const DataDirectories& dirs, int language, int screen,
                                          int keyPosition) {
    if (keyPosition < 1) return std::nullopt;
    auto file = findDataFile(dirs.hlp, helpFileName(language, screen));
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

void showHelp(const DataDirectories& dirs, int language, int screen, int keyPosition) {
    auto text = readHelpRecord(dirs, language, screen, keyPosition);
    console::ConsoleMessageBox(text ? *text : "No help available", 0, "Help message");
}

} // namespace tarvo
