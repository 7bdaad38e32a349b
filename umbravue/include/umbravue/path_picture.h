// One path picture: the map region around the path in a graphics window,
// the sites, the shadow of every point with its time labels, the grid and
// the legend; revealed and saved as a BMP file under the first free number.
#pragma once

#include "umbravue/mapper_options.h"
#include "umbravue/path_file.h"
#include "umbravue/path_geometry.h"
#include "umbravue/site_marks.h"

#include <filesystem>
#include <string>
#include <vector>

namespace umbravue {

struct PictureInput {
    const PathEvent* event = nullptr; // its points, date, title and Delta-T
    const MapperOptions* options = nullptr;
    const std::vector<SiteMark>* sites = nullptr; // drawn when the sites option is on
    std::filesystem::path imageDirectory;         // the world maps (IMG)
    bool bigMapInstalled = false;
};

struct PictureResult {
    Crop crop; // the region shown
    int canvasWidth = 0, canvasHeight = 0;
    std::string savedAs; // the picture's file name, empty when not saved
    std::string message; // what went wrong, if anything (the map, the saving)
};

// Opens the graphics window (closing any open one), draws the picture,
// reveals it and saves it in the working directory as the picture name
// followed by the first number from 000 to 999 whose file does not exist
// and ".BMP", so that no earlier picture is overwritten. The window stays
// open for the caller to show; the caller closes it.
PictureResult drawPathPicture(const PictureInput& input);

// The canvas region of the map: the crop stretched over the canvas; a crop
// across the date line is cut from both ends of the map. Returns pictor's
// result of the last picture operation.
int drawCrop(const Crop& crop, int canvasWidth, int canvasHeight, const std::string& mapFile);

} // namespace umbravue
