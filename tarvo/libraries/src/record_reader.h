// Reading body records from the text state and element files: the field
// stream with messages that name the file and the line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <fstream>

#include "state_file_fields.h"

namespace tarvo {

inline constexpr std::uintmax_t maximumStateFileBytes = 2ull << 30;  // far beyond the largest table

class RecordReader {
public:
    RecordReader(std::string_view text, std::string name) : fields_(text), name_(std::move(name)) {}

    bool number(long double& value, const char* what)
    {
        std::string field;
        switch (fields_.number(value, field)) {
        case StateFileFields::Outcome::Read: return true;
        case StateFileFields::Outcome::EndOfFile:
            error_ = name_ + ": the file ends where " + what + " should follow";
            return false;
        default:
            error_ = name_ + ": line " + std::to_string(fields_.line()) + ": \"" + field.substr(0, 40) +
                     "\" is not a number (" + what + ")";
            return false;
        }
    }
    bool number(double& value, const char* what)
    {
        long double wide = 0;
        if (!number(wide, what)) return false;
        value = static_cast<double>(wide);
        return true;
    }
    bool string(std::string& value, const char* what)
    {
        if (fields_.string(value) == StateFileFields::Outcome::Read) return true;
        error_ = name_ + ": the file ends where " + what + " should follow";
        return false;
    }
    bool atEnd() { return fields_.atEnd(); }
    const std::string& error() const { return error_; }

private:
    StateFileFields fields_;
    std::string name_;
    std::string error_;
};

inline bool readWholeTextFile(const std::filesystem::path& file, std::string& text, std::string& message)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        message = file.string() + ": cannot be opened (" + error.message() + ")";
        return false;
    }
    if (size > maximumStateFileBytes) {
        message = file.string() + ": too large for a state file (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    text.resize(static_cast<std::size_t>(size));
    if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
        message = file.string() + ": cannot be read";
        return false;
    }
    return true;
}

}  // namespace tarvo
