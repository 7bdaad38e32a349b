// FINSTAT.BIN: the checkpoint's state as 80-bit IEEE extended values, 10
// bytes each, little-endian, six per body, no header.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>

#include "tarvo/libraries/state_file.h"
#include "fileio/atomic_file.h"

namespace tarvo {
namespace {

static_assert(LDBL_MANT_DIG == 64, "the checkpoint needs the x87 80-bit extended format");
constexpr std::size_t extendedBytes = 10;
constexpr long double kFarthestCheckpointGm = 1e6L * 149.597870700L; // 10^6 AU
constexpr long double kFastestCheckpointKmS = 299792.458L;           // the speed of light

}  // namespace

bool readCheckpointBinary(const std::filesystem::path& file, std::size_t bodies, std::vector<ExtendedState>& states,
                          std::string& message)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        message = file.string() + ": cannot be opened (" + error.message() + ")";
        return false;
    }
    if (size != bodies * checkpointBytesPerBody) {
        message = file.string() + ": holds " + std::to_string(size) + " bytes where " + std::to_string(bodies) +
                  " bodies need " + std::to_string(bodies * checkpointBytesPerBody);
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        message = file.string() + ": cannot be read";
        return false;
    }
    std::vector<ExtendedState> read(bodies);
    for (std::size_t b = 0; b < bodies; ++b) {
        for (std::size_t c = 0; c < 6; ++c) {
            long double value = 0;
            std::memcpy(&value, bytes.data() + b * checkpointBytesPerBody + c * extendedBytes, extendedBytes);
            // A NaN or a value no body can have (beyond 10^6 AU or the speed
            // of light) marks damage the size check cannot see.
            const long double limit = c < 3 ? kFarthestCheckpointGm : kFastestCheckpointKmS;
            if (!(std::fabs(value) <= limit)) {
                message = file.string() + ": body " + std::to_string(b + 1) + ", " +
                          (c < 3 ? "position" : "velocity") + " component " +
                          std::to_string(c % 3 + 1) + " is " +
                          (std::isfinite(value) ? "out of range" : "not a finite number");
                return false;
            }
            read[b][c] = value;
        }
    }
    states = std::move(read);
    return true;
}

bool writeCheckpointBinary(const std::filesystem::path& file, const std::vector<ExtendedState>& states,
                           std::string& message)
{
    std::vector<unsigned char> bytes(states.size() * checkpointBytesPerBody);
    for (std::size_t b = 0; b < states.size(); ++b)
        for (std::size_t c = 0; c < 6; ++c)
            std::memcpy(bytes.data() + b * checkpointBytesPerBody + c * extendedBytes, &states[b][c], extendedBytes);
    // Written beside the target and renamed, so a failed write keeps the old checkpoint.
    return writeFileAtomically(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                               message);
}

}  // namespace tarvo
