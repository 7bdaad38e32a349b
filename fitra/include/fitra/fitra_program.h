// The screens of fitra: the title, the toggle screen with its actions
// (imports, file picker, editors, help) and the listing of the data file.
#pragma once

#include "fileio/data_tree.h"
#include "fitra/fitra_settings.h"

#include <string>
#include <vector>

namespace fitra {

// Keys of the toggle screen, in the order of the help records of HELPFT1.HLP.
inline constexpr const char* kToggleKeys = "OGQPMATNRSZWDU*-#I$EFXBCLVK+!Y^<0@JH";
// Keys of the action menu, in the order of the help records of HELPFT2.HLP.
inline constexpr const char* kActionKeys = "MGRISBDKCXQ";
// Selection keys of the file picker.
inline constexpr const char* kPickerKeys = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890";

// The names in `dir` whose extension is `extension` (any case), sorted.
std::vector<std::string> filesWithExtension(const std::filesystem::path& dir,
                                            const std::string& extension);

// The file picker: lists the names, returns the one chosen ("" on Esc).
std::string pickFile(const std::vector<std::string>& names, const std::string& title);

// The help record of the key at `keyPosition` (1-based) of screen "FT1" or
// "FT2", in the help language, shown in a box titled "Help message".
void showFitraHelp(const tarvo::DataDirectories& dirs, int language, const std::string& screen,
                   int keyPosition);

// The whole program after start-up: title, FITRA.CFG, the toggle screen.
// Returns the exit status.
int runFitra(const tarvo::DataDirectories& dirs);

} // namespace fitra
