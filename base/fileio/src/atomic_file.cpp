#include "fileio/atomic_file.h"

#include <fstream>

namespace tarvo {

bool writeFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         std::string& message) {
    std::filesystem::path temporary = file;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
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
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

} // namespace tarvo
