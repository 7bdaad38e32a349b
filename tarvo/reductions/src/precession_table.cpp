// loadPrecessionTable, encodePrecessionTable, decodePrecessionTable,
// computePrecessionTable: the long-term precession table PRECDATN.BIN.
//
// File:     20011 records for k = -10010 ... 10000 (T = k/10 Julian millennia),
//           each four little-endian 32-bit signed integers, unit 0.1":
//           ε_A - 83938.86", p_A minus 3600 (14.013107 T + 2.5377)", π_A, Π_A;
//           no header, exactly 320 176 bytes.
// Contents: the long-term model of Vondrák et al. (2011) within ±200 000
//           years, blended into the fixed law by ±1 000 000 years
//           (precessionBlended).  π_A and Π_A are kept on one continuous
//           branch from J2000 outward (π_A changes sign rather than Π_A
//           jumping by 180° when the pole of date passes the J2000 pole), so
//           that linear interpolation between entries is meaningful.
// Notes:    the reader checks the length before it reads and leaves the
//           table unchanged on any error, with a message naming the file.

#include "tarvo/reductions/frames.h"

#include <cmath>
#include <fstream>
#include <system_error>

namespace tarvo {

namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;
constexpr long double kTenthsPerRadian = 6480000.0L / kPi;

std::int32_t toTenths(long double valueTenths) {
    return static_cast<std::int32_t>(std::llround(valueTenths));
}

// Same rotation, other representation: (π, Π) and (-π, Π + π), each plus 2πn;
// the one whose Π is nearest the previous entry's.
void continueBranch(PrecessionAngles& a, const PrecessionAngles& previous) {
    long double bestNode = a.nodeLongitude, bestInclination = a.inclination;
    long double bestDistance = 1e30L;
    for (int flip = 0; flip < 2; ++flip) {
        const long double node = a.nodeLongitude + (flip ? kPi : 0.0L);
        const long double near =
            node + 2.0L * kPi * std::nearbyint((previous.nodeLongitude - node) / (2.0L * kPi));
        const long double distance = std::fabs(near - previous.nodeLongitude);
        if (distance < bestDistance) {
            bestDistance = distance;
            bestNode = near;
            bestInclination = flip ? -a.inclination : a.inclination;
        }
    }
    a.nodeLongitude = bestNode;
    a.inclination = bestInclination;
}

PrecessionTable::Record encodeRecord(const PrecessionAngles& a, long double tMillennia) {
    PrecessionTable::Record r;
    r.meanObliquity = toTenths(a.meanObliquity * kTenthsPerRadian - 839388.6L);
    r.precessionResidual =
        toTenths(a.generalPrecession * kTenthsPerRadian - precessionTableLinearPart(tMillennia));
    r.inclination = toTenths(a.inclination * kTenthsPerRadian);
    r.nodeLongitude = toTenths(a.nodeLongitude * kTenthsPerRadian);
    return r;
}

void putInt32(std::vector<unsigned char>& out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>((u >> (8 * i)) & 0xFFu));
}

std::int32_t getInt32(const unsigned char* p) {
    const std::uint32_t u = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                            (static_cast<std::uint32_t>(p[2]) << 16) |
                            (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<std::int32_t>(u);
}

} // namespace

PrecessionTable computePrecessionTable() {
    PrecessionTable table;
    table.records.resize(PrecessionTable::kRecordCount);
    // Outward from J2000 in both directions, each entry on the branch of its neighbour.
    for (int direction : {1, -1}) {
        PrecessionAngles previous = precessionLongTerm(0.0L);
        const int last = direction > 0 ? PrecessionTable::kLastIndex : PrecessionTable::kFirstIndex;
        for (int k = 0;; k += direction) {
            const long double t = static_cast<long double>(k) / 10.0L;
            PrecessionAngles a = precessionBlended(t);
            if (k != 0) {
                continueBranch(a, previous);
            } else { // the node is undefined at J2000: take the IAU 2006 value
                a.inclination = 0.0L;
                a.nodeLongitude = 629546.7936L * kArcsecToRadians;
            }
            table.records[static_cast<std::size_t>(k - PrecessionTable::kFirstIndex)] =
                encodeRecord(a, t);
            previous = a;
            if (k == last) break;
        }
    }
    return table;
}

std::vector<unsigned char> encodePrecessionTable(const PrecessionTable& table) {
    std::vector<unsigned char> bytes;
    bytes.reserve(table.records.size() * PrecessionTable::kRecordBytes);
    for (const auto& r : table.records) {
        putInt32(bytes, r.meanObliquity);
        putInt32(bytes, r.precessionResidual);
        putInt32(bytes, r.inclination);
        putInt32(bytes, r.nodeLongitude);
    }
    return bytes;
}

bool decodePrecessionTable(std::span<const unsigned char> bytes, const std::string& fileName,
                           PrecessionTable& table, std::string& message) {
    if (bytes.size() != PrecessionTable::kFileBytes) {
        message = fileName + " has " + std::to_string(bytes.size()) + " bytes; a precession table has " +
                  std::to_string(PrecessionTable::kFileBytes) + " (" +
                  std::to_string(PrecessionTable::kRecordCount) + " records of 16 bytes)";
        return false;
    }
    PrecessionTable decoded;
    decoded.records.resize(PrecessionTable::kRecordCount);
    for (std::size_t i = 0; i < PrecessionTable::kRecordCount; ++i) {
        const unsigned char* p = bytes.data() + i * PrecessionTable::kRecordBytes;
        decoded.records[i] = {getInt32(p), getInt32(p + 4), getInt32(p + 8), getInt32(p + 12)};
    }
    // The record of J2000 must hold the IAU 2006 angles of J2000 (to 1"):
    // a file of the right length with other contents is refused.
    const auto& j2000 = decoded.at(0);
    const auto near = [](std::int32_t v, long double expected) {
        return std::fabs(static_cast<long double>(v) - expected) <= 10.0L;
    };
    if (!near(j2000.meanObliquity, 843814.06L - 839388.6L) ||
        !near(j2000.precessionResidual, -precessionTableLinearPart(0.0L)) ||
        !near(j2000.inclination, 0.0L) || !near(j2000.nodeLongitude, 6295467.936L)) {
        message = fileName + " does not hold precession angles (its J2000 record is wrong)";
        return false;
    }
    table = std::move(decoded);
    message.clear();
    return true;
}

bool loadPrecessionTable(const std::filesystem::path& file, PrecessionTable& table,
                         std::string& message) {
    const std::string name = file.string();
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        message = "Cannot read the precession table " + name + ": " + ec.message();
        return false;
    }
    if (size != PrecessionTable::kFileBytes) {
        message = name + " has " + std::to_string(size) + " bytes; a precession table has " +
                  std::to_string(PrecessionTable::kFileBytes) + " (" +
                  std::to_string(PrecessionTable::kRecordCount) + " records of 16 bytes)";
        return false;
    }
    std::vector<unsigned char> bytes(PrecessionTable::kFileBytes);
    std::ifstream in(file, std::ios::binary);
    if (!in || !in.read(reinterpret_cast<char*>(bytes.data()),
                        static_cast<std::streamsize>(bytes.size()))) {
        message = "Cannot read the precession table " + name;
        return false;
    }
    return decodePrecessionTable(bytes, name, table, message);
}

} // namespace tarvo
