// Writing a text file of the suite: CR LF line ends, written to a temporary
// name beside the target and renamed into place, so that a failed write
// never leaves half a file where the user's file was.
#pragma once

#include "fileio/atomic_file.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tarvo {

inline bool writeTextFileAtomically(const std::filesystem::path& file, const std::vector<std::string>& lines,
                                    std::string& message)
{
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return writeFileAtomically(file, text, message);
}

}  // namespace tarvo
