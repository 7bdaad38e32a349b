// Loading the star catalogue into the star table: every file is read whole
// and checked first, then the accepted stars are taken into a new table that
// replaces the old one only when everything was good.
#include "tarvo/libraries/star_catalogue.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>

namespace fs = std::filesystem;

namespace tarvo {

namespace {

enum class Read { ok, missing, failed };

// The whole file, at most `limit` bytes; failed when it is larger.
Read readWhole(const fs::path& file, std::size_t limit, std::vector<unsigned char>& bytes,
               std::string& message) {
    std::error_code ec;
    if (file.empty() || !fs::exists(file, ec)) return Read::missing;
    const auto size = fs::file_size(file, ec);
    if (ec) {
        message = "Cannot read " + file.string() + ": " + ec.message();
        return Read::failed;
    }
    if (size > limit) {
        message = file.string() + " is too large (" + std::to_string(size) + " bytes) for its kind";
        return Read::failed;
    }
    std::ifstream in(file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        message = "Cannot read " + file.string();
        return Read::failed;
    }
    return Read::ok;
}

std::span<const unsigned char, kStarRecordBytes> recordAt(const std::vector<unsigned char>& bytes,
                                                          std::size_t k) {
    return std::span<const unsigned char, kStarRecordBytes>(bytes.data() + k * kStarRecordBytes,
                                                            kStarRecordBytes);
}

// Checks a star file image; the number of records before the end marker.
std::optional<std::size_t> checkStarImage(const std::vector<unsigned char>& bytes,
                                          const fs::path& file, std::string& message) {
    if (bytes.size() % kStarRecordBytes != 0) {
        message = file.string() + " is damaged: its length " + std::to_string(bytes.size()) +
                  " is not a whole number of 26-byte star records";
        return std::nullopt;
    }
    const std::size_t count = bytes.size() / kStarRecordBytes;
    for (std::size_t k = 0; k < count; ++k) {
        const StarRecord r = decodeStarRecord(recordAt(bytes, k));
        if (r.polarDistance == 0) return k;
        const std::int64_t p =
            r.polarDistance < 0 ? -static_cast<std::int64_t>(r.polarDistance) : r.polarDistance;
        const std::int64_t ra =
            r.rightAscension < 0 ? r.rightAscension + kStarAngleFullCircle : r.rightAscension;
        if (p > kStarAngleHalfCircle || ra < 0 || ra >= kStarAngleFullCircle) {
            message = file.string() + " is damaged: record " + std::to_string(k + 1) +
                      " holds no position on the sky";
            return std::nullopt;
        }
    }
    return count;
}

// 16-byte text records; record k (from 1) at (k - 1) × 16.
bool readTextRecords(const fs::path& file, std::vector<std::string>& texts, bool trimmed,
                     std::string& message) {
    std::vector<unsigned char> bytes;
    texts.assign(1, std::string()); // entry 0 is the empty string
    switch (readWhole(file, kMaxStarRecords * kStarTextBytes, bytes, message)) {
    case Read::missing:
        return true;
    case Read::failed:
        return false;
    case Read::ok:
        break;
    }
    if (bytes.size() % kStarTextBytes != 0) {
        message = file.string() + " is damaged: its length " + std::to_string(bytes.size()) +
                  " is not a whole number of 16-byte records";
        return false;
    }
    for (std::size_t at = 0; at < bytes.size(); at += kStarTextBytes) {
        std::string text(reinterpret_cast<const char*>(bytes.data() + at), kStarTextBytes);
        for (char& c : text)
            if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = ' ';
        if (trimmed) {
            const auto first = text.find_first_not_of(' ');
            text = first == std::string::npos
                       ? std::string()
                       : text.substr(first, text.find_last_not_of(' ') - first + 1);
        }
        texts.push_back(std::move(text));
    }
    return true;
}

bool readConstellations(const fs::path& file, std::array<std::string, kConstellationCount>& labels,
                        std::string& message) {
    std::vector<unsigned char> bytes;
    labels.fill(std::string());
    switch (readWhole(file, 64 * 1024, bytes, message)) {
    case Read::missing:
        return true;
    case Read::failed:
        return false;
    case Read::ok:
        break;
    }
    if (bytes.size() != kConstellationCount * kConstellationLabelBytes) {
        message = file.string() + " is damaged: it must hold 89 labels of 3 characters (" +
                  std::to_string(kConstellationCount * kConstellationLabelBytes) + " bytes), not " +
                  std::to_string(bytes.size()) + " bytes";
        return false;
    }
    for (std::size_t k = 0; k < kConstellationCount; ++k) {
        std::string label(reinterpret_cast<const char*>(bytes.data() + 3 * k), 3);
        for (char& c : label)
            if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = ' ';
        labels[k] = label;
    }
    return true;
}

const std::string& textOr(const std::vector<std::string>& texts, std::size_t k) {
    static const std::string empty;
    return k < texts.size() ? texts[k] : empty;
}

// Mean direction of the accepted stars of each constellation, from the
// constellation named at the end of the designation ("alf Ori").
void placeLabels(StarTable& t) {
    for (auto& d : t.labelDirections) d = {0, 0, 0};
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t.deepSky(i)) continue;
        const std::string& d = t.designation(i);
        if (d.size() < 3) continue;
        const std::string tail = d.substr(d.size() - 3);
        for (std::size_t k = 0; k < kConstellationCount; ++k) {
            if (t.constellations[k] != tail) continue;
            const auto u = t.unitVector(i);
            for (int c = 0; c < 3; ++c) t.labelDirections[k][c] += u[c];
            break;
        }
    }
    for (auto& d : t.labelDirections) {
        const double n = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        if (n > 0)
            for (double& c : d) c /= n;
    }
}

} // namespace

std::array<double, 3> StarTable::unitVector(std::size_t i) const {
    return {x[i] / kStarUnitVectorScale, y[i] / kStarUnitVectorScale, z[i] / kStarUnitVectorScale};
}

double StarTable::visualMagnitude(std::size_t i) const {
    return ((magnitude[i] & 511) - kMagnitudeCodeOffset) / 40.0;
}

const std::string& StarTable::name(std::size_t i) const {
    return textOr(names, packed[i] / 2097152);
}

const std::string& StarTable::designation(std::size_t i) const {
    return textOr(designations, packed[i] % 8192);
}

std::array<double, 3> StarTable::motionVector(std::size_t i) const {
    return {static_cast<double>(motion1[i]), static_cast<double>(motion2[i]),
            static_cast<double>(motion3[i])};
}

void StarTable::clear() {
    *this = StarTable{};
}

bool faintestOfCatalogue(const fs::path& stars, int& faintestFortieths, std::string& message) {
    std::vector<unsigned char> bytes;
    switch (readWhole(stars, kMaxStarRecords * kStarRecordBytes, bytes, message)) {
    case Read::missing:
        message = "The star catalogue " + stars.string() + " is missing";
        return false;
    case Read::failed:
        return false;
    case Read::ok:
        break;
    }
    const auto count = checkStarImage(bytes, stars, message);
    if (!count) return false;
    int largest = 0;
    for (std::size_t k = 0; k < *count; ++k)
        largest =
            std::max(largest, magnitudeCodeOf(decodeStarRecord(recordAt(bytes, k)).magnitudeWord));
    faintestFortieths = largest - kMagnitudeCodeOffset;
    return true;
}

StarLoadResult loadStarCatalogue(const StarFiles& files, const StarRequest& request,
                                 StarTable& table) {
    StarLoadResult result;
    std::vector<unsigned char> bytes;
    switch (readWhole(files.stars, kMaxStarRecords * kStarRecordBytes, bytes, result.message)) {
    case Read::missing:
        table.clear();
        result.ok = true;
        result.message = "The star catalogue " + files.stars.string() + " is missing: no stars";
        return result;
    case Read::failed:
        return result;
    case Read::ok:
        break;
    }
    const auto count = checkStarImage(bytes, files.stars, result.message);
    if (!count) return result;

    StarTable t;
    if (!readTextRecords(files.names, t.names, false, result.message)) return result;
    if (!readTextRecords(files.designations, t.designations, true, result.message)) return result;
    if (!readConstellations(files.constellations, t.constellations, result.message)) return result;

    RegionFilter region;
    if (request.regionFilter && !readRegionFilter(files.regionFilter, region, result.message))
        return result;
    std::vector<std::int64_t> list;
    const bool listActive = request.listFilter && fs::exists(files.selection);
    if (listActive) list = readSelectionFile(files.selection);
    std::size_t nextInList = 0;

    int largest = 0;
    for (std::size_t k = 0; k < *count; ++k) {
        const StarRecord r = decodeStarRecord(recordAt(bytes, k));
        const auto sequence = static_cast<std::int64_t>(k + 1);
        const int code = magnitudeCodeOf(r.magnitudeWord);
        largest = std::max(largest, code);
        const int m = code - kMagnitudeCodeOffset;
        if (m < request.limits.lower || m > request.limits.upper) continue;
        if (request.flaggedOnly && r.polarDistance >= 0) continue;
        if (request.regionFilter && !insideRegion(region, r.rightAscension, r.polarDistance))
            continue;
        if (listActive) {
            while (nextInList < list.size() && list[nextInList] < sequence) ++nextInList;
            if (nextInList >= list.size() || list[nextInList] != sequence) continue;
            ++nextInList;
        }
        std::int64_t ra = r.rightAscension;
        if (ra < 0) ra += kStarAngleFullCircle;
        const double alpha = static_cast<double>(ra) / kStarAngleUnitsPerRadian;
        const double p = std::fabs(static_cast<double>(r.polarDistance)) / kStarAngleUnitsPerRadian;
        t.sequence.push_back(sequence);
        t.x.push_back(static_cast<std::int32_t>(
            std::lround(kStarUnitVectorScale * std::sin(p) * std::cos(alpha))));
        t.y.push_back(static_cast<std::int32_t>(
            std::lround(kStarUnitVectorScale * std::sin(p) * std::sin(alpha))));
        t.z.push_back(static_cast<std::int32_t>(std::lround(-kStarUnitVectorScale * std::cos(p))));
        t.valueA.push_back(r.valueA);
        t.motion1.push_back(r.motion[0]);
        t.motion2.push_back(r.motion[1]);
        t.motion3.push_back(r.motion[2]);
        const int nameRecord = nameRecordOf(r.crossReference);
        const int designationRecord = designationRecordOf(r.crossReference);
        t.packed.push_back(static_cast<std::uint32_t>(colourClassOf(r.magnitudeWord)) * 8192u +
                           static_cast<std::uint32_t>(nameRecord) * 2097152u +
                           static_cast<std::uint32_t>(designationRecord));
        t.uncertainty.push_back(static_cast<std::uint8_t>(uncertaintyCodeOf(r.crossReference)));
        t.magnitude.push_back(static_cast<std::uint16_t>(code + (r.crossReference < 0 ? 1024 : 0)));
    }
    t.faintestFortieths = largest - kMagnitudeCodeOffset;
    t.recordsRead = static_cast<std::int64_t>(*count);
    placeLabels(t);
    result.accepted = t.size();
    table = std::move(t);
    result.ok = true;
    return result;
}

} // namespace tarvo
