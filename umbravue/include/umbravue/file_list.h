// The path mapper's file list: the shadow-path files (*.OCC) of the working
// directory, each with a key, then "Change Defaults" and the prompt for a
// typed name.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace umbravue {

inline constexpr const char* kListKeys = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890";

// The *.OCC files of `dir` (the extension in any letter case), sorted by
// name, at most 36.
std::vector<std::string> pathFilesIn(const std::filesystem::path& dir);

// A typed name without "." gets ".OCC".
std::string withPathExtension(std::string name);

struct ListChoice {
    enum class Kind { File, ChangeDefaults, Exit } kind = Kind::Exit;
    std::string file;
};

// Shows the list and waits: a file's key or a click on its line chooses it;
// '!' or a click on "Change Defaults" the options; Enter the prompt " Data
// File Name ? " for a typed name (an empty one comes back to the list); Esc
// ends. `note` is shown above the prompt (what went wrong last).
ListChoice chooseFromList(const std::vector<std::string>& files, const std::string& note);

} // namespace umbravue
