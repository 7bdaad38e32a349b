#include "tarvo/shell/help.h"

#include "console/console.h"
#include "fileio/help_records.h"

namespace tarvo {

std::string helpFileName(int language, int screen) {
    static const char* const prefixes[] = {"", "I", "D"};
    const char* prefix = (language >= 0 && language < 3) ? prefixes[language] : "";
    return std::string(prefix) + "HELP" + std::to_string(screen) + ".HLP";
}

std::optional<std::string> readHelpRecord(const DataDirectories& dirs, int language, int screen,
                                          int keyPosition) {
    return readHelpRecordFile(dirs.hlp, helpFileName(language, screen), keyPosition);
}

void showHelp(const DataDirectories& dirs, int language, int screen, int keyPosition) {
    auto text = readHelpRecord(dirs, language, screen, keyPosition);
    console::ConsoleMessageBox(text ? *text : "No help available", 0, "Help message");
}

} // namespace tarvo
