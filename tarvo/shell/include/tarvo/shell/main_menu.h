// The main menu: the planetary data sets, the kinds of file that start a
// run, the star reload, the extra options and the help language.
#pragma once

#include <cstdint>

namespace tarvo {

struct Session;

// Result codes of the menu.
enum MenuResult : int {
    menuReloadStars = 0,
    // 1..9: the planetary data set
    menuMinorBodiesFile = 10,
    menuFullFile = 11,
    menuAsteroidLibrary = 12,
    menuCometLibrary = 13,
    menuQuit = 99,
};

// The accepted keys, in the order of the help records.
inline constexpr const char* kMainMenuKeys = "123456789MF*@0XH";

// Labels of the nine data sets as the menu shows them.
extern const char* const kDataSetLabels[9];

// Steps the help language 0 -> 1 -> 2 -> 0 and the asteroid-library source
// -1 -> 0 -> 1 -> 2 -> -1.
std::int32_t nextHelpLanguage(std::int32_t language);
std::int32_t nextLibrarySource(std::int32_t source);

// Shows the menu until an item with a result is chosen; X and H are handled
// here. Keys in either case, a left click on an item's line chooses it, a
// right click shows its help.
int mainMenu(Session& session);

} // namespace tarvo
