// showFilePages: a search's data file, page by page.
#include "tarvo/shell/file_viewer.h"

#include "console/console.h"

#include <fstream>
#include <string>
#include <vector>

namespace tarvo {

namespace {

constexpr int kViewerColumns = 108;
constexpr int kViewerRows = 27;
constexpr int kLinesPerPage = kViewerRows - 3;

void showPage(const std::vector<std::string>& lines, std::size_t first) {
    console::setSize(kViewerColumns, kViewerRows);
    console::setColor(console::Color::LightGrey, console::Color::Black);
    console::clear();
    for (int k = 0; k < kLinesPerPage && first + k < lines.size(); ++k)
        console::printAt(k + 1, 1, lines[first + k].substr(0, kViewerColumns));
}

} // namespace

void showFilePages(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        console::ConsoleMessageBox("cannot read " + file.string(), 0, "Error");
        return;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    for (std::size_t first = 0; first < lines.size() || first == 0; first += kLinesPerPage) {
        showPage(lines, first);
        console::setColor(console::Color::Yellow, console::Color::Black);
        console::printAt(kViewerRows - 1, 2,
                         " Press a key to continue, Esc to terminate output ... ");
        if (console::readKey().key == console::Key::Esc) return;
        if (first + kLinesPerPage >= lines.size()) return;
    }
}

} // namespace tarvo
