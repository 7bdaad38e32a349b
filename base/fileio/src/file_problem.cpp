#include "fileio/file_problem.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tarvo {

std::string readProblem(const fs::path& file) {
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) return "is missing";
    if (ec) return "cannot be examined (" + ec.message() + ")";
    if (status.type() == fs::file_type::directory) return "is a directory, not a file";
    if (status.type() != fs::file_type::regular) return "is not a regular file";
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM) return "cannot be read (permission denied)";
        return std::string("cannot be read (") + std::strerror(error) + ")";
    }
    ::close(fd);
    return "";
}

fs::path backupName(const fs::path& file) {
    fs::path copy = file;
    copy += ".bak";
    return copy;
}

bool keepBackupCopy(const fs::path& file, std::string& message) {
    std::error_code ec;
    if (!fs::exists(file, ec)) return true;
    const fs::path copy = backupName(file);
    if (!fs::copy_file(file, copy, fs::copy_options::overwrite_existing, ec)) {
        message = "cannot keep a copy of " + file.string() + " as " + copy.string() + " (" +
                  ec.message() + ")";
        return false;
    }
    return true;
}

std::string printable(const std::string& text, std::size_t maxLength) {
    std::string out;
    for (const char c : text) {
        if (out.size() >= maxLength) {
            out += "...";
            break;
        }
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20) {
            out += '^';
            out += static_cast<char>(u + 0x40);
        } else if (u == 0x7f) {
            out += "^?";
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace tarvo
