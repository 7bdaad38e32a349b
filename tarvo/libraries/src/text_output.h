// Writing a text file of the suite: CR LF line ends, written to a temporary
// name beside the target and renamed into place, so that a failed write
// never leaves half a file where the user's file was.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tarvo {

inline bool writeTextFileAtomically(const std::filesystem::path& file, const std::vector<std::string>& lines,
                                    std::string& message)
{
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) out << line << "\r\n";
        if (!out.flush()) {
            message = file.string() + ": cannot be written";
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    if (error) {
        message = file.string() + ": cannot be replaced (" + error.message() + ")";
        return false;
    }
    return true;
}

}  // namespace tarvo
