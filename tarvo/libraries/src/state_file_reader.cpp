#include <cmath>
#include <fstream>

#include "state_file_fields.h"
#include "tarvo/libraries/state_file.h"

namespace tarvo {
namespace {

constexpr std::uintmax_t maximumStateFileBytes = 2ull << 30;  // far beyond the largest table

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

bool readFile(const std::filesystem::path& file, std::string& text, std::string& message)
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

}  // namespace

bool readStateFile(const std::filesystem::path& file, StateFileKind kind, std::size_t maxRecords,
                   StateFileContents& contents, std::string& message)
{
    std::string text;
    if (!readFile(file, text, message)) return false;
    const std::string name = file.string();
    RecordReader in(text, name);
    StateFileContents read;

    if (!in.number(read.julianDate, "the Julian date")) {
        message = in.error();
        return false;
    }
    if (read.julianDate < 0) {
        message = name + ": holds orbital elements (its first number is negative), not states";
        return false;
    }
    if (kind == StateFileKind::MinorBody && read.julianDate > satelliteJdOffset) {
        read.julianDate -= satelliteJdOffset;
        read.satelliteFile = true;
    }
    if (kind == StateFileKind::Full) {
        if (!in.number(read.nominalStep, "the nominal step")) {
            message = in.error();
            return false;
        }
        if (read.nominalStep < 0) {
            message = name + ": holds orbital elements (its step is negative), not states";
            return false;
        }
    }

    while (!in.atEnd()) {
        if (read.records.size() >= maxRecords) {
            read.recordsLeftUnread = true;
            break;
        }
        StateRecord r;
        if (!in.number(r.massField, "a mass")) {
            message = in.error();
            return false;
        }
        if (r.massField < 0) {
            read.endMarker = static_cast<int>(std::floor(std::fmin(-r.massField, 1e9)));
            break;
        }
        bool ok = in.number(r.radius, "a radius") && in.number(r.absoluteMagnitude, "a magnitude") &&
                  in.number(r.relFactor, "a radial factor") && in.string(r.nameField, "a name");
        for (int i = 0; ok && i < 3; ++i) ok = in.number(r.position[i], "a position");
        for (int i = 0; ok && i < 3; ++i) ok = in.number(r.velocity[i], "a velocity");
        if (ok && kind == StateFileKind::MinorBody)
            ok = in.number(r.A1, "A1") && in.number(r.A2, "A2") && in.number(r.A3, "A3") &&
                 in.string(r.numberString, "a number field");
        if (!ok) {
            message = in.error() + " (body record " + std::to_string(read.records.size() + 1) + ")";
            return false;
        }
        read.records.push_back(std::move(r));
    }
    contents = std::move(read);
    return true;
}

}  // namespace tarvo
