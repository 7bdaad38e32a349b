// The path mapper's loop: the file list, then for the chosen file the
// options, the sites and the paths read anew (so edits made through
// "Change Defaults" count at once), one picture per event (or one for all
// of them), back to the list; Esc on the list ends it.
#pragma once

#include <filesystem>

namespace umbravue {

struct MapperDirectories {
    std::filesystem::path cfg; // UMBRAVUE.CFG, SITES.CRD
    std::filesystem::path img; // the world maps
};

// Runs in the current directory, where the path files are read and the
// pictures written. Returns the exit status (0).
int runMapper(const MapperDirectories& dirs);

} // namespace umbravue
