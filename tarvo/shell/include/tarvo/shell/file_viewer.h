// The viewer of a search's data file: the file shown page by page after the
// run, " Press a key to continue, Esc to terminate output ... " between pages.
#pragma once

#include <filesystem>

namespace tarvo {

// Shows `file` in pages of the console's height less three rows; a file that
// cannot be read is reported in a message box.
void showFilePages(const std::filesystem::path& file);

} // namespace tarvo
