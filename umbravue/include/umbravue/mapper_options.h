// UMBRAVUE.CFG: the path mapper's options, one a line in this order, the
// value first and a comment after it:
//   picture name; largest window width and height (pixels); longitude and
//   latitude margins (degrees); label font height (pixels); label offsets
//   right and up (pixels); thinning n (every (n+1)-th point is used); label
//   spacing m (every (m+1)-th used point is labelled, negative: none); and
//   the flags extension, all events, sites and world view (not 0 = on).
// A line is read by its first field (up to the first comma or blank; the
// picture name up to the first comma), so a comma in a comment never moves
// the options that follow.
#pragma once

#include <filesystem>
#include <string>

namespace umbravue {

struct MapperOptions {
    std::string pictureName = "UMBRA"; // file name stem, no directory; ".BMP" is added
    int maxWidthPx = 1600;
    int maxHeightPx = 1000;
    double lonMarginDeg = 4.0;
    double latMarginDeg = 3.0;
    int fontHeightPx = 13;
    int labelRightPx = 8;
    int labelUpPx = 6;
    int thinning = 0;
    int labelSpacing = 9;
    bool extension = false;
    bool allEvents = false;
    bool sites = true;
    bool worldView = false;
};

inline constexpr int kOptionCount = 14;
inline constexpr std::uintmax_t kOptionsFileBytesLimit = 64 * 1024;

struct OptionsLoad {
    MapperOptions options; // the defaults where the file gave no usable value
    std::string message;   // empty, or what was wrong, naming the file
};

// Reads the options. A missing, oversized or unreadable file gives the
// defaults and a message; an option line that is missing or holds no number
// keeps its default and is named in the message; values are kept within
// sensible ranges (a window of 64 to 16384 pixels, margins up to 180
// degrees, a font of 4 to 200 pixels). The picture name keeps letters,
// digits, '-' and '_' only (no directory can be named); an empty one becomes
// "NONAME".
OptionsLoad readMapperOptions(const std::filesystem::path& file);

} // namespace umbravue
