#include "umbravue/file_list.h"

#include "console/console.h"
#include "fileio/text_util.h"

#include <algorithm>
#include <cstring>

namespace umbravue {

namespace {

constexpr int kFirstRow = 3;

bool isPathFile(const std::filesystem::directory_entry& e) {
    std::error_code ec;
    if (!e.is_regular_file(ec)) return false;
    const std::string ext = tarvo::upperCase(e.path().extension().string());
    return ext == ".OCC";
}

} // namespace

std::vector<std::string> pathFilesIn(const std::filesystem::path& dir) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (isPathFile(e)) files.push_back(e.path().filename().string());
    std::sort(files.begin(), files.end());
    if (files.size() > std::strlen(kListKeys)) files.resize(std::strlen(kListKeys));
    return files;
}

std::string withPathExtension(std::string name) {
    if (name.find('.') == std::string::npos) name += ".OCC";
    return name;
}

ListChoice chooseFromList(const std::vector<std::string>& files, const std::string& note) {
    using namespace console;
    const int count = static_cast<int>(files.size());
    // Two columns when the list is longer than the screen allows.
    const int perColumn = std::max(1, std::min(count, gridRows() - 10));
    const int defaultsRow = kFirstRow + std::min(count, perColumn) + 1;
    while (true) {
        setColor(Color::LightGrey, Color::Black);
        clear();
        setColor(Color::Yellow, Color::Black);
        printAt(1, 2, "Shadow Paths on the World Map");
        setColor(Color::LightGrey, Color::Black);
        if (files.empty()) printAt(kFirstRow, 3, "No path files (*.OCC) in this directory.");
        for (int i = 0; i < count; ++i) {
            const int row = kFirstRow + i % perColumn, col = 3 + 40 * (i / perColumn);
            printAt(row, col, std::string(1, kListKeys[i]) + "  " + files[i].substr(0, 34));
        }
        printAt(defaultsRow, 3, "!  Change Defaults");
        printAt(defaultsRow + 1, 2, " Press 'Esc' to exit ");
        if (!note.empty()) {
            setColor(Color::LightRed, Color::Black);
            printAt(defaultsRow + 3, 2, note.substr(0, static_cast<std::size_t>(gridCols() - 2)));
            setColor(Color::LightGrey, Color::Black);
        }
        printAt(defaultsRow + 5, 2, " Data File Name ? (Enter to type it) ");
        const Event e = readKey();
        if (e.key == Key::Esc) return {};
        if (e.key == '!' || (e.key == Key::Click && e.row == defaultsRow))
            return {ListChoice::Kind::ChangeDefaults, {}};
        if (e.key == Key::Click && e.row >= kFirstRow && e.row < kFirstRow + perColumn) {
            const int index = (e.row - kFirstRow) + perColumn * ((e.col - 3) / 40);
            if (e.col >= 3 && index >= 0 && index < count)
                return {ListChoice::Kind::File, files[index]};
        }
        if (isCharacterKey(e.key) && e.key < 128) {
            const char* at = std::strchr(kListKeys, std::toupper(e.key));
            const int index = at && e.key != 0 ? static_cast<int>(at - kListKeys) : -1;
            if (index >= 0 && index < count) return {ListChoice::Kind::File, files[index]};
        }
        if (e.key == Key::Enter || (e.key == Key::Click && e.row == defaultsRow + 5)) {
            printAt(defaultsRow + 5, 2, " Data File Name ? ");
            clearToEndOfLine();
            const auto typed = readLine(60);
            if (!typed) continue;
            const std::string name = tarvo::trim(*typed);
            if (name.empty()) continue;
            return {ListChoice::Kind::File, withPathExtension(name)};
        }
    }
}

} // namespace umbravue
