#include "tarvo/shell/startup_files.h"

#include "tarvo/shell/fatal_error.h"
#include "fileio/text_util.h"

#include <fstream>

namespace fs = std::filesystem;

namespace tarvo {

namespace {

// Text files of the data tree are small; anything larger is not one of ours.
constexpr std::uintmax_t kMaxSmallFileBytes = 1 << 20;

std::ifstream openSmallText(const fs::path& file) {
    std::error_code ec;
    auto size = fs::file_size(file, ec);
    if (ec) throw FatalError(ErrorNumber::missingDataFile, "cannot read " + file.string());
    if (size > kMaxSmallFileBytes)
        throw FatalError(ErrorNumber::badDataFile,
                         file.string() + " is too large (" + std::to_string(size) + " bytes)");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw FatalError(ErrorNumber::missingDataFile, "cannot open " + file.string());
    return in;
}

bool readLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

} // namespace

TitleLines readTitleLines(const fs::path& file) {
    auto in = openSmallText(file);
    TitleLines lines;
    for (auto& l : lines)
        if (!readLine(in, l))
            throw FatalError(ErrorNumber::badDataFile,
                             file.string() + " is truncated: four title lines expected");
    return lines;
}

std::array<RgbColour, 32> readBodyColours(const fs::path& file) {
    auto in = openSmallText(file);
    std::array<RgbColour, 32> colours{};
    for (std::size_t i = 0; i < colours.size(); ++i) {
        std::string line;
        if (!readLine(in, line))
            throw FatalError(ErrorNumber::badDataFile, file.string() + " is truncated at line " +
                                                           std::to_string(i + 1) +
                                                           ": 32 colour lines expected");
        int nonNumeric = 0;
        auto v = readFreeNumbers(line, &nonNumeric);
        if (v.size() < 3 || nonNumeric > 0)
            throw FatalError(ErrorNumber::badDataFile,
                             file.string() + " line " + std::to_string(i + 1) +
                                 ": three numbers (red, green, blue) expected");
        int c[3];
        for (int k = 0; k < 3; ++k) {
            if (!(v[k] >= 0 && v[k] <= 255))
                throw FatalError(ErrorNumber::badDataFile,
                                 file.string() + " line " + std::to_string(i + 1) +
                                     ": colour components must lie in 0..255");
            c[k] = static_cast<int>(v[k]);
        }
        colours[i] = rgb(c[0], c[1], c[2]);
    }
    return colours;
}

fs::path requireDataFile(const DataDirectories& dirs, const fs::path& dir,
                         const std::string& name) {
    if (auto found = findDataFile(dir, name)) return *found;
    throw FatalError(ErrorNumber::missingDataFile, missingFileMessage(dirs, dir, name));
}

} // namespace tarvo
