// The star prompt and the loading of the star catalogue into the session.
#include "tarvo/shell/star_loading.h"

#include "console/console.h"
#include "console/programs.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace tarvo {

namespace {

fs::path inTree(const fs::path& dir, const std::string& name) {
    const auto found = findDataFile(dir, name);
    return found ? *found : dir / name;
}

std::string magnitudeText(int fortieths) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", fortieths / 40.0);
    return text;
}

// FILTER.STR is the user's to edit: it lives in the working directory and
// starts as a copy of the tree's.
void prepareRegionFilter(const DataDirectories& dirs, const fs::path& filter) {
    std::error_code ec;
    if (fs::exists(filter, ec)) return;
    const fs::path model = inTree(dirs.asc, "FILTER.STR");
    if (!fs::copy_file(model, filter, ec))
        std::ofstream(filter, std::ios::binary) << defaultRegionFilterText();
}

} // namespace

StarFiles starFiles(const DataDirectories& dirs) {
    const fs::path work = dirs.workDir.empty() ? fs::current_path() : dirs.workDir;
    return {inTree(dirs.bin, "STARS3D.BIN"), inTree(dirs.bin, "STNAMS3D.BIN"),
            inTree(dirs.bin, "STDES3D.BIN"), inTree(dirs.asc, "COSTLAB.DAT"),
            inTree(work, "FILTER.STR"),      inTree(work, "SelStar.dat")};
}

void loadStarsAtStartup(Session& s) {
    const StarFiles files = starFiles(s.dirs);
    std::string message;
    int faintest = 280;
    if (!fs::exists(files.stars)) return; // no catalogue in this tree: no stars
    if (!faintestOfCatalogue(files.stars, faintest, message)) {
        console::ConsoleMessageBox(message, 0, "Star Library");
        return;
    }
    const StarLoadResult r = loadStarCatalogue(files, parseStarAnswer("", faintest), s.stars);
    if (!r.ok) console::ConsoleMessageBox(r.message, 0, "Star Library");
}

void reloadStars(Session& s) {
    using namespace console::Color;
    const StarFiles files = starFiles(s.dirs);
    std::string message;
    int faintest = 0;
    const bool catalogue = faintestOfCatalogue(files.stars, faintest, message);
    console::setSize(81, 27);
    console::setColor(LightGrey, Black);
    console::clear();
    if (!catalogue) {
        console::ConsoleMessageBox(message, 0, "Star Library");
        return;
    }
    console::setColor(Yellow, Black);
    console::printAt(10, 2,
                     "Enter Max Magnitude of Stars (" + magnitudeText(faintest) +
                         ") or Magn. Range [default = 7.0] ");
    console::printAt(11, 2,
                     "Options: /F region of FILTER.STR, /N named stars, /S stars of SelStar.dat");
    console::locate(12, 2);
    console::setColor(White, Black);
    const auto answer = console::readLine(30);
    if (!answer) return;
    const StarRequest request = parseStarAnswer(*answer, faintest);
    if (request.regionFilter) {
        prepareRegionFilter(s.dirs, files.regionFilter);
        console::editTextFile(files.regionFilter);
    }
    console::setColor(LightGreen, Black);
    console::printAt(14, 2, "Reading Star Library ... ");
    console::refresh();
    const StarLoadResult r = loadStarCatalogue(files, request, s.stars);
    if (!r.ok) {
        console::ConsoleMessageBox(r.message + "\nThe stars loaded before are kept.", 0,
                                   "Star Library");
        return;
    }
    console::printAt(14, 27, std::to_string(r.accepted) + " stars and objects  Press a key ... ");
    console::readKey();
}

} // namespace tarvo
