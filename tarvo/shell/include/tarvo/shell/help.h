// Context help from the fixed-record help files HELPn.HLP (English),
// IHELPn.HLP (Italian) and DHELPn.HLP (German) of the HLP directory: record k
// (1152 bytes of text) holds the help for the k-th key of screen n's key
// string.
#pragma once

#include "fileio/data_tree.h"
#include "fileio/help_records.h"

#include <optional>
#include <string>

namespace tarvo {

// Screens with help files.
enum HelpScreen : int {
    helpKeyActions = 1,
    helpMainMenu = 2,
    helpEphemerisPage = 4,
    helpExtraOptions = 5,
    helpCloseApproaches = 6,
};

// "HELP2.HLP", "IHELP2.HLP" or "DHELP2.HLP" by language 0, 1, 2.
std::string helpFileName(int language, int screen);

// The text of record `keyPosition` (1-based), blanks trimmed at both ends;
// nullopt when the file or the record is missing or the record is blank.
std::optional<std::string> readHelpRecord(const DataDirectories& dirs, int language, int screen,
                                          int keyPosition);

// Shows the record in a message box titled "Help message", or "No help
// available" when there is none; the program goes on either way.
void showHelp(const DataDirectories& dirs, int language, int screen, int keyPosition);

} // namespace tarvo
