// Readers of the small data files start-up loads: TITLE.121 and COLORS.DAT. Each returns the contents or throws FatalError with a message
// that names the file.
#pragma once

#include "fileio/data_tree.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tarvo {

using TitleLines = std::array<std::string, 4>;
using RgbColour = std::uint32_t; // red bits 0-7, green 8-15, blue 16-23

TitleLines readTitleLines(const std::filesystem::path& file);

// 32 lines of red, green, blue 0..255.
std::array<RgbColour, 32> readBodyColours(const std::filesystem::path& file);

// The path of `name` in `dir`, or FatalError(missingDataFile) naming the file
// and the places searched.
std::filesystem::path requireDataFile(const DataDirectories& dirs, const std::filesystem::path& dir,
                                      const std::string& name);

constexpr RgbColour rgb(int red, int green, int blue) {
    return static_cast<RgbColour>(red) | (static_cast<RgbColour>(green) << 8) |
           (static_cast<RgbColour>(blue) << 16);
}

} // namespace tarvo
