#include "umbravue/mapper_options.h"

#include "fileio/text_util.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace umbravue {

namespace {

// The first field of an option line: up to the first comma or blank.
std::optional<double> firstNumber(const std::string& line) {
    std::size_t used = 0;
    const double value = tarvo::readFreeNumber(line, &used);
    if (used == 0 || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string pictureNameOf(const std::string& line) {
    const std::string field = tarvo::trim(line.substr(0, line.find(',')));
    std::string name;
    for (char c : field)
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') name += c;
    if (name.size() > 60) name.resize(60);
    return name.empty() ? "NONAME" : name;
}

} // namespace

OptionsLoad readMapperOptions(const std::filesystem::path& file) {
    OptionsLoad load;
    MapperOptions& o = load.options;
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        load.message = file.string() + " not found: the default options are used";
        return load;
    }
    if (size > kOptionsFileBytesLimit) {
        load.message = file.string() + " is too large for an options file (" +
                       std::to_string(size) + " bytes): the default options are used";
        return load;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; lines.size() < kOptionCount && std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (!in && !in.eof()) {
        load.message = file.string() + " cannot be read: the default options are used";
        return load;
    }
    std::vector<int> unusable;
    auto number = [&](int index, double low, double high, auto& target) {
        const auto value =
            index < static_cast<int>(lines.size()) ? firstNumber(lines[index]) : std::nullopt;
        if (!value) {
            unusable.push_back(index + 1);
            return;
        }
        target =
            static_cast<std::remove_reference_t<decltype(target)>>(std::clamp(*value, low, high));
    };
    auto flag = [&](int index, bool& target) {
        double v = target ? -1 : 0;
        number(index, -1e9, 1e9, v);
        target = v != 0;
    };
    if (!lines.empty())
        o.pictureName = pictureNameOf(lines[0]);
    else
        unusable.push_back(1);
    number(1, 64, 16384, o.maxWidthPx);
    number(2, 64, 16384, o.maxHeightPx);
    number(3, 0, 180, o.lonMarginDeg);
    number(4, 0, 90, o.latMarginDeg);
    number(5, 4, 200, o.fontHeightPx);
    number(6, -2000, 2000, o.labelRightPx);
    number(7, -2000, 2000, o.labelUpPx);
    number(8, 0, 1000000, o.thinning);
    number(9, -1, 1000000, o.labelSpacing);
    flag(10, o.extension);
    flag(11, o.allEvents);
    flag(12, o.sites);
    flag(13, o.worldView);
    if (!unusable.empty()) {
        std::ostringstream m;
        m << file.string() << ": no usable value on line";
        if (unusable.size() > 1) m << "s";
        for (std::size_t i = 0; i < unusable.size(); ++i) m << (i ? ", " : " ") << unusable[i];
        m << " (defaults used there)";
        load.message = m.str();
    }
    return load;
}

} // namespace umbravue
