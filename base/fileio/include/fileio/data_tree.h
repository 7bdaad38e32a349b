// Finding the data tree and the user's working directory.
//
// One finder serves tarvo, fitra and umbravue. The tree has the directories
// BIN ASC IMG CFG HLP and the user's working directory USERDATA. The finder
// looks, in order, at: the working directory named on the command line or
// the current one when its name ends in USERDATA (the tree is its parent);
// the current directory when it holds a tree; the directory named by
// TARVO12DIR; the installed share directory (<prefix>/share/tarvo beside
// <prefix>/bin); the tree built beside the executables of a build
// (<build>/data beside <build>/bin). Started in a USERDATA directory, the
// program works there; started elsewhere, it works in the current directory,
// or in its USERDATA subdirectory when it has one (so a tree's USERDATA when
// started in the tree), never in a tree found by TARVO12DIR or beside the
// executables, where a user would not look for the files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

struct DataDirectories {
    std::filesystem::path base; // root of the tree
    std::filesystem::path bin, asc, img, cfg, hlp;
    std::filesystem::path workDir;               // where the user's files are read and written
    std::vector<std::filesystem::path> searched; // trees looked at, in order
};

struct DataTreeQuery {
    std::string commandLineDir;            // a directory from the command line, or ""
    std::filesystem::path currentDir;      // the current directory at start-up
    std::optional<std::string> envTreeDir; // TARVO12DIR, when set
    std::filesystem::path executableDir;   // directory of the running program
};

struct DataTreeResult {
    std::optional<DataDirectories> dirs;
    std::string error; // set when no tree was found: names every place searched
    // Set when the directory of the command line holds no tree and the data
    // come from another place: says which, so that a mistyped path is seen.
    std::string notice;
};

// Decides the tree and working directory without changing anything; the
// caller changes into `workDir`.
DataTreeResult findDataTree(const DataTreeQuery& query);

// True when `dir` holds a data tree (its BIN and ASC directories).
bool holdsDataTree(const std::filesystem::path& dir);

// The file `name` in `dir`: the exact name when it exists, else a
// case-insensitive match in the same directory, else nullopt.
std::optional<std::filesystem::path> findDataFile(const std::filesystem::path& dir,
                                                  const std::string& name);

// The directory of the running executable (from /proc/self/exe).
std::filesystem::path executableDirectory();

// "FILE not found in DIR (data tree BASE; searched: A, B)" for start-up errors.
std::string missingFileMessage(const DataDirectories& dirs, const std::filesystem::path& dir,
                               const std::string& name);

} // namespace tarvo
