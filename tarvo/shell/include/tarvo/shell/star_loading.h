// Reading the star catalogue into the session: at start-up with the default
// answer, and from the main menu's "0. Reload Stars" through the star prompt.
#pragma once

#include "tarvo/shell/session.h"

namespace tarvo {

// The catalogue's files in the tree (BIN, ASC) and the user's filter files
// in the working directory (FILTER.STR, SelStar.dat).
StarFiles starFiles(const DataDirectories& dirs);

// Start-up: the default selection (magnitude 7.0, no filters), without a
// prompt, so that a session starts without a question. A damaged catalogue
// is reported in a message box and leaves no stars.
void loadStarsAtStartup(Session& s);

// "0. Reload Stars": shows "Enter Max Magnitude of Stars (...) or Magn.
// Range [default = 7.0] ", opens FILTER.STR in the text editor for "/F",
// then "Reading Star Library ... " and the number of stars taken. A
// damaged catalogue keeps the stars loaded before.
void reloadStars(Session& s);

} // namespace tarvo
