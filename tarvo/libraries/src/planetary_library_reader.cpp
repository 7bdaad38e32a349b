#include <algorithm>
#include <cmath>
#include <fstream>

#include "fileio/byte_cursor.h"
#include "tarvo/libraries/planetary_library.h"

namespace tarvo {
namespace {

constexpr int maximumBodiesPerRecord = 10000;

// K from the first two bytes, checked against the file's length.
bool libraryLayout(const std::filesystem::path& file, int& bodies, std::size_t& records, std::string& message,
                   std::string* notice = nullptr)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        message = file.string() + ": cannot be opened (" + error.message() + ")";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    unsigned char head[2] = {};
    if (size < 2 || !in.read(reinterpret_cast<char*>(head), 2)) {
        message = file.string() + ": too short for a planetary library";
        return false;
    }
    bodies = ByteCursor(head, sizeof head, false).i16();
    if (bodies < 1 || bodies > maximumBodiesPerRecord) {
        message = file.string() + ": " + std::to_string(bodies) + " bodies per record is not a planetary library";
        return false;
    }
    const std::size_t recordBytes = libraryRecordBytes(bodies);
    if (size - 2 < recordBytes) {
        message = file.string() + ": its length " + std::to_string(size) + " holds no whole record of " +
                  std::to_string(recordBytes) + " bytes; the file is truncated or damaged";
        return false;
    }
    const std::uintmax_t partial = (size - 2) % recordBytes;
    if (partial != 0 && notice)
        *notice = file.string() + ": " + std::to_string(partial) + " bytes of a partial last record ignored";
    records = static_cast<std::size_t>((size - 2) / recordBytes);
    return true;
}

}  // namespace

bool scanLibrary(const std::filesystem::path& file, EpochTable& table, std::string& message)
{
    int bodies = 0;
    std::size_t records = 0;
    std::string notice;
    if (!libraryLayout(file, bodies, records, message, &notice)) return false;
    const std::size_t recordBytes = libraryRecordBytes(bodies);
    std::ifstream in(file, std::ios::binary);
    EpochTable scanned;
    scanned.notice = notice;
    scanned.bodiesPerRecord = bodies;
    scanned.epochs.reserve(records);
    for (std::size_t n = 0; n < records; ++n) {
        unsigned char epoch[4];
        in.seekg(static_cast<std::streamoff>(2 + n * recordBytes));
        if (!in.read(reinterpret_cast<char*>(epoch), 4)) {
            message = file.string() + ": cannot read record " + std::to_string(n + 1);
            return false;
        }
        const std::int32_t days = ByteCursor(epoch, sizeof epoch, false).i32();
        if (days > libraryEpochLimit || days < -libraryEpochLimit) {
            message = file.string() + ": record " + std::to_string(n + 1) + ": the epoch " +
                      std::to_string(days) + " days from J2000 lies beyond any planetary " +
                      "ephemeris (" + std::to_string(libraryEpochLimit) +
                      " days either side); the file is damaged";
            return false;
        }
        scanned.epochs.push_back(days);
    }
    std::int32_t smallest = scanned.epochs[0], largest = scanned.epochs[0];
    for (std::int32_t e : scanned.epochs) smallest = std::min(smallest, e), largest = std::max(largest, e);
    scanned.firstYear = static_cast<int>(std::floor(smallest / 365.25 + 1986));
    scanned.lastYear = static_cast<int>(std::floor(largest / 365.25 + 2014));
    table = std::move(scanned);
    return true;
}

std::size_t nearestRecord(const std::vector<std::int32_t>& epochs, long double target)
{
    std::size_t chosen = 0;
    long double best = 999999999.0L;
    for (std::size_t n = 0; n < epochs.size(); ++n) {
        const long double distance = std::fabs(epochs[n] - target);
        if (distance == 0) return n;
        if (distance < best) {
            best = distance;
            chosen = n;
        }
    }
    return chosen;
}

bool readLibraryRecord(const std::filesystem::path& file, int bodiesPerRecord, std::size_t index,
                       LibraryRecord& record, std::string& message)
{
    int bodies = 0;
    std::size_t records = 0;
    if (!libraryLayout(file, bodies, records, message)) return false;
    if (bodies != bodiesPerRecord || index >= records) {
        message = file.string() + ": has no record " + std::to_string(index + 1) + " of " +
                  std::to_string(bodiesPerRecord) + " bodies";
        return false;
    }
    const std::size_t recordBytes = libraryRecordBytes(bodies);
    std::vector<unsigned char> bytes(recordBytes);
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(2 + index * recordBytes));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        message = file.string() + ": cannot read record " + std::to_string(index + 1);
        return false;
    }
    LibraryRecord read;
    ByteCursor cursor(bytes.data(), bytes.size(), false);
    read.epoch = cursor.i32();
    read.bodies.resize(bodies);
    for (int b = 0; b < bodies; ++b)
        for (int c = 0; c < 6; ++c) {
            cursor.seek(4 + b * libraryBodyBytes + c * libraryCoordinateBytes);
            const std::int16_t high = cursor.i16();
            read.bodies[b][c] = {high, cursor.i32()};
        }
    record = std::move(read);
    return true;
}

}  // namespace tarvo
