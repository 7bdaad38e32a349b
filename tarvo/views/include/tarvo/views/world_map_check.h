// Reading a world-map picture's headers before the programs crop it: the
// maps are cropped by their stated sizes, so a picture of another size, or
// one that is cut short, is told apart from a good one with a message that
// names the file.
#pragma once

#include "tarvo/views/world_map_files.h"

#include <filesystem>
#include <string>

namespace tarvo {

struct WorldMapCheck {
    enum class Status { Good, Missing, Damaged, WrongSize } status = Status::Missing;
    int width = 0, height = 0; // as the picture's header says, when readable
    std::string message;       // empty when Good; names the file otherwise
    bool good() const { return status == Status::Good; }
};

// Reads the file header and information header of `file` and checks them
// against the map's stated size: a BMP ("BM"), 40-byte or longer
// information header, the pixel data and the size the header declares
// inside the file, 8 bits per pixel with a colour table, uncompressed or
// run-length encoded. The pixels themselves are decoded (and checked run by
// run) by the graphics library when the map is drawn.
WorldMapCheck checkWorldMap(const std::filesystem::path& file, WorldMap map);

// The big map counts as installed when its picture reads as a good
// 9600 x 6000 map; otherwise the medium map stands in for it. (A length rule
// would take a well-compressed big map for a missing one.)
bool bigMapInstalled(const std::filesystem::path& imageDirectory);

// The map file in the picture directory: the exact name, or a match in
// another letter case.
std::filesystem::path worldMapPath(const std::filesystem::path& imageDirectory, WorldMap map);

} // namespace tarvo
